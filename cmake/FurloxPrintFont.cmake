# The print font: a derived copy of Debian's Noto Sans CJK JP (regular and bold, each with its
# monospaced face) that maps no Kangxi or CJK supplement radical, so that a PDF's text reads
# 馬 and not ⾺ (tools/print-font/make-print-font says why). Made with Debian's python3-fonttools
# once per build folder, into <build>/fonts; remade only when the source fonts or the script
# change. The program finds it beside itself (fonts/), the test programs one folder up, an
# installed program under share/furlox/fonts.

function(furlox_print_font)
    set(script ${PROJECT_SOURCE_DIR}/tools/print-font/make-print-font)
    # Debian's own Python, whose fontTools is the python3-fonttools package (another python3
    # on the search path may lack it). Both searches look at the build machine, also in a
    # cross build.
    find_program(FURLOX_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT FURLOX_PYTHON3)
        find_program(FURLOX_PYTHON3 python3 REQUIRED)
    endif()
    execute_process(COMMAND ${FURLOX_PYTHON3} -c "import fontTools.ttLib"
                    RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET)
    if(missing)
        message(FATAL_ERROR "The print font is made with fontTools: install the Debian package "
                            "python3-fonttools (./dev deps does).")
    endif()
    set(dir ${CMAKE_BINARY_DIR}/fonts)
    set(outputs "")
    foreach(weight Regular Bold)
        find_file(FURLOX_NOTO_${weight} NotoSansCJK-${weight}.ttc
                  PATHS /usr/share/fonts/opentype/noto NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
        if(NOT FURLOX_NOTO_${weight})
            message(FATAL_ERROR "NotoSansCJK-${weight}.ttc was not found: install the Debian "
                                "package fonts-noto-cjk (./dev deps does).")
        endif()
        set(output ${dir}/FurloxPrint-${weight}.ttc)
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${FURLOX_PYTHON3} ${script} ${FURLOX_NOTO_${weight}} ${output}
            DEPENDS ${script} ${FURLOX_NOTO_${weight}}
            COMMENT "Making the print font (${weight}, about 20 s once)"
            VERBATIM)
        list(APPEND outputs ${output})
    endforeach()
    # The fonts' licence (SIL Open Font License) travels with them.
    set(licence ${dir}/LICENSE-fonts-noto-cjk.txt)
    add_custom_command(OUTPUT ${licence}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${CMAKE_COMMAND} -E copy /usr/share/doc/fonts-noto-cjk/copyright ${licence}
        DEPENDS /usr/share/doc/fonts-noto-cjk/copyright
        VERBATIM)
    list(APPEND outputs ${licence})
    add_custom_target(furlox_print_font ALL DEPENDS ${outputs})
    set(FURLOX_PRINT_FONT_FILES ${outputs} PARENT_SCOPE)
    set(FURLOX_PRINT_FONT_DIR ${dir} PARENT_SCOPE)
endfunction()
