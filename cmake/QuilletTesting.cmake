# quillet_add_test(<name> SOURCES <files...> LIBRARIES <targets...> [LABELS <labels...>] [TIMEOUT <s>])
#
# Builds a QtTest executable into <build>/tests and registers it with CTest.
# Every run goes through cmake/run-test.sh, which gives the test a fresh HOME
# and fresh XDG folders and the offscreen platform, so no test ever touches
# the real user's settings, documents or logs.

set(QUILLET_TEST_RUNNER ${CMAKE_CURRENT_LIST_DIR}/run-test.sh)
set(QUILLET_FIXTURES_DIR "${CMAKE_SOURCE_DIR}/../shared/fixtures" CACHE PATH
    "Folder with the shared test photographs")

function(quillet_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
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
    add_test(NAME ${name}
        COMMAND ${QUILLET_TEST_RUNNER} $<TARGET_FILE:${name}>)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
