# Eight programs play the network mission, the arena M4.CAN, over loopback
# (net_eight_programs.sh says what they do and what is checked): korvanesw
# once with the provider's guaranteed delivery and once with the game's own
# delivery under 10 % injected loss, duplication and reordering; korvane3d
# (its triangle path on Mesa's software GL, headless through EGL) with the
# provider's delivery only: eight GL programs are the heaviest run there is
# (about 250 s of CPU in 100 s on 8 cores, 130 s held to 2 cores, where
# korvanesw's runs take 45 s of CPU in 75 s), and the delivery layer they
# share is the same code in both programs. Each run takes well over a minute
# of real time (the network's timeouts are real), so they carry the label
# "long" (ctest -LE long leaves them out), and never run at the same time as
# each other. Each run has a fixed port of its own.
set(net_runs
  "korvanesw\;provider\;47731\;"
  "korvanesw\;own\;47741\;noguarantee,loss=10,dup=10,reorder=10"
  "korvane3d\;provider\;47751\;")
foreach(run IN LISTS net_runs)
  list(GET run 0 program)
  list(GET run 1 delivery)
  list(GET run 2 port)
  list(GET run 3 switches)
  set(name ${program}_eight_programs_play_the_arena_${delivery}_delivery)
  add_test(NAME ${name}
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/net_eight_programs.sh $<TARGET_FILE:${program}>
      ${CMAKE_CURRENT_BINARY_DIR}/net/${program}_${delivery} ${port} "${switches}" $<TARGET_FILE:frame_check>
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 400 FIXTURES_REQUIRED demo_data RESOURCE_LOCK eight_programs LABELS long
    ENVIRONMENT "${run_env}")
endforeach()

# Two programs meet in the arena through the network screens, without a
# lobby (net_menus.sh says what they do and what is checked): the host
# picks "Halvard Reactor" from the mission list, the guest finds the session
# and plays its mission. About 40 s each, on ports of their own.
set(menu_runs "korvanesw\;47761" "korvane3d\;47771")
foreach(run IN LISTS menu_runs)
  list(GET run 0 program)
  list(GET run 1 port)
  set(name ${program}_two_programs_meet_in_the_arena_through_the_network_screens)
  add_test(NAME ${name}
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/net_menus.sh $<TARGET_FILE:${program}>
      ${CMAKE_CURRENT_BINARY_DIR}/net/${program}_menus ${port}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES TIMEOUT 150 FIXTURES_REQUIRED demo_data ENVIRONMENT "${run_env}")
endforeach()
