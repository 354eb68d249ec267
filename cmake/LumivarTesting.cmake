# GoogleTest: the system's package where there is one (native builds); otherwise, as in the
# MinGW builds, built from the system's sources with this configuration's compiler, so the same
# tests also run as Windows programs under Wine.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GoogleTest's own sources do not build warning-free with every flag of ours.
    foreach(gtest_target gtest gtest_main)
        target_compile_options(${gtest_target} PRIVATE -w)
    endforeach()
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()

# lumivar_add_test(NAME name TARGET target [LABELS ...] [ARGS ...])
# Natively the test runs as it is; in the Windows build it runs through the Wine runner, which
# skips (77) where Wine or a display is missing, and fails instead when CI=true.
function(lumivar_add_test)
    cmake_parse_arguments(T "" "NAME;TARGET" "LABELS;ARGS" ${ARGN})
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${T_NAME}
                 COMMAND ${PROJECT_SOURCE_DIR}/tests/support/wine/wine-run.sh ${T_NAME}
                         $<TARGET_FILE:${T_TARGET}> ${T_ARGS})
        # scripts/wine-tests.sh runs Wine sessions side by side: each test takes one session
        # (prefix and display) to itself. A long test gives its seconds as its COST, so that a
        # new build, with no times of its own yet, starts the longest first.
        set_tests_properties(${T_NAME} PROPERTIES SKIP_RETURN_CODE 77 RESOURCE_GROUPS wine:1)
        list(APPEND T_LABELS wine)
    else()
        add_test(NAME ${T_NAME} COMMAND ${T_TARGET} ${T_ARGS})
    endif()
    if(T_LABELS)
        set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
