# SDL2 (the interactive back end's window, keyboard and mouse) is optional:
# without it the programs still build, with the headless back end only.
# FFmpeg's libraries decode the videos (without them no video plays), and
# the tests decode what the data builder writes with them.
find_package(PkgConfig QUIET)

set(KORVANE_HAVE_SDL OFF)
if(KORVANE_USE_SDL AND PKG_CONFIG_FOUND)
  pkg_check_modules(SDL2 QUIET IMPORTED_TARGET sdl2)
  if(SDL2_FOUND)
    set(KORVANE_HAVE_SDL ON)
  endif()
endif()

set(KORVANE_HAVE_FFMPEG OFF)
if(KORVANE_USE_FFMPEG AND PKG_CONFIG_FOUND)
  pkg_check_modules(FFMPEG QUIET IMPORTED_TARGET libavformat libavcodec libswresample libavutil)
  if(FFMPEG_FOUND)
    set(KORVANE_HAVE_FFMPEG ON)
  endif()
endif()

message(STATUS "Korvane: SDL2 back end ${KORVANE_HAVE_SDL}, FFmpeg found ${KORVANE_HAVE_FFMPEG}")
