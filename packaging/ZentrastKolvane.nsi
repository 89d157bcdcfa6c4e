; The plug-in's installer: puts ZentrastKolvane.8li where current host versions load plug-ins
; from, for the whole machine, and registers an uninstaller that removes exactly that again.
; Built by scripts/make-installer.sh, which passes the module's own version:
;   makensis -DVERSION=10.0 -DMODULE=/path/ZentrastKolvane.8li -DOUTFILE=/path/Setup.exe [-DSIGN='"/path/sign-file.sh" ...'] ZentrastKolvane.nsi
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

; Signed files: SIGN is a command line, program quoted, that signs in place the file named after it.
; The uninstaller is signed before it goes into the installer, so that the one written at install
; time carries the signature too; the installer is signed last. A signing that fails fails the build.
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
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
; With PluginFolderCreated 1: the first folder the installer made on the way to InstallLocation,
; which is InstallLocation itself or one of its parents ("C:\Photo Tools" for /D=C:\Photo
; Tools\Plug-ins\Zentrast Kolvane, "...\Common Files\Adobe" on a machine without the host). The
; uninstall removes the empty folders from InstallLocation up to it. Entries of earlier versions
; lack it: their installer made at most InstallLocation itself.
!define FIRST_FOLDER_CREATED_VALUE "FirstFolderCreated"
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

; --- Shared by installer and uninstaller ------------------------------------------------------

; Removes the empty folders from FOLDER up to and including TOP, the first folder an installation
; made on the way to FOLDER, and stops at the first that stays (something else is in it, or it is
; in use). A TOP that is not FOLDER or one of its parents as spelled there (a damaged entry) stands
; for FOLDER alone. Only empty folders are ever removed.
;   Push FOLDER / Push TOP / Call [un.]RemoveEmptyFolders
!macro RemoveEmptyFoldersFunction un
Function ${un}RemoveEmptyFolders
  Exch $1
  Exch
  Exch $0
  Push $2
  Push $3
  StrLen $2 $1
  StrCpy $3 $0 $2
  ${If} $3 != $1
    StrCpy $1 $0
  ${Else}
    StrCpy $3 $0 1 $2
    ${If} $3 != ""
    ${AndIf} $3 != "\"
      StrCpy $1 $0
    ${EndIf}
  ${EndIf}
  ${Do}
    RMDir $0
    ${If} ${FileExists} "$0\*.*"
    ${OrIf} $0 == $1
      ${Break}
    ${EndIf}
    ${GetParent} $0 $0
  ${LoopUntil} $0 == ""
  Pop $3
  Pop $2
  Pop $0
  Pop $1
FunctionEnd
!macroend
!insertmacro RemoveEmptyFoldersFunction ""
!insertmacro RemoveEmptyFoldersFunction "un."

; --- Installing -----------------------------------------------------------------------------

; What an installation found before it changed anything, so that a failure can put it back.
Var HadEntry               ; 1: an earlier installation is registered
Var EarlierLocation        ; its InstallLocation
Var EarlierFolderCreated   ; its PluginFolderCreated
Var EarlierFirstFolder     ; its FirstFolderCreated ("" when it has none)
Var EarlierVersion         ; its DisplayVersion
Var EarlierModuleCopy      ; a copy of the module $INSTDIR held before ("" when it held none)
; What this installation has done so far.
Var FirstFolderMade        ; the first folder it made on the way to $INSTDIR ("" when $INSTDIR was there)
Var MadeUninstallerFolder  ; 1: it made the uninstaller's folder
Var TouchedModule          ; 1: it has begun to write $INSTDIR\${MODULE_NAME}
Var WroteUninstaller       ; 1: it wrote the uninstaller (and may have begun on the entry)
Var EarlierElsewhereCopy   ; a copy of the earlier module in another folder, which it removed

Function .onInit
  SetRegView 64
FunctionEnd

; CopyFileW, which says nothing to the person (the shell's copy may show a window even in a
; silent install). The error flag says afterwards whether it failed, whatever it said before (a
; failed Delete before it, say).
!macro CopyFile from to
  ClearErrors
  StrCpy $R8 "${from}"
  StrCpy $R9 "${to}"
  System::Call 'kernel32::CopyFileW(w R8, w R9, i 0) i .R7'
  ${If} $R7 == 0
    SetErrors
  ${EndIf}
!macroend

; The identity of an existing folder as the file system keeps it: its volume's serial number and
; its file ID, the same however the folder is reached (another case, short names, a junction or
; symbolic link on the way, a subst drive, the administrative share). "" when it cannot be opened.
;   Push FOLDER / Call FolderIdentity / Pop IDENTITY
!define FILE_READ_ATTRIBUTES 0x80
!define FILE_SHARE_ALL 7
!define OPEN_EXISTING 3
; Opens a folder, not only a file.
!define FILE_FLAG_BACKUP_SEMANTICS 0x02000000
Function FolderIdentity
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $4 ""
  System::Call 'kernel32::CreateFileW(w r0, i ${FILE_READ_ATTRIBUTES}, i ${FILE_SHARE_ALL}, p 0, i ${OPEN_EXISTING}, i ${FILE_FLAG_BACKUP_SEMANTICS}, p 0) p .r1'
  ${If} $1 P<> -1
    ; BY_HANDLE_FILE_INFORMATION: attributes, three times, serial number, size (2), links, index (2).
    System::Call '*(&i52) p .r2'
    System::Call 'kernel32::GetFileInformationByHandle(p r1, p r2) i .r3'
    ${If} $3 <> 0
      System::Call '*$2(i, i, i, i, i, i, i, i .r0, i, i, i, i .r3, i .r5)'
      StrCpy $4 "$0:$3:$5"
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  StrCpy $0 $4
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Sets $R0 to 1 when two existing folders are the same one, decided by identity, never by how they
; are spelled: a text comparison would take two spellings of one folder for two folders and have
; the installer remove the module it has just written. 0 otherwise (a folder that is not there, or
; cannot be opened, is never the same: the installed module is checked afterwards anyway).
!macro SameFolder a b
  Push "${a}"
  Call FolderIdentity
  Pop $R1
  Push "${b}"
  Call FolderIdentity
  Pop $R2
  StrCpy $R0 0
  ${If} $R1 != ""
  ${AndIf} $R1 == $R2
    StrCpy $R0 1
  ${EndIf}
!macroend

; Sets $FirstFolderMade to the first folder that the installation must make on the way to
; $INSTDIR: $INSTDIR itself or the highest of its parents that is missing; "" when $INSTDIR is there.
Function FindFirstFolderToMake
  Push $0
  StrCpy $FirstFolderMade ""
  StrCpy $0 $INSTDIR
  ${DoWhile} $0 != ""
    ${If} ${FileExists} "$0\*.*"
      ${Break}
    ${EndIf}
    StrCpy $FirstFolderMade $0
    ${GetParent} $0 $0
  ${Loop}
  Pop $0
FunctionEnd

; Puts back what the installation changed before it failed: the earlier module or none (in this
; folder, and in the earlier folder when it had already removed it there), the folders it made,
; the entry as it was or none, the uninstaller it added. Each step is tried whatever the others did.
; Called once, by .onInstFailed: a failing step of the installation ends it with Abort, and so does
; "Abort" in the installer's own box about a file it cannot write.
Function RollBack
  ${If} $TouchedModule == 1
    ${If} $EarlierModuleCopy != ""
      !insertmacro CopyFile "$EarlierModuleCopy" "$INSTDIR\${MODULE_NAME}"
    ${Else}
      Delete "$INSTDIR\${MODULE_NAME}"
    ${EndIf}
  ${EndIf}
  ${If} $EarlierElsewhereCopy != ""
  ${AndIfNot} ${FileExists} "$EarlierLocation\${MODULE_NAME}"
    !insertmacro CopyFile "$EarlierElsewhereCopy" "$EarlierLocation\${MODULE_NAME}"
  ${EndIf}
  ${If} $FirstFolderMade != ""
    ; The installer's working folder cannot be removed.
    SetOutPath "$TEMP"
    Push $INSTDIR
    Push $FirstFolderMade
    Call RemoveEmptyFolders
  ${EndIf}
  ${If} $WroteUninstaller == 1
    ${If} $HadEntry == 1
      ; The uninstaller written now serves the earlier installation as well; the values that
      ; differ between installations go back.
      WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "$EarlierVersion"
      WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$EarlierLocation"
      WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${FOLDER_CREATED_VALUE}" "$EarlierFolderCreated"
      ${If} $EarlierFirstFolder != ""
        WriteRegStr HKLM "${UNINSTALL_KEY}" "${FIRST_FOLDER_CREATED_VALUE}" "$EarlierFirstFolder"
      ${Else}
        DeleteRegValue HKLM "${UNINSTALL_KEY}" "${FIRST_FOLDER_CREATED_VALUE}"
      ${EndIf}
    ${Else}
      DeleteRegKey HKLM "${UNINSTALL_KEY}"
      Delete "${UNINSTALLER}"
    ${EndIf}
  ${EndIf}
  ${If} $MadeUninstallerFolder == 1
    RMDir "${UNINSTALLER_DIR}"
  ${EndIf}
FunctionEnd

Function .onInstFailed
  Call RollBack
FunctionEnd

; Every step that can fail ends the installation with exit code 2 and says why, in silent mode
; too; .onInstFailed then puts back what it had changed: a silent install must never report
; success without the module in place, nor leave files behind that no uninstall entry can remove.
!macro Fail what
  MessageBox MB_OK|MB_ICONSTOP "${what}" /SD IDOK
  SetErrorLevel 2
  Abort "${what}"
!macroend

!macro FailIfErrors what
  ${If} ${Errors}
    !insertmacro Fail "${what}"
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
  ReadRegStr $EarlierFirstFolder HKLM "${UNINSTALL_KEY}" "${FIRST_FOLDER_CREATED_VALUE}"
  ReadRegStr $EarlierVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $EarlierFolderCreated != 1
    StrCpy $EarlierFolderCreated 0
  ${EndIf}

  Call FindFirstFolderToMake
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

  ; An update of the installation in this very folder, however the folder was spelled this time:
  ; the entry keeps the earlier spelling and what that installation had made. Otherwise the entry
  ; records this installation's folder and the folders it made.
  StrCpy $R3 0
  ${If} $HadEntry == 1
  ${AndIf} $EarlierLocation != ""
    !insertmacro SameFolder "$INSTDIR" "$EarlierLocation"
    StrCpy $R3 $R0
  ${EndIf}
  ${If} $R3 == 1
  ${AndIf} $FirstFolderMade == ""
    StrCpy $R4 $EarlierLocation
    StrCpy $R5 $EarlierFolderCreated
    StrCpy $R6 $EarlierFirstFolder
  ${Else}
    StrCpy $R4 $INSTDIR
    StrCpy $R5 0
    StrCpy $R6 $FirstFolderMade
    ${If} $R6 != ""
      StrCpy $R5 1
    ${EndIf}
  ${EndIf}

  ; Gone first, so that no value of another installation stays (not an error when it was not there).
  DeleteRegValue HKLM "${UNINSTALL_KEY}" "${FIRST_FOLDER_CREATED_VALUE}"
  ClearErrors
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varnholt"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$R4"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${FOLDER_CREATED_VALUE}" $R5
  ${If} $R6 != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "${FIRST_FOLDER_CREATED_VALUE}" "$R6"
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${UNINSTALLER}"'
  ; _?= makes the uninstaller do its work in the process that was started, so that its exit code
  ; is the outcome; without it, it hands the work to a copy of itself and ends at once with 0.
  ; The folder comes unquoted and last, blanks and all.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${UNINSTALLER}" /S _?=${UNINSTALLER_DIR}'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  !insertmacro FailIfErrors "Cannot register the uninstaller under HKLM\${UNINSTALL_KEY}."

  ; The earlier installation in another folder goes last, once this one holds: the host would
  ; load both copies, and no uninstall would ever remove the earlier one. A copy of its module is
  ; kept until the end, so that a failure from here on can put it back.
  ${If} $HadEntry == 1
  ${AndIf} $EarlierLocation != ""
  ${AndIf} $R3 != 1
    ${If} ${FileExists} "$EarlierLocation\${MODULE_NAME}"
      InitPluginsDir
      ClearErrors
      !insertmacro CopyFile "$EarlierLocation\${MODULE_NAME}" "$PLUGINSDIR\earlier-elsewhere.8li"
      !insertmacro FailIfErrors "Cannot keep a copy of the earlier $EarlierLocation\${MODULE_NAME} while it is removed."
      StrCpy $EarlierElsewhereCopy "$PLUGINSDIR\earlier-elsewhere.8li"
      Delete "$EarlierLocation\${MODULE_NAME}"
      ${If} ${FileExists} "$EarlierLocation\${MODULE_NAME}"
        !insertmacro Fail "Cannot remove the earlier $EarlierLocation\${MODULE_NAME}. Close Photoshop and run the installer again."
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ; Whatever took it (the earlier module was this one by a way the system could not tell), an
  ; installation without its module is no installation.
  ${IfNot} ${FileExists} "$INSTDIR\${MODULE_NAME}"
    !insertmacro Fail "$INSTDIR\${MODULE_NAME} is missing after the installation."
  ${EndIf}
  ${If} $EarlierElsewhereCopy != ""
  ${AndIf} $EarlierFolderCreated == 1
    ${If} $EarlierFirstFolder == ""
      StrCpy $EarlierFirstFolder $EarlierLocation
    ${EndIf}
    Push $EarlierLocation
    Push $EarlierFirstFolder
    Call RemoveEmptyFolders
  ${EndIf}
SectionEnd

; --- Uninstalling ---------------------------------------------------------------------------

Var PluginFolder         ; the folder the module went to (the default or /D=), as the entry says
Var PluginFolderCreated  ; 1: the installer made it
Var FirstFolderCreated   ; with it: the first folder the installer made on the way to it

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
  ReadRegStr $FirstFolderCreated HKLM "${UNINSTALL_KEY}" "${FIRST_FOLDER_CREATED_VALUE}"
  ${If} $FirstFolderCreated == ""
    StrCpy $FirstFolderCreated $PluginFolder
  ${EndIf}
FunctionEnd

!macro UnFail what
  MessageBox MB_OK|MB_ICONSTOP "${what}" /SD IDOK
  SetErrorLevel 2
  Abort "${what}"
!macroend

; Run in place (the quiet uninstall's _?=), the uninstaller's own file is the running program,
; which Windows does not let anyone delete or move away until it has ended. A copy of it in the
; temporary folder, started with an inherited handle of this process, waits for this process to
; end and then removes it and its folder. The copy works in the temporary folder too: a working
; folder inherited from an uninstall started inside the uninstaller's folder would keep that
; folder from being removed.
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
  StrCpy $R9 $TEMP
  ; STARTUPINFOW (104 bytes, cb first, the rest zero) and PROCESS_INFORMATION (24 bytes).
  System::Alloc 104
  Pop $R5
  System::Call '*$R5(i 104)'
  System::Alloc 24
  Pop $R6
  System::Call 'kernel32::CreateProcessW(p 0, w R4, p 0, p 0, i 1, i 0, p 0, w R9, p R5, p R6) i .R7'
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

; An entry whose InstallLocation is missing or empty, or names a folder on a drive (or share) that
; is not there now, does not say where the module is: the uninstall ends with exit code 2 and
; keeps the entry and the uninstaller. Reporting it removed would leave the module where the host
; loads it, with nothing left to uninstall it.
Function un.CheckPluginFolderKnown
  ${If} $PluginFolder == ""
    !insertmacro UnFail "Cannot uninstall: the entry HKLM\${UNINSTALL_KEY} does not name the folder of ${MODULE_NAME} (its InstallLocation is missing or empty). Run the installer again to repair the entry, then uninstall."
  ${EndIf}
  ${GetRoot} $PluginFolder $0
  StrCpy $1 -1
  ${If} $0 != ""
    StrCpy $2 "$0\"
    System::Call 'kernel32::GetFileAttributesW(w r2) i .r1'
  ${EndIf}
  ${If} $1 == -1
    !insertmacro UnFail "Cannot uninstall: the folder $PluginFolder that the entry names for ${MODULE_NAME} cannot be reached. Connect its drive and uninstall again."
  ${EndIf}
FunctionEnd

; Removes what the installer wrote and nothing else: the module, the folders the installer made
; for it as far as nothing else is in them, the entry, the uninstaller. The companion's
; remembered folder (HKCU) and the plug-in log belong to the person and stay. Whatever cannot be
; removed ends the uninstall with exit code 2 and keeps the entry, so that it can be run again.
Section "Uninstall"
  Call un.CheckPluginFolderKnown
  Delete "$PluginFolder\${MODULE_NAME}"
  ${If} ${FileExists} "$PluginFolder\${MODULE_NAME}"
    !insertmacro UnFail "Cannot remove $PluginFolder\${MODULE_NAME}. Close Photoshop and uninstall again."
  ${EndIf}
  ${If} $PluginFolderCreated == 1
    Push $PluginFolder
    Push $FirstFolderCreated
    Call un.RemoveEmptyFolders
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
