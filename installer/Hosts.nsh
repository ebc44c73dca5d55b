; Finding the installed hosts. Each version of Photoshop registers a key
; below HKLM\SOFTWARE\Adobe\Photoshop with the folder it runs from in
; ApplicationPath. 64-bit hosts register in the 64-bit registry view,
; 32-bit hosts in the 32-bit one (Wow6432Node), so the view a host was
; found in says which module it loads.
;
; What was found goes into an INI file in the plug-ins folder of this run,
; one section per host ("1".."N"): Label, Folder (its plug-ins folder),
; Bits (32 or 64) and Chosen (1 or 0). NSIS has no arrays.

!define HOSTS_INI "$PLUGINSDIR\hosts.ini"
!define PHOTOSHOP_KEY "SOFTWARE\Adobe\Photoshop"

Var HostCount

Function FindHosts
  StrCpy $HostCount 0
  SetRegView 64
  Push 64
  Call FindHostsInView
  SetRegView 32
  Push 32
  Call FindHostsInView
  SetRegView 64
FunctionEnd

; FindHostsInView BITS: adds the hosts registered in the current view.
Function FindHostsInView
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  StrCpy $R1 0
  ${Do}
    ClearErrors
    EnumRegKey $R2 HKLM "${PHOTOSHOP_KEY}" $R1
    ${If} ${Errors}
    ${OrIf} $R2 == ""
      ${ExitDo}
    ${EndIf}
    IntOp $R1 $R1 + 1
    ReadRegStr $R3 HKLM "${PHOTOSHOP_KEY}\$R2" "ApplicationPath"
    ${If} $R3 == ""
      ${Continue}
    ${EndIf}
    Push $R3
    Call PluginsFolderBelow
    Pop $R4
    ${If} $R4 == ""
      ; A host without a plug-ins folder cannot load plug-ins; it is not
      ; offered rather than given a folder it never scans.
      ${Continue}
    ${EndIf}
    IntOp $HostCount $HostCount + 1
    WriteINIStr "${HOSTS_INI}" "$HostCount" "Label" "Photoshop $R2, $R0-bit"
    WriteINIStr "${HOSTS_INI}" "$HostCount" "Folder" "$R4"
    WriteINIStr "${HOSTS_INI}" "$HostCount" "Bits" "$R0"
    WriteINIStr "${HOSTS_INI}" "$HostCount" "Chosen" "1"
  ${Loop}
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

; PluginsFolderBelow FOLDER -> the plug-ins folder below FOLDER, or "".
; Hosts spell it Plug-ins or Plug-Ins. The name is taken from the disk, so
; the folder shown and recorded is spelled the way it exists.
Function PluginsFolderBelow
  Exch $R0
  Push $R1
  Push $R2
  ; ApplicationPath usually ends in a backslash.
  StrCpy $R1 $R0 1 -1
  ${If} $R1 == "\"
    StrCpy $R0 $R0 -1
  ${EndIf}
  ClearErrors
  FindFirst $R1 $R2 "$R0\Plug-ins"
  ${If} ${Errors}
  ${OrIf} $R2 == ""
    StrCpy $R0 ""
  ${ElseIf} ${FileExists} "$R0\$R2\*.*"
    StrCpy $R0 "$R0\$R2"
  ${Else}
    StrCpy $R0 ""
  ${EndIf}
  FindClose $R1
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd
