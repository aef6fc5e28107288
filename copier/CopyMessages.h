// The texts the copy run shows, in one place so that every dialog of the run uses exactly
// the same wording (lines of one box are joined by a lone CR).
#pragma once

#include "core/ProductFacts.h"

#include <cstdint>
#include <string>

namespace kopierer::messages {

inline constexpr const char* kTitle = core::product::kName;

inline constexpr const char* kSourceUnreadable = "Auf die zu kopierende Datei kann nicht zugegriffen werden.";
inline constexpr const char* kWipeFailed = "Das Zielverzeichnis kann nicht gelöscht werden.";
inline constexpr const char* kTargetUnwritable = "Auf den Zieldatenträger kann nicht geschrieben werden.";
inline constexpr const char* kCheckAndPressOk = "Bitte überprüfen und OK drücken.";
inline constexpr const char* kCheckAndClickOk = "Bitte prüfen und auf OK klicken.";

// Instead of "Bitte überprüfen ..." when the target's drive is not there at all: most PCs have
// no floppy drive, and checking the disk would never help. The retry stays, since a USB floppy
// drive may be plugged in while the box waits.
inline constexpr const char* kNoFloppyDrive =
    "Dieser Rechner hat kein Diskettenlaufwerk A:. Schließen Sie eines an (auch über USB) und klicken "
    "Sie auf OK,\roder brechen Sie ab und wählen Sie beim nächsten Start \"Anderes Ziel festlegen ...\".";

inline constexpr const char* kDiskFull = "Der Datenträger ist voll! Bitte die nächste Diskette\r"
                                         "einlegen und auf OK klicken.";
inline constexpr const char* kCopyFinished = "Die Kopie ist fertig!";
inline constexpr const char* kConfirmAbort = "Wollen Sie den Vorgang wirklich abbrechen?";

inline constexpr const char* kFatalBefore = "Es kam in Modul ";
inline constexpr const char* kFatalAfter = " zu folgendem Fehler:";
inline constexpr const char* kFatalPlea = "Bitte benachrichtigen Sie den Programmautor über ff. e-Mail-Adresse:";
inline constexpr const char* kSupportAddress = "support@splitwerk99.de";

inline constexpr const char* kPartSizeTooSmall = "Die maximale Größe der Teilarchive muss mindestens 1 Byte betragen.\r"
                                                 "Es wurde nichts geschrieben. Bitte senden Sie die Datei erneut an "
                                                 "Splitwerk 99 und geben Sie eine gültige Größe ein.";
inline constexpr const char* kPartSizeTooLarge = "Die maximale Größe der Teilarchive ist zu groß.\r"
                                                 "Es wurde nichts geschrieben. Bitte senden Sie die Datei erneut an "
                                                 "Splitwerk 99 und geben Sie eine gültige Größe ein.";
inline constexpr const char* kTooManyParts = "Mit dieser Teilgröße entstünden mehr als 100 Teilarchive.\r"
                                             "Es wurde nichts geschrieben. Bitte senden Sie die Datei erneut an "
                                             "Splitwerk 99 und wählen Sie eine größere Teilgröße.";
inline constexpr const char* kTooManyPartsInASet =
    "Diese Sicherung bräuchte mehr als 32667 Teilarchive; so viele kann Splitwerk 99 nicht nummerieren.\r"
    "Bitte senden Sie die Datei erneut an Splitwerk 99 und wählen Sie größere Teile.";
inline constexpr const char* kOwnPartsOnDisk = "Auf diesem Datenträger liegen bereits Teile dieser Sicherung.\r"
                                               "Bitte legen Sie die nächste Diskette ein und klicken Sie auf OK.";

inline constexpr const char* kSourceInTarget =
    "Die zu sichernde Datei liegt im Ziel und trägt den Namen einer Datei der Sicherung\r"
    "(QUIL.EXE, autorun.inf oder QUILMEnn.sys); sie würde dabei überschrieben oder gelöscht.\r"
    "Bitte wählen Sie ein anderes Ziel oder benennen Sie die Datei um.";
inline constexpr const char* kSourceChanged =
    "Die zu kopierende Datei hat sich während des Kopierens verändert.\r"
    "Die Sicherung ist unvollständig und lässt sich so nicht wiederherstellen.\r"
    "Bitte wiederholen Sie den Vorgang, wenn die Datei nicht mehr verändert wird.";
inline constexpr const char* kSourceSizeWrong =
    "Die Größe der zu kopierenden Datei stimmt nicht mit ihrem Inhalt überein.\r"
    "Eine solche Datei lässt sich nicht vollständig sichern.";
inline constexpr const char* kTargetBusy =
    "Splitwerk 99 schreibt gerade schon in dieses Ziel.\r"
    "Es wurde nichts geschrieben. Bitte senden Sie die Datei erneut an Splitwerk 99, wenn diese "
    "Sicherung fertig ist, oder wählen Sie dabei ein anderes Ziel.";
inline constexpr const char* kFolderFull = "Auf dem Zieldatenträger ist kein Platz mehr frei.\r"
                                           "Bitte schaffen Sie Platz und klicken Sie auf OK.";

// After the last part of a diskette set made "mit Ersatzdiskette": the disk for the recovery data.
inline std::string insertSpareDisk(int number) {
    return "Alle Teile sind geschrieben; jetzt folgen die Wiederherstellungsdaten.\r"
           "Bitte legen Sie die Ersatzdiskette " +
           std::to_string(number) + " ein und klicken Sie auf OK.";
}
// A full Ersatzdiskette, named as the disk-full dialog of the parts, but with the number the user
// writes on the next one.
inline std::string spareDiskFull(int next) {
    return "Der Datenträger ist voll! Bitte die Ersatzdiskette " + std::to_string(next) +
           "\reinlegen und auf OK klicken.";
}

// The refusal of a set of more than 100 parts in one folder, with the smallest size that fits.
inline std::string tooManyParts(int64_t smallestNumber, int unitListIndex) {
    return std::string(kTooManyParts) + "\rFür diese Datei wählen Sie mindestens " + std::to_string(smallestNumber) +
           (unitListIndex == 0 ? " Kbyte" : " Mbyte") + " je Teil.";
}

// A target folder that is a link into another drive.
inline std::string targetLeavesItsDrive(const std::string& chosen, const std::string& real) {
    return "Der Zielordner\r" + chosen + "\rist eine Verknüpfung auf einen anderen Datenträger:\r" + real +
           "\rBitte wählen Sie den Ordner dort selbst als Ziel.";
}

// The question before the wipe empties a folder that is not the root of a removable medium.
inline std::string wipeQuestion(const std::string& folder, int files) {
    return "Vor dem Kopieren werden im Ordner\r" + folder + "\r" +
           (files == 1 ? std::string("1 Datei") : std::to_string(files) + " Dateien") + " gelöscht.\rWollen Sie " +
           (files == 1 ? "diese Datei" : "diese Dateien") + " wirklich löschen?";
}

} // namespace kopierer::messages
