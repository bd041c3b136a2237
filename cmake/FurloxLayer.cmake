# One static library per folder, each linked only to the folders below it (the table of layers
# in docs/ARCHITECTURE.md), and each seeing only the headers of its own folder and of the folders
# below it: an include that points up does not compile, even of a header without a source file.
#
# furlox_layer(FOLDER USES folder... SOURCES file... [LIBS library...])
#   FOLDER    the folder ("kol", "skin/ui") below the calling CMakeLists.txt's folder; a ui/ folder
#             is built only with the GUI (FURLOX_GUI)
#   USES      the folders right below it; what they use may be used too
#   SOURCES   its files, listed one by one (headers too: a header that is not listed cannot be
#             included from outside its folder)
#   LIBS      outside libraries it links
#
# A layer's headers are reached as "folder/Name.h" through a folder of its own in the build tree,
# which holds one small header per listed header that includes the real one by its full path.
# Only that folder is published to the layers (and programs) that link the layer, so the include
# path of a layer holds exactly itself and what it uses. Every layer adds a line "folder:used;used"
# to the global property FURLOX_LAYER_TABLE, which the include check reads
# (tools/CheckLayers.cmake).
function(furlox_layer folder)
    cmake_parse_arguments(PARSE_ARGV 1 L "" "" "USES;SOURCES;LIBS")
    set_property(GLOBAL APPEND_STRING PROPERTY FURLOX_LAYER_TABLE "${folder}:${L_USES}\n")
    if(folder MATCHES "(^|/)ui$" AND NOT FURLOX_GUI)
        return()
    endif()
    string(REPLACE "/" "_" name "furlox_${folder}")
    set(headers ${CMAKE_CURRENT_BINARY_DIR}/layer-headers/${name})
    set(made "")
    foreach(source ${L_SOURCES})
        if(source MATCHES "\\.h$")
            # Written only when its text changes, so a configure does not rebuild everything.
            set(real "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/${source}")
            file(CONFIGURE OUTPUT ${headers}/${folder}/${source} @ONLY
                 CONTENT "#pragma once\n// Made by the build (cmake/FurloxLayer.cmake).\n#include \"${real}\"\n")
            list(APPEND made ${headers}/${folder}/${source})
        endif()
    endforeach()
    # A header taken off the list is no longer reachable, in an old build folder too.
    file(GLOB_RECURSE old LIST_DIRECTORIES false ${headers}/*)
    foreach(file ${old})
        if(NOT file IN_LIST made)
            file(REMOVE ${file})
        endif()
    endforeach()
    list(TRANSFORM L_SOURCES PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/")
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${headers})
    foreach(used ${L_USES})
        string(REPLACE "/" "_" usedName "furlox_${used}")
        target_link_libraries(${name} PUBLIC ${usedName})
    endforeach()
    if(folder MATCHES "(^|/)ui$")
        set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
        target_link_libraries(${name} PUBLIC Qt6::Widgets)
    endif()
    target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()
