; Per-user installer of Tavrilo. Built by the build (makensis) with these defines:
;   VERSION  program version (x.y.z)      EXE      path of Tavrilo.exe
;   LICENSE  the font licence (OFL.txt)    README   the short readme
;   ICON     the application icon          OUTFILE  the installer to write
; Tavrilo is an x64 program, so its installer is one too (and runs where the program runs).
Target amd64-unicode
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include StrFunc.nsh
${UnStrStr}

!ifndef VERSION | EXE | LICENSE | README | ICON | OUTFILE
  !error "VERSION, EXE, LICENSE, README, ICON and OUTFILE must be defined"
!endif

!define PRODUCT "Tavrilo"
!define PUBLISHER "Tavrilo Team"
!define MAIN_CLASS "QuenlorMainWindow.Tray"
!define SINGLETON "Local\Quenlor.Singleton"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrilo"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Quenlor"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"

Var WasRunning
Var WasVisible

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tavrilo.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the fallback; otherwise the system's display language is used.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Korean"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString SecProgram ${LANG_ENGLISH} "Tavrilo (required)"
LangString SecProgram ${LANG_KOREAN} "Tavrilo (필수)"
LangString SecProgram ${LANG_JAPANESE} "Tavrilo (必須)"
LangString SecProgram ${LANG_FRENCH} "Tavrilo (obligatoire)"
LangString SecProgram ${LANG_GERMAN} "Tavrilo (erforderlich)"
LangString SecProgram ${LANG_SIMPCHINESE} "Tavrilo（必需）"

LangString SecDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString SecDesktop ${LANG_KOREAN} "바탕 화면 바로 가기"
LangString SecDesktop ${LANG_JAPANESE} "デスクトップのショートカット"
LangString SecDesktop ${LANG_FRENCH} "Raccourci sur le Bureau"
LangString SecDesktop ${LANG_GERMAN} "Verknüpfung auf dem Desktop"
LangString SecDesktop ${LANG_SIMPCHINESE} "桌面快捷方式"

LangString SecRemoveData ${LANG_ENGLISH} "Also remove my Tavrilo settings (project files and AI records are kept)"
LangString SecRemoveData ${LANG_KOREAN} "Tavrilo 설정도 삭제 (프로젝트 파일과 AI 기록은 유지)"
LangString SecRemoveData ${LANG_JAPANESE} "Tavrilo の設定も削除する（プロジェクト ファイルと AI 記録は残ります）"
LangString SecRemoveData ${LANG_FRENCH} "Supprimer aussi mes réglages Tavrilo (les fichiers de projet et les historiques IA sont conservés)"
LangString SecRemoveData ${LANG_GERMAN} "Auch meine Tavrilo-Einstellungen entfernen (Projektdateien und KI-Protokolle bleiben erhalten)"
LangString SecRemoveData ${LANG_SIMPCHINESE} "同时删除我的 Tavrilo 设置（项目文件和 AI 记录将保留）"

LangString StillRunning ${LANG_ENGLISH} "Tavrilo is still running and could not be closed.$\r$\nClose its open windows or exit it (File > Exit), then try again."
LangString StillRunning ${LANG_KOREAN} "Tavrilo가 실행 중이며 종료하지 못했습니다.$\r$\n열린 창을 닫거나 프로그램을 종료(파일 > 종료)한 뒤 다시 시도하세요."
LangString StillRunning ${LANG_JAPANESE} "Tavrilo が実行中のため終了できませんでした。$\r$\n開いているウィンドウを閉じるか、Tavrilo を終了（ファイル > 終了）してから、もう一度お試しください。"
LangString StillRunning ${LANG_FRENCH} "Tavrilo est en cours d’exécution et n’a pas pu être fermé.$\r$\nFermez ses fenêtres ouvertes ou quittez-le (Fichier > Quitter), puis réessayez."
LangString StillRunning ${LANG_GERMAN} "Tavrilo läuft noch und konnte nicht beendet werden.$\r$\nSchließen Sie die geöffneten Fenster oder beenden Sie Tavrilo (Datei > Beenden) und versuchen Sie es erneut."
LangString StillRunning ${LANG_SIMPCHINESE} "Tavrilo 仍在运行，无法关闭。$\r$\n请关闭其打开的窗口或退出程序（文件 > 退出），然后重试。"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

; A running Tavrilo is asked to end the way Windows asks at log-off: it saves or asks
; about unsaved changes, may refuse (a dialog of its own is open), and then exits. The
; files can only be replaced once the process is gone, which its single-instance mutex
; tells: it is held until the very end of the process.
!macro CLOSE_TAVRILO un
Function ${un}CloseTavrilo
  StrCpy $WasRunning 0
  StrCpy $WasVisible 0
  FindWindow $0 "${MAIN_CLASS}" ""
  ${If} $0 == 0
    Return
  ${EndIf}
  StrCpy $WasRunning 1
  System::Call 'user32::IsWindowVisible(p r0) i .r1'
  StrCpy $WasVisible $1
  ; ENDSESSION_CLOSEAPP (1): the application is closed for an update, not a log-off.
  SendMessage $0 ${WM_QUERYENDSESSION} 0 1 $1 /TIMEOUT=60000
  ${If} $1 == 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDOK
    Abort
  ${EndIf}
  SendMessage $0 ${WM_ENDSESSION} 1 1 $1 /TIMEOUT=60000
  StrCpy $2 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${SINGLETON}") p .r3'
    ${If} $3 == 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r3)'
    IntOp $2 $2 + 1
    ${If} $2 >= 300
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDOK
      Abort
    ${EndIf}
    Sleep 100
  ${Loop}
  ; The mutex goes in the process's last steps; its program file is free a moment later.
  StrCpy $2 0
  ${Do}
    IfFileExists "$INSTDIR\Tavrilo.exe" 0 done
    ClearErrors
    FileOpen $3 "$INSTDIR\Tavrilo.exe" a
    ${IfNot} ${Errors}
      FileClose $3
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 >= 100
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
  done:
FunctionEnd
!macroend
!insertmacro CLOSE_TAVRILO ""
!insertmacro CLOSE_TAVRILO "un."

Section "$(SecProgram)" SEC_PROGRAM
  SectionIn RO
  Call CloseTavrilo
  SetOutPath "$INSTDIR"
  File "/oname=Tavrilo.exe" "${EXE}"
  File "/oname=OFL.txt" "${LICENSE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Tavrilo.exe" "" "$INSTDIR\Tavrilo.exe" 0

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Tavrilo.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" "$0"

  ; An upgrade gives the user back the program they had running.
  ${If} $WasRunning == 1
    ${If} $WasVisible == 0
      Exec '"$INSTDIR\Tavrilo.exe" --startup'
    ${Else}
      Exec '"$INSTDIR\Tavrilo.exe"'
    ${EndIf}
  ${EndIf}
SectionEnd

Section /o "$(SecDesktop)" SEC_DESKTOP
  CreateShortCut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\Tavrilo.exe" "" "$INSTDIR\Tavrilo.exe" 0
SectionEnd

Function .onInit
  SetShellVarContext current
FunctionEnd

Section "un.${PRODUCT}" UNSEC_PROGRAM
  SectionIn RO
  Call un.CloseTavrilo
  ; A program that has just ended may hold its file for a moment longer.
  StrCpy $2 0
  ${Do}
    ClearErrors
    Delete "$INSTDIR\Tavrilo.exe"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 >= 100
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
  Delete "$INSTDIR\OFL.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only removed when empty: anything the user put there stays.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINST_KEY}"

  ; The start-with-Windows entry goes only when it starts this installation.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 != ""
    ${UnStrStr} $1 $0 "$INSTDIR\"
    ${If} $1 != ""
      DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
  ${EndIf}
SectionEnd

Section /o "un.$(SecRemoveData)" UNSEC_DATA
  DeleteRegKey HKCU "Software\Quenlor"
  RMDir /r "$LOCALAPPDATA\Quenlor\VSCode"
  RMDir "$LOCALAPPDATA\Quenlor"
SectionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd
