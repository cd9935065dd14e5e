# Whole-program runs of what a player meets in a single-player game, each in
# both programs: dying and starting the mission again, saving and loading,
# changing every setting and key binding and finding them after a restart.
# korvane3d draws each frame through its 3-D device, several times slower
# than korvanesw: its runs may take up to two minutes, so that they pass
# on a loaded machine too.
set(player_timeout_korvane3d 120)
set(player_timeout_korvanesw 50)

foreach(program korvane3d korvanesw)
  # The boulder wrecks the ship (as in the wreck run); a second later the
  # mission has failed, and Space starts it again from its start, without
  # the briefing. The ship, whole again, flies on through the doorway into
  # the corridor, where the door opens for it. The frames show the wreck
  # and the level from the start again.
  korvane_program_run(${program}_dies_and_starts_again ${program} death_and_restart.script 0
    ENV KORVANE_FRAME_EVERY=10
    FRAMES "--level 20"
    MATCHES "new game in M1.CAN through its briefing\n.*level M1.CAN runs\n"
      "message: mission failed!\n.*HERO breaks into 4 pieces\n.*the ship leaves the level at -?[0-9]+ [0-9]+ -3[0-9][0-9]\n.*new game in M1.CAN\n.*level M1.CAN runs\n"
      "level M1.CAN runs\n.*door door_main opens\n.*the ship leaves the level at -?[0-9]+ [0-9]+ [4-9][0-9][0-9]\n.*quits with exit code 0"
    REJECTS "new game in M1.CAN\n.*mission failed"
    TIMEOUT ${player_timeout_${program}})
endforeach()

# The game saved mid-mission and loaded again, and loaded by a program
# started afresh. The debug line of the game's state (the ship's place,
# shields and health, weapons and ammunition, each door's opening, the
# level's objects and enemies) written at the save must come back, the same,
# at each load.
set(state_line "korvane: game state: [^\n]*")
foreach(program korvane3d korvanesw)
  # Armed, the ship fires, flies to the corridor's door, which opens, and
  # stops there; the game is saved through the save screen. The ship flies
  # on into the pump room (the door shuts behind it) and fires again; the
  # game loaded through the load screen has it back at the door, open, and
  # the view after the load is the view at the save.
  set(data ${CMAKE_CURRENT_BINARY_DIR}/data/${program}_saves_and_loads_midway)
  korvane_program_run(${program}_saves_and_loads_midway ${program} save_and_load_midway.script 0
    ENV KORVANE_FRAME_EVERY=5
    FRAMES "--returns ${CMAKE_CURRENT_BINARY_DIR}/demo/INTERFC.CAN mns1.bmp savehi.bmp loadhi.bmp"
    MATCHES "typed word ARMZULOP\n.*door door_main opens\n.*menu screen 5 opens\n"
      "game state: ship at [-0-9.]+ [-0-9.]+ [45][0-9][0-9]\\.[0-9],[^\n]*door door_main 1\\.00,[^\n]*\nkorvane: saved [^\n]*/SAVE/game0.sav\n"
      "door door_main closes\n.*menu screen 6 opens\n"
      "before loading, game state: ship at [-0-9.]+ [-0-9.]+ 1[0-9][0-9][0-9]\\.[0-9],[^\n]*door door_main 0\\.00,"
      "the ship leaves the level at [^\n]*\n.*saved game [^\n]*/SAVE/game0.sav runs M1.CAN\n${state_line}\n"
      "quits with exit code 0"
    REJECTS "mission failed" "the saved game was not loaded"
    FILES ${data}/korvane/SAVE/game0.sav
    SAME "${state_line}" SAME_TO ${data}/state.txt TIMEOUT ${player_timeout_${program}})
  set_tests_properties(${program}_saves_and_loads_midway PROPERTIES FIXTURES_SETUP ${program}_saved_midway)
  # The program started again (the same data folder) loads that game from
  # the main menu's load screen: the state is the one saved, and the ship
  # flies on from the door into the pump room.
  korvane_program_run(${program}_loads_the_saved_game_after_a_restart ${program} load_from_the_menu.script 0
    ENV "XDG_DATA_HOME=${data}" KORVANE_FRAME_EVERY=10
    FRAMES "--level 10"
    MATCHES "menu screen 6 opens\n.*saved game [^\n]*/SAVE/game0.sav runs M1.CAN\n${state_line}\n"
      "door door_main closes\n.*the ship leaves the level at -?[0-9]+ -?[0-9]+ (9|1[0-9])[0-9][0-9]\n"
      "quits with exit code 0"
    REJECTS "the saved game was not loaded"
    SAME "${state_line}" SAME_AS ${data}/state.txt TIMEOUT ${player_timeout_${program}})
  set_tests_properties(${program}_loads_the_saved_game_after_a_restart PROPERTIES FIXTURES_REQUIRED ${program}_saved_midway)
endforeach()

# Every setting and key binding changed through the menus and found after a
# restart. settings_run takes the list from the game's own settings and key
# tables (a value it has no way to set fails the build of the scripts),
# writes both runs' input scripts and checks the settings file and the
# menus' frames they leave.
add_executable(settings_run settings_run.cpp)
target_link_libraries(settings_run PRIVATE korvane_game korvane_testsupport korvane_media)
set(settings_scripts ${CMAKE_CURRENT_BINARY_DIR}/settings)
set(settings_outputs)
foreach(program korvane3d korvanesw)
  set(change ${settings_scripts}/${program}_change.script)
  set(check ${settings_scripts}/${program}_check.script)
  add_custom_command(OUTPUT ${change} ${check}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${settings_scripts}
    COMMAND settings_run scripts ${program} ${change} ${check}
    DEPENDS settings_run
    COMMENT "The settings runs' input scripts for ${program}")
  list(APPEND settings_outputs ${change} ${check})
endforeach()
add_custom_target(settings_run_scripts ALL DEPENDS ${settings_outputs})

# korvane3d's menus present every frame (they draw their own cursor), so
# every fifth frame shows each screen; korvanesw's present only what changed,
# and every frame is kept.
set(settings_frames_korvane3d 5)
set(settings_frames_korvanesw 1)
set(settings_timeout_korvane3d 180)
set(settings_timeout_korvanesw 180)
foreach(program korvane3d korvanesw)
  set(config ${CMAKE_CURRENT_BINARY_DIR}/config/${program}_settings)
  set(file_check "$<TARGET_FILE:settings_run> file ${program} '${config}/Tallow Ferngate/Korvane.ini'")
  # The first run starts from a settings file with nothing in it, changes
  # every value on the advanced, sound, controls and video screens (a
  # joystick plugged in, so that its buttons work), binds every key anew on
  # the key screen, and quits from the menus; the file then holds every
  # value as set. Only menus: a 40-ms step.
  korvane_program_run(${program}_changes_every_setting ${program} ${settings_scripts}/${program}_change.script 0
    ENV "XDG_CONFIG_HOME=${config}" KORVANE_FIXED_STEP_MS=40
    WRITE_FILE "${config}/Tallow Ferngate/Korvane.ini" WRITE_TEXT "[Settings]\\n"
    MATCHES "menu screen 17 opens\n.*menu screen 3 opens\n.*menu screen 4 opens\n.*menu screen 9 opens\n.*menu screen 7 opens\n"
      "quit from the menus" "quits with exit code 0"
    AFTER "${file_check}"
    TIMEOUT ${settings_timeout_${program}})
  set_tests_properties(${program}_changes_every_setting PROPERTIES FIXTURES_SETUP ${program}_settings_changed)
  # The second, started again with the same settings folder, shows each of
  # those screens as set (the frames: the sliders' knobs, the sound
  # switches, the latched buttons), leaves them with Esc (which stores what
  # they show again), and flies the demo mission with the new accelerate key
  # through the doorway (korvanesw at the 800x600 it was set to); the
  # settings file is still as set.
  set(game_frames_korvane3d "--level 5")
  set(game_frames_korvanesw "--game 800x600")
  korvane_program_run(${program}_finds_every_setting_after_a_restart ${program} ${settings_scripts}/${program}_check.script 0
    ENV "XDG_CONFIG_HOME=${config}" KORVANE_FRAME_EVERY=${settings_frames_${program}}
    FRAMES "${game_frames_${program}}"
    MATCHES "menu screen 17 opens\n.*menu screen 3 opens\n.*menu screen 4 opens\n.*menu screen 9 opens\n.*menu screen 7 opens\n"
      "level M1.CAN runs\n.*door door_main opens\n.*the ship leaves the level at -?[0-9]+ -?[0-9]+ [4-9][0-9][0-9]\n"
      "quits with exit code 0"
    AFTER "${file_check}"
      "$<TARGET_FILE:settings_run> frames ${program} ${CMAKE_CURRENT_BINARY_DIR}/frames/${program}_finds_every_setting_after_a_restart ${CMAKE_CURRENT_BINARY_DIR}/demo/INTERFC.CAN"
    TIMEOUT ${settings_timeout_${program}})
  set_tests_properties(${program}_finds_every_setting_after_a_restart PROPERTIES FIXTURES_REQUIRED ${program}_settings_changed)
endforeach()
