; Splitwerk99-Setup.exe: installs the shipped Windows programs for every user of the PC, puts the
; program into the Start menu and into the user's "Senden an" menu, and registers an uninstaller
; in the system's program list. Built by the Windows build (target "setup", packaging/windows/CMakeLists.txt),
; which passes in:
;   VERSION       the four numbers of project(VERSION), e.g. 99.1.0.10
;   VERSION_TEXT  the version as the program shows it, e.g. 99.01.0010
;   SHIPPED_DIR   the folder with the shipped SPLITWERK.exe and QUIL.SYS
;   OUTFILE       where Setup.exe goes
; Only what NSIS brings along and Windows XP can run: Modern UI 2, LogicLib, FileFunc and the
; UserInfo plug-in.

Unicode true
SetCompressor /SOLID lzma
; Program Files, the all-users Start menu and HKLM are the administrators' (see .onInit).
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!ifndef VERSION | VERSION_TEXT | SHIPPED_DIR | OUTFILE
    !error "makensis -DVERSION=... -DVERSION_TEXT=... -DSHIPPED_DIR=... -DOUTFILE=... splitwerk99.nsi"
!endif

!define PRODUCT "Splitwerk 99"
!define PUBLISHER "Splitwerk-Team"
!define PROGRAM "SPLITWERK.exe"
; The same name the program gives the link it makes itself when started without a file, so both
; are one entry and the uninstaller finds either.
!define LINK "${PRODUCT}.lnk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Splitwerk99"
!define ICON "${__FILEDIR__}/../../window/resources/splitwerk.ico"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; A 32-bit program: on 64-bit Windows this is "Program Files (x86)", and the key lands in the
; 32-bit view of HKLM, where the program list looks for 32-bit programs.
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION_TEXT}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

; The version block, as the program's own: German strings, the same numbers.
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1031 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1031 "FileDescription" "${PRODUCT} – Installation"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=1031 "InternalName" "Splitwerk99-Setup"
VIAddVersionKey /LANG=1031 "LegalCopyright" "Copyright (C) ${PUBLISHER}"
VIAddVersionKey /LANG=1031 "Comments" "Hergestellt vom ${PUBLISHER}"
VIAddVersionKey /LANG=1031 "OriginalFilename" "Splitwerk99-Setup.exe"
VIAddVersionKey /LANG=1031 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION_TEXT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TITLE "${PRODUCT} ist installiert"
!define MUI_FINISHPAGE_TEXT "So sichern Sie eine Datei: Klicken Sie im Explorer mit der rechten Maustaste auf die Datei und wählen Sie „Senden an“ → „${PRODUCT}“.$\r$\n$\r$\nKlicken Sie auf „Fertigstellen“, um den Assistenten zu schließen."

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

; Without administrator rights the files could not go into Program Files: Windows XP starts
; Setup.exe as whoever double-clicks it, and a limited user there would get half an installation.
!macro RequireAdministrator TEXT
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
        SetErrorLevel 5 ; ERROR_ACCESS_DENIED, for /S callers
        Quit
    ${EndIf}
!macroend

Function .onInit
    !insertmacro RequireAdministrator "${PRODUCT} wird für alle Benutzer dieses PCs installiert; dazu sind Administratorrechte nötig.$\r$\nBitte starten Sie die Installation als Administrator."
FunctionEnd

Function un.onInit
    !insertmacro RequireAdministrator "${PRODUCT} kann nur mit Administratorrechten entfernt werden.$\r$\nBitte starten Sie die Deinstallation als Administrator."
FunctionEnd

Section "${PRODUCT}"
    SetShellVarContext all
    ; The links' start folder is the program's folder, as in the link the program makes itself.
    SetOutPath "$INSTDIR"
    File "${SHIPPED_DIR}/${PROGRAM}"
    ; The copy run takes QUIL.SYS from the program's folder.
    File "${SHIPPED_DIR}/QUIL.SYS"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\${LINK}" "$INSTDIR\${PROGRAM}" "" "" 0 SW_SHOWNORMAL "" "${PRODUCT}"
    ; Send To has no all-users folder: the link goes to the user who installs. Every other user
    ; gets his own the first time he starts the program from the Start menu.
    SetShellVarContext current
    CreateShortCut "$SENDTO\${LINK}" "$INSTDIR\${PROGRAM}" "" "" 0 SW_SHOWNORMAL "" "${PRODUCT}"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_TEXT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\${PROGRAM}$\",0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\Uninstall.exe$\""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\Uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; In KB, as the program list shows it.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; A running program holds its files: Windows refuses to open a loaded program's file for writing,
; on XP as on 11, whoever runs it and in whichever session; QUIL.SYS is held while a run copies it
; onto a disk. So that is how the uninstaller finds the program running (XP has no restart
; manager that could name it). Sets $0 to 1 when FILE is in use; a file that is gone is not.
!macro CheckInUse FILE
    ${If} ${FileExists} "${FILE}"
        ClearErrors
        FileOpen $1 "${FILE}" a
        ${If} ${Errors}
            StrCpy $0 1
        ${Else}
            FileClose $1
        ${EndIf}
    ${EndIf}
!macroend

; Asks until the program is closed. Cancel, and the silent uninstall's default, leave everything
; as it is: removing QUIL.SYS under a running copy run would break the disk set it is writing.
Function un.WaitUntilClosed
    ${Do}
        StrCpy $0 0
        !insertmacro CheckInUse "$INSTDIR\${PROGRAM}"
        !insertmacro CheckInUse "$INSTDIR\QUIL.SYS"
        ${If} $0 == 0
            Return
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} läuft noch. Bitte beenden Sie das Programm – auch bei anderen Benutzern, die an diesem PC angemeldet sind – und klicken Sie dann auf „Wiederholen“.$\r$\n$\r$\n„Abbrechen“ beendet die Deinstallation; es wird nichts entfernt." /SD IDCANCEL IDRETRY retry
        SetErrorLevel 32 ; ERROR_SHARING_VIOLATION, for /S callers
        Quit
    retry:
    ${Loop}
FunctionEnd

; Removes what the installer made and nothing else: a file the user put into the program folder
; keeps the folder. What is still in use after all (the program started again meanwhile) goes at
; the next restart, and the user is told so.
Section "Uninstall"
    Call un.WaitUntilClosed
    SetShellVarContext all
    Delete /REBOOTOK "$INSTDIR\${PROGRAM}"
    Delete /REBOOTOK "$INSTDIR\QUIL.SYS"
    ; This runs from a copy in the temporary folder; the Uninstall.exe it was started as may still
    ; be ending (a silent uninstall gets here at once), so its file gets a few seconds to come free.
    ${For} $2 1 20
        ClearErrors
        Delete "$INSTDIR\Uninstall.exe"
        ${IfNot} ${Errors}
            ${Break}
        ${EndIf}
        Sleep 250
    ${Next}
    Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
    ; A folder that still holds the user's own files stays; only one that empties at the restart
    ; is handed to it.
    ${If} ${RebootFlag}
        RMDir /REBOOTOK "$INSTDIR"
    ${Else}
        RMDir "$INSTDIR"
    ${EndIf}
    Delete "$SMPROGRAMS\${PRODUCT}\${LINK}"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    ; The installer's link or the one the program made for this user: the same file.
    SetShellVarContext current
    Delete "$SENDTO\${LINK}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${If} ${RebootFlag}
        MessageBox MB_OK|MB_ICONINFORMATION "Einige Dateien von ${PRODUCT} waren noch in Gebrauch. Sie werden beim nächsten Neustart des PCs entfernt." /SD IDOK
    ${EndIf}
SectionEnd
