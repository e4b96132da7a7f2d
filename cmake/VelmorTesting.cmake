# Test registration shared by both builds.
#
#   velmor_add_test(NAME SOURCES NAME.cpp [LIBS lib...] [TIMEOUT s])
#
# One test file, one executable named after it; shared test code goes into a
# header or a library.
#
# Native: a GoogleTest executable whose cases are discovered after the build.
# Windows: the same executable cross-built and run under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR. Cases are discovered when CTest runs (a first
# Wine prefix takes a while to create), each with a timeout so nothing hangs.
enable_testing()

if(WIN32)
  # GoogleTest compiled from Debian's sources for the target.
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(VELMOR_GTEST_MAIN GTest::gtest_main)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gtest ALIAS gtest)
  endif()

  set(VELMOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Private Wine prefix of the test run")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run;--prefix=${VELMOR_WINEPREFIX})
else()
  find_package(GTest REQUIRED)
  set(VELMOR_GTEST_MAIN GTest::gtest_main)
endif()
include(GoogleTest)

function(velmor_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT;RESOURCE_LOCK" "SOURCES;LIBS" ${ARGN})
  if(NOT T_SOURCES STREQUAL "${name}.cpp")
    message(FATAL_ERROR "test ${name}: one source, ${name}.cpp, not ${T_SOURCES}")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${VELMOR_GTEST_MAIN})
  # Tests under one lock never run beside each other: under Wine every test
  # program shares one prefix, and with it the desktop and the notification area.
  set(lock "")
  if(T_RESOURCE_LOCK)
    set(lock RESOURCE_LOCK ${T_RESOURCE_LOCK})
  endif()
  if(WIN32)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
      PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS wine ${lock})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS native)
  endif()
endfunction()

# Windows build: a test named KIND.TARGET that runs cmake/SCRIPT on the target's
# file with the cross objdump.
function(velmor_add_pe_check kind script target)
  if(WIN32)
    find_program(VELMOR_OBJDUMP NAMES ${CMAKE_OBJDUMP} x86_64-w64-mingw32-objdump REQUIRED)
    add_test(NAME ${kind}.${target}
      COMMAND ${CMAKE_COMMAND} -E env OBJDUMP=${VELMOR_OBJDUMP}
              ${CMAKE_SOURCE_DIR}/cmake/${script} $<TARGET_FILE:${target}>)
    set_tests_properties(${kind}.${target} PROPERTIES TIMEOUT 30 LABELS windows)
  endif()
endfunction()

# Fails when `target` needs any non-system DLL.
function(velmor_check_standalone target)
  velmor_add_pe_check(standalone check-standalone ${target})
endfunction()

# Fails unless `target`'s PE header asks for ASLR (dynamic base, high-entropy
# addresses, relocations) and DEP.
function(velmor_check_hardened target)
  velmor_add_pe_check(hardened check-hardened ${target})
endfunction()

# Fails when `target` imports a way to read the process environment.
function(velmor_check_no_environment target)
  velmor_add_pe_check(no_environment check-no-environment ${target})
endfunction()
