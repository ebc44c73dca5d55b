; Putting each chosen host's module into <plug-ins folder>\ZYT. A module
; that cannot be written (the host is running and holds the earlier one)
; gets Retry and Cancel; Cancel leaves that host as it was, without a ZYT
; folder the setup would have made for it.

Var PlacedCount
Var FailedCount

Function PlaceChosenModules
  StrCpy $PlacedCount 0
  StrCpy $FailedCount 0
  StrCpy $R0 1
  ${DoWhile} $R0 <= $HostCount
    Push "$R0"
    Call PlaceIfChosen
    IntOp $R0 $R0 + 1
  ${Loop}
  Push "manual"
  Call PlaceIfChosen
FunctionEnd

; PlaceIfChosen SECTION: the host of that hosts.ini section, if chosen.
Function PlaceIfChosen
  Exch $0
  ReadINIStr $1 "${HOSTS_INI}" "$0" "Chosen"
  ${If} $1 == 1
    ReadINIStr $1 "${HOSTS_INI}" "$0" "Folder"
    ReadINIStr $2 "${HOSTS_INI}" "$0" "Bits"
    Push $1
    Push $2
    Call PlaceModule
  ${EndIf}
  Pop $0
FunctionEnd

; PlaceModule PLUGINS_FOLDER BITS
Function PlaceModule
  Pop $3  ; bits
  Pop $4  ; plug-ins folder
  StrCpy $5 "$4\ZYT"
  StrCpy $6 "$5\ZYT_Lumacut.8li"
  StrCpy $7 0  ; whether this run made the ZYT folder
  ${IfNot} ${FileExists} "$5\*.*"
    ClearErrors
    CreateDirectory "$5"
    ${If} ${Errors}
      DetailPrint "Cannot make $5"
      IntOp $FailedCount $FailedCount + 1
      Return
    ${EndIf}
    StrCpy $7 1
  ${EndIf}
  ${Do}
    ; CopyFileW fails before it truncates a file the host holds open, so the
    ; earlier module stays whole when this one cannot be written.
    System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\module$3.8li", w "$6", i 0) i .r8'
    ${If} $8 <> 0
      ${ExitDo}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$6 cannot be written.$\nIf Photoshop is running, quit it and choose Retry." /SD IDCANCEL IDRETRY retry_write
    ${ExitDo}
    retry_write:
  ${Loop}
  ${If} $8 = 0
    ${If} $7 = 1
      RMDir "$5"
    ${EndIf}
    DetailPrint "Skipped $4"
    IntOp $FailedCount $FailedCount + 1
    Return
  ${EndIf}
  DetailPrint "Installed the $3-bit module into $5"
  IntOp $PlacedCount $PlacedCount + 1
  Push "F $6"
  Call AddToList
  ${If} $7 = 1
    Push "D $5"
    Call AddToList
  ${EndIf}
FunctionEnd
