# TARNWICK_VERSION: the "ProductVersion" of the version resource, the one
# place the version is written. Run as a script (cmake -P), it prints it.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../res/tarnwick.rc version_line
  REGEX "VALUE \"ProductVersion\"")
if(NOT version_line MATCHES "\"ProductVersion\", \"([^\"\\]+)")
  message(FATAL_ERROR "res/tarnwick.rc has no ProductVersion")
endif()
set(TARNWICK_VERSION ${CMAKE_MATCH_1})
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${TARNWICK_VERSION})
endif()
