# Imported targets for the cross-built libraries in PARVELLE_DEPS_PREFIX.
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
