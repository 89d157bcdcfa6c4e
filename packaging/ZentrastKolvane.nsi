; The plug-in's installer: puts ZentrastKolvane.8li where current host versions load plug-ins
; from, for the whole machine, and registers an uninstaller that removes exactly that again.
; Built by scripts/make-installer.sh, which passes the module's own version:
;   makensis -DVERSION=10.0 -DMODULE=/path/ZentrastKolvane.8li -DOUTFILE=/path/Setup.exe ZentrastKolvane.nsi
; Silent use: Setup.exe /S [/D=C:\Other Folder]   and the entry's QuietUninstallString.

!ifndef VERSION | MODULE | OUTFILE
  !error "define VERSION, MODULE and OUTFILE (see scripts/make-installer.sh)"
!endif

; The installer's own version block wants four numbers; the module's version has two.
!define VERSION4 "${VERSION}.0.0"

; A 64-bit installer for a 64-bit module: it sees the 64-bit folders and registry view.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Zentrast Kolvane Plug-In"
!define MODULE_NAME "ZentrastKolvane.8li"
; Checks outside the installer look for this very key.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZentrastKolvanePlugin"
; The uninstaller stays out of the plug-ins folder: the host scans that folder, and the person may
; point it (/D=) anywhere.
!define UNINSTALLER_DIR "$PROGRAMFILES64\${PRODUCT}"
!define UNINSTALLER "${UNINSTALLER_DIR}\Uninstall.exe"

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

Var PluginFolder

Function .onInit
  SetRegView 64
FunctionEnd

; Every step that can fail ends the installation with exit code 2 and says why, in silent mode
; too: a silent install must never report success without the module in place.
!macro FailIfErrors what
  IfErrors 0 +4
    MessageBox MB_OK|MB_ICONSTOP "${what}" /SD IDOK
    SetErrorLevel 2
    Abort "${what}"
!macroend

Section "Plug-in"
  ClearErrors
  SetOutPath "$INSTDIR"
  !insertmacro FailIfErrors "Cannot create the folder $INSTDIR."
  ; A module the host holds open cannot be replaced: the person may retry after closing it; an
  ; "Ignore" (or a silent install) ends here instead of reporting success with the old module.
  File "/oname=${MODULE_NAME}" "${MODULE}"
  !insertmacro FailIfErrors "Cannot write $INSTDIR\${MODULE_NAME}. Close Photoshop and run the installer again."

  CreateDirectory "${UNINSTALLER_DIR}"
  WriteUninstaller "${UNINSTALLER}"
  !insertmacro FailIfErrors "Cannot write the uninstaller ${UNINSTALLER}."

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varnholt"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  !insertmacro FailIfErrors "Cannot register the uninstaller under HKLM\${UNINSTALL_KEY}."
SectionEnd

Function un.onInit
  SetRegView 64
  ; The folder the module went to (the default or /D=) is the one the entry recorded.
  ReadRegStr $PluginFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
FunctionEnd

; Removes what the installer wrote and nothing else: the module, its folder only when nothing
; else is in it, the entry, the uninstaller. The companion's remembered folder (HKCU) and the
; plug-in log belong to the person and stay.
Section "Uninstall"
  StrCmp $PluginFolder "" entry
  Delete "$PluginFolder\${MODULE_NAME}"
  IfFileExists "$PluginFolder\${MODULE_NAME}" 0 +4
    MessageBox MB_OK|MB_ICONSTOP "Cannot remove $PluginFolder\${MODULE_NAME}. Close Photoshop and uninstall again." /SD IDOK
    SetErrorLevel 2
    Abort "Cannot remove $PluginFolder\${MODULE_NAME}."
  RMDir "$PluginFolder"
entry:
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; $INSTDIR is the uninstaller's own folder here.
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
