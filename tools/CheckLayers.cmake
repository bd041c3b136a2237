# The layer rule, read from the sources: every #include "folder/..." of a file in src/ must name
# its own folder or one that its folder uses, directly or through the folders below (the table
# src/CMakeLists.txt writes as layers.txt, one "folder:used;used" line per folder).
#
#   cmake -DSOURCE_DIR=src -DTABLE=build/layers.txt -P tools/CheckLayers.cmake
#
# Relative paths are taken from the current folder. A missing table, an empty one or a folder
# without a single source file is a failure: a check that read nothing has proved nothing.
cmake_minimum_required(VERSION 3.25)

foreach(name SOURCE_DIR TABLE)
    if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
        message(FATAL_ERROR "layers: ${name} is not given\n"
                            "usage: cmake -DSOURCE_DIR=src -DTABLE=build/layers.txt "
                            "-P tools/CheckLayers.cmake")
    endif()
    # In script mode the current source folder is the folder cmake was started in.
    get_filename_component(${name} "${${name}}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
endforeach()
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "layers: the source folder ${SOURCE_DIR} does not exist")
endif()
if(NOT EXISTS "${TABLE}" OR IS_DIRECTORY "${TABLE}")
    message(FATAL_ERROR "layers: the table of layers ${TABLE} was not found "
                        "(the configure of the build writes it)")
endif()

file(STRINGS "${TABLE}" rows)
set(folders "")
foreach(row ${rows})
    string(FIND "${row}" ":" colon)
    string(SUBSTRING "${row}" 0 ${colon} folder)
    math(EXPR start "${colon} + 1")
    string(SUBSTRING "${row}" ${start} -1 uses)
    string(MAKE_C_IDENTIFIER "${folder}" id)
    set(direct_${id} ${uses})
    list(APPEND folders ${folder})
endforeach()
if(NOT folders)
    message(FATAL_ERROR "layers: the table of layers ${TABLE} lists no folder")
endif()

# Everything a folder may include: itself and the closure of what it uses.
function(allowed_of folder out)
    set(result ${folder})
    set(queue ${folder})
    while(queue)
        list(POP_FRONT queue current)
        string(MAKE_C_IDENTIFIER "${current}" id)
        foreach(used ${direct_${id}})
            if(NOT used IN_LIST result)
                list(APPEND result ${used})
                list(APPEND queue ${used})
            endif()
        endforeach()
    endwhile()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# The deepest folder of the table that holds a path ("base/ui/QtText.h" is in "base/ui").
function(folder_of path out)
    set(best "")
    foreach(folder ${folders})
        string(LENGTH "${folder}" n)
        string(LENGTH "${best}" bestLength)
        string(SUBSTRING "${path}" 0 ${n} head)
        if(head STREQUAL folder AND n GREATER bestLength)
            string(SUBSTRING "${path}" ${n} 1 next)
            if(next STREQUAL "/")
                set(best ${folder})
            endif()
        endif()
    endforeach()
    set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(failures 0)
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
list(LENGTH sources count)
if(count EQUAL 0)
    message(FATAL_ERROR "layers: no source file (*.h, *.cpp) below ${SOURCE_DIR}")
endif()
foreach(source ${sources})
    folder_of("${source}" own)
    if(own STREQUAL "")
        message(SEND_ERROR "${source}: its folder is not in the table of layers")
        math(EXPR failures "${failures} + 1")
        continue()
    endif()
    allowed_of("${own}" allowed)
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" included "${line}")
        folder_of("${included}" target)
        if(target STREQUAL "")
            continue() # a file of the same folder by its bare name, or a generated one
        endif()
        if(NOT target IN_LIST allowed)
            message(SEND_ERROR "${source} (${own}) includes ${included} (${target}), "
                               "which is not below it")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
endforeach()
if(failures GREATER 0)
    message(FATAL_ERROR "layers: ${failures} fault(s) in the ${count} files below ${SOURCE_DIR}")
endif()
message(STATUS "layers: ${count} files below ${SOURCE_DIR}, every include points down")
