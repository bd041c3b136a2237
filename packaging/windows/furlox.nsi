; The Windows installer of Furlox Plus (NSIS 3, Unicode). Built by `./dev package-windows`:
;   makensis -DVERSION=0.1.0 -DICON=<furlox.ico> -DFILES=<files.nsh> -DOUTFILE=<setup.exe>
; The programs go into Program Files\Furlox Plus\bin and the footer template and help page into
; ...\share\furlox, as on Linux: with no Foot.dat beside it the program keeps the race data in
; the per-user folder %APPDATA%\Morvane\Furlox (Program Files is not the user's to write).
; The uninstaller removes only the files it installed; the user's data stays.
; A 64-bit installer for the 64-bit program (and one that runs on a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Furlox Plus"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\FurloxPlus"
!define PROGID "FurloxPlus.lzh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "Morvane"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "© Morvane"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\furlox.exe"
!define MUI_FINISHPAGE_RUN_TEXT "${PRODUCT} を起動する"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Function un.onInit
    SetRegView 64
FunctionEnd

Section "${PRODUCT}（必須）" SecMain
    SectionIn RO
    ; The file list is made from the deploy folder (files.nsh): File lines for the install,
    ; Delete lines for the uninstall.
    !define INSTALL_FILES
    !include "${FILES}"
    !undef INSTALL_FILES
    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\bin\furlox.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\ヘルプ.lnk" "$INSTDIR\share\furlox\help\index.html"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\アンインストール.lnk" "$INSTDIR\Uninstall.exe"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Morvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\furlox.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Optional: .lzh files open in Furlox Plus (a running window takes the archive over).
Section /o "LHA 書庫（.lzh）を ${PRODUCT} で開く" SecAssociate
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "LHA 書庫（レースデータ）"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\bin\furlox.exe,0"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\bin\furlox.exe" "%1"'
    WriteRegStr HKLM "Software\Classes\.lzh\OpenWithProgids" "${PROGID}" ""
    ReadRegStr $0 HKLM "Software\Classes\.lzh" ""
    ${If} $0 == ""
        WriteRegStr HKLM "Software\Classes\.lzh" "" "${PROGID}"
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Associated" "1"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; "setup.exe /S /ASSOCIATE" installs without questions and with the .lzh association.
Function .onInit
    SetRegView 64
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/ASSOCIATE" $R1
    ${IfNot} ${Errors}
        SectionSetFlags ${SecAssociate} ${SF_SELECTED}
    ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "プログラム、ヘルプ、スタートメニューの項目。"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecAssociate} "エクスプローラーで .lzh ファイルを開くと ${PRODUCT} で読み込みます。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
    !define UNINSTALL_FILES
    !include "${FILES}"
    !undef UNINSTALL_FILES
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\ヘルプ.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\アンインストール.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    ReadRegStr $0 HKLM "Software\Classes\.lzh" ""
    ${If} $0 == "${PROGID}"
        DeleteRegValue HKLM "Software\Classes\.lzh" ""
    ${EndIf}
    DeleteRegValue HKLM "Software\Classes\.lzh\OpenWithProgids" "${PROGID}"
    DeleteRegKey HKLM "Software\Classes\${PROGID}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    ; %APPDATA%\Morvane\Furlox (the race data, the settings) is the user's and stays.
SectionEnd
