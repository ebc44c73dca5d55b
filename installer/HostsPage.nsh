; The page that lists the hosts found, one checkbox each, and lets the
; person add one more folder by hand (another host, a portable copy) with
; the module it needs. What is chosen goes back into hosts.ini; the folder
; added by hand is its section "manual".

; Rows that fit above the hand-picked folder; hosts beyond them are
; installed to without a checkbox of their own, and the page says so.
!define HOST_ROWS 6

Var HostsDialog
Var ManualFolder
Var ManualBits

Function HostsPageShow
  !insertmacro MUI_HEADER_TEXT "Photoshop" "Choose where ${PRODUCT} goes."
  nsDialogs::Create 1018
  Pop $HostsDialog
  ${If} $HostsDialog == error
    Abort
  ${EndIf}
  ${If} $HostCount = 0
    ${NSD_CreateLabel} 0 0 100% 12u "No Photoshop was found. Choose its folder below."
  ${Else}
    ${NSD_CreateLabel} 0 0 100% 12u "${PRODUCT} goes into the plug-ins folder of each Photoshop checked here:"
  ${EndIf}
  Pop $0
  StrCpy $6 $HostCount
  ${If} $6 > ${HOST_ROWS}
    StrCpy $6 ${HOST_ROWS}
  ${EndIf}
  StrCpy $1 1
  ${DoWhile} $1 <= $6
    ReadINIStr $2 "${HOSTS_INI}" "$1" "Label"
    ReadINIStr $3 "${HOSTS_INI}" "$1" "Folder"
    IntOp $4 $1 * 13
    IntOp $4 $4 + 3
    ${NSD_CreateCheckbox} 0 $4u 100% 12u "$2: $3"
    Pop $5
    WriteINIStr "${HOSTS_INI}" "$1" "Control" "$5"
    ReadINIStr $2 "${HOSTS_INI}" "$1" "Chosen"
    ${If} $2 == 1
      ${NSD_Check} $5
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  ${If} $HostCount > ${HOST_ROWS}
    IntOp $2 $HostCount - ${HOST_ROWS}
    ${NSD_CreateLabel} 0 94u 100% 10u "and $2 more found, which get it too."
    Pop $0
  ${EndIf}

  ${NSD_CreateLabel} 0 106u 100% 10u "Another Photoshop or plug-ins folder (optional), and the module it needs:"
  Pop $0
  ${NSD_CreateDirRequest} 0 118u 58% 12u ""
  Pop $ManualFolder
  ${NSD_CreateBrowseButton} 60% 117u 18% 14u "Browse..."
  Pop $0
  ${NSD_OnClick} $0 HostsPageBrowse
  ${NSD_CreateDropList} 80% 118u 20% 40u ""
  Pop $ManualBits
  ${NSD_CB_AddString} $ManualBits "64-bit"
  ${NSD_CB_AddString} $ManualBits "32-bit"
  ${NSD_CB_SelectString} $ManualBits "64-bit"
  ReadINIStr $2 "${HOSTS_INI}" "manual" "Picked"
  ${If} $2 != ""
    ${NSD_SetText} $ManualFolder $2
    ReadINIStr $2 "${HOSTS_INI}" "manual" "Bits"
    ${NSD_CB_SelectString} $ManualBits "$2-bit"
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function HostsPageBrowse
  Pop $0  ; the button
  ${NSD_GetText} $ManualFolder $0
  nsDialogs::SelectFolderDialog "Choose the Photoshop folder or its plug-ins folder" "$0"
  Pop $0
  ${If} $0 != error
    ${NSD_SetText} $ManualFolder $0
  ${EndIf}
FunctionEnd

Function HostsPageLeave
  StrCpy $6 0  ; hosts chosen
  StrCpy $1 1
  ${DoWhile} $1 <= $HostCount
    ${If} $1 <= ${HOST_ROWS}
      ReadINIStr $5 "${HOSTS_INI}" "$1" "Control"
      ${NSD_GetState} $5 $2
      ${If} $2 == ${BST_CHECKED}
        WriteINIStr "${HOSTS_INI}" "$1" "Chosen" "1"
      ${Else}
        WriteINIStr "${HOSTS_INI}" "$1" "Chosen" "0"
      ${EndIf}
    ${EndIf}
    ReadINIStr $2 "${HOSTS_INI}" "$1" "Chosen"
    IntOp $6 $6 + $2
    IntOp $1 $1 + 1
  ${Loop}

  DeleteINISec "${HOSTS_INI}" "manual"
  ${NSD_GetText} $ManualFolder $2
  ${If} $2 != ""
    ${IfNot} ${FileExists} "$2\*.*"
      MessageBox MB_OK|MB_ICONEXCLAMATION "There is no folder $2."
      Abort
    ${EndIf}
    ; A host's own folder gets the module in its plug-ins folder; any other
    ; folder is taken to be a plug-ins folder itself.
    Push $2
    Call PluginsFolderBelow
    Pop $3
    ${If} $3 == ""
      StrCpy $3 $2
    ${EndIf}
    ${NSD_GetText} $ManualBits $4
    StrCpy $4 $4 2
    WriteINIStr "${HOSTS_INI}" "manual" "Picked" "$2"
    WriteINIStr "${HOSTS_INI}" "manual" "Folder" "$3"
    WriteINIStr "${HOSTS_INI}" "manual" "Bits" "$4"
    WriteINIStr "${HOSTS_INI}" "manual" "Chosen" "1"
    IntOp $6 $6 + 1
  ${EndIf}

  ${If} $6 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "Check a Photoshop or choose a folder."
    Abort
  ${EndIf}
FunctionEnd
