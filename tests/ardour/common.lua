-- Helpers shared by the Ardour session scripts.
local M = {}

-- The plug-in's parameters, in host order.
M.parameter_ids = {
	"OutputGain", "Mix", "DriverFeedback", "DriverDelay",
	"CEnabled_a", "CPredelay_a", "CDepth_a", "CFeedback_a", "CPeriod_a",
	"CEnabled_b", "CPredelay_b", "CDepth_b", "CFeedback_b", "CPeriod_b",
	"PRange", "PFreq", "PPeriod", "PLayers", "OscEnabled", "Stereo", "TFeedback", "TFeedbackTexture",
}

function M.start_engine (device)
	assert (AudioEngine:set_backend ("None (Dummy)", "", ""), "no dummy audio backend")
	AudioEngine:set_device_name (device)
	AudioEngine:set_sample_rate (48000)
	assert (AudioEngine:start (false) == 0, "the dummy audio engine does not start")
end

function M.plugin_type (format)
	if format == "VST3" then return ARDOUR.PluginType.VST3 end
	if format == "LV2" then return ARDOUR.PluginType.LV2 end
	error ("unknown plug-in format " .. tostring (format))
end

-- The plug-in's controls by parameter identifier: VST3 parameters are plug-in controls, JUCE's
-- LV2 parameters are property controls (named after their URI, labelled with the identifier).
function M.controls (plugin)
	local automatable = plugin:to_automatable ()
	local controls = {}
	for param in automatable:all_automatable_params ():iter () do
		local ac = automatable:automation_control (param, false)
		if not ac:isnil () then
			controls[ac:desc ().label] = ac
		end
	end
	return controls
end

-- PLayers is 1 to 12 on the plug-in side; VST3 shows it normalised, LV2 in its own range.
local function to_control (ac, name, value)
	if name ~= "PLayers" then return value end
	local d = ac:desc ()
	return d.lower + (d.upper - d.lower) * (value - 1) / 11
end

local function from_control (ac, name, value)
	if name ~= "PLayers" then return value end
	local d = ac:desc ()
	return 1 + 11 * (value - d.lower) / (d.upper - d.lower)
end

function M.set_parameter (ac, name, value)
	ac:set_value (to_control (ac, name, value), PBD.GroupControlDisposition.NoGroup)
end

function M.print_parameters (label, controls)
	for _, name in ipairs (M.parameter_ids) do
		local ac = controls[name]
		print (string.format ("TW-PARAM %s %s %.6f", label, name, from_control (ac, name, ac:get_value ())))
	end
end

return M
