# Where the shipped exe loads its DLLs from (base/system_dlls.h): System32
# only. Windows' known DLLs always come from there; the others the exe uses
# are delay-loaded, and the load configuration names the rule for the static
# imports.
find_program(PYTHON3 python3 REQUIRED)
find_program(PARVELLE_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
find_program(PARVELLE_NM NAMES x86_64-w64-mingw32-nm REQUIRED)

# What the exe imports that is not a known DLL on Windows 7 and later
# (tests/build/check_imports.py holds the list of known ones).
set(PARVELLE_DELAY_LOADED_DLLS bcrypt comctl32 crypt32 gdiplus iphlpapi oleacc uxtheme)

# A delay-load import library for each, made from the toolchain's own import
# library (every function it lists), under the same file name in a folder
# searched before the toolchain's: every -l<name> of the link, the
# cross-built libraries' included, then takes the delay-loaded one.
set(_delay_dir ${CMAKE_BINARY_DIR}/delay-load)
set(_delay_libs)
file(MAKE_DIRECTORY ${_delay_dir})
foreach(_name IN LISTS PARVELLE_DELAY_LOADED_DLLS)
  find_library(PARVELLE_IMPORT_LIB_${_name} NAMES lib${_name}.a REQUIRED NO_CACHE)
  add_custom_command(
    OUTPUT ${_delay_dir}/lib${_name}.a
    COMMAND ${CMAKE_COMMAND} -DDLLTOOL=${PARVELLE_DLLTOOL} -DNM=${PARVELLE_NM}
            -DIMPORT_LIB=${PARVELLE_IMPORT_LIB_${_name}} -DOUT=lib${_name}.a
            -P ${CMAKE_CURRENT_LIST_DIR}/delay_import_lib.cmake
    WORKING_DIRECTORY ${_delay_dir}
    DEPENDS ${PARVELLE_IMPORT_LIB_${_name}} ${CMAKE_CURRENT_LIST_DIR}/delay_import_lib.cmake
    VERBATIM)
  list(APPEND _delay_libs ${_delay_dir}/lib${_name}.a)
endforeach()
add_custom_target(parvelle_delay_load_libs DEPENDS ${_delay_libs})

# Links TARGET with the delay-load import libraries and, after linking, fills
# the load configuration and delay import directories, which GNU ld leaves
# empty (the link map says where their tables are).
function(parvelle_load_dlls_from_system32 target)
  add_dependencies(${target} parvelle_delay_load_libs)
  target_link_directories(${target} BEFORE PRIVATE ${_delay_dir})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${_delay_libs})
  set(_map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  target_link_options(${target} PRIVATE -Wl,-Map=${_map})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${PYTHON3} ${PROJECT_SOURCE_DIR}/cmake/set_pe_directories.py $<TARGET_FILE:${target}> ${_map}
    VERBATIM)
endfunction()
