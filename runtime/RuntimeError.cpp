// Numbered errors with their German descriptions, and the mapping of POSIX errno values
// onto the numbers the program's logic branches on.
#include "RuntimeError.h"

#include <cerrno>

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

int errorFromErrno(int err, ErrnoSubject subject) {
    switch (err) {
    case ENOSPC:
#ifdef EDQUOT // not every C library has the quota and medium errors (Windows' has neither)
    case EDQUOT:
#endif
    case EFBIG:
        return kDiskFull;
#ifdef ENOMEDIUM
    case ENOMEDIUM: // an empty drive
#endif
    case ENXIO:
    case ENODEV:
        return kDiskNotReady;
    case EACCES:
    case EPERM:
    case EROFS: // a write-protected medium
    case ETXTBSY:
        return kPermissionDenied;
    case ENOENT:
        return subject == ErrnoSubject::File ? kFileNotFound : kPathNotFound;
    case ENOTDIR:
        // A part of the path that should be a folder is not one: the path is wrong, whatever
        // the call was about.
        return kPathNotFound;
    case EIO:
        return kDeviceIo;
    case EMFILE:
    case ENFILE:
        return kTooManyFiles;
    default: // EISDIR, EBUSY and everything the program has no better word for
        return kPathFileAccess;
    }
}

void raiseErrno(int err, ErrnoSubject subject) {
    raise(errorFromErrno(err, subject));
}

} // namespace rt
