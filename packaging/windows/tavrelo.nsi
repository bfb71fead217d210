; The Windows installer: one user's installation, without administrator rights, with a Start menu
; entry and an uninstaller; /S installs and uninstalls silently.
; makensis -DVERSION=1.0.0 -DSTAGE=<folder ready to run> -DFILES=<file lists> -DOUTFILE=<setup.exe>
;          -DICON=<tavrelo.ico> tavrelo.nsi
; FILES is a folder with install-files.nsh and uninstall-files.nsh, which scripts/build-windows.sh
; writes from the folder ready to run, so that the uninstaller removes exactly what was installed.
Unicode true
; The 64-bit stub: the 32-bit default does not start on a 64-bit-only system (wine64 without wine32).
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrelo"
; The palette reads tavrelo.xml beside itself first, then this user's configuration folder, which
; is where an installed palette's settings live.
!define SETTINGS_FOLDER "$LOCALAPPDATA\tavrelo"

Name "Tavrelo ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Tavrelo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Tavrelo"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Tavrelo Setup"
VIAddVersionKey "LegalCopyright" "MIT licence"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; A running palette holds its files: a palette that is ending is waited for (up to 10 s), one
; that goes on running is the user's to close, and nothing is changed meanwhile. Removes
; tavrelo.exe, or aborts.
!macro RemoveProgramOfEndedPalette
  StrCpy $1 0
  program_in_use:
    ClearErrors
    Delete "$INSTDIR\tavrelo.exe"
    IfErrors 0 program_removed
    IntOp $1 $1 + 1
    IntCmp $1 20 ask_to_close
    Sleep 500
    Goto program_in_use
  ask_to_close:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tavrelo が動いています。終了してから「再試行」を押してください。" \
      /SD IDCANCEL IDRETRY ask_again
    SetErrorLevel 2
    Abort "Tavrelo is running"
  ask_again:
    StrCpy $1 19
    Goto program_in_use
  program_removed:
!macroend

Section "Tavrelo"
  SetShellVarContext current
  ; An update over a running palette.
  !insertmacro RemoveProgramOfEndedPalette
  !include "${FILES}\install-files.nsh"
  ; A pristine example beside the program, out of the palette's way (it reads only tavrelo.xml
  ; in its own folder): the uninstaller compares the user's file with it.
  SetOutPath "$INSTDIR\example"
  File "${STAGE}\tavrelo.xml"
  ; The user's settings file is theirs: the example goes there only when there is none.
  IfFileExists "${SETTINGS_FOLDER}\tavrelo.xml" settings_kept
    SetOutPath "${SETTINGS_FOLDER}"
    File "${STAGE}\tavrelo.xml"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "TavreloPutSettings" 1
  settings_kept:

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Tavrelo.lnk" "$INSTDIR\tavrelo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tavrelo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavrelo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; $0 becomes 1 when the files $R1 and $R2 hold the same bytes, else 0.
Function un.SameBytes
  StrCpy $0 0
  ClearErrors
  FileOpen $3 $R1 r
  IfErrors done
  FileOpen $4 $R2 r
  IfErrors close_first
  next:
    ClearErrors
    FileReadByte $3 $5
    IfErrors first_ended
    FileReadByte $4 $6
    IfErrors close
    StrCmp $5 $6 next close
  first_ended:
    ClearErrors
    FileReadByte $4 $6
    IfErrors 0 close
    StrCpy $0 1
  close:
    FileClose $4
  close_first:
    FileClose $3
  done:
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro RemoveProgramOfEndedPalette

  ; The example that the installer put into the user's folder goes, unless the user changed it:
  ; an edited settings file is the user's work and stays.
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "TavreloPutSettings"
  StrCmp $0 1 0 settings_done
    StrCpy $R1 "${SETTINGS_FOLDER}\tavrelo.xml"
    StrCpy $R2 "$INSTDIR\example\tavrelo.xml"
    Call un.SameBytes
    StrCmp $0 1 0 settings_done
    Delete "${SETTINGS_FOLDER}\tavrelo.xml"
    RMDir "${SETTINGS_FOLDER}"
  settings_done:

  !include "${FILES}\uninstall-files.nsh"
  Delete "$INSTDIR\example\tavrelo.xml"
  RMDir "$INSTDIR\example"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a folder the user chose may hold files of their own.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tavrelo.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
