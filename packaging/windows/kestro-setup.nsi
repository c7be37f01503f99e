; The Windows setup program: installs kestro.exe, kestro.com, kestro-cli.exe and LEIA-ME.txt for the current
; user, with no administrator prompt, into %LOCALAPPDATA%\Programs\Orlimo Kestro, with Start menu entries, an
; optional desktop shortcut and an uninstaller in "Programas e Recursos". The programs start in
; Documents\Orlimo Kestro, where AppLog.log and saved traces land, since the program folder is no place for the
; user's files.
; Built by scripts/package-windows, which defines VERSION (1.0.0), STAGING (the folder holding the four
; files), ICON (the program's icon) and OUTFILE.
Unicode true
ManifestSupportedOS all
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WordFunc.nsh

!define PRODUCT "Orlimo Kestro"
!define PUBLISHER "Orlimo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define WORK_FOLDER "$DOCUMENTS\${PRODUCT}"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define DESKTOP_LINK "$DESKTOP\${PRODUCT}.lnk"
!define DESCRIPTION "Conversa com a impressora fiscal (ECF) pela porta serial"

Name "${PRODUCT}"
; "setup" in the name is what technicians look for. makensis warns that Windows treats such a name as an
; installer's; the manifest that RequestExecutionLevel writes keeps it from asking for elevation.
!pragma warning disable 9000
OutFile "${OUTFILE}"
; An update goes where the installed copy is, whatever folder /D= gave it then.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

Var previous_folder   ; where the installed copy is, if any
Var previous_version  ; its version, from its uninstall entry
Var install_note      ; the welcome page's first words: a new install, or which version it replaces
Var set_aside         ; how many of the installed files this install has replaced, the old ones set aside
Var kept_note         ; the uninstaller's word on the user's files it leaves

; The installed files, listed once for installing, checking, putting back and removing: each with its kind
; (program, text, or uninstaller, which the installer writes itself).
!macro INSTALLED_FILES action
    !insertmacro ${action} kestro.exe program
    !insertmacro ${action} kestro.com program
    !insertmacro ${action} kestro-cli.exe program
    !insertmacro ${action} LEIA-ME.txt text
    !insertmacro ${action} uninstall.exe uninstaller
!macroend

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$install_note$\r$\n$\r$\nOs atalhos abrem o programa na pasta Documentos\${PRODUCT}, onde ficam o \
    registro de diagnóstico (AppLog.log) e os tráfegos salvos.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunProgram
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "O $(^NameDA) será removido da pasta abaixo, com seus atalhos. Os registros \
    (AppLog.log) e os tráfegos salvos em Documentos\${PRODUCT} ficam guardados."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "O $(^NameDA) foi removido do computador.$\r$\n$\r$\n$kept_note"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "PortugueseBR"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "FileDescription" "Instalação do ${PRODUCT}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "LegalCopyright" "© 2026 The Kestro developers"

; WaitUntilClosed FOLDER: a program of the installed copy that is open is named, and the technician is asked to
; close it; cancelling stops before any file is touched. Windows refuses to write to a program that runs, so
; trying to open it for writing is how an open one shows.
!macro WAIT_UNTIL_CLOSED prefix
Function ${prefix}WaitUntilClosed
    Exch $R0
    Push $R3
    !insertmacro INSTALLED_FILES WAIT_FOR_PROGRAM
    Pop $R3
    Pop $R0
FunctionEnd
!macroend
!macro WAIT_FOR_PROGRAM name kind
    !if ${kind} == program
        ${DoWhile} ${FileExists} "$R0\${name}"
            ClearErrors
            FileOpen $R3 "$R0\${name}" a
            ${IfNot} ${Errors}
                FileClose $R3
                ${Break}
            ${EndIf}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "O programa ${name} está aberto ($R0\${name}).$\r$\n$\r$\n\
                Feche-o (e o Prompt do Kestro que o usa) e clique em Repetir." /SD IDCANCEL IDRETRY +2
            Abort "${name} está aberto: feche-o e tente de novo."
        ${Loop}
    !endif
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

; RemoveProgram FOLDER: the program's own files and the folder when nothing else is left in it; a folder chosen
; with /D= may hold other things.
!macro REMOVE_PROGRAM prefix
Function ${prefix}RemoveProgram
    Exch $R0
    !insertmacro INSTALLED_FILES REMOVE_FILE
    RMDir "$R0"
    Pop $R0
FunctionEnd
!macroend
!macro REMOVE_FILE name kind
    Delete "$R0\${name}"
!macroend
!insertmacro REMOVE_PROGRAM ""
!insertmacro REMOVE_PROGRAM "un."

; An update replaces the installed files all or none: every new file is whole on disk (NAME.new) before the
; first old one is touched; then each old one is set aside (NAME.old) and the new one takes its place. Where one
; cannot be replaced (a program opened since the check, a file another program holds), the files already
; replaced get their old ones back, so that a failed update leaves the installed version as it was.
!macro STAGE_FILE name kind
    !if ${kind} == uninstaller
        WriteUninstaller "$INSTDIR\${name}.new"
    !else
        File "/oname=${name}.new" "${STAGING}\${name}"
    !endif
!macroend

!define MOVEFILE_WRITE_THROUGH 8

; Move FROM TO: $R1 is nonzero when the file moved.
!macro MOVE from to
    System::Call 'kernel32::MoveFileExW(w "${from}", w "${to}", i ${MOVEFILE_WRITE_THROUGH}) i .R1'
!macroend

Function PutInPlace
    Exch $R0
    Push $R1
    Delete "$INSTDIR\$R0.old"  ; left by an update that could not remove it
    StrCpy $R1 1
    ${If} ${FileExists} "$INSTDIR\$R0"
        !insertmacro MOVE "$INSTDIR\$R0" "$INSTDIR\$R0.old"
    ${EndIf}
    ${If} $R1 != 0
        !insertmacro MOVE "$INSTDIR\$R0.new" "$INSTDIR\$R0"
        ${If} $R1 == 0
        ${AndIf} ${FileExists} "$INSTDIR\$R0.old"
            !insertmacro MOVE "$INSTDIR\$R0.old" "$INSTDIR\$R0"
            StrCpy $R1 0
        ${EndIf}
    ${EndIf}
    ${If} $R1 == 0
        MessageBox MB_OK|MB_ICONSTOP "Não foi possível substituir $INSTDIR\$R0: outro programa o está usando.$\r$\n\
            $\r$\nA versão instalada ficou como estava. Feche os outros programas e rode a instalação de novo." /SD IDOK
        Abort "Não foi possível substituir $R0; a versão instalada ficou como estava."
    ${EndIf}
    IntOp $set_aside $set_aside + 1
    Pop $R1
    Pop $R0
FunctionEnd
!macro PUT_IN_PLACE name kind
    Push ${name}
    Call PutInPlace
!macroend

; In the list's order: the first $set_aside files were replaced, and get their old ones back ($R2 counts).
Function PutBack
    Exch $R0
    Push $R1
    Delete "$INSTDIR\$R0.new"
    ${If} $R2 < $set_aside
        Delete "$INSTDIR\$R0"
        ${If} ${FileExists} "$INSTDIR\$R0.old"
            !insertmacro MOVE "$INSTDIR\$R0.old" "$INSTDIR\$R0"
        ${EndIf}
    ${EndIf}
    IntOp $R2 $R2 + 1
    Pop $R1
    Pop $R0
FunctionEnd
!macro PUT_BACK name kind
    Push ${name}
    Call PutBack
!macroend

!macro DROP_OLD name kind
    Delete "$INSTDIR\${name}.old"
!macroend

Function .onInstFailed
    StrCpy $R2 0
    !insertmacro INSTALLED_FILES PUT_BACK
FunctionEnd

Function RunProgram
    SetOutPath "${WORK_FOLDER}"
    Exec '"$INSTDIR\kestro.exe"'
FunctionEnd

Section "${PRODUCT}" program
    SectionIn RO
    ${If} $previous_folder != ""
        Push $previous_folder
        Call WaitUntilClosed
    ${EndIf}
    Push $INSTDIR
    Call WaitUntilClosed
    SetOutPath "$INSTDIR"
    ; Every new file is whole on disk before the first old one is replaced.
    SetDetailsPrint textonly
    DetailPrint "Copiando os programas para $INSTDIR..."
    SetDetailsPrint listonly
    !insertmacro INSTALLED_FILES STAGE_FILE
    !insertmacro INSTALLED_FILES PUT_IN_PLACE
    !insertmacro INSTALLED_FILES DROP_OLD
    SetDetailsPrint both
    ; Moved with /D=: the copy in the old folder goes, so that one stays.
    ${If} $previous_folder != ""
    ${AndIf} $previous_folder != $INSTDIR
        Push $previous_folder
        Call RemoveProgram
    ${EndIf}

    ; A shortcut's working folder is the output folder when it is made.
    CreateDirectory "${WORK_FOLDER}"
    SetOutPath "${WORK_FOLDER}"
    CreateDirectory "${MENU_FOLDER}"
    CreateShortcut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\kestro.exe" "" "$INSTDIR\kestro.exe" 0 SW_SHOWNORMAL \
        "" "${DESCRIPTION}"
    ; cmd expands %PATH% itself when it runs the line after /k.
    CreateShortcut "${MENU_FOLDER}\Prompt do Kestro.lnk" "$SYSDIR\cmd.exe" \
        '/k title Prompt do Kestro& set "PATH=$INSTDIR;%PATH%"& kestro-cli --version' "$SYSDIR\cmd.exe" 0 \
        SW_SHOWNORMAL "" "Prompt de Comando em que kestro-cli e kestro rodam pelo nome"
    ; Declined on an update, the desktop shortcut of the earlier install goes too.
    Delete "${DESKTOP_LINK}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestro.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ; Run in place (_?=), not from a copy that outlives the process that Programs and Features waits for: the
    ; list it then reads again no longer holds the entry.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" _?=$INSTDIR'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Atalho na Área de Trabalho" desktop
    SetOutPath "${WORK_FOLDER}"
    CreateShortcut "${DESKTOP_LINK}" "$INSTDIR\kestro.exe" "" "$INSTDIR\kestro.exe" 0 SW_SHOWNORMAL "" "${DESCRIPTION}"
SectionEnd

Function .onInit
    ReadRegStr $previous_folder HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $previous_version HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    StrCpy $install_note "O $(^NameDA) ${VERSION} será instalado só para você, sem pedir a senha de administrador, \
        em $LOCALAPPDATA\Programs."
    ${If} $previous_folder != ""
        ${VersionCompare} "${VERSION}" "$previous_version" $R0
        ${If} $previous_version == ""
            StrCpy $R0 "substituir o $(^NameDA) instalado"
        ${ElseIf} $R0 == 0
            StrCpy $R0 "reinstalar a versão $previous_version, já instalada"
        ${ElseIf} $R0 == 1
            StrCpy $R0 "atualizar a versão $previous_version instalada"
        ${Else}
            StrCpy $R0 "substituir a versão $previous_version instalada, mais nova"
        ${EndIf}
        StrCpy $install_note "O $(^NameDA) ${VERSION} vai $R0 em $previous_folder, só para você, sem pedir a \
            senha de administrador."
    ${EndIf}
    ; An update keeps the technician's earlier answer on the desktop shortcut.
    ${If} $previous_folder != ""
    ${AndIfNot} ${FileExists} "${DESKTOP_LINK}"
        !insertmacro UnselectSection ${desktop}
    ${EndIf}
FunctionEnd

; The uninstaller's copy that removes the uninstaller (/cleanup): it waits until the file can go, at most ten
; seconds, then ends before any page.
!define CLEANER "$TEMP\${PRODUCT} uninstall.exe"
Function un.onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/cleanup" $R1
    ${IfNot} ${Errors}
        ${For} $R1 1 100
            Delete "$INSTDIR\uninstall.exe"
            ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
                ${Break}
            ${EndIf}
            Sleep 100
        ${Next}
        RMDir "$INSTDIR"
        System::Call 'kernel32::MoveFileExW(w "$EXEPATH", p 0, i 4)'  ; DELAY_UNTIL_REBOOT, where allowed
        Quit
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Push $INSTDIR
    Call un.WaitUntilClosed
    Push $INSTDIR
    Call un.RemoveProgram
    ; A running program's file stays: a copy of it removes it, and the folder, once this one has ended.
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        CopyFiles /SILENT "$INSTDIR\uninstall.exe" "${CLEANER}"
        Exec '"${CLEANER}" /S /cleanup _?=$INSTDIR'
    ${EndIf}
    Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
    Delete "${MENU_FOLDER}\Prompt do Kestro.lnk"
    RMDir "${MENU_FOLDER}"
    Delete "${DESKTOP_LINK}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; The user's logs and traces stay; the folder goes only when the installer's empty one is all there is.
    RMDir "${WORK_FOLDER}"
    ${If} ${FileExists} "${WORK_FOLDER}\*.*"
        StrCpy $kept_note "Os registros (AppLog.log) e os tráfegos salvos foram mantidos em ${WORK_FOLDER}: \
            apague a pasta quando não precisar mais deles."
        DetailPrint "$kept_note"
    ${EndIf}
SectionEnd
