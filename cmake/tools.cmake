# What each of the project's options adds to the build.  Everything goes
# through two interface targets, so no flag is set globally:
#   roster_warnings        compile warnings, linked privately by each target
#   roster_instrumentation hardening, sanitizers and coverage, linked
#                          publicly by roster_core so that every program
#                          built on it is built the same way

add_library(roster_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(roster_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    $<$<BOOL:${ROSTER_WARNINGS_AS_ERRORS}>:-Werror>)
elseif(MSVC)
  target_compile_options(roster_warnings INTERFACE
    /W4 $<$<BOOL:${ROSTER_WARNINGS_AS_ERRORS}>:/WX>)
endif()

add_library(roster_instrumentation INTERFACE)

if(ROSTER_HARDENING)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "ROSTER_HARDENING knows the flags of g++ and clang++ only")
  endif()
  # _FORTIFY_SOURCE checks need the optimiser; level 3 also checks sizes
  # known only at run time.  The undefine drops a default the compiler may
  # carry, which would otherwise clash.
  target_compile_options(roster_instrumentation INTERFACE
    -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3 -D_GLIBCXX_ASSERTIONS
    -fstack-protector-strong -fstack-clash-protection)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
    target_compile_options(roster_instrumentation INTERFACE -fcf-protection)
  endif()
  if(NOT WIN32 AND NOT APPLE)
    target_link_options(roster_instrumentation INTERFACE
      LINKER:-z,relro LINKER:-z,now LINKER:-z,noexecstack)
  endif()
endif()

if(ROSTER_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR
    "ROSTER_FUZZ needs clang++ with libFuzzer, but the compiler is "
    "${CMAKE_CXX_COMPILER_ID}: configure with the fuzz preset, or with "
    "-DCMAKE_CXX_COMPILER=clang++")
endif()

if(ROSTER_SANITIZE OR ROSTER_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "ROSTER_SANITIZE needs g++ or clang++")
  endif()
  # Any report ends the run, so no test can pass with one.
  set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all)
  target_compile_options(roster_instrumentation INTERFACE
    ${sanitizers} -fno-omit-frame-pointer)
  target_link_options(roster_instrumentation INTERFACE ${sanitizers})
  if(ROSTER_FUZZ)
    # Coverage feedback for the fuzzer from the library; the fuzz target
    # itself links libFuzzer's main.
    target_compile_options(roster_instrumentation INTERFACE
      -fsanitize=fuzzer-no-link)
  endif()
endif()

if(ROSTER_COVERAGE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    message(FATAL_ERROR "ROSTER_COVERAGE writes gcov data for gcovr: use g++")
  endif()
  target_compile_options(roster_instrumentation INTERFACE --coverage)
  target_link_options(roster_instrumentation INTERFACE --coverage)
  find_program(ROSTER_GCOVR_EXE gcovr REQUIRED)
  # Run after the tests.
  add_custom_target(coverage
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/coverage-report.sh
      ${ROSTER_GCOVR_EXE} ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}
    VERBATIM USES_TERMINAL)
endif()

# clang-tidy and cppcheck run on the program's own sources as they are
# compiled, and any finding fails the build.
function(roster_static_analysis)
  if(ROSTER_CLANG_TIDY)
    find_program(ROSTER_CLANG_TIDY_EXE NAMES clang-tidy clang-tidy-14 REQUIRED)
    set_target_properties(${ARGN} PROPERTIES CXX_CLANG_TIDY
      "${ROSTER_CLANG_TIDY_EXE};--warnings-as-errors=*;--quiet")
  endif()
  if(ROSTER_CPPCHECK)
    find_program(ROSTER_CPPCHECK_EXE NAMES cppcheck REQUIRED)
    set_target_properties(${ARGN} PROPERTIES CXX_CPPCHECK
      "${ROSTER_CPPCHECK_EXE};--enable=warning,style,performance,portability;--std=c++20;--error-exitcode=1;--quiet;--suppress=missingIncludeSystem")
  endif()
endfunction()
