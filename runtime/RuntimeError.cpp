// Numbered errors with their German descriptions. Each host maps its own failures onto the
// numbers: posix/PosixErrors.cpp the errno values, win32/Win32Errors.cpp the GetLastError codes.
#include "RuntimeError.h"

namespace rt {

std::string errorDescription(int number) {
    switch (number) {
    case kOverflow:
        return "Überlauf";
    case kBadFileNumber:
        return "Dateiname oder -nummer falsch";
    case kFileNotFound:
        return "Datei nicht gefunden";
    case kFileAlreadyOpen:
        return "Datei bereits geöffnet";
    case kDeviceIo:
        return "Geräte-E/A-Fehler";
    case kFileTooLarge:
        return "Datei zu groß für den Datenträger";
    case kDiskFull:
        return "Datenträger voll";
    case kInputPastEnd:
        return "Einlesen hinter Dateiende";
    case kBadRecordNumber:
        return "Falsche Datensatznummer";
    case kTooManyFiles:
        return "Zu viele Dateien";
    case kPermissionDenied:
        return "Zugriff verweigert";
    case kDiskNotReady:
        return "Datenträger nicht bereit";
    case kPathFileAccess:
        return "Fehler beim Zugriff auf Pfad/Datei";
    case kPathNotFound:
        return "Pfad nicht gefunden";
    default:
        return "Anwendungs- oder objektdefinierter Fehler";
    }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, errorDescription(number)) {}

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description), number_(number), description_(description) {}

void raise(int number) {
    throw RuntimeError(number);
}

} // namespace rt
