// Describing system errors in German.
#include "Failure.h"

#include <cerrno>
#include <cstring>

namespace quil {

std::string describeErrno(int err) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Datenträger voll";
    case ENOENT:
        return "nicht gefunden";
    case ENOTDIR:
        return "kein Ordner";
    case EISDIR:
        return "ist ein Ordner";
    case EACCES:
    case EPERM:
        return "Zugriff verweigert";
    case EROFS:
        return "Datenträger ist schreibgeschützt";
    case EIO:
        return "Geräte-E/A-Fehler";
    case ENOMEDIUM:
    case ENXIO:
    case ENODEV:
        return "Datenträger nicht bereit";
    case EBUSY:
        return "Gerät oder Datei wird benutzt";
    case ENAMETOOLONG:
        return "Name zu lang";
    default:
        return std::string("Systemfehler ") + std::to_string(err) + " (" + std::strerror(err) + ")";
    }
}

} // namespace quil
