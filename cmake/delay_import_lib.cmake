# Makes a delay-load import library from a toolchain import library:
#   cmake -DDLLTOOL=... -DNM=... -DIMPORT_LIB=libX.a -DOUT=libX.a -P delay_import_lib.cmake
# run in the output folder (dlltool names its symbols after OUT, and the
# exe keeps no path of the build).
# It lists every function the import library does (data exports cannot be
# delay-loaded), for the DLL the import library names.
execute_process(COMMAND ${DLLTOOL} -I ${IMPORT_LIB} OUTPUT_VARIABLE dll
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${NM} -g --defined-only ${IMPORT_LIB} OUTPUT_VARIABLE symbols
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL " T [^\n]+" functions "${symbols}")
list(TRANSFORM functions REPLACE "^ T " "")
list(REMOVE_DUPLICATES functions)
list(SORT functions)
if(dll STREQUAL "" OR NOT functions)
  message(FATAL_ERROR "${IMPORT_LIB}: no DLL name or no functions")
endif()
list(JOIN functions "\n  " exports)
file(WRITE ${OUT}.def "LIBRARY \"${dll}\"\nEXPORTS\n  ${exports}\n")
file(REMOVE ${OUT})
execute_process(COMMAND ${DLLTOOL} -d ${OUT}.def -y ${OUT} COMMAND_ERROR_IS_FATAL ANY)
