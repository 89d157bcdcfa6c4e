; The plug-in's installer: puts ZentrastKolvane.8li where current host versions load plug-ins
; from, for the whole machine, and registers an uninstaller that removes exactly that again.
; Built by scripts/make-installer.sh, which passes the module's own version:
;   makensis -DVERSION=10.0 -DMODULE=/path/ZentrastKolvane.8li -DOUTFILE=/path/Setup.exe [-DSIGN=/path/sign-file.sh] ZentrastKolvane.nsi
; Silent use: Setup.exe /S [/D=C:\Other Folder]   and the entry's QuietUninstallString.

!ifndef VERSION | MODULE | OUTFILE
  !error "define VERSION, MODULE and OUTFILE (see scripts/make-installer.sh)"
!endif

!include LogicLib.nsh
!include FileFunc.nsh

; The installer's own version block wants four numbers; the module's version has two.
!define VERSION4 "${VERSION}.0.0"

; A 64-bit installer for a 64-bit module: it sees the 64-bit folders and registry view.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

; Signed files: SIGN is a command that signs the file named by its one argument in place. The
; uninstaller is signed before it goes into the installer, so that the one written at install
; time carries the signature too; the installer is signed last.
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

!define PRODUCT "Zentrast Kolvane Plug-In"
!define MODULE_NAME "ZentrastKolvane.8li"
; Checks outside the installer look for this very key.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZentrastKolvanePlugin"
; The uninstaller stays out of the plug-ins folder: the host scans that folder, and the person may
; point it (/D=) anywhere.
!define UNINSTALLER_DIR "$PROGRAMFILES64\${PRODUCT}"
!define UNINSTALLER "${UNINSTALLER_DIR}\Uninstall.exe"
; 1 in the entry when the installer made the folder of InstallLocation: only then may the
; uninstall remove it (a folder the person had prepared stays, even when empty).
!define FOLDER_CREATED_VALUE "PluginFolderCreated"
; The one option of the uninstaller's own: it is then the helper that removes the uninstaller
; once the quiet uninstall that started it has ended (see un.HandOverOwnRemoval).
!define REMOVE_AFTER_OPTION "/RemoveUninstallerAfter="
!define SYNCHRONIZE 0x00100000

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$COMMONFILES64\Adobe\Plug-ins\CC\Zentrast Kolvane"
; A later version goes where the earlier one is (unless /D= says otherwise): a second copy in the
; default folder would show up twice in the host's menu and outlive the uninstall.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "Varnholt"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright Varnholt. All rights reserved."

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; --- Installing -----------------------------------------------------------------------------

; What an installation found before it changed anything, so that a failure can put it back.
Var HadEntry               ; 1: an earlier installation is registered
Var EarlierLocation        ; its InstallLocation
Var EarlierFolderCreated   ; its PluginFolderCreated
Var EarlierVersion         ; its DisplayVersion
Var EarlierModuleCopy      ; a copy of the module $INSTDIR held before ("" when it held none)
; What this installation has done so far.
Var MadeFolder             ; 1: it made $INSTDIR
Var MadeUninstallerFolder  ; 1: it made the uninstaller's folder
Var TouchedModule          ; 1: it has begun to write $INSTDIR\${MODULE_NAME}
Var WroteUninstaller       ; 1: it wrote the uninstaller (and may have begun on the entry)

Function .onInit
  SetRegView 64
FunctionEnd

; CopyFileW, which says nothing to the person (the shell's copy may show a window even in a
; silent install). Sets the error flag when it fails.
!macro CopyFile from to
  StrCpy $R8 "${from}"
  StrCpy $R9 "${to}"
  System::Call 'kernel32::CopyFileW(w R8, w R9, i 0) i .R7'
  ${If} $R7 == 0
    SetErrors
  ${EndIf}
!macroend

; Puts back what the installation changed before it failed: the earlier module or none, the folder
; it made, the entry as it was or none, the uninstaller it added. Each step is tried whatever the
; others did.
Function RollBack
  ${If} $TouchedModule == 1
    ${If} $EarlierModuleCopy != ""
      !insertmacro CopyFile "$EarlierModuleCopy" "$INSTDIR\${MODULE_NAME}"
    ${Else}
      Delete "$INSTDIR\${MODULE_NAME}"
    ${EndIf}
  ${EndIf}
  ${If} $MadeFolder == 1
    ; The installer's working folder cannot be removed.
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
  ${EndIf}
  ${If} $WroteUninstaller == 1
    ${If} $HadEntry == 1
      ; The uninstaller written now serves the earlier installation as well; the values that
      ; differ between installations go back.
      WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "$EarlierVersion"
      WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$EarlierLocation"
      WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${FOLDER_CREATED_VALUE}" "$EarlierFolderCreated"
    ${Else}
      DeleteRegKey HKLM "${UNINSTALL_KEY}"
      Delete "${UNINSTALLER}"
    ${EndIf}
  ${EndIf}
  ${If} $MadeUninstallerFolder == 1
    RMDir "${UNINSTALLER_DIR}"
  ${EndIf}
FunctionEnd

; Every step that can fail ends the installation with exit code 2 and says why, in silent mode
; too, after putting back what it had changed: a silent install must never report success without
; the module in place, nor leave files behind that no uninstall entry can remove.
!macro Fail what
  MessageBox MB_OK|MB_ICONSTOP "${what}" /SD IDOK
  Call RollBack
  SetErrorLevel 2
  Abort "${what}"
!macroend

!macro FailIfErrors what
  ${If} ${Errors}
    !insertmacro Fail "${what}"
  ${EndIf}
!macroend

; Sets $R0 to 1 when two existing folders are the same one, however they are spelled (case,
; short names), to 0 otherwise (a missing folder is never the same).
!macro SameFolder a b
  StrCpy $R0 0
  GetFullPathName /SHORT $R1 "${a}"
  GetFullPathName /SHORT $R2 "${b}"
  ${If} $R1 != ""
  ${AndIf} $R1 == $R2
    StrCpy $R0 1
  ${EndIf}
!macroend

Section "Plug-in"
  ClearErrors
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ${IfNot} ${Errors}
    StrCpy $HadEntry 1
  ${EndIf}
  ReadRegStr $EarlierLocation HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegDWORD $EarlierFolderCreated HKLM "${UNINSTALL_KEY}" "${FOLDER_CREATED_VALUE}"
  ReadRegStr $EarlierVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $EarlierFolderCreated != 1
    StrCpy $EarlierFolderCreated 0
  ${EndIf}

  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $MadeFolder 1
  ${EndIf}
  ClearErrors
  SetOutPath "$INSTDIR"
  !insertmacro FailIfErrors "Cannot create the folder $INSTDIR."

  ${If} ${FileExists} "$INSTDIR\${MODULE_NAME}"
    InitPluginsDir
    !insertmacro CopyFile "$INSTDIR\${MODULE_NAME}" "$PLUGINSDIR\earlier.8li"
    !insertmacro FailIfErrors "Cannot keep a copy of the earlier $INSTDIR\${MODULE_NAME} while it is replaced."
    StrCpy $EarlierModuleCopy "$PLUGINSDIR\earlier.8li"
  ${EndIf}
  ; A module the host holds open cannot be replaced: the person may retry after closing it; an
  ; "Ignore" (or a silent install) ends here instead of reporting success with the old module.
  StrCpy $TouchedModule 1
  File "/oname=${MODULE_NAME}" "${MODULE}"
  !insertmacro FailIfErrors "Cannot write $INSTDIR\${MODULE_NAME}. Close Photoshop and run the installer again."

  ${IfNot} ${FileExists} "${UNINSTALLER_DIR}\*.*"
    StrCpy $MadeUninstallerFolder 1
  ${EndIf}
  CreateDirectory "${UNINSTALLER_DIR}"
  WriteUninstaller "${UNINSTALLER}"
  !insertmacro FailIfErrors "Cannot write the uninstaller ${UNINSTALLER}."
  StrCpy $WroteUninstaller 1

  ; An update in the folder of the earlier installation keeps what that one knew about the folder.
  !insertmacro SameFolder "$INSTDIR" "$EarlierLocation"
  StrCpy $R3 $R0
  StrCpy $R4 $MadeFolder
  ${If} $R3 == 1
  ${AndIf} $EarlierFolderCreated == 1
    StrCpy $R4 1
  ${EndIf}
  ${If} $R4 != 1
    StrCpy $R4 0
  ${EndIf}

  ClearErrors
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varnholt"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${FOLDER_CREATED_VALUE}" $R4
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${UNINSTALLER}"'
  ; _?= makes the uninstaller do its work in the process that was started, so that its exit code
  ; is the outcome; without it, it hands the work to a copy of itself and ends at once with 0.
  ; The folder comes unquoted and last, blanks and all.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${UNINSTALLER}" /S _?=${UNINSTALLER_DIR}'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  !insertmacro FailIfErrors "Cannot register the uninstaller under HKLM\${UNINSTALL_KEY}."

  ; The earlier installation in another folder goes last, once this one holds: the host would
  ; load both copies, and no uninstall would ever remove the earlier one.
  ${If} $HadEntry == 1
  ${AndIf} $EarlierLocation != ""
  ${AndIf} $R3 != 1
    Delete "$EarlierLocation\${MODULE_NAME}"
    ${If} ${FileExists} "$EarlierLocation\${MODULE_NAME}"
      !insertmacro Fail "Cannot remove the earlier $EarlierLocation\${MODULE_NAME}. Close Photoshop and run the installer again."
    ${EndIf}
    ${If} $EarlierFolderCreated == 1
      RMDir "$EarlierLocation"
    ${EndIf}
  ${EndIf}
SectionEnd

; --- Uninstalling ---------------------------------------------------------------------------

Var PluginFolder         ; the folder the module went to (the default or /D=), as the entry says
Var PluginFolderCreated  ; 1: the installer made it

; The helper's part (see un.HandOverOwnRemoval): waits for the uninstall that started it, whose
; process handle it inherited, then removes the uninstaller and its folder. Only once that
; process has ended and the entry is gone: an uninstaller without its installation would be lost.
Function un.RemoveUninstallerOnceEnded
  Pop $0
  ; A ceiling for a hang only: the uninstall ends right after it started this helper.
  System::Call 'kernel32::WaitForSingleObject(p r0, i 600000) i .r1'
  System::Call 'kernel32::CloseHandle(p r0)'
  ClearErrors
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ${If} $1 == 0
  ${AndIf} ${Errors}
    Delete "${UNINSTALLER}"
    RMDir "${UNINSTALLER_DIR}"
  ${EndIf}
  ; This copy lies in the temporary folder and cannot remove itself while it runs; it goes at
  ; the next restart, as the uninstaller's own temporary copies do.
  Delete /REBOOTOK "$EXEPATH"
  SetRebootFlag false
  SetErrorLevel 0
  Quit
FunctionEnd

Function un.onInit
  SetRegView 64
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "${REMOVE_AFTER_OPTION}" $1
  ${IfNot} ${Errors}
    Push $1
    Call un.RemoveUninstallerOnceEnded
  ${EndIf}
  ReadRegStr $PluginFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegDWORD $PluginFolderCreated HKLM "${UNINSTALL_KEY}" "${FOLDER_CREATED_VALUE}"
FunctionEnd

!macro UnFail what
  MessageBox MB_OK|MB_ICONSTOP "${what}" /SD IDOK
  SetErrorLevel 2
  Abort "${what}"
!macroend

; Run in place (the quiet uninstall's _?=), the uninstaller's own file is the running program,
; which Windows does not let anyone delete or move away until it has ended. A copy of it in the
; temporary folder, started with an inherited handle of this process, waits for this process to
; end and then removes it and its folder.
Function un.HandOverOwnRemoval
  GetTempFileName $R0
  !insertmacro CopyFile "$EXEPATH" "$R0"
  ${If} ${Errors}
    Delete "$R0"
    Delete /REBOOTOK "${UNINSTALLER}"
    RMDir /REBOOTOK "${UNINSTALLER_DIR}"
    SetRebootFlag false
    Return
  ${EndIf}
  System::Call 'kernel32::GetCurrentProcess() p .R1'
  System::Call 'kernel32::DuplicateHandle(p R1, p R1, p R1, *p .R2, i ${SYNCHRONIZE}, i 1, i 0) i .R3'
  StrCpy $R4 '"$R0" /S ${REMOVE_AFTER_OPTION}$R2 _?=${UNINSTALLER_DIR}'
  ; STARTUPINFOW (104 bytes, cb first, the rest zero) and PROCESS_INFORMATION (24 bytes).
  System::Alloc 104
  Pop $R5
  System::Call '*$R5(i 104)'
  System::Alloc 24
  Pop $R6
  System::Call 'kernel32::CreateProcessW(p 0, w R4, p 0, p 0, i 1, i 0, p 0, p 0, p R5, p R6) i .R7'
  ${If} $R7 != 0
    System::Call '*$R6(p .R8, p .R9)'
    System::Call 'kernel32::CloseHandle(p R8)'
    System::Call 'kernel32::CloseHandle(p R9)'
  ${Else}
    Delete "$R0"
    Delete /REBOOTOK "${UNINSTALLER}"
    RMDir /REBOOTOK "${UNINSTALLER_DIR}"
    SetRebootFlag false
  ${EndIf}
  System::Free $R5
  System::Free $R6
  ${If} $R3 != 0
    System::Call 'kernel32::CloseHandle(p R2)'
  ${EndIf}
FunctionEnd

; Removes what the installer wrote and nothing else: the module, its folder only when the
; installer made it and nothing else is in it, the entry, the uninstaller. The companion's
; remembered folder (HKCU) and the plug-in log belong to the person and stay. Whatever cannot be
; removed ends the uninstall with exit code 2 and keeps the entry, so that it can be run again.
Section "Uninstall"
  ${If} $PluginFolder != ""
    Delete "$PluginFolder\${MODULE_NAME}"
    ${If} ${FileExists} "$PluginFolder\${MODULE_NAME}"
      !insertmacro UnFail "Cannot remove $PluginFolder\${MODULE_NAME}. Close Photoshop and uninstall again."
    ${EndIf}
    ${If} $PluginFolderCreated == 1
      RMDir "$PluginFolder"
    ${EndIf}
  ${EndIf}
  ; An entry already gone is no failure (DeleteRegKey says it is): one still there is.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ${IfNot} ${Errors}
    !insertmacro UnFail "Cannot remove the entry HKLM\${UNINSTALL_KEY}."
  ${EndIf}

  Delete "${UNINSTALLER}"
  ${If} ${FileExists} "${UNINSTALLER}"
    ${If} $EXEPATH == "${UNINSTALLER}"
      Call un.HandOverOwnRemoval
    ${Else}
      ; The uninstaller's starter may not have ended yet.
      Delete /REBOOTOK "${UNINSTALLER}"
      RMDir /REBOOTOK "${UNINSTALLER_DIR}"
      SetRebootFlag false
    ${EndIf}
  ${Else}
    RMDir "${UNINSTALLER_DIR}"
  ${EndIf}
SectionEnd
