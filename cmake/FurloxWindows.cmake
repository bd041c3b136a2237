# What a Windows build adds to the programs: the icon and version resources, a window program
# without a console for furlox.exe, and the `deploy` target that gathers a folder which runs on
# Windows as it is (the programs, the DLLs they load, Qt's plugins and Japanese translations,
# the print font, Foot.dat and the help page).

# furlox_windows_resources(TARGET NAME DESCRIPTION)
function(furlox_windows_resources target name description)
    set(FURLOX_ICON ${PROJECT_SOURCE_DIR}/assets/furlox.ico)
    set(FURLOX_NAME ${name})
    set(FURLOX_DESCRIPTION ${description})
    set(rc ${CMAKE_BINARY_DIR}/resources/${name}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/assets/windows/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()

# The prefix of the Windows Qt: the folder above Qt6Core.dll's.
function(furlox_windows_qt_prefix out)
    get_target_property(qtCore Qt6::Core IMPORTED_LOCATION_RELEASE)
    if(NOT qtCore)
        get_target_property(qtCore Qt6::Core IMPORTED_LOCATION)
    endif()
    get_filename_component(prefix ${qtCore} DIRECTORY)
    get_filename_component(prefix ${prefix} DIRECTORY)
    set(${out} ${prefix} PARENT_SCOPE)
endfunction()

# The folder of the cross compiler's own runtime DLLs (libstdc++, libgcc_s).
function(furlox_windows_runtime_dir out)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                    OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(dir ${dll} DIRECTORY)
    set(${out} ${dir} PARENT_SCOPE)
endfunction()

# The deploy folder: build-windows/deploy/Furlox. The Qt prefix is where Qt6Core.dll's
# folder is; Qt's Japanese translations are platform-independent files, taken from the host's
# Qt of the same version when the Windows Qt has none.
function(furlox_windows_deploy)
    set(out ${CMAKE_BINARY_DIR}/deploy/Furlox)
    set(programs $<TARGET_FILE:furlox-cli>)
    set(depends furlox-cli)
    set(qtPrefix "")
    if(TARGET furlox)
        list(APPEND programs $<TARGET_FILE:furlox>)
        list(APPEND depends furlox)
        furlox_windows_qt_prefix(qtPrefix)
    endif()
    if(NOT CMAKE_CROSSCOMPILING)
        # Built on Windows itself: Qt's own deployment tool gathers the DLLs and plugins.
        # (Not verified in this project's checks, which cross-build.)
        find_program(WINDEPLOYQT windeployqt HINTS ${qtPrefix}/bin)
        add_custom_target(deploy
            COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/help ${out}/fonts
            COMMAND ${CMAKE_COMMAND} -E copy ${programs} ${PROJECT_SOURCE_DIR}/assets/Foot.dat ${out}
            COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/assets/help/index.html ${out}/help
            COMMAND ${CMAKE_COMMAND} -E copy ${FURLOX_PRINT_FONT_FILES} ${out}/fonts
            COMMAND ${WINDEPLOYQT} --release --no-opengl-sw --dir ${out} ${out}/furlox.exe
            DEPENDS ${depends} furlox_print_font
            VERBATIM)
        return()
    endif()
    furlox_windows_runtime_dir(runtimeDir)
    set(fonts "")
    if(TARGET furlox)
        set(fonts ${FURLOX_PRINT_FONT_FILES})
        list(APPEND depends furlox_print_font)
    endif()
    add_custom_target(deploy
        COMMAND ${CMAKE_COMMAND} "-DPROGRAMS=${programs}" -DQT_PREFIX=${qtPrefix}
                -DOUT=${out} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DRUNTIME_DIR=${runtimeDir}
                "-DFONTS=${fonts}" -P ${PROJECT_SOURCE_DIR}/tools/windows/Deploy.cmake
        DEPENDS ${depends}
        COMMENT "Gathering the Windows program folder in ${out}"
        VERBATIM)
endfunction()
