# quillet_add_test(<name> SOURCES <files...> LIBRARIES <targets...> [LABELS <labels...>] [TIMEOUT <s>]
#                  [CASES <function[:tag]...>])
#
# Builds a QtTest executable into <build>/tests and registers it with CTest.
# With CASES, each case is a test of its own, named <name>/<case>, so that
# CTest runs the cases of a long test side by side; a test <name>/cases then
# checks that the list names every function and data row of the program.
# Every run goes through cmake/run-test.sh, which gives the test a fresh HOME
# and fresh XDG folders and the offscreen platform, so no test ever touches
# the real user's settings, documents or logs.

set(QUILLET_TEST_RUNNER ${CMAKE_CURRENT_LIST_DIR}/run-test.sh)
set(QUILLET_FIXTURES_DIR "${CMAKE_SOURCE_DIR}/../shared/fixtures" CACHE PATH
    "Folder with the shared test photographs")

function(quillet_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;LABELS;CASES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${QUILLET_TESTS_DIR})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
    quillet_precompile(${name})
    set_property(GLOBAL APPEND PROPERTY QUILLET_TEST_TARGETS ${name})
    # Helpers shared by the tests (recording logger, file helpers).
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
    target_compile_definitions(${name} PRIVATE
        QUILLET_FIXTURES_DIR="${QUILLET_FIXTURES_DIR}"
        QUILLET_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
        QUILLET_BUILD_DIR="${CMAKE_BINARY_DIR}")
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    if(ARG_CASES)
        set(tests)
        foreach(case IN LISTS ARG_CASES)
            add_test(NAME ${name}/${case}
                COMMAND ${QUILLET_TEST_RUNNER} $<TARGET_FILE:${name}> ${case})
            list(APPEND tests ${name}/${case})
        endforeach()
        string(REPLACE ";" "|" cases "${ARG_CASES}")
        add_test(NAME ${name}/cases
            COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${name}> "-DCASES=${cases}"
                -P ${PROJECT_SOURCE_DIR}/cmake/check-test-cases.cmake)
        list(APPEND tests ${name}/cases)
    else()
        add_test(NAME ${name}
            COMMAND ${QUILLET_TEST_RUNNER} $<TARGET_FILE:${name}>)
        set(tests ${name})
    endif()
    set_tests_properties(${tests} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    if(ARG_LABELS)
        set_tests_properties(${tests} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
