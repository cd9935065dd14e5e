# Runs PROGRAM (with ARGS) and checks what the run did:
#   EXPECTED        the exit code it must end with
#   STDERR_MATCHES  regular expressions (separated by "@@") that its stderr
#                   must each match: the lines a run writes with KORVANE_DEBUG
#                   set say where it got to
#   STDERR_REJECTS  regular expressions its stderr must not match
#   ERROR_LOG       a file the run must leave as it was
#   FILES           files (separated by "@@") the run must write: removed
#                   before it starts, there and not empty after it
#   STOP_AFTER      seconds after which it is sent SIGINT, as Ctrl+C would
if(DEFINED ERROR_LOG AND EXISTS "${ERROR_LOG}")
  file(SIZE "${ERROR_LOG}" log_before)
else()
  set(log_before -1)
endif()
string(REPLACE "@@" ";" files "${FILES}")
if(files)
  file(REMOVE ${files})
endif()
separate_arguments(arg_list UNIX_COMMAND "${ARGS}")
set(command "${PROGRAM}" ${arg_list})
if(STOP_AFTER)
  # --foreground: the signal goes to the program alone, once, as from a
  # terminal (otherwise timeout sends it to its process group as well).
  set(command timeout --foreground --preserve-status -s INT ${STOP_AFTER} ${command})
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE result ERROR_VARIABLE stderr TIMEOUT 50)
message("${stderr}")
if(NOT "${result}" STREQUAL "${EXPECTED}")
  message(FATAL_ERROR "${PROGRAM} ${ARGS} ended with '${result}', expected ${EXPECTED}")
endif()
string(REPLACE "@@" ";" matches "${STDERR_MATCHES}")
foreach(pattern IN LISTS matches)
  if(NOT stderr MATCHES "${pattern}")
    message(FATAL_ERROR "${PROGRAM} ${ARGS}: stderr does not match '${pattern}'")
  endif()
endforeach()
string(REPLACE "@@" ";" rejects "${STDERR_REJECTS}")
foreach(pattern IN LISTS rejects)
  if(stderr MATCHES "${pattern}")
    message(FATAL_ERROR "${PROGRAM} ${ARGS}: stderr matches '${pattern}'")
  endif()
endforeach()
if(DEFINED ERROR_LOG)
  if(EXISTS "${ERROR_LOG}")
    file(SIZE "${ERROR_LOG}" log_after)
  else()
    set(log_after -1)
  endif()
  if(NOT log_after EQUAL log_before)
    message(FATAL_ERROR "${PROGRAM} wrote to ${ERROR_LOG}")
  endif()
endif()
foreach(path IN LISTS files)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${PROGRAM} ${ARGS} did not write ${path}")
  endif()
  file(SIZE "${path}" size)
  if(size EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGS} wrote ${path} empty")
  endif()
endforeach()
