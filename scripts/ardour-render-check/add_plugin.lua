-- Puts a plug-in first on track "dut" and sets its controls by label, then saves.
-- MV_DIR: session folder, MV_TYPE: LV2 or VST3, MV_ID: URI or name, MV_PARAMS: "Label=value;...".
local ptype = os.getenv ("MV_TYPE")
local id = os.getenv ("MV_ID")
AudioEngine:set_backend ("None (Dummy)", "", "")
assert (load_session (os.getenv ("MV_DIR"), "mv"), "load_session failed")

local proc = ARDOUR.LuaAPI.new_plugin (Session, id, ARDOUR.PluginType[ptype], "")
if proc:isnil () then
	print ("ERROR: Ardour knows no " .. ptype .. " plug-in '" .. id .. "'")
	os.exit (1)
end
local dut = Session:route_by_name ("dut")
assert (dut:add_processor_by_index (proc, 0, nil, true) == 0, "add_processor failed")

-- set by parameter index through the controls: set_processor_param's numbering counts the VST3
-- plug-in's hidden parameter, so it differs between LV2 and VST3 after that
local pi = proc:to_insert ()
local plug = pi:plugin (0)
local by_label = {}
for j = 0, plug:parameter_count () - 1 do
	if plug:parameter_is_control (j) and plug:parameter_is_input (j) then
		by_label[plug:parameter_label (j)] = j
	end
end
for label, value in string.gmatch (os.getenv ("MV_PARAMS") or "", "([^=;]+)=([^;]+)") do
	local j = by_label[label]
	if not j then
		print ("ERROR: no control labelled '" .. label .. "'")
		os.exit (1)
	end
	local c = pi:to_automatable ():automation_control (Evoral.Parameter (ARDOUR.AutomationType.PluginAutomation, 0, j), false)
	c:set_value (tonumber (value), PBD.GroupControlDisposition.NoGroup)
	if c:get_value () ~= tonumber (value) then
		print (string.format ("note: %s %s stands at %.9g in Ardour", ptype, label, c:get_value ()))
	end
end
-- the plug-in takes new control values in its next run: let the engine run before its state is saved
ARDOUR.LuaAPI.usleep (500000)
Session:save_state ("", false, false, false, false, false)
print (ptype .. " plug-in added, latency " .. proc:signal_latency ())
