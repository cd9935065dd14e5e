# SDL2 (interactive window, keyboard, mouse, joystick, audio) and FFmpeg
# (video decoding) are optional: without them the programs still build, with
# the headless back end only.
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

message(STATUS "Korvane: SDL2 back end ${KORVANE_HAVE_SDL}, FFmpeg video ${KORVANE_HAVE_FFMPEG}")
