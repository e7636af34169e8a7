-- Drives Ardour headless for ardour_test.sh (run by ardour7-lua). Settings come from the
-- environment: OXN3_STEP ("new" or "reopen"), OXN3_FORMAT ("LV2" or "VST3"), OXN3_LV2_URI,
-- OXN3_SESSION_DIR and OXN3_EXPORT_DIR. Lines that start with "oxn3 " are read by the script.
local step = os.getenv("OXN3_STEP")
local format = os.getenv("OXN3_FORMAT")
local sessionDir = os.getenv("OXN3_SESSION_DIR")
local exportDir = os.getenv("OXN3_EXPORT_DIR")
local sessionName = "oxn3"
local rate = 48000
local seconds = 4

local function report(...)
  print("oxn3 " .. table.concat({...}, " "))
end

-- Lets the engine run some cycles: the plug-in's messages reach Ardour in its process calls.
local function letEngineRun()
  ARDOUR.LuaAPI.usleep(500000)
end

local function pluginOfTrack()
  for track in Session:get_tracks():iter() do
    local proc = track:nth_plugin(0)
    if not proc:isnil() then
      return proc
    end
  end
  error("no track with a plug-in")
end

-- The plug-in's controls by name, as Ardour's generic editor and automation lanes see them.
local function controlsOf(proc)
  local controls = {}
  local automatable = proc:to_automatable()
  for _, param in ipairs(automatable:all_automatable_params():table()) do
    local control = automatable:automation_control(param, false)
    local label = control:desc().label
    if not control:isnil() and label ~= "" then
      controls[label] = control
    end
  end
  return controls
end

local function reportControls(what, controls)
  for name, control in pairs(controls) do
    report(what, string.format("%.6f %.6f", control:get_value(), control:desc().normal), name)
  end
end

local function addTrackWithPlugin()
  local id = format == "LV2" and os.getenv("OXN3_LV2_URI") or "OXN3"
  local kind = format == "LV2" and ARDOUR.PluginType.LV2 or ARDOUR.PluginType.VST3
  local info = ARDOUR.LuaAPI.new_plugin_info(id, kind)
  assert(not info:isnil(), "Ardour does not know the " .. format .. " plug-in " .. id)
  Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
                         ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, info, nil, nil, 1, "OXN3",
                         ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
end

local function exportSeconds(folder)
  local export = Session:simple_export()
  assert(export:set_preset("75969a1c-3133-4694-864b-a1fa50e43348"), "no WAV export preset")
  export:set_folder(folder)
  export:set_range(0, seconds * rate)
  assert(export:run_export(), "the export failed")
end

AudioEngine:set_backend("None (Dummy)", "", "")
if step == "new" then
  assert(create_session(sessionDir, sessionName, rate), "cannot create a session")
  addTrackWithPlugin()
else
  assert(load_session(sessionDir, sessionName), "cannot load the session")
end
letEngineRun()

local controls = controlsOf(pluginOfTrack())
reportControls(step == "new" and "fresh" or "reopened", controls)
if step == "new" then
  for name, value in pairs({Cutoff = 0.6, Resonance = 0.8}) do
    assert(controls[name], "no control " .. name)
    controls[name]:set_value(value, PBD.GroupControlDisposition.NoGroup)
  end
  letEngineRun()
  reportControls("edited", controls)
end

exportSeconds(exportDir)
if step == "new" then
  Session:save_state("", false, false, false, false, false)
end
close_session()
report("done")
