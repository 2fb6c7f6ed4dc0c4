# Test registration. Every test executable runs under Wine through the
# emulator; tests that need a screen get the DISPLAY that scripts/test.sh
# provides (an Xvfb server); tests that talk to the store simulator require the
# `store_sim` fixture, which starts one simulator for the run and stops it.
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env;WINEPREFIX=${PARVELLE_WINEPREFIX};WINEDEBUG=-all;/usr/bin/wine)

set(PARVELLE_SIM_DIR "${CMAKE_BINARY_DIR}/store-sim")
find_program(PYTHON3 python3 REQUIRED)

# The simulator serves every test of the run from one process.
add_test(NAME store_sim_start
         COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/store_sim/simctl.py start
                 --state-dir ${PARVELLE_SIM_DIR})
add_test(NAME store_sim_stop
         COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/store_sim/simctl.py stop
                 --state-dir ${PARVELLE_SIM_DIR})
set_tests_properties(store_sim_start PROPERTIES FIXTURES_SETUP store_sim)
set_tests_properties(store_sim_stop PROPERTIES FIXTURES_CLEANUP store_sim)

# The simulator's test proxy (tools/store_sim/proxy.py), for the proxy tests:
# fixture `store_proxy`, its info file PARVELLE_PROXY_DIR/proxy.json.
set(PARVELLE_PROXY_DIR "${CMAKE_BINARY_DIR}/store-proxy")
add_test(NAME store_proxy_start
         COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/store_sim/proxy.py start
                 --state-dir ${PARVELLE_PROXY_DIR})
add_test(NAME store_proxy_stop
         COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/store_sim/proxy.py stop
                 --state-dir ${PARVELLE_PROXY_DIR})
set_tests_properties(store_proxy_start PROPERTIES FIXTURES_SETUP store_proxy)
set_tests_properties(store_proxy_stop PROPERTIES FIXTURES_CLEANUP store_proxy)

# Turns a Unix path into the Z: drive path a Windows program understands.
function(parvelle_wine_path out path)
  string(REPLACE "/" "\\" p "${path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()

# parvelle_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>]
#                   [SIM] [RESOURCES] [GDIPLUS] [RUN_SERIAL] [TIMEOUT <s>])
# Builds a GoogleTest executable and registers it as one CTest test.
#   SIM        the test talks to the store simulator; STORE_SIM_INFO names the
#              simulator's info file (JSON: port, ca_file, state_dir)
#   RESOURCES  links the program's resources (PNG pictures, dialog templates)
#   GDIPLUS    GDI+ runs for the whole executable, as it does for the program
#   RUN_SERIAL the test uses the clipboard, the screen or global state
function(parvelle_add_test)
  cmake_parse_arguments(T "SIM;RESOURCES;GDIPLUS;RUN_SERIAL" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(T_GDIPLUS)
    list(APPEND T_SOURCES ${CMAKE_SOURCE_DIR}/tests/support/gdiplus_environment.cpp)
    list(APPEND T_LIBS parvelle_skin)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/support)
  if(T_RESOURCES)
    target_link_libraries(${T_NAME} PRIVATE parvelle_resources)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_SIM)
    parvelle_wine_path(info "${PARVELLE_SIM_DIR}/sim.json")
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED store_sim
                         ENVIRONMENT "STORE_SIM_INFO=${info}")
  endif()
  if(T_RUN_SERIAL)
    set_tests_properties(${T_NAME} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# parvelle_add_pytest(NAME <name> SCRIPT <file> [SIM] [RUN_SERIAL] [TIMEOUT <s>])
# A Python test (store simulator, end-to-end tests of the real exe).
# PARVELLE_BUILD_DIR, PARVELLE_WINEPREFIX and PARVELLE_SOURCE_DIR are set.
function(parvelle_add_pytest)
  cmake_parse_arguments(T "SIM;RUN_SERIAL" "NAME;SCRIPT;TIMEOUT" "" ${ARGN})
  add_test(NAME ${T_NAME} COMMAND ${PYTHON3} -u ${T_SCRIPT}
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set(env "PARVELLE_BUILD_DIR=${CMAKE_BINARY_DIR}" "PARVELLE_WINEPREFIX=${PARVELLE_WINEPREFIX}"
          "PARVELLE_SOURCE_DIR=${CMAKE_SOURCE_DIR}" "PARVELLE_SIM_DIR=${PARVELLE_SIM_DIR}"
          "PARVELLE_PROXY_DIR=${PARVELLE_PROXY_DIR}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}")
  if(T_SIM)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED store_sim)
  endif()
  if(T_RUN_SERIAL)
    set_tests_properties(${T_NAME} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
