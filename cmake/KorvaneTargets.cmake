# One static library per subsystem folder. Sources are found by glob so that
# adding a file needs no edit here (re-run cmake; CONFIGURE_DEPENDS does it).
function(korvane_add_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB dir_sources CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${dir_sources})
  endforeach()
  if(NOT sources)
    # A subsystem that has no code yet still gives a linkable target.
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// ${name} has no sources yet\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One GoogleTest program per subsystem, each test found by CTest.
function(korvane_add_test_program name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${dir_sources})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  # Where tests find the build and source trees (the test environment
  # carries only one variable through test discovery).
  target_compile_definitions(${name} PRIVATE KORVANE_BINARY_DIR="${PROJECT_BINARY_DIR}" KORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} korvane_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "KORVANE_BACKEND=headless"
    DISCOVERY_TIMEOUT 60)
endfunction()
