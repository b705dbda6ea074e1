; The Windows installer. makensis is given (packaging/windows/CMakeLists.txt):
;   VERSION    the project version, as 4.1.0
;   EXE        the built trelvan-assistant.exe
;   RESOURCES  the folder of the compiled page files (*.rsc)
;   GUIDE      the folder of the user's guide (index.html, pictures)
;   PICTURES   the folder of the wizard's pictures (make_wizard_pictures.py)
;   ICON       the program's icon
;   OUTFILE    the setup file to write
;   AMD64      defined for the 64-bit build
; It installs the program, its page files and its guide into Program
; Files, Start-menu entries for both, a desktop shortcut the user may
; untick, an uninstaller registered with the installed programs (with the
; version, publisher and size), and the data folder the program uses. A
; running copy of the program is asked to close, and has ended, before any
; file is replaced or removed. The finish page starts the program as the
; user, not with the installer's rights. The uninstaller removes what was
; installed and never the data folder, which holds the user's storage.
Unicode true
!ifdef AMD64
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
!endif
!include "MUI2.nsh"
!include "FileFunc.nsh"

!define NAME "Trelvan Assistant"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TrelvanAssistant"
; The program's default data folder (win32_files.cpp): with the shell
; folders of all users, $APPDATA is C:\ProgramData.
!define DATA_FOLDER "$APPDATA\Varnholt\Trelvan Assistant"
; The program's window class (its string resource 109) and the mutex it
; holds from its start to its end.
!define WINDOW_CLASS "VARNHOLTASSISTANT"
!define MUTEX "TrelvanAssistantGlobalMutex"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${NAME}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${NAME} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1033 "CompanyName" "Varnholt"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Varnholt"
VIAddVersionKey /LANG=1033 "FileDescription" "${NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURES}\welcome.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${PICTURES}\welcome.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${PICTURES}\header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${PICTURES}\header.bmp"
!define MUI_WELCOMEPAGE_TITLE "Welcome to ${NAME} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "This wizard installs ${NAME} ${VERSION}, the desktop companion of the \
Trelvan model-railway handheld: it keeps a mirror of the handheld's storage and fills it with \
pictures, sounds, light effects and projects.$\r$\n$\r$\nIf ${NAME} is running, Setup asks to \
close it before it replaces its files. Your storage in the data folder is kept.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunAsUser
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The installer runs elevated; the shell, which runs as the user who is
; logged on, starts the program, so it does not inherit the installer's
; rights.
Function RunAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\trelvan-assistant.exe"'
FunctionEnd

; Asks a running copy of the program to close (it saves its storage as it
; does when its window is closed) and waits for its end, which releases its
; mutex; the install or uninstall stops when the user declines.
!macro CloseRunningCopy un
Function ${un}CloseRunningCopy
  FindWindow $0 "${WINDOW_CLASS}"
  StrCmp $0 0 done
  MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${NAME} is running. Choose OK to close it (it saves \
its storage first) and go on, or Cancel to stop." /SD IDOK IDOK close
  Abort "${NAME} is still running."
close:
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ; SYNCHRONIZE access; the wait ends when the program ends (the mutex is
  ; then abandoned to us), and the mutex is released again at once so the
  ; next start finds none.
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p .r1'
  StrCmp $1 0 done
  System::Call 'kernel32::WaitForSingleObject(p r1, i 60000) i .r2'
  System::Call 'kernel32::ReleaseMutex(p r1)'
  System::Call 'kernel32::CloseHandle(p r1)'
  StrCmp $2 258 0 done  ; WAIT_TIMEOUT
  Abort "${NAME} did not close."
done:
FunctionEnd
!macroend
!insertmacro CloseRunningCopy ""
!insertmacro CloseRunningCopy "un."

Section "${NAME}" SectionProgram
  SectionIn RO
  Call CloseRunningCopy
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=trelvan-assistant.exe" "${EXE}"
  ; The program takes these into its storage when it lacks them.
  File "${RESOURCES}/*.rsc"
  ; The user's guide, which F1 opens too.
  SetOutPath "$INSTDIR\guide"
  File /r "${GUIDE}/*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\trelvan-assistant.exe"
  CreateShortcut "$SMPROGRAMS\${NAME} Guide.lnk" "$INSTDIR\guide\index.html"
  ; Every user of the PC works on the one storage in the data folder.
  CreateDirectory "${DATA_FOLDER}"
  nsExec::Exec 'icacls "${DATA_FOLDER}" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varnholt"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\trelvan-assistant.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; The size the installed programs list shows, in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Desktop shortcut" SectionDesktop
  SetShellVarContext all
  CreateShortcut "$DESKTOP\${NAME}.lnk" "$INSTDIR\trelvan-assistant.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "The program, its page files and its user's \
guide, with Start-menu entries for both. Removing the program keeps your storage."
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} "A shortcut to ${NAME} on the desktop."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  Call un.CloseRunningCopy
  SetShellVarContext all
  Delete "$INSTDIR\trelvan-assistant.exe"
  Delete "$INSTDIR\TA *.rsc"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$INSTDIR\guide\pictures\*.png"
  RMDir "$INSTDIR\guide\pictures"
  Delete "$INSTDIR\guide\index.html"
  RMDir "$INSTDIR\guide"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  Delete "$SMPROGRAMS\${NAME} Guide.lnk"
  Delete "$DESKTOP\${NAME}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The data folder stays: it holds the user's storage.
SectionEnd
