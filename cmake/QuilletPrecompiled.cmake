# Precompiled headers. Most sources of src/, tests/ and tools/ include a good
# part of Qt Core, Gui and Widgets, and parsing those headers costs more than
# compiling the source itself; a test build compiles them some 450 times. The
# headers below are parsed once into the target QuilletPch, and the Qt targets
# reuse that: quillet_precompile(<target>) for the libraries and programs of
# src/ and tools/, quillet_add_test() for every test. The utility library, a
# shared library with hidden symbols, precompiles its own copy.
#
# A precompiled header adds its headers to every source of the target, so a
# source that lacks an include still compiles here; QUILLET_PCH=OFF builds
# without them. ccache caches these builds only with
#     sloppiness = pch_defines,time_macros,include_file_mtime,include_file_ctime
# which the launcher below sets; a compile it cannot cache runs uncached.

option(QUILLET_PCH "Precompile the common Qt and standard headers" ON)

set(QUILLET_PCH_HEADERS
    <algorithm> <cmath> <functional> <memory> <optional> <utility> <vector>
    <QByteArray> <QDataStream> <QDebug> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QMap>
    <QObject> <QPointer> <QString> <QStringList> <QTimer> <QVariant>
    <QColor> <QImage> <QKeyEvent> <QMouseEvent> <QPainter> <QPixmap> <QTransform>
    <QAction> <QApplication> <QBoxLayout> <QComboBox> <QGraphicsItem> <QGraphicsScene>
    <QGraphicsView> <QLabel> <QPushButton> <QToolButton> <QWidget>)

# Targets of C++ and C sources: the headers go to the C++ ones only (the
# closing bracket of each name written as $<ANGLE-R>, which would otherwise end
# the condition).
set(_quillet_pch_list "")
foreach(_header IN LISTS QUILLET_PCH_HEADERS)
    string(REPLACE ">" "$<ANGLE-R>" _header "${_header}")
    list(APPEND _quillet_pch_list "$<$<COMPILE_LANGUAGE:CXX>:${_header}>")
endforeach()

if(QUILLET_PCH)
    if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
        set(_sloppiness "pch_defines,time_macros,include_file_mtime,include_file_ctime")
        set(CMAKE_CXX_COMPILER_LAUNCHER
            ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=${_sloppiness} ${CCACHE_PROGRAM})
    endif()
    add_library(QuilletPch OBJECT ${CMAKE_CURRENT_LIST_DIR}/QuilletPch.cpp)
    set_target_properties(QuilletPch PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    # GCC takes a precompiled header only where every macro defined when it
    # was made is defined alike, so it is made with Qt Core's definitions
    # alone, which every Qt target has, and the include folders of Gui and
    # Widgets; the other QT_*_LIB macros are not read by these headers.
    target_link_libraries(QuilletPch PRIVATE Qt6::Core)
    target_include_directories(QuilletPch SYSTEM PRIVATE
        $<TARGET_PROPERTY:Qt6::Gui,INTERFACE_INCLUDE_DIRECTORIES>
        $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
    target_precompile_headers(QuilletPch PRIVATE ${_quillet_pch_list})
endif()

# quillet_precompile(<target> [OWN])
#
# Compiles <target> with the precompiled headers: those of QuilletPch, or with
# OWN a copy of its own, for a target whose flags differ from the others'
# (visibility, definitions that Qt's headers read).
function(quillet_precompile target)
    if(NOT QUILLET_PCH)
        return()
    endif()
    if("OWN" IN_LIST ARGN)
        target_precompile_headers(${target} PRIVATE ${_quillet_pch_list})
    else()
        target_precompile_headers(${target} REUSE_FROM QuilletPch)
    endif()
    # A program's moc file is most often empty (the test's class is moc'ed
    # into its own source): loading the header would cost more than it saves.
    get_target_property(_type ${target} TYPE)
    if(_type STREQUAL "EXECUTABLE")
        get_target_property(_binary_dir ${target} BINARY_DIR)
        set_source_files_properties(${_binary_dir}/${target}_autogen/mocs_compilation.cpp
            TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
endfunction()
