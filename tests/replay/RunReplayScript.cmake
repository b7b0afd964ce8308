# Runs one replay script through movo-replay and checks how it ended; called by ctest as
#   cmake -DPROGRAM=... -DSCRIPT=... -DOUT=... -DEXPECT=REGEX -P RunReplayScript.cmake
# The script is played twice in one process (--repeat 2): the tool fails when the second
# pass's summary differs from the first, so every script also checks that a run leaves
# nothing behind that changes the next. The test fails when the tool fails or its summary
# line does not match EXPECT; an empty EXPECT means the script has no row in the table.
foreach(name PROGRAM SCRIPT OUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "RunReplayScript.cmake needs -D${name}=...")
  endif()
endforeach()
if("${EXPECT}" STREQUAL "")
  message(FATAL_ERROR "${SCRIPT} has no expected summary: add a row for it to the table in "
                      "tests/replay/CMakeLists.txt")
endif()

execute_process(COMMAND "${PROGRAM}" --quiet --repeat 2 --out "${OUT}" "${SCRIPT}"
                RESULT_VARIABLE exitCode
                OUTPUT_VARIABLE output
                ERROR_VARIABLE errors)
string(REGEX MATCH "summary: [^\n]*" summary "${output}")
message("${output}${errors}")
if(NOT exitCode EQUAL 0)
  message(FATAL_ERROR "movo-replay exited with ${exitCode} for ${SCRIPT}")
endif()
if(NOT summary MATCHES "${EXPECT}")
  message(FATAL_ERROR "the summary of ${SCRIPT}\n  ${summary}\ndoes not match\n  ${EXPECT}")
endif()
