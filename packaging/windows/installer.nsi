; The Windows installer. makensis is given (packaging/windows/CMakeLists.txt):
;   VERSION    the project version, as 4.1.0
;   EXE        the built trelvan-assistant.exe
;   RESOURCES  the folder of the compiled page files (*.rsc)
;   ICON       the program's icon
;   OUTFILE    the setup file to write
;   AMD64      defined for the 64-bit build
; It installs the program and its page files into Program Files, a
; Start-menu entry, a desktop shortcut the user may untick, an uninstaller
; registered with the installed programs, and the data folder the program
; uses. The uninstaller removes what was installed and never the data
; folder, which holds the user's storage.
Unicode true
!ifdef AMD64
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
!endif
!include "MUI2.nsh"

!define NAME "Trelvan Assistant"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TrelvanAssistant"
; The program's default data folder (win32_files.cpp): with the shell
; folders of all users, $APPDATA is C:\ProgramData.
!define DATA_FOLDER "$APPDATA\Varnholt\Trelvan Assistant"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${NAME}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1033 "CompanyName" "Varnholt"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Varnholt"
VIAddVersionKey /LANG=1033 "FileDescription" "${NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\trelvan-assistant.exe"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "${NAME}" SectionProgram
  SectionIn RO
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
SectionEnd

Section "Desktop shortcut" SectionDesktop
  SetShellVarContext all
  CreateShortcut "$DESKTOP\${NAME}.lnk" "$INSTDIR\trelvan-assistant.exe"
SectionEnd

Section "Uninstall"
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
