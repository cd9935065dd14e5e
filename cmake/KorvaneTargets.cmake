# The build files are a map of the tree: every folder named here must exist
# and hold sources, so a library or test program is never made for a folder
# that is not there (add a folder to the list when it gets its first file).
function(korvane_sources_of out)
  set(sources)
  foreach(dir IN LISTS ARGN)
    set(path ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
    if(NOT IS_DIRECTORY ${path})
      message(FATAL_ERROR "Korvane: folder ${path} is listed but does not exist")
    endif()
    # Sources are found by glob so that adding a file needs no edit here
    # (CONFIGURE_DEPENDS re-runs cmake when the folder changes).
    file(GLOB dir_sources CONFIGURE_DEPENDS ${path}/*.cpp ${path}/*.c)
    if(NOT dir_sources)
      message(FATAL_ERROR "Korvane: folder ${path} is listed but holds no sources")
    endif()
    list(APPEND sources ${dir_sources})
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

# What a sanitizer build needs of a program that meets libraries not built
# with it (GL, SDL2, OpenAL Soft): the leak checker's and the thread
# sanitizer's suppressions.
function(korvane_add_sanitizer_support name)
  if(KORVANE_SANITIZE)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/lsan_suppressions.cpp)
  endif()
  if(KORVANE_SANITIZE_THREAD)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/tsan_suppressions.cpp)
  endif()
endfunction()

# One static library per subsystem folder (or set of folders).
function(korvane_add_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  korvane_sources_of(sources ${ARG_DIRS})
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One GoogleTest program per subsystem, each test found by CTest.
function(korvane_add_test_program name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  korvane_sources_of(sources ${ARG_DIRS})
  add_executable(${name} ${sources})
  korvane_add_sanitizer_support(${name})
  # Where tests find the build and source trees (the test environment
  # carries only one variable through test discovery).
  target_compile_definitions(${name} PRIVATE KORVANE_BINARY_DIR="${PROJECT_BINARY_DIR}" KORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} korvane_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    TEST_LIST ${name}_TESTS
    DISCOVERY_TIMEOUT 60)
  # Every test's environment: the headless back end, the recording 3-D
  # device, and files a test writes without choosing a folder in the build
  # tree, never in the user's own data folder. Set by a file CTest reads
  # after the discovered tests, because discovery passes its PROPERTIES on
  # as one flat list, which keeps only the first variable of a list value.
  set(environment_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
  file(WRITE ${environment_file}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT\n"
    "    \"KORVANE_BACKEND=headless;KORVANE_3D_DEVICE=recording;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/data\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_file})
endfunction()
