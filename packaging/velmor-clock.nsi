; The Windows installer of Velmor Clock. make-packages runs it as
;   makensis -DVERSION=1.0.8 -DSTAGE=DIR -DICON=FILE -DOUTFILE=FILE [-DSIGN=COMMAND] velmor-clock.nsi
; STAGE holds velmor-clock.exe and LICENSE.txt; SIGN, when given, signs the
; installer and the uninstaller (it is called with the file's path).
;
; A desktop clock needs no administrator: everything goes into the user's own
; programs folder, Start menu and registry.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Velmor Clock"
!define COMPANY "Dashwelle"
!define PROGRAM "velmor-clock.exe"
!define UNINSTALLER "uninstall.exe"
; The running clock's window, by its class name.
!define CLOCK_CLASS "Dashwelle.VelmorClock.1"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelmorClock"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define RUN_VALUE "VelmorClock"
; Matches velmor-clock.exe's own version information.
!define VERSION_4 "${VERSION}.0"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!ifdef SIGN
  !finalize '${SIGN} "%1"'
  !uninstfinalize '${SIGN} "%1"'
!endif

VIProductVersion "${VERSION_4}"
VIFileVersion "${VERSION_4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION_4}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION_4}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${COMPANY}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "velmor-clock-${VERSION}-setup.exe"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION} for you alone: no administrator \
  rights are needed.$\r$\n$\r$\nA clock that is running now is closed (its settings are kept) and \
  started again afterwards.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartClock
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "The program is removed. Tick the box as well to remove your \
  settings (the clock's size, place and options)."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Closes every running clock the way the user would: its window gets WM_CLOSE,
; so it saves its settings and ends; then waits for the process to be gone, so
; its file can be replaced or deleted. $R9 is 1 afterwards when a clock was
; running.
!macro CLOSE_CLOCKS prefix
Function ${prefix}CloseClocks
  StrCpy $R9 0
  StrCpy $3 0
  ${Do}
    FindWindow $0 "${CLOCK_CLASS}"
    ${If} $0 = 0
    ${OrIf} $3 >= 10
      ${Break}
    ${EndIf}
    StrCpy $R9 1
    IntOp $3 $3 + 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ; SYNCHRONIZE, to wait for the end of the process.
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 20000) i'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      Sleep 1000
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_CLOCKS ""
!insertmacro CLOSE_CLOCKS "un."

; The Run value (and its entry among the Startup apps) only when it starts the
; program in $INSTDIR: a portable copy elsewhere keeps its own. A Startup-apps
; entry without a Run value belongs to no program and goes too.
!macro REMOVE_RUN_VALUE
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} ${Errors}
    DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
  ${ElseIf} $0 == '"$INSTDIR\${PROGRAM}"'
  ${OrIf} $0 == "$INSTDIR\${PROGRAM}"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
  ${EndIf}
!macroend

Function StartClock
  ; Already started again after an upgrade: a second start would only bring
  ; that clock forward.
  FindWindow $0 "${CLOCK_CLASS}"
  ${If} $0 = 0
    Exec '"$INSTDIR\${PROGRAM}"'
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  Call CloseClocks
  SetOutPath "$INSTDIR"
  File "${STAGE}\${PROGRAM}"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  SetShellVarContext current
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0 \
    "" "" "An analog clock on the desktop"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${PROGRAM}",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  ; A clock that ran before the upgrade runs again, silent or not.
  ${If} $R9 = 1
    Exec '"$INSTDIR\${PROGRAM}"'
  ${EndIf}
SectionEnd

Section "un.${PRODUCT}" UnSecProgram
  SectionIn RO
  Call un.CloseClocks
  Delete "$INSTDIR\${PROGRAM}"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  !insertmacro REMOVE_RUN_VALUE
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Off unless the user ticks it (a silent uninstall keeps the settings).
Section /o "un.Your settings" UnSecSettings
  RMDir /r "$LOCALAPPDATA\${COMPANY}\${PRODUCT}"
  RMDir "$LOCALAPPDATA\${COMPANY}"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecProgram} "The program, its Start-menu shortcut, its uninstall entry \
    and its start with Windows."
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecSettings} "Your settings: the clock's size, place and options."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
