# The campaign from the main menu, in both programs: a new game through the
# paper pages, the intro video and the difficulty screen, each mission's
# briefing paged through, each mission flown to its end (M1's countdown
# with the pumps down, M2's roof sensor, M3's boss core destroyed), the
# ending video and the credits, then a confirmed quit from the main menu
# (scripts/campaign.script says how the ship flies). The frames show the
# briefing screen with each page's picture in its frame, the levels and
# the mission-accomplished screen: look at them. About three minutes of game time, which korvane3d's
# headless OpenGL needs about as long to draw (longer on a busy machine).
set(demo ${CMAKE_CURRENT_BINARY_DIR}/demo)
set(briefing_pages "")
foreach(page M1.CAN/BRIEF1.BMP M1.CAN/BRIEF2.BMP M2.CAN/BRIEF1.BMP M2.CAN/BRIEF2.BMP M3.CAN/BRIEF1.BMP
    M3.CAN/BRIEF2.BMP)
  string(REPLACE "/" " " page "${page}")
  string(APPEND briefing_pages "--picture ${demo}/${page} --at 336,29 ")
endforeach()
foreach(program korvane3d korvanesw)
  korvane_program_run(${program}_plays_the_campaign ${program} campaign.script 0
    TIMEOUT 480
    ENV KORVANE_FRAME_EVERY=20
    FRAMES "--picture ${demo}/INTERFC.CAN brf-main.bmp --share 60" "${briefing_pages}--share 95" "--level 60"
      "--text ${demo}/INTERFC.CAN FONT_LG.BMP 10 100,20 \"mission accomplished...\""
    MATCHES "a new game starts\n.*the briefing of M1.CAN has 2 pages\n.*level M1.CAN runs\n"
      "message: Control room sensor tripped.\n.*message: The pumps are down.\n.*new game in M2.CAN through its briefing\n.*the briefing of M2.CAN has 2 pages\n.*level M2.CAN runs\n"
      "message: Valve turned.\n.*door door_seal opens\n.*message: Valve turned.\n.*door swinging_gate opens\n.*message: Roof sensor tripped"
      "message: Roof sensor tripped[^\n]*\n.*new game in M3.CAN through its briefing\n.*the briefing of M3.CAN has 2 pages\n.*level M3.CAN runs\n"
      "level M3.CAN runs\n.*message: The gate shuts behind you.*boss stage 5\n.*enemy fboss5.3ds destroyed.*message: The core is destroyed"
      "message: The core is destroyed[^\n]*\n.*video ENDING.SMK plays\n.*the video ends\n.*quit from the menus"
      "quits with exit code 0"
    REJECTS "mission failed" "HERO breaks into" "not found")
endforeach()
