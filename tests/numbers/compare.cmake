# Runs PROGRAM (a command list: an emulator may come first), keeps its output
# in OUTPUT and fails unless it equals EXPECTED line for line.
cmake_minimum_required(VERSION 3.20)
list(FILTER PROGRAM EXCLUDE REGEX "^$")
execute_process(COMMAND ${PROGRAM} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ended with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files --ignore-eol ${OUTPUT} ${EXPECTED} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "The disc's numbers in ${OUTPUT} differ from ${EXPECTED}")
endif()
