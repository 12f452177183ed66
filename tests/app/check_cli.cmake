# Runs PROGRAM with ARGS ("|" between arguments) and checks its exit code against
# CODE, its standard output against the regular expression OUT and its standard
# error against ERR.
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${args} RESULT_VARIABLE code OUTPUT_VARIABLE out
                ERROR_VARIABLE err TIMEOUT 60)
set(report "${PROGRAM} ${args}\nexit code: ${code}\nstdout:\n${out}\nstderr:\n${err}")
if(NOT code STREQUAL CODE)
  message(FATAL_ERROR "exit code ${code}, expected ${CODE}\n${report}")
endif()
if(NOT out MATCHES "${OUT}")
  message(FATAL_ERROR "stdout does not match ${OUT}\n${report}")
endif()
if(NOT err MATCHES "${ERR}")
  message(FATAL_ERROR "stderr does not match ${ERR}\n${report}")
endif()
