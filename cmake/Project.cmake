# Warnings are errors in the project's own code.
function(plovanex_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# A library of the project: warnings on, sources under the repository root.
function(plovanex_library name kind)
    add_library(${name} ${kind} ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    plovanex_warnings(${name})
endfunction()

# A test program of one folder; registered with CTest, run with the offscreen
# Qt platform and a fresh OSTREVANE_HOME made by the test kit.
function(plovanex_test name)
    add_executable(${name} ${ARGN})
    plovanex_warnings(${name})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main platform_testkit)
    include(GoogleTest)
    gtest_discover_tests(${name}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${name}
        DISCOVERY_TIMEOUT 60)
endfunction()

# A libFuzzer target, built only in the fuzz preset; scripts/fuzz.sh runs
# every target of the `fuzzers` group for a fixed short time.
if(PLOVANEX_FUZZ AND NOT TARGET fuzzers)
    add_custom_target(fuzzers)
endif()
function(plovanex_fuzzer name)
    if(NOT PLOVANEX_FUZZ)
        return()
    endif()
    add_executable(${name} ${ARGN})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    plovanex_warnings(${name})
    add_dependencies(fuzzers ${name})
endfunction()
