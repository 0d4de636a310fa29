# Test helpers. Unit tests are GoogleTest programs for i386, discovered and
# run through the launcher (the toolchain's CROSSCOMPILING_EMULATOR). GUI tests
# run every test case on a private Xvfb of its own (scripts/with-xvfb).
include(GoogleTest)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

set(KQ_ARTIFACT_DIR "${CMAKE_BINARY_DIR}/artifacts" CACHE PATH
    "where tests leave screenshots and logs for people to look at")
set(KQ_WITH_XVFB "${PROJECT_SOURCE_DIR}/scripts/with-xvfb")
# The launcher as this build tree uses it: bound to the sysroot the tree was
# configured with, so that tests run the same from any shell.
set(KQ_RUN_I386 "${CMAKE_BINARY_DIR}/run-i386")
# AddressSanitizer in an i386 program under qemu-i386: the sanitizer takes
# the top gigabyte for the kernel's, as on a 32-bit kernel, so the emulator
# must not place memory there (a 3 GiB guest address space); its leak
# checker cannot stop the threads of an emulated process (it spins); and an
# allocation too large to be made returns null, as without the sanitizer,
# so that the runtime's handling of that is what is tested.
set(KQ_I386_ASAN_ENVIRONMENT QEMU_RESERVED_VA=0xc0000000
    ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1)
# KQ_I386_TREE_ENVIRONMENT: what this tree's launcher adds to the
# environment, for tests that start qemu-i386 themselves.
set(KQ_I386_TREE_ENVIRONMENT)
if(KQ_SANITIZE MATCHES "address")
    set(KQ_I386_TREE_ENVIRONMENT ${KQ_I386_ASAN_ENVIRONMENT})
endif()
string(JOIN " " KQ_RUN_I386_ENVIRONMENT ${KQ_I386_TREE_ENVIRONMENT})
file(CONFIGURE OUTPUT "${KQ_RUN_I386}" CONTENT [[#!/bin/sh
KQ_SYSROOT=${KQ_SYSROOT:-"@KQ_SYSROOT@"} @KQ_RUN_I386_ENVIRONMENT@ exec "@PROJECT_SOURCE_DIR@/scripts/run-i386" "$@"
]] @ONLY)
file(CHMOD "${KQ_RUN_I386}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${KQ_RUN_I386}")
set(KQ_HOST_PYTHON /usr/bin/python3)

# An address-sanitizer tree's programs run slower (every memory access is
# checked, under the emulator too): the limits for a hung test grow with it.
set(KQ_TIMEOUT_FACTOR 1)
if(KQ_SANITIZE MATCHES "address")
    set(KQ_TIMEOUT_FACTOR 3)
endif()

# kq_hang_limit(<var> <timeout>)
#   How long a test on a private display may run before scripts/with-xvfb
#   reports what its processes are blocked in, stops it and runs it once
#   more (--retry-hung): two fifths of CTest's own timeout, so that the
#   second run fits in before CTest would end the test without a word. A
#   test that hangs twice fails with both reports in its output.
function(kq_hang_limit var timeout)
    math(EXPR limit "${timeout} * 2 / 5")
    set(${var} ${limit} PARENT_SCOPE)
endfunction()

# kq_test(<target> [GUI] SOURCES <files...> [LIBS <libs...>] [PREFIX <name>]
#         [TIMEOUT <seconds>])
#   One test program; each test case becomes a CTest test named
#   <prefix>/<Suite>.<Case>. GUI programs get a private display per test case.
#   The timeout (default 300 seconds) is a limit for a hung test, not a
#   measure of speed.
function(kq_test target)
    cmake_parse_arguments(T "GUI" "PREFIX;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    math(EXPR T_TIMEOUT "${T_TIMEOUT} * ${KQ_TIMEOUT_FACTOR}")
    add_executable(${target} ${T_SOURCES})
    target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Threads::Threads)
    if(NOT T_LIBS MATCHES "kqtestgui")
        target_link_libraries(${target} PRIVATE GTest::gtest_main)
    endif()
    if(NOT T_PREFIX)
        set(T_PREFIX ${target})
    endif()
    set(labels unit)
    if(T_GUI)
        kq_hang_limit(limit ${T_TIMEOUT})
        set_target_properties(${target} PROPERTIES
            CROSSCOMPILING_EMULATOR "${KQ_WITH_XVFB};--limit;${limit};--retry-hung;${KQ_RUN_I386}")
        set(labels gui)
    endif()
    gtest_discover_tests(${target}
        TEST_PREFIX "${T_PREFIX}/"
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES
            ENVIRONMENT "KQ_ARTIFACT_DIR=${KQ_ARTIFACT_DIR}"
            LABELS "${labels}"
            TIMEOUT ${T_TIMEOUT})
endfunction()

# kq_e2e_test(<name> SCRIPT <file.py> [ARGS <args...>] [TIMEOUT <seconds>])
#   A black-box test: a host Python script that drives i386 programs on a
#   private display with the accessibility bus (tests/e2e/kqa11y.py). The
#   timeout (default 300 seconds) is a limit for a hung program, not a
#   measure of speed.
function(kq_e2e_test name)
    cmake_parse_arguments(T "" "SCRIPT;TIMEOUT" "ARGS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    math(EXPR T_TIMEOUT "${T_TIMEOUT} * ${KQ_TIMEOUT_FACTOR}")
    kq_hang_limit(limit ${T_TIMEOUT})
    add_test(NAME ${name}
        COMMAND ${KQ_WITH_XVFB} --a11y --limit ${limit} --retry-hung ${KQ_HOST_PYTHON} ${T_SCRIPT} ${T_ARGS})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "KQ_ARTIFACT_DIR=${KQ_ARTIFACT_DIR};KQ_RUN_I386=${KQ_RUN_I386};PYTHONPATH=${PROJECT_SOURCE_DIR}/tests/e2e;PYTHONDONTWRITEBYTECODE=1"
        LABELS e2e
        TIMEOUT ${T_TIMEOUT})
endfunction()

# kq_benchmark(<target> SOURCES <files...> [LIBS <libs...>])
#   A Google Benchmark program for scripts/bench (not a CTest test). Its main
#   (tests/bench/BenchRatio.cc) prints the ratios registered with
#   KQ_BENCH_RATIO after the benchmarks.
find_package(benchmark REQUIRED)
function(kq_benchmark target)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${target} ${B_SOURCES})
    target_link_libraries(${target} PRIVATE ${B_LIBS} kqbenchmain)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()
