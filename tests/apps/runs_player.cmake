# Whole-program runs of what a player meets in a single-player game, each in
# both programs: dying and starting the mission again.

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
    REJECTS "new game in M1.CAN\n.*mission failed")
endforeach()
