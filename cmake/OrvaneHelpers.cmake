# Small helpers so every target of ours gets the same warnings and sanitizer flags.

option(ORVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# CI turns warnings into errors; a plain build only reports them, so that a newer or older
# compiler's new warnings do not stop a user's build.
option(ORVANE_WERROR "Treat compiler warnings as errors" OFF)

# GCC's "undefined" leaves out float-to-integer conversions that overflow and float division by
# zero; the stage checks both.
set(ORVANE_SANITIZERS address,undefined,float-cast-overflow,float-divide-by-zero)
if(ORVANE_SANITIZE)
  add_compile_options(-fsanitize=${ORVANE_SANITIZERS} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${ORVANE_SANITIZERS})
endif()

function(orvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers
                                           $<$<BOOL:${ORVANE_WERROR}>:-Werror>)
endfunction()

# orvane_test(NAME file.cpp LIBS ...): one executable and one ctest entry per test file.
function(orvane_test name source)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${source})
  orvane_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()
