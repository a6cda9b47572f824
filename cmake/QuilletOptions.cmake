# Build options shared by every target.

set(QUILLET_SANITIZE "" CACHE STRING
    "Semicolon-separated sanitizers for a test build: address;undefined or thread")
option(QUILLET_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

# The linker: a test build links about 150 programs and libraries, three
# builds of them in a test run, and GNU ld takes most of that time. mold
# (scripts/install-deps.sh installs it), else lld, where the compiler can use
# it; QUILLET_LINKER names one (mold, lld, gold, bfd) or "default" for the
# compiler's own.
set(QUILLET_LINKER "" CACHE STRING "Linker for -fuse-ld=: mold, lld, gold, bfd or default; empty picks mold or lld")
if(NOT QUILLET_LINKER STREQUAL "default")
    include(CheckLinkerFlag)
    if(QUILLET_LINKER)
        set(_quillet_linkers ${QUILLET_LINKER})
    else()
        set(_quillet_linkers mold lld)
    endif()
    foreach(_linker IN LISTS _quillet_linkers)
        check_linker_flag(CXX "-fuse-ld=${_linker}" QUILLET_LINKER_${_linker}_WORKS)
        if(QUILLET_LINKER_${_linker}_WORKS)
            add_link_options(-fuse-ld=${_linker})
            if(_linker STREQUAL "mold")
                # By default mold finishes in a child process that outlives
                # the link command; in the foreground nothing lingers and the
                # link's processor time counts in full.
                add_link_options(-Wl,--no-fork)
            endif()
            message(STATUS "Linker: ${_linker}")
            break()
        elseif(QUILLET_LINKER)
            message(FATAL_ERROR "QUILLET_LINKER=${QUILLET_LINKER}: the compiler cannot link with it")
        endif()
    endforeach()
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
    # -O1, as the sanitizers' authors advise: the checks see the same code,
    # and it compiles a fifth faster than the -O2 of the build type. Without
    # variable tracking the debug information still names every frame,
    # inlined ones too, and its lines, which is what a sanitizer's report
    # shows; only a debugger loses some local variables. It saves another
    # fifth of the compile time.
    add_compile_options(-fsanitize=${_quillet_sanitizers} -fno-omit-frame-pointer -g -O1 -fno-var-tracking)
    add_link_options(-fsanitize=${_quillet_sanitizers})
    if("undefined" IN_LIST QUILLET_SANITIZE)
        add_compile_options(-fno-sanitize-recover=undefined)
    endif()
endif()
