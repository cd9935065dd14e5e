# The third mission, the campaign's finale, played to the boss's end in
# both programs: jumped to through its briefing, the ship armed, flown
# through both twin doors into the arena, where its shots wear an outer
# part of the boss down; the parts gather at the core, the core shows and
# is destroyed, its death event ends the game and the ending video plays.
# The ship must live through it (the script heals it). The frames show
# the fight: look at them. The timeline is in the script's head comment.
foreach(program korvane3d korvanesw)
  korvane_program_run(${program}_destroys_the_boss_of_the_third_mission ${program} mission_three.script 0
    ENV KORVANE_FRAME_EVERY=25
    FRAMES "--level 20"
    MATCHES "new game in M3.CAN through its briefing" "the briefing of M3.CAN has 2 pages" "level M3.CAN runs"
      "message: The gate shuts behind you"
      "boss stage 3\n.*boss stage 4\n.*boss stage 5\n.*enemy fboss5.3ds destroyed.*message: The core is destroyed.*video ENDING.SMK plays"
      "quits with exit code 0"
    REJECTS "HERO breaks into" "mission failed" "not found"
    # About a minute of game time, which korvane3d's headless OpenGL needs
    # about as long to draw (longer on a busy machine).
    TIMEOUT 150)
endforeach()
