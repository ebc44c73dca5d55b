; The list of what the setup placed, kept beside the uninstaller: one line
; per item, "F <file>" for a module and "D <folder>" for a ZYT folder the
; setup made. The uninstaller removes exactly these, so a reinstall merges
; its new lines into the earlier list instead of starting a new one, and the
; hosts an earlier run served stay on it. UTF-16, so folder names in any
; language survive.

!define FILE_LIST "installed-files.txt"
!define PLACED_LIST "$PLUGINSDIR\placed.txt"

; AddToList LINE: notes a line for the list this run writes.
Function AddToList
  Exch $0
  Push $1
  FileOpen $1 "${PLACED_LIST}" a
  FileSeek $1 0 END
  FileWriteUTF16LE $1 "$0$\r$\n"
  FileClose $1
  Pop $1
  Pop $0
FunctionEnd

; ReadListLine HANDLE -> the next line without its line end, or "" at the end.
!macro DEFINE_READ_LIST_LINE UN
Function ${UN}ReadListLine
  Exch $0
  Push $1
  ClearErrors
  FileReadUTF16LE $0 $0
  ${If} ${Errors}
    StrCpy $0 ""
  ${EndIf}
  ${Do}
    StrCpy $1 $0 1 -1
    ${If} $1 != "$\r"
    ${AndIf} $1 != "$\n"
      ${ExitDo}
    ${EndIf}
    StrCpy $0 $0 -1
  ${Loop}
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro DEFINE_READ_LIST_LINE ""
!insertmacro DEFINE_READ_LIST_LINE "un."

; ListHasLine FILE LINE -> 1 when FILE holds LINE (compared as Windows
; compares paths, without regard to case), else 0.
Function ListHasLine
  Exch $0  ; line
  Exch
  Exch $1  ; file
  Push $2
  Push $3
  StrCpy $3 0
  FileOpen $2 "$1" r
  ${IfNot} ${Errors}
    ${Do}
      Push $2
      Call ReadListLine
      Pop $1
      ${If} $1 == ""
        ${ExitDo}
      ${ElseIf} $1 == $0
        StrCpy $3 1
        ${ExitDo}
      ${EndIf}
    ${Loop}
    FileClose $2
  ${EndIf}
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Writes $INSTDIR\installed-files.txt: the earlier list, then this run's
; lines that it does not hold yet.
Function WriteFileList
  CreateDirectory "$INSTDIR"
  StrCpy $R0 "$PLUGINSDIR\merged.txt"
  ${If} ${FileExists} "$INSTDIR\${FILE_LIST}"
    CopyFiles /SILENT "$INSTDIR\${FILE_LIST}" "$R0"
  ${Else}
    FileOpen $R1 "$R0" w
    FileWriteWord $R1 0xFEFF
    FileClose $R1
  ${EndIf}
  FileOpen $R1 "${PLACED_LIST}" r
  ${Do}
    Push $R1
    Call ReadListLine
    Pop $R2
    ${If} $R2 == ""
      ${ExitDo}
    ${EndIf}
    Push "$R0"
    Push "$R2"
    Call ListHasLine
    Pop $R3
    ${If} $R3 = 0
      FileOpen $R3 "$R0" a
      FileSeek $R3 0 END
      FileWriteUTF16LE $R3 "$R2$\r$\n"
      FileClose $R3
    ${EndIf}
  ${Loop}
  FileClose $R1
  Delete "$INSTDIR\${FILE_LIST}"
  CopyFiles /SILENT "$R0" "$INSTDIR\${FILE_LIST}"
FunctionEnd

; ListedSizeInKB -> what the listed modules and the uninstaller take, in KB.
Function ListedSizeInKB
  StrCpy $R0 0
  FileOpen $R1 "$INSTDIR\${FILE_LIST}" r
  ${Do}
    Push $R1
    Call ReadListLine
    Pop $R2
    ${If} $R2 == ""
      ${ExitDo}
    ${EndIf}
    StrCpy $R3 $R2 2
    ${If} $R3 == "F "
      StrCpy $R2 $R2 "" 2
      Push $R2
      Call FileSizeOf
      Pop $R3
      IntOp $R0 $R0 + $R3
    ${EndIf}
  ${Loop}
  FileClose $R1
  Push "$INSTDIR\uninstall.exe"
  Call FileSizeOf
  Pop $R3
  IntOp $R0 $R0 + $R3
  IntOp $R0 $R0 + 1023
  IntOp $R0 $R0 / 1024
  Push $R0
FunctionEnd

; FileSizeOf FILE -> its size in bytes, 0 when it is not there.
Function FileSizeOf
  Exch $0
  Push $1
  ClearErrors
  FileOpen $1 "$0" r
  ${If} ${Errors}
    StrCpy $0 0
  ${Else}
    FileSeek $1 0 END $0
    FileClose $1
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Removes the listed modules, then the listed ZYT folders that are empty
; now (RMDir without /r leaves a folder that still holds anything). A
; module that cannot be removed (the host is running and holds it) stops
; the uninstall with the entry kept, so it can be run again.
Function un.RemoveListedFiles
  ${IfNot} ${FileExists} "$INSTDIR\${FILE_LIST}"
    Return
  ${EndIf}
  ${ForEach} $R4 0 1 + 1  ; pass 0: modules, pass 1: folders
    FileOpen $R1 "$INSTDIR\${FILE_LIST}" r
    ${Do}
      Push $R1
      Call un.ReadListLine
      Pop $R2
      ${If} $R2 == ""
        ${ExitDo}
      ${EndIf}
      StrCpy $R3 $R2 2
      StrCpy $R2 $R2 "" 2
      ${If} $R4 = 0
      ${AndIf} $R3 == "F "
        ${DoWhile} ${FileExists} "$R2"
          ClearErrors
          Delete "$R2"
          ${IfNot} ${Errors}
            ${Break}
          ${EndIf}
          MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R2 cannot be removed.$\nQuit Photoshop and choose Retry." /SD IDCANCEL IDRETRY retry_delete
          FileClose $R1
          Abort "${PRODUCT} was not removed completely."
          retry_delete:
        ${Loop}
        DetailPrint "Removed $R2"
      ${ElseIf} $R4 = 1
      ${AndIf} $R3 == "D "
        RMDir "$R2"
      ${EndIf}
    ${Loop}
    FileClose $R1
  ${Next}
FunctionEnd
