; The Windows installer, for one person without administrator rights. Built by
; scripts/package-windows.sh, which defines:
;   VERSION    the project's version, and FILE_VERSION the same in four numbers
;   STAGE      the folder cmake --install filled (packaging/windows/CMakeLists.txt)
;   FILE_LIST  the macro DeleteInstalledFiles, one Delete per staged file
;   OUTFILE    the installer to write
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include "${FILE_LIST}"

!define PRODUCT "Tallywick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The value the program's own "Start at Login" reads and writes.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "${PRODUCT}"
; How long running copies get to see the marker and end in order, in quarter seconds: the
; program looks for it about once a second and then saves what it holds.
!define END_WAIT_QUARTERS 40

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Per user: a folder of the person's own, which no other account's copy runs from.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "CompanyName" "${PRODUCT}"
VIAddVersionKey "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${STAGE}\tallywick.ico"
!define MUI_UNICON "${STAGE}\tallywick.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}\installer_side.bmp"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\tallywick.exe"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks every copy started from $INSTDIR to end, through the marker the program watches for,
; and waits until none runs: the system refuses to delete a running executable, so the delete
; goes through once every copy of it has ended. The executable is the first file an install
; replaces or an uninstall removes anyway. $0 is "ended" or "running" afterwards. The marker
; is removed either way, or the next start would end at once.
!macro EndRunningCopies
    StrCpy $0 "ended"
    ${If} ${FileExists} "$INSTDIR\tallywick.exe"
        FileOpen $1 "$INSTDIR\uninstall.flag" w
        FileClose $1
        StrCpy $0 "running"
        ${For} $2 1 ${END_WAIT_QUARTERS}
            Delete "$INSTDIR\tallywick.exe"
            ${IfNot} ${FileExists} "$INSTDIR\tallywick.exe"
                StrCpy $0 "ended"
                ${Break}
            ${EndIf}
            Sleep 250
        ${Next}
        Delete "$INSTDIR\uninstall.flag"
    ${EndIf}
!macroend

Function EndRunningCopies
    !insertmacro EndRunningCopies
FunctionEnd

Function un.EndRunningCopies
    !insertmacro EndRunningCopies
FunctionEnd

Section "${PRODUCT}" SecProgram
    SectionIn RO
    SetShellVarContext current
    Call EndRunningCopies
    ${If} $0 != "ended"
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is still running and did not end. Close it, then run the setup again." /SD IDOK
        Abort
    ${EndIf}
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tallywick.exe" "" "$INSTDIR\tallywick.ico" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tallywick.ico"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; Set again by the choice below: a setup run without it turns starting at login off.
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
SectionEnd

Section "Start ${PRODUCT} when I log in" SecStartAtLogin
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\tallywick.exe"'
SectionEnd

Function .onInit
    ; Installing again (a newer version, say) keeps the person's choice: a copy installed that
    ; does not start at login, because they turned it off, stays so.
    ClearErrors
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${IfNot} ${Errors}
        ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
        ${If} $1 == ""
            !insertmacro UnselectSection ${SecStartAtLogin}
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.EndRunningCopies
    ${If} $0 != "ended"
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is still running and did not end. Close it, then uninstall again." /SD IDOK
        Abort
    ${EndIf}
    ; The person's data folder (%APPDATA%\Tallywick.V3) stays: reinstalling finds the list
    ; and the history where they were.
    !insertmacro DeleteInstalledFiles
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
