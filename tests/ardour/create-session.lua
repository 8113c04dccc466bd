-- Creates an Ardour session with one stereo track, records the dummy backend's sine input through
-- Tanglewave and saves one snapshot per plug-in setting.
--
-- ardour7-lua create-session.lua <session-dir> <record seconds> <step>...
-- Steps, in order:
--   FORMAT:ID   insert the plug-in (VST3 or LV2, with Ardour's id for it) in place of the previous
--               one, at its own default setting; the first one is inserted before recording
--   ID=value    set a parameter (PLayers 1 to 12, every other parameter 0 to 1)
--   @name       save the session as snapshot <name> and print the parameters as read back

local common = dofile (debug.getinfo (1, "S").source:match ("^@(.*/)") .. "common.lua")

local dir, seconds = arg[1], tonumber (arg[2])
assert (dir and seconds and arg[3], "usage: create-session.lua <dir> <seconds> <FORMAT:ID> <step>...")

common.start_engine ("Sine Wave")
local s = create_session (dir, "tw", 48000)
assert (s, "cannot create a session in " .. dir)

local tracks = s:new_audio_track (2, 2, nil, 1, "Tanglewave", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
assert (tracks:size () == 1, "cannot add a stereo track")
local track = tracks:front ()

local plugin, controls

local function insert_plugin (format, id)
	if plugin then
		assert (track:remove_processor (plugin, nil, true) == 0, "cannot remove the previous plug-in")
	end
	plugin = ARDOUR.LuaAPI.new_plugin (s, id, common.plugin_type (format), "")
	assert (not plugin:isnil (), "Ardour does not know the " .. format .. " plug-in " .. id)
	assert (track:add_processor_by_index (plugin, 0, nil, true) == 0, "the track refuses the " .. format .. " plug-in")
	controls = common.controls (plugin)
	for _, name in ipairs (common.parameter_ids) do
		assert (controls[name], "the " .. format .. " plug-in shows no control " .. name)
	end
end

local function record ()
	for ch = 0, 1 do
		assert (track:input ():audio (ch):connect ("system:capture_" .. (ch + 1)) == 0, "cannot connect the track input")
	end
	track:rec_enable_control ():set_value (1, PBD.GroupControlDisposition.NoGroup)
	s:maybe_enable_record (false)
	s:request_roll (ARDOUR.TransportRequestSource.TRS_UI)
	ARDOUR.LuaAPI.usleep (math.floor (seconds * 1e6))
	s:request_stop (false, true, ARDOUR.TransportRequestSource.TRS_UI)
	ARDOUR.LuaAPI.usleep (500000)
	track:rec_enable_control ():set_value (0, PBD.GroupControlDisposition.NoGroup)
	-- From here on the track plays the take back from disk only.
	track:input ():disconnect_all (nil)
	track:monitoring_control ():set_value (ARDOUR.MonitorChoice.MonitorDisk, PBD.GroupControlDisposition.NoGroup)

	local recorded = s:current_end_sample () - s:current_start_sample ()
	assert (recorded >= seconds * 48000 / 2, "recorded only " .. recorded .. " samples")
	print ("TW-RECORDED " .. recorded)
end

for i = 3, #arg do
	local step = arg[i]
	local format, id = step:match ("^(%u[%u%d]*):(.+)$")
	local snapshot = step:match ("^@(.+)$")
	local name, value = step:match ("^([%w_]+)=([%d.]+)$")
	if format then
		insert_plugin (format, id)
		if i == 3 then
			record ()
		end
	elseif snapshot then
		-- Parameter changes reach an LV2 plug-in through its event port: let a few cycles run.
		ARDOUR.LuaAPI.usleep (300000)
		assert (s:save_state (snapshot, false, false, false, false, false) == 0, "cannot save snapshot " .. snapshot)
		common.print_parameters (snapshot, controls)
	elseif name then
		assert (controls[name], "unknown parameter " .. name)
		common.set_parameter (controls[name], name, tonumber (value))
	else
		error ("cannot read step " .. step)
	end
end

close_session ()
print ("TW-DONE")
