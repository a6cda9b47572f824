# cmake -DPROGRAM=<QtTest program> -DCASES=<case|case...> -P check-test-cases.cmake
#
# Fails unless the cases, each a function or a function's data row
# ("function:row"), cover every function and data row of the program once and
# name nothing else: a function or row added to the program without its test
# would never run.

cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PROGRAM} -datatags
    OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} -datatags failed (${result})")
endif()
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
string(REPLACE "|" ";" cases "${CASES}")
set(used)
set(problems)
foreach(line IN LISTS lines)
    # "<class> <function>" or "<class> <function> <row>"
    if(NOT line MATCHES "^[^ ]+ ([^ ]+)( (.+))?$")
        continue()
    endif()
    set(function "${CMAKE_MATCH_1}")
    set(row "${function}:${CMAKE_MATCH_3}")
    if(NOT CMAKE_MATCH_3)
        set(row "${function}")
    endif()
    if(row IN_LIST cases AND function IN_LIST cases AND NOT row STREQUAL function)
        list(APPEND problems "${row} is run twice")
    elseif(row IN_LIST cases)
        list(APPEND used "${row}")
    elseif(function IN_LIST cases)
        list(APPEND used "${function}")
    else()
        list(APPEND problems "${row} has no test")
    endif()
endforeach()
foreach(case IN LISTS cases)
    if(NOT case IN_LIST used)
        list(APPEND problems "the test ${case} names no function or row of the program")
    endif()
endforeach()
if(problems)
    list(JOIN problems "\n  " shown)
    message(FATAL_ERROR "${PROGRAM}:\n  ${shown}")
endif()
message(STATUS "${PROGRAM}: every function and row has its test")
