ardour {
	["type"]    = "dsp",
	name        = "MORVANTE Test Signal",
	category    = "Utility",
	license     = "MIT",
	author      = "MORVANTE",
	description = [[Deterministic stereo test signal: four tones with slow level swells plus LCG noise bursts]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

local rate = 48000
local n = 0
local seed = 12345

function dsp_init (r)
	rate = r
	n = 0
	seed = 12345
end

local function lcg ()
	seed = (seed * 1103515245 + 12345) % 2147483648
	return seed / 1073741824 - 1
end

function dsp_run (ins, outs, n_samples)
	local l = outs[1]:array ()
	local r = outs[2]:array ()
	local tw = 2 * math.pi
	for i = 1, n_samples do
		local t = n / rate
		local swell = 0.5 + 0.5 * math.sin (tw * 0.5 * t)
		local burst = (math.floor (t * 4) % 2 == 0) and 0.25 or 0.0
		local s = 0.3 * swell * math.sin (tw * 90 * t)
		        + 0.2 * math.sin (tw * 440 * t)
		        + 0.15 * (1 - swell) * math.sin (tw * 2500 * t)
		        + 0.1 * math.sin (tw * 9000 * t)
		local nz = burst * lcg ()
		l[i] = s + nz
		r[i] = 0.8 * s - nz
		n = n + 1
	end
end
