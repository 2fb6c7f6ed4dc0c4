# Flags shared by every target of the project (not by the cross-built libraries).
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX
                        CJSON_HIDE_SYMBOLS CURL_STATICLIB)
# Warnings are errors: a build either is clean or does not finish.
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Wall> $<$<COMPILE_LANGUAGE:C,CXX>:-Wextra>
                    $<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)

# One exe that imports only system DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)

# The same sources give the same exe: no link time stamp, and no path of the
# checkout or the build directory in the binary (a release carries no debug
# information, which the cross-built libraries would bring with their paths).
add_link_options(-Wl,--no-insert-timestamp $<$<CONFIG:Release>:-s>)
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
                    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>)

if(PARVELLE_TESTS)
  # Library assertions and undefined-behaviour checks that trap at once
  # (no runtime library is needed, so the test exes stay static).
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=undefined>
                      $<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize-undefined-trap-on-error>)
endif()
