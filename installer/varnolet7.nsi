; The installer of Varnolet 7 (NSIS 3). scripts/dist.sh runs makensis with
;   VERSION   the project's version (7.0.0)
;   STAGE     the folder with the program's files as the zip holds them
;   OUTFILE   the installer to write
;   ARTWORK   res/art (the program icon)
;
; Per user into %LOCALAPPDATA%\Programs\Varnolet 7 by default; /AllUsers
; installs for every user under Program Files (elevating when needed). /S is
; silent. The pages follow the system language (English or Greek).
;
; A running Varnolet 7 is closed before its files are replaced: its
; single-instance mutex says whether it runs, and the registered window message
; "Varnolet7.Exit" sent to its hidden main window makes it leave as its Exit
; command does (it writes its log). After an upgrade it is started again.
;
; The uninstaller removes the program's files, the Start-menu shortcut, the
; Programs and Features entry and the Run value; the user's settings and data
; folder stay unless the box is ticked (or /RemoveUserData is given).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include WinVer.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PRODUCT "Varnolet 7"
!define PUBLISHER "Kestrova Technologies"
!define EXE "Varnolet7.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\${PUBLISHER}\${PRODUCT}"
!define INSTANCE_MUTEX "A2A86ED61A5911E1A4D0C50A4924019B"
!define MAIN_WINDOW_CLASS "Varnolet7Main"
!define EXIT_MESSAGE "Varnolet7.Exit"
!define SYNCHRONIZE 0x00100000

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
RequestExecutionLevel user
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

Var AllUsers       ; 1: for every user, under Program Files
Var WasRunning     ; 1: a running Varnolet 7 was closed first

; ------------------------------------------------------------------ pages

!define MUI_ICON "${ARTWORK}/varnolet7.ico"
!define MUI_UNICON "${ARTWORK}/varnolet7.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when the system's is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Greek"

LangString NeedsVista ${LANG_ENGLISH} "${PRODUCT} needs Windows Vista or later. It cannot be installed on this version of Windows."
LangString NeedsVista ${LANG_GREEK} "Το ${PRODUCT} χρειάζεται Windows Vista ή νεότερη έκδοση. Δεν μπορεί να εγκατασταθεί σε αυτή την έκδοση των Windows."
LangString Closing ${LANG_ENGLISH} "Closing ${PRODUCT}..."
LangString Closing ${LANG_GREEK} "Κλείσιμο του ${PRODUCT}..."
LangString StillRunning ${LANG_ENGLISH} "${PRODUCT} is still running. Choose Exit in its menu in the notification area, then Retry."
LangString StillRunning ${LANG_GREEK} "Το ${PRODUCT} εκτελείται ακόμη. Επιλέξτε Έξοδος στο μενού του στην περιοχή ειδοποιήσεων και έπειτα Επανάληψη."
LangString Restarting ${LANG_ENGLISH} "Starting ${PRODUCT} again..."
LangString Restarting ${LANG_GREEK} "Επανεκκίνηση του ${PRODUCT}..."
LangString UserData ${LANG_ENGLISH} "Remove my settings, hotkeys and Device Link data"
LangString UserData ${LANG_GREEK} "Κατάργηση των ρυθμίσεων, των πλήκτρων συντόμευσης και των δεδομένων της Σύνδεσης συσκευής"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "© ${PUBLISHER}"

; ------------------------------------------------------------------ the running program

; Closes a running Varnolet 7 and waits until it has gone; $WasRunning tells
; whether it ran. When it does not leave within 15 s the user may retry or
; cancel (silent: cancel); cancelling ends the installer with error level 2.
!macro CLOSE_PROGRAM un
Function ${un}CloseProgram
  StrCpy $WasRunning 0
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
  ${If} $0 == 0
    Return
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r0)'
  StrCpy $WasRunning 1
  DetailPrint "$(Closing)"
  System::Call 'user32::RegisterWindowMessageW(w "${EXIT_MESSAGE}") i .r1'
  ask:
    FindWindow $2 "${MAIN_WINDOW_CLASS}"
    ${If} $2 != 0
      System::Call 'user32::PostMessageW(p r2, i r1, p 0, p 0)'
    ${EndIf}
    StrCpy $3 0
    ${Do}
      Sleep 250
      System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
      ${If} $0 == 0
        Sleep 500  ; the process lets go of its files as it ends
        Return
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r0)'
      IntOp $3 $3 + 1
    ${LoopUntil} $3 >= 60
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY ask
    SetErrorLevel 2
    Quit
FunctionEnd
!macroend
!insertmacro CLOSE_PROGRAM ""
!insertmacro CLOSE_PROGRAM "un."

; The finish page's "Run" box: unless the program runs already (started
; again after an upgrade).
Function StartProgram
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
  ${If} $0 != 0
    System::Call 'kernel32::CloseHandle(p r0)'
    Return
  ${EndIf}
  Exec '"$INSTDIR\${EXE}"'
FunctionEnd

; ------------------------------------------------------------------ install

Section "-Program"
  Call CloseProgram

  SetOutPath "$INSTDIR"
  File "${STAGE}/${EXE}"
  File "${STAGE}/ReadMe.txt"
  SetOutPath "$INSTDIR\Language"
  File "${STAGE}/Language/English.dll"
  File "${STAGE}/Language/Greek.dll"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  ; Programs and Features: HKCU for one user, HKLM for all (SHCTX follows
  ; SetShellVarContext).
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1

  ${If} $WasRunning == 1
    DetailPrint "$(Restarting)"
    Exec '"$INSTDIR\${EXE}"'
  ${EndIf}
SectionEnd

Function .onInit
  ${IfNot} ${AtLeastWinVista}
    MessageBox MB_OK|MB_ICONSTOP "$(NeedsVista)" /SD IDOK
    SetErrorLevel 1
    Quit
  ${EndIf}
  SetRegView 64

  ${GetParameters} $R0
  StrCpy $AllUsers 0
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}

  ${If} $AllUsers == 1
    ; Every user's programs need an administrator: ask for one by starting
    ; the installer again, elevated.
    UserInfo::GetAccountType
    Pop $R1
    ${If} $R1 != "Admin"
      ExecShellWait "runas" "$EXEPATH" "$R0"
      Quit
    ${EndIf}
    ; The folder unless /D= named another (compared while $LOCALAPPDATA is
    ; still the user's own).
    ${If} $INSTDIR == "$LOCALAPPDATA\Programs\${PRODUCT}"
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${EndIf}
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}

  ; An upgrade goes where the installed program is.
  ReadRegStr $R1 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R1 != ""
  ${AndIf} ${FileExists} "$R1\${EXE}"
    StrCpy $INSTDIR $R1
  ${EndIf}
FunctionEnd

; ------------------------------------------------------------------ uninstall

Section "-un.Program"
  Call un.CloseProgram

  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\Language\English.dll"
  Delete "$INSTDIR\Language\Greek.dll"
  RMDir "$INSTDIR\Language"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; "Start with Windows" of the user who uninstalls.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
SectionEnd

Section /o "un.$(UserData)" SecUserData
  SetShellVarContext current
  RMDir /r "$APPDATA\${PRODUCT}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
SectionEnd

Function un.onInit
  SetRegView 64
  ; Installed for every user when the machine's entry names this folder.
  SetShellVarContext current
  ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R1 != ""
  ${AndIf} $R1 == $INSTDIR
    SetShellVarContext all
  ${EndIf}

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/RemoveUserData" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUserData}
  ${EndIf}
FunctionEnd
