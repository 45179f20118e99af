; SPDX-License-Identifier: MIT
; The Quillant installer: puts the saver of the machine's word size into the
; system folder, where the screen saver settings list savers, makes it the
; current user's saver, and registers an uninstaller with Add/Remove Programs.
; /S installs silently, and so does /S to the uninstaller.
;
; scripts/make-dist builds it:
;   makensis -DVERSION=0.1.0 -DX86_SAVER=... -DX64_SAVER=...
;            -DX86_SIZE_KB=... -DX64_SIZE_KB=... -DLICENSE=... -DOUTFILE=...
;            quillant.nsi

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "LogicLib.nsh"
!include "MUI2.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillant"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER "$SYSDIR\quillant.scr"

Name "Quillant"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Quillant"
BrandingText "Quillant ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Quillant"
VIAddVersionKey "FileDescription" "Quillant ${VERSION} setup"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 the Quillant project; MIT License"

!define MUI_WELCOMEPAGE_TEXT "This installs the Quillant screen saver ${VERSION} into the system folder and makes it your screen saver.$\r$\n$\r$\nQuillant draws, with OpenGL, a slowly changing picture of roses: orbits of the quadratic map, each hop an arc of a logarithmic spiral."
!insertmacro MUI_PAGE_WELCOME
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Quillant is free software under the MIT License. Click Next to go on."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
; The screen saver settings, to see it or to set its wait.
!define MUI_FINISHPAGE_RUN "$SYSDIR\control.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "desk.cpl,,@screensaver"
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; On 64-bit Windows this 32-bit installer reads and writes the 64-bit view of
; the registry and installs under the 64-bit Program Files.
!macro UseNativeViews
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  !insertmacro UseNativeViews
  ${If} ${RunningX64}
    StrCpy $INSTDIR "$PROGRAMFILES64\Quillant"
  ${EndIf}
FunctionEnd

Section "Quillant"
  ; NOTE: a 32-bit program's writes to System32 land in SysWOW64 on 64-bit
  ; Windows; the 64-bit saver belongs in the real System32, so redirection is
  ; off for that copy.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetOutPath "$SYSDIR"
    File "/oname=quillant.scr" "${X64_SAVER}"
    ${EnableX64FSRedirection}
    StrCpy $0 ${X64_SIZE_KB}
  ${Else}
    SetOutPath "$SYSDIR"
    File "/oname=quillant.scr" "${X86_SAVER}"
    StrCpy $0 ${X86_SIZE_KB}
  ${EndIf}

  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "${SAVER}"

  SetOutPath "$INSTDIR"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillant"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillant project"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  !insertmacro UseNativeViews
FunctionEnd

Section "Uninstall"
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}

  ; The user's saver is cleared only while it is still Quillant, named long or
  ; short (the settings may keep the short 8.3 name).
  GetFullPathName /SHORT $1 "${SAVER}"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "${SAVER}"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  Delete "${SAVER}"
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
