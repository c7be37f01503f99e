; The Windows setup program: installs kestro.exe, kestro-cli.exe and LEIA-ME.txt for the current user, with no
; administrator prompt, into %LOCALAPPDATA%\Programs\Orlimo Kestro, with Start menu entries, an optional desktop
; shortcut and an uninstaller in "Programas e Recursos". The programs start in Documents\Orlimo Kestro, where
; AppLog.log and saved traces land, since the program folder is no place for the user's files.
; Built by scripts/package-windows, which defines VERSION (1.0.0), STAGING (the folder holding the three
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

Var previous_folder  ; where the installed copy is, if any
Var kept_note        ; the uninstaller's word on the user's files it leaves

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "O $(^NameDA) ${VERSION} será instalado só para você, sem pedir a senha de administrador, \
    em $LOCALAPPDATA\Programs.$\r$\n$\r$\nOs atalhos abrem o programa na pasta Documentos\${PRODUCT}, onde ficam o \
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
    Push $R1
    Push $R2
    Push $R3
    ${ForEach} $R1 0 1 + 1
        ${If} $R1 == 0
            StrCpy $R2 "kestro.exe"
        ${Else}
            StrCpy $R2 "kestro-cli.exe"
        ${EndIf}
        ${DoWhile} ${FileExists} "$R0\$R2"
            ClearErrors
            FileOpen $R3 "$R0\$R2" a
            ${IfNot} ${Errors}
                FileClose $R3
                ${Break}
            ${EndIf}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "O programa $R2 está aberto ($R0\$R2).$\r$\n$\r$\n\
                Feche-o (e o Prompt do Kestro que o usa) e clique em Repetir." /SD IDCANCEL IDRETRY +2
            Abort "$R2 está aberto: feche-o e tente de novo."
        ${Loop}
    ${Next}
    Pop $R3
    Pop $R2
    Pop $R1
    Pop $R0
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

; RemoveProgram FOLDER: the program's own files and the folder when nothing else is left in it; a folder chosen
; with /D= may hold other things.
!macro REMOVE_PROGRAM prefix
Function ${prefix}RemoveProgram
    Exch $R0
    Delete "$R0\kestro.exe"
    Delete "$R0\kestro-cli.exe"
    Delete "$R0\LEIA-ME.txt"
    Delete "$R0\uninstall.exe"
    RMDir "$R0"
    Pop $R0
FunctionEnd
!macroend
!insertmacro REMOVE_PROGRAM ""
!insertmacro REMOVE_PROGRAM "un."

; ReplaceFile NAME: NAME.new, complete, takes NAME's place in one step, so that an update that stops halfway
; (a full disk, a power cut) leaves the old file or the new one, never a part of either. Where Windows refuses
; (the program was opened since the check), the new files go and the install stops.
Function ReplaceFile
    Exch $R0
    Push $R1
    System::Call 'kernel32::MoveFileExW(w "$INSTDIR\$R0.new", w "$INSTDIR\$R0", i 9) i .R1'  ; REPLACE_EXISTING, WRITE_THROUGH
    ${If} $R1 == 0
        Delete "$INSTDIR\kestro.exe.new"
        Delete "$INSTDIR\kestro-cli.exe.new"
        Delete "$INSTDIR\LEIA-ME.txt.new"
        Delete "$INSTDIR\uninstall.exe.new"
        MessageBox MB_OK|MB_ICONSTOP "Não foi possível substituir $INSTDIR\$R0.$\r$\n$\r$\nFeche o Orlimo Kestro e \
            rode a instalação de novo." /SD IDOK
        Abort "Não foi possível substituir $R0."
    ${EndIf}
    Pop $R1
    Pop $R0
FunctionEnd
!macro ReplaceFile name
    Push "${name}"
    Call ReplaceFile
!macroend

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
    File "/oname=kestro.exe.new" "${STAGING}\kestro.exe"
    File "/oname=kestro-cli.exe.new" "${STAGING}\kestro-cli.exe"
    File "/oname=LEIA-ME.txt.new" "${STAGING}\LEIA-ME.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe.new"
    !insertmacro ReplaceFile kestro.exe
    !insertmacro ReplaceFile kestro-cli.exe
    !insertmacro ReplaceFile LEIA-ME.txt
    !insertmacro ReplaceFile uninstall.exe
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
        SW_SHOWNORMAL "" "Prompt de Comando em que kestro-cli roda pelo nome"
    ; Declined on an update, the desktop shortcut of the earlier install goes too.
    Delete "${DESKTOP_LINK}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestro.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
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
    ; An update keeps the technician's earlier answer on the desktop shortcut.
    ${If} $previous_folder != ""
    ${AndIfNot} ${FileExists} "${DESKTOP_LINK}"
        !insertmacro UnselectSection ${desktop}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Push $INSTDIR
    Call un.WaitUntilClosed
    Push $INSTDIR
    Call un.RemoveProgram
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
