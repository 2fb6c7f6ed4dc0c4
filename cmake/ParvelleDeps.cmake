# Imported targets for the cross-built libraries in PARVELLE_DEPS_PREFIX.

# The libraries rebuilt under a new prefix (scripts/build-deps.sh keys it on
# its recipe and the package versions): what an earlier configure found in
# the old prefix, which may be gone, is looked up again.
if(NOT "${PARVELLE_DEPS_PREFIX}" STREQUAL "${PARVELLE_DEPS_PREFIX_FOUND}")
  foreach(var CURL_DIR GTest_DIR CJSON_INCLUDE_DIR CJSON_LIBRARY QRENCODE_INCLUDE_DIR
              QRENCODE_LIBRARY)
    unset(${var} CACHE)
  endforeach()
endif()

find_package(CURL CONFIG REQUIRED)

find_path(CJSON_INCLUDE_DIR cjson/cJSON.h REQUIRED)
find_library(CJSON_LIBRARY NAMES cjson libcjson REQUIRED)
add_library(parvelle::cjson STATIC IMPORTED)
set_target_properties(parvelle::cjson PROPERTIES IMPORTED_LOCATION "${CJSON_LIBRARY}"
                      INTERFACE_INCLUDE_DIRECTORIES "${CJSON_INCLUDE_DIR}"
                      INTERFACE_COMPILE_DEFINITIONS CJSON_HIDE_SYMBOLS)

find_path(QRENCODE_INCLUDE_DIR qrencode.h REQUIRED)
find_library(QRENCODE_LIBRARY NAMES qrencode libqrencode REQUIRED)
add_library(parvelle::qrencode STATIC IMPORTED)
set_target_properties(parvelle::qrencode PROPERTIES IMPORTED_LOCATION "${QRENCODE_LIBRARY}"
                      INTERFACE_INCLUDE_DIRECTORIES "${QRENCODE_INCLUDE_DIR}")

if(PARVELLE_TESTS)
  find_package(GTest CONFIG REQUIRED)
endif()

set(PARVELLE_DEPS_PREFIX_FOUND "${PARVELLE_DEPS_PREFIX}" CACHE INTERNAL "prefix the libraries were found in")
