# Finds the Qt 6 modules the windows need, one at a time, so that a missing one stops the configure
# with its name and the Debian package that provides it. A build that silently left the windows out
# once passed as green; only an explicit -DFURLOX_GUI=OFF may build without them.

# module, Debian package. OpenGL comes before Charts: Qt Charts' package needs it, and without it
# the Charts lookup fails with no word of why.
set(FURLOX_QT_MODULES
    Core qt6-base-dev
    Gui qt6-base-dev
    Widgets qt6-base-dev
    PrintSupport qt6-base-dev
    Network qt6-base-dev
    Test qt6-base-dev
    OpenGL libqt6opengl6-dev
    OpenGLWidgets libqt6opengl6-dev
    Charts qt6-charts-dev)
if(WIN32)
    # The Qt built for Windows (tools/windows/) has no OpenGL, and its Charts needs none.
    list(REMOVE_ITEM FURLOX_QT_MODULES OpenGL OpenGLWidgets libqt6opengl6-dev)
endif()

# A macro, not a function: the Qt packages' variables (versions, tool paths) must reach the
# caller's scope, where AUTOMOC reads them.
macro(furlox_require_qt)
    set(_furlox_qt_missing "")
    set(_furlox_qt_modules ${FURLOX_QT_MODULES})
    while(_furlox_qt_modules)
        list(POP_FRONT _furlox_qt_modules _furlox_qt_module _furlox_qt_package)
        find_package(Qt6 COMPONENTS ${_furlox_qt_module} QUIET)
        if(NOT Qt6${_furlox_qt_module}_FOUND)
            list(APPEND _furlox_qt_missing
                 "Qt6 ${_furlox_qt_module} (Debian package ${_furlox_qt_package})")
        endif()
    endwhile()
    if(_furlox_qt_missing)
        list(JOIN _furlox_qt_missing "\n  " _furlox_qt_text)
        message(FATAL_ERROR
                "The windows need Qt 6 modules that were not found:\n  ${_furlox_qt_text}\n"
                "Install them (./dev deps does), or configure with -DFURLOX_GUI=OFF to build "
                "only the core and furlox-cli.")
    endif()
endmacro()
