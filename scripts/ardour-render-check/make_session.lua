-- Builds the session both renders share: a stereo track "dut" playing a 10 s region bounced from the
-- test signal, no fades. Run by ardour7-lua with MV_DIR (new session folder) and MV_SECONDS.
local dir = os.getenv ("MV_DIR")
local secs = tonumber (os.getenv ("MV_SECONDS") or "10")
AudioEngine:set_backend ("None (Dummy)", "", "")
assert (create_session (dir, "mv", 48000), "create_session failed")
local len = math.floor (secs * Session:nominal_sample_rate ())

-- the Lua API has no file import without the editor: bounce a generator track instead. The generator
-- runs with the engine from the moment it is added, so where in its signal the bounce starts varies
-- from run to run; every render of one run plays the same bounced files.
local gen = Session:new_audio_track (2, 2, nil, 1, "gen", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()
local g = ARDOUR.LuaAPI.new_plugin (Session, "MORVANTE Test Signal", ARDOUR.PluginType.Lua, "")
assert (not g:isnil (), "test signal generator not found")
gen:add_processor_by_index (g, 0, nil, true)
local region = gen:bounce_range (0, len, ARDOUR.InterThreadInfo (), gen:main_outs (), false, "testsignal")
assert (not region:isnil (), "bounce failed")
local peak = region:to_audioregion ():maximum_amplitude (nil)
print ("bounced test signal, peak " .. peak)
assert (peak > 0.1, "the bounced test signal is silent")

local dut = Session:new_audio_track (2, 2, nil, 1, "dut", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()
dut:playlist ():add_region (region, Temporal.timepos_t (0), 1, false, 0, 0, false)
-- without the default fades the track plays the bounced files bit for bit
for r in dut:playlist ():region_list ():iter () do
	r:to_audioregion ():set_fade_in_active (false)
	r:to_audioregion ():set_fade_out_active (false)
end

-- new tracks are connected to the master bus in the background, sometimes after the save: make sure
ARDOUR.LuaAPI.usleep (500000)
for c = 0, 1 do
	local out = dut:output ():audio (c)
	local master_in = Session:master_out ():input ():audio (c):name ()
	if not out:connected_to (master_in) then assert (out:connect (master_in) == 0, "cannot connect to " .. master_in) end
end

-- nor can it remove a route: leave the generator track empty and inactive
gen:remove_processor (g, nil, true)
gen:set_active (false, nil)
Session:save_state ("", false, false, false, false, false)
print ("session made: " .. len .. " samples")
