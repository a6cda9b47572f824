# The layers of src/, lowest first: a folder may include only itself and the
# folders before it; app, the composition root, may include all of them.
# platform/ lies below every one of them and includes nothing of src/.
set(QUILLET_SRC_LAYERS
    utils shell engine view correction perspective crop mainwindow online crash app)

# quillet_layer_includes(<target> <folder>)
#
# Gives <target> the include root of its folder: a directory in the build
# tree holding a link to the folder and to each folder below it, and nothing
# else. An include of a higher folder ("view/..." from the engine) then fails
# to compile, as the layering check (cmake/check-layers.cmake) also reports.
function(quillet_layer_includes target folder)
    list(FIND QUILLET_SRC_LAYERS ${folder} _index)
    if(_index LESS 0)
        message(FATAL_ERROR "quillet_layer_includes: ${folder} is not a layer of src/")
    endif()
    set(_root ${CMAKE_BINARY_DIR}/layer-includes/${folder})
    file(MAKE_DIRECTORY ${_root})
    foreach(_layer IN LISTS QUILLET_SRC_LAYERS)
        if(EXISTS ${PROJECT_SOURCE_DIR}/src/${_layer} AND NOT EXISTS ${_root}/${_layer})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${_layer} ${_root}/${_layer} SYMBOLIC)
        endif()
        if(_layer STREQUAL folder)
            break()
        endif()
    endforeach()
    target_include_directories(${target} PUBLIC ${_root})
endfunction()
