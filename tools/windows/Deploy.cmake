# Gathers a folder that runs on Windows as it is: the programs, every DLL they and Qt's
# plugins load (found in the Qt prefix and the compiler's folders), stripped; Qt's plugins,
# Qt's Japanese translations, the print font, Foot.dat and the help page. Run by the `deploy`
# target:
#   cmake -DPROGRAMS="a.exe;b.exe" -DQT_PREFIX=DIR -DOUT=DIR -DSOURCE_DIR=DIR
#         -DRUNTIME_DIR=DIR [-DFONTS="a.ttc;b.ttc"] -P Deploy.cmake
# QT_PREFIX is empty for a build without windows; RUNTIME_DIR holds the compiler's own
# runtime DLLs (libstdc++, libgcc_s).

cmake_minimum_required(VERSION 3.25)
set(triplet x86_64-w64-mingw32)
find_program(OBJDUMP ${triplet}-objdump REQUIRED)
find_program(STRIP ${triplet}-strip REQUIRED)

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})

set(plugins "")
if(QT_PREFIX)
    foreach(plugin platforms/qwindows.dll styles/qwindowsvistastyle.dll
                   imageformats/qico.dll imageformats/qjpeg.dll imageformats/qgif.dll)
        if(NOT EXISTS ${QT_PREFIX}/plugins/${plugin})
            message(FATAL_ERROR "Qt plugin ${QT_PREFIX}/plugins/${plugin} is missing")
        endif()
        get_filename_component(folder ${plugin} DIRECTORY)
        file(COPY ${QT_PREFIX}/plugins/${plugin} DESTINATION ${OUT}/${folder})
        list(APPEND plugins ${QT_PREFIX}/plugins/${plugin})
    endforeach()
endif()

# Every DLL the programs and plugins load, found by name (Windows names ignore case) in the
# Qt prefix and the compiler's folders; what is in none of them is Windows' own (KERNEL32, ...).
set(searched ${RUNTIME_DIR} /usr/${triplet}/lib)
if(QT_PREFIX)
    list(PREPEND searched ${QT_PREFIX}/bin)
endif()
foreach(dir ${searched})
    file(GLOB dlls ${dir}/*.dll)
    foreach(dll ${dlls})
        get_filename_component(name ${dll} NAME)
        string(TOLOWER ${name} key)
        if(NOT DEFINED known_${key})
            set(known_${key} ${dll})
        endif()
    endforeach()
endforeach()
set(resolved "")
set(queue ${PROGRAMS} ${plugins})
while(queue)
    list(POP_FRONT queue file)
    execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot read ${file}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
    foreach(import ${imports})
        string(REGEX REPLACE "DLL Name: ([^\n]+)" "\\1" name "${import}")
        string(STRIP "${name}" name)
        string(TOLOWER "${name}" key)
        if(DEFINED known_${key})
            set(dll ${known_${key}})
            if(NOT dll IN_LIST resolved)
                list(APPEND resolved ${dll})
                list(APPEND queue ${dll})
            endif()
        elseif(key MATCHES "^(qt6|lib)")
            message(FATAL_ERROR "${name}, needed by ${file}, is in none of ${searched}")
        endif()
    endforeach()
endwhile()

foreach(file ${PROGRAMS} ${resolved})
    get_filename_component(name ${file} NAME)
    execute_process(COMMAND ${STRIP} --strip-unneeded -o ${OUT}/${name} ${file}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot strip ${file}")
    endif()
endforeach()

if(QT_PREFIX)
    # Qt's file, print and message dialogs in Japanese.
    file(MAKE_DIRECTORY ${OUT}/translations)
    foreach(catalogue qt_ja.qm qtbase_ja.qm)
        foreach(dir ${QT_PREFIX}/translations /usr/share/qt6/translations)
            if(EXISTS ${dir}/${catalogue})
                file(COPY ${dir}/${catalogue} DESTINATION ${OUT}/translations)
                break()
            endif()
        endforeach()
        if(NOT EXISTS ${OUT}/translations/${catalogue})
            message(FATAL_ERROR "Qt's ${catalogue} was not found (Debian: qt6-translations-l10n)")
        endif()
    endforeach()
endif()

# The print font (with its licence), which printing and the PDFs use.
if(FONTS)
    file(COPY ${FONTS} DESTINATION ${OUT}/fonts)
endif()

file(COPY ${SOURCE_DIR}/assets/Foot.dat DESTINATION ${OUT})
file(COPY ${SOURCE_DIR}/assets/help/index.html DESTINATION ${OUT}/help)
list(LENGTH resolved count)
message(STATUS "Windows program folder: ${OUT} (${count} DLLs)")
