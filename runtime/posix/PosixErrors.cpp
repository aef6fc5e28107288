#include "PosixErrors.h"

#include <cerrno>

namespace rt {

int errorFromErrno(int err, ErrnoSubject subject) {
    switch (err) {
    case ENOSPC:
#ifdef EDQUOT // not every C library has the quota and medium errors (Windows' has neither)
    case EDQUOT:
#endif
        return kDiskFull;
    case EFBIG: // past what the file system or the process's size limit lets one file grow to
        return kFileTooLarge;
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
