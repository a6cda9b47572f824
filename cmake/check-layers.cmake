cmake_minimum_required(VERSION 3.25)

# Checks the layering of the sources:
#
#     cmake -DROOT=<source tree> -P check-layers.cmake
#
# Every file under <ROOT>/src/<folder> may include, of src/, only its own
# folder and the folders below it (the order of cmake/QuilletLayers.cmake);
# app may include all. No file under <ROOT>/platform includes a folder of
# src/, and the correction geometry (platform/navik/geometry) does not
# include the imaging framework above it. Every wrong include is listed with
# its file and line; the check fails if there is one.

if(NOT ROOT)
    message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P check-layers.cmake")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/QuilletLayers.cmake)

set(_problems "")
set(_checked 0)

# _check_file(<file> <allowed src folders> <forbid the imaging framework>)
function(_check_file file allowed forbid_navik)
    file(STRINGS ${file} _lines REGEX "^[ \t]*#[ \t]*include")
    file(RELATIVE_PATH _shown ${ROOT} ${file})
    foreach(_line IN LISTS _lines)
        if(_line MATCHES "#[ \t]*include[ \t]*[\"<]([A-Za-z_]+)/")
            set(_folder ${CMAKE_MATCH_1})
            set(_wrong FALSE)
            if(_folder IN_LIST QUILLET_SRC_LAYERS AND NOT _folder IN_LIST allowed)
                set(_wrong TRUE)
            elseif(forbid_navik AND _folder STREQUAL "Navik" AND NOT _line MATCHES "[\"<]Navik/Geometry/")
                set(_wrong TRUE)
            endif()
            if(_wrong)
                string(STRIP "${_line}" _line)
                string(APPEND _problems "${_shown}: ${_line}\n")
            endif()
        endif()
    endforeach()
    set(_problems "${_problems}" PARENT_SCOPE)
endfunction()

set(_allowed "")
foreach(_layer IN LISTS QUILLET_SRC_LAYERS)
    list(APPEND _allowed ${_layer})
    if(_layer STREQUAL "app")
        set(_allowed ${QUILLET_SRC_LAYERS})
    endif()
    file(GLOB_RECURSE _files ${ROOT}/src/${_layer}/*.h ${ROOT}/src/${_layer}/*.cpp)
    foreach(_file IN LISTS _files)
        _check_file(${_file} "${_allowed}" FALSE)
        math(EXPR _checked "${_checked} + 1")
    endforeach()
endforeach()

file(GLOB_RECURSE _files ${ROOT}/platform/*.h ${ROOT}/platform/*.cpp)
foreach(_file IN LISTS _files)
    set(_forbid_navik FALSE)
    if(_file MATCHES "/platform/navik/geometry/")
        set(_forbid_navik TRUE)
    endif()
    _check_file(${_file} "" ${_forbid_navik})
    math(EXPR _checked "${_checked} + 1")
endforeach()

if(_checked EQUAL 0)
    message(FATAL_ERROR "No sources found under ${ROOT}")
endif()
if(_problems)
    # Printed as it stands: an error message would be wrapped.
    message(NOTICE "Includes of a higher layer:\n${_problems}")
    message(FATAL_ERROR "The layering is broken")
endif()
message(STATUS "Layering holds in ${_checked} files")
