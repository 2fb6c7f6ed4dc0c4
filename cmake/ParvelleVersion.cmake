# The program's version: the project version with the number of commits as
# its fourth part, and the commit in the text, taken from git when the build
# directory is configured (scripts/package.sh configures afresh).
set(PARVELLE_VERSION_COUNT 0)
set(PARVELLE_VERSION_COMMIT "unknown")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE _count
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE _count_result)
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --always --dirty --abbrev=12
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE _commit
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE _commit_result)
  if(_count_result EQUAL 0 AND _count MATCHES "^[0-9]+$")
    # A version part holds at most 65535.
    math(EXPR PARVELLE_VERSION_COUNT "${_count} % 65536")
  endif()
  if(_commit_result EQUAL 0 AND NOT _commit STREQUAL "")
    set(PARVELLE_VERSION_COMMIT "${_commit}")
  endif()
endif()
set(PARVELLE_VERSION_TEXT
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${PARVELLE_VERSION_COUNT}")
configure_file(${PROJECT_SOURCE_DIR}/resources/version.h.in ${PROJECT_BINARY_DIR}/generated/version.h
               @ONLY)
