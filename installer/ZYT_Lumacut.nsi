; The setup program a photographer double-clicks: it finds every installed
; Photoshop, puts the module that matches each one's bitness into its
; plug-ins folder, and registers an uninstaller that takes exactly those
; files away again. Built by build-setup.sh, which defines MODULE32,
; MODULE64, LOGO and OUTFILE.
;
; Built for x64: every machine with a current host runs 64-bit Windows, and
; only a 64-bit process sees both registry views without redirection. The
; release zip remains the way to install on 32-bit Windows.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION
  !error "VERSION: build-setup.sh gives it, from cmake/Version.cmake"
!endif
!define PRODUCT "ZYT_Lumacut"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
; Signed with the maker's certificate when build-setup.sh has one: the
; uninstaller as it is written into the program, the program once finished.
; A signing that fails stops the build.
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif
InstallDir "$PROGRAMFILES64\ZYT\Lumacut"
RequestExecutionLevel admin
BrandingText "ZYT"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "ZYT"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2004 ZYT"

!include MUI2.nsh
!include LogicLib.nsh
!include nsDialogs.nsh

!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_BITMAP "${LOGO}"
!define MUI_HEADERIMAGE_BITMAP_STRETCH NoStretchNoCrop
!define MUI_HEADERIMAGE_UNBITMAP "${LOGO}"
!define MUI_HEADERIMAGE_UNBITMAP_STRETCH NoStretchNoCrop
!define MUI_ABORTWARNING

!include "Hosts.nsh"
!include "HostsPage.nsh"
!include "FileList.nsh"
!include "Place.nsh"

; The last page says plainly whether every chosen host got the module.
Var FinishTitle
Var FinishText
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "$FinishTitle"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "$FinishText"

Page custom HostsPageShow HostsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  InitPluginsDir
  Call FindHosts
  ; With no host, the page asks for a folder; quiet mode has nobody to ask,
  ; so it ends without writing anything.
  ${If} $HostCount = 0
  ${AndIf} ${Silent}
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

Section "Install"
  SetRegView 64
  SetOutPath "$PLUGINSDIR"
  File "/oname=module32.8li" "${MODULE32}"
  File "/oname=module64.8li" "${MODULE64}"
  Call PlaceChosenModules
  StrCpy $FinishTitle "Done"
  StrCpy $FinishText "${PRODUCT} is installed. Start Photoshop to use it."
  ${If} $FailedCount > 0
    StrCpy $FinishTitle "Not everywhere"
    StrCpy $FinishText "Some folders were left as they were; see the list below."
    SetErrorLevel 3
  ${EndIf}
  ${If} $PlacedCount = 0
    StrCpy $FinishTitle "Nothing installed"
    Return
  ${EndIf}
  Call WriteFileList
  WriteUninstaller "$INSTDIR\uninstall.exe"
  Call WriteUninstallEntry
SectionEnd

Function WriteUninstallEntry
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "ZYT"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstalledFiles" "$INSTDIR\${FILE_LIST}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  Call ListedSizeInKB
  Pop $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
FunctionEnd

Section "Uninstall"
  SetRegView 64
  Call un.RemoveListedFiles
  Delete "$INSTDIR\${FILE_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\ZYT"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
