# Build options shared by every target.

set(QUILLET_SANITIZE "" CACHE STRING
    "Semicolon-separated sanitizers for a test build: address;undefined or thread")
option(QUILLET_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(QUILLET_WARNINGS_AS_ERRORS)
    add_compile_options(-Werror)
endif()

# Frame pointers everywhere: the crash reporter walks stacks along them.
# (The sanitizer builds below add the flag themselves.)
if(NOT QUILLET_SANITIZE)
    add_compile_options(-fno-omit-frame-pointer)
endif()

if(QUILLET_SANITIZE)
    list(JOIN QUILLET_SANITIZE "," _quillet_sanitizers)
    message(STATUS "Sanitizers: ${_quillet_sanitizers}")
    add_compile_options(-fsanitize=${_quillet_sanitizers} -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=${_quillet_sanitizers})
    if("undefined" IN_LIST QUILLET_SANITIZE)
        add_compile_options(-fno-sanitize-recover=undefined)
    endif()
endif()
