# Runs a QtTest program built for Windows under Wine and prints its report: under Wine a
# QtTest report does not reach standard output (not even a file there, through wine-run), so
# it is written to a file of its own and shown from there. The
# DLLs the program loads are found in DLL_DIRS (Linux folders, ":" between them); Qt's
# plugins through the qt.conf beside the program (Wine hands no QT_* variable over to Windows
# programs); the platform is Qt's "windows" (the Windows Qt has no "offscreen"), named on the
# command line for the same reason: it needs a display under Wine (Xvfb), where it draws as on
# Windows, shaped windows included.
#   cmake -DPROGRAM=X.exe -DREPORT=X.txt -DDLL_DIRS=A:B -P RunQtTest.cmake
function(windows_path linux out)
    string(REPLACE "/" "\\" path "Z:${linux}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

string(REPLACE ":" ";" dirs "${DLL_DIRS}")
set(winePath "")
foreach(dir ${dirs})
    windows_path(${dir} path)
    string(APPEND winePath "${path};")
endforeach()
set(ENV{WINEPATH} "${winePath}")

file(REMOVE ${REPORT})
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine-run ${PROGRAM} -platform windows -o ${REPORT},txt
                RESULT_VARIABLE result TIMEOUT 600)
if(EXISTS ${REPORT})
    file(READ ${REPORT} text)
    message("${text}")
else()
    message("no report from ${PROGRAM}")
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ended with ${result}")
endif()
