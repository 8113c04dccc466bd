-- Loads a saved snapshot in a fresh process, prints the plug-in's parameters as restored, and
-- saves the session again as a new snapshot, so the restored instance writes the state back.
--
-- ardour7-lua reload-session.lua <session-dir> <snapshot> <new snapshot>

local common = dofile (debug.getinfo (1, "S").source:match ("^@(.*/)") .. "common.lua")

local dir, snapshot, resaved = arg[1], arg[2], arg[3]
assert (dir and snapshot and resaved, "usage: reload-session.lua <dir> <snapshot> <new snapshot>")

common.start_engine ("Silence")
local s = load_session (dir, snapshot)
assert (s, "cannot load snapshot " .. snapshot .. " of " .. dir)

local plugin
for route in s:get_routes ():iter () do
	local p = route:nth_plugin (0)
	if not p:isnil () and p:display_name ():find ("Tanglewave", 1, true) then
		plugin = p
	end
end
assert (plugin, "the reloaded session has no Tanglewave insert")
assert (plugin:active (), "the reloaded Tanglewave insert is inactive")

ARDOUR.LuaAPI.usleep (300000)
common.print_parameters (resaved, common.controls (plugin))
assert (s:save_state (resaved, false, false, false, false, false) == 0, "cannot save snapshot " .. resaved)

close_session ()
print ("TW-DONE")
