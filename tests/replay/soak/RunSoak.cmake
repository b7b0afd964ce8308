# Plays the soak scripts of seeds FIRST_SEED to FIRST_SEED + SEEDS - 1 through movo-replay;
# called by ctest as
#   cmake -DPROGRAM=... -DGENERATOR=... -DFIRST_SEED=N -DSEEDS=N -DTICKS=N -DOUT=DIR -P RunSoak.cmake
# Each script is kept as DIR/seed-N.txt, so that a failure can be played again by hand.
foreach(name PROGRAM GENERATOR FIRST_SEED SEEDS TICKS OUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "RunSoak.cmake needs -D${name}=...")
  endif()
endforeach()
# A run of 15000 ticks takes under 10 s of processor time in the sanitizer build, up to
# about 130 s of wall time on a busy machine; one that goes on for this long does not end.
set(runLimitSeconds 240)

file(MAKE_DIRECTORY "${OUT}")
math(EXPR lastSeed "${FIRST_SEED} + ${SEEDS} - 1")
foreach(seed RANGE ${FIRST_SEED} ${lastSeed})
  set(script "${OUT}/seed-${seed}.txt")
  execute_process(COMMAND "${GENERATOR}" ${seed} ${TICKS} OUTPUT_FILE "${script}" RESULT_VARIABLE exitCode)
  if(NOT exitCode EQUAL 0)
    message(FATAL_ERROR "seed ${seed}: movo-soak-script exited with ${exitCode}")
  endif()
  # The script's last line is near TICKS; the tool's Escape after TICKS ends the run.
  execute_process(COMMAND "${PROGRAM}" --quiet --max-ticks ${TICKS} --out "${OUT}/seed-${seed}" "${script}"
                  RESULT_VARIABLE exitCode
                  OUTPUT_VARIABLE output
                  ERROR_VARIABLE errors
                  TIMEOUT ${runLimitSeconds})
  string(REGEX MATCH "summary: [^\n]*" summary "${output}")
  set(fault "")
  if(errors MATCHES "Sanitizer|runtime error")
    set(fault "reported a sanitizer error")
  elseif(exitCode MATCHES "^[0-9]+$" AND NOT exitCode EQUAL 0)
    set(fault "exited with ${exitCode}")
  elseif(NOT exitCode MATCHES "^[0-9]+$") # a signal, or the time limit
    set(fault "ended: ${exitCode}")
  endif()
  if(fault)
    message(FATAL_ERROR "${output}${errors}\nseed ${seed}: movo-replay ${fault} playing ${script}\n"
                        "play it again with: ${PROGRAM} --max-ticks ${TICKS} ${script}")
  endif()
  message("seed ${seed}: ${summary}")
endforeach()
