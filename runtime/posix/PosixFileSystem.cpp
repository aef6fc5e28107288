// The real file system of a POSIX host, speaking the program's numbered errors and its
// DOS-like attribute bits.
//
// The target of a run may be a medium someone else prepared: a name there may be a link into
// the user's home, a pipe or a device. Nothing written here follows a link of the name it
// writes, and nothing is ever written into anything but a regular file. The source, in turn,
// is opened without waiting, so that a pipe cannot freeze the program.
#include "PosixFileSystem.h"

#include "PathErrors.h"
#include "PosixOpenFile.h"
#include "lowio/Io.h"
#include "runtime/DirSearch.h"
#include "runtime/NativeOpenFile.h"
#include "runtime/posix/PosixErrors.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

namespace {

using posix::baseName;
using posix::raiseForPath;

bool isHiddenName(const std::string& name) {
    return name.size() > 1 && name[0] == '.' && name != "..";
}

FileKind kindOf(const struct stat& info) {
    if (S_ISREG(info.st_mode)) {
        return FileKind::Regular;
    }
    if (S_ISDIR(info.st_mode)) {
        return FileKind::Directory;
    }
    return S_ISLNK(info.st_mode) ? FileKind::Link : FileKind::Other;
}

int attributesOf(const std::string& name, const struct stat& info) {
    int attributes = 0;
    if (S_ISDIR(info.st_mode)) {
        attributes |= kAttrDirectory;
    } else if (S_ISREG(info.st_mode)) {
        attributes |= kAttrArchive;
    }
    if (isHiddenName(name)) {
        attributes |= kAttrHidden;
    }
    // A link's own mode bits mean nothing; it is never read-only.
    if (!S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
        attributes |= kAttrReadOnly;
    }
    return attributes;
}

struct stat statOrRaise(const std::string& path, Follow follow = Follow::Target) {
    struct stat info {};
    const int result = follow == Follow::Target ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (result < 0) {
        raiseForPath(errno, path);
    }
    return info;
}

int openFlags(OpenMode mode) {
    // No link is followed when a file is written: a link of that name fails the open (ELOOP).
    switch (mode) {
    case OpenMode::BinaryRead:
        return O_RDONLY;
    case OpenMode::ReadBack:
        return O_RDONLY | O_NOFOLLOW;
    case OpenMode::BinaryWrite:
        return O_WRONLY | O_CREAT | O_NOFOLLOW;
    case OpenMode::Append:
        return O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW;
    case OpenMode::Output:
        return O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
    }
    return O_RDONLY;
}

// Opens without waiting (a pipe with nobody at the other end would block for good), makes sure
// the result is a regular file, and only then lets the descriptor block as usual.
lowio::Handle openRegular(const std::string& path, int flags, mode_t mode) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        raiseForPath(errno, path);
    }
    lowio::Handle handle(fd);
    struct stat info {};
    if (::fstat(fd, &info) < 0) {
        raiseErrno(errno);
    }
    // A folder, a pipe, a device or a socket is nothing a file can be read from or written to.
    if (!S_ISREG(info.st_mode)) {
        raise(kPathFileAccess);
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
        raiseErrno(errno);
    }
    return handle;
}

void raiseIfFailed(lowio::SystemError error) {
    if (error != 0) {
        raiseErrno(error);
    }
}

// Calls visit(name, path) for every entry of the folder but "." and "..". A folder that cannot
// be opened or read to its end raises its numbered error; the folder is closed either way.
template <typename Visit> void forEachEntry(const std::string& directory, Visit visit) {
    struct CloseDir {
        void operator()(DIR* dir) const { ::closedir(dir); }
    };
    const std::unique_ptr<DIR, CloseDir> dir(::opendir(directory.c_str()));
    if (!dir) {
        raiseErrno(errno, ErrnoSubject::Folder);
    }
    const std::string prefix = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            visit(name, prefix + name);
        }
        // readdir tells the end from a failure only through errno, which the visit may have set.
        errno = 0;
    }
    if (errno != 0) {
        raiseErrno(errno, ErrnoSubject::Folder);
    }
}

} // namespace

std::unique_ptr<OpenFile> PosixFileSystem::open(const std::string& path, OpenMode mode) {
    lowio::Handle handle = openRegular(path, openFlags(mode), 0666);
    if (mode == OpenMode::ReadBack) {
        // Pages already on the medium may be dropped; the reads then come from the medium. A
        // page still waiting to be written stays, but the flush before a read-back leaves none.
        static_cast<void>(::posix_fadvise(handle.get(), 0, 0, POSIX_FADV_DONTNEED));
    }
    return std::make_unique<NativeOpenFile>(handle.release(), mode);
}

int PosixFileSystem::attributes(const std::string& path) {
    return attributesOf(baseName(path), statOrRaise(path));
}

void PosixFileSystem::setAttributes(const std::string& path, int attributes) {
    const struct stat info = statOrRaise(path, Follow::Link);
    if (S_ISLNK(info.st_mode)) {
        return; // changing it would change what the link points to
    }
    // Hidden comes from the name and system does not exist here, so only read-only can change.
    mode_t mode = info.st_mode & 07777;
    if ((attributes & kAttrReadOnly) != 0) {
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    } else {
        mode |= S_IWUSR;
    }
    if (mode != (info.st_mode & 07777) && ::chmod(path.c_str(), mode) < 0) {
        raiseForPath(errno, path);
    }
}

void PosixFileSystem::remove(const std::string& path) {
    if (::unlink(path.c_str()) < 0) {
        const int err = errno;
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            raise(kPathFileAccess); // Kill deletes files, never folders
        }
        raiseForPath(err, path);
    }
}

// Removing a name needs write permission on the folder, never on the file: the file's mode,
// which every other name of it shares, is left alone.
void PosixFileSystem::removeForced(const std::string& path) {
    remove(path);
}

void PosixFileSystem::copy(const std::string& from, const std::string& to) {
    lowio::Handle source = openRegular(from, O_RDONLY, 0);
    struct stat sourceInfo {};
    if (::fstat(source.get(), &sourceInfo) < 0) {
        raiseErrno(errno);
    }
    // Copying a file onto itself would truncate it to nothing before the first byte is read.
    struct stat targetInfo {};
    if (::stat(to.c_str(), &targetInfo) == 0 && targetInfo.st_dev == sourceInfo.st_dev &&
        targetInfo.st_ino == sourceInfo.st_ino) {
        raise(kPermissionDenied);
    }
    // The copy keeps the execute bits (the reassembler is run from the disk) but is always
    // writable by its owner: the trailer is appended to it right after.
    const mode_t mode = (sourceInfo.st_mode & 0777) | S_IRUSR | S_IWUSR;
    lowio::Handle target = openRegular(to, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, mode);
    try {
        raiseIfFailed(lowio::copyAll(source.get(), target.get()));
        raiseIfFailed(lowio::flush(target.get()));
        raiseIfFailed(target.close());
    } catch (const RuntimeError&) {
        // A half copy is worth nothing and takes room that a retry needs.
        ::unlink(to.c_str());
        throw;
    }
}

int64_t PosixFileSystem::length(const std::string& path) {
    const struct stat info = statOrRaise(path);
    if (S_ISDIR(info.st_mode)) {
        raise(kPathFileAccess);
    }
    return static_cast<int64_t>(info.st_size);
}

std::vector<DirEntry> PosixFileSystem::list(const std::string& directory, const std::string& pattern) {
    std::vector<DirEntry> entries;
    forEachEntry(directory, [&](const std::string& name, const std::string& path) {
        struct stat info {};
        // Each entry as what it is: a link stays a link. An entry that vanished meanwhile is skipped.
        if (matchesDosPattern(pattern, name) && ::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
            entries.push_back({name, attributesOf(name, info), kindOf(info)});
        }
    });
    return entries;
}

std::vector<DirEntry> PosixFileSystem::folders(const std::string& directory) {
    std::vector<DirEntry> entries;
    forEachEntry(directory, [&](const std::string& name, const std::string& path) {
        struct stat info {};
        struct stat target {};
        // An entry that vanished meanwhile, or a link that leads nowhere, is no folder to open.
        if (::lstat(path.c_str(), &info) != 0) {
            return;
        }
        if (S_ISDIR(info.st_mode)) {
            entries.push_back({name, attributesOf(name, info), FileKind::Directory});
        } else if (S_ISLNK(info.st_mode) && ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
            entries.push_back({name, attributesOf(name, target), FileKind::Link});
        }
    });
    return entries;
}

DirEntry PosixFileSystem::describe(const std::string& path) {
    const struct stat info = statOrRaise(path);
    const std::string name = baseName(path);
    return {name, attributesOf(name, info), kindOf(info)};
}

core::FileIdentity PosixFileSystem::identity(const std::string& path, Follow follow) {
    return posix::identityOf(statOrRaise(path, follow));
}

void PosixFileSystem::flushToMedium(const std::string& path) {
    // Read access is enough for fsync, and the file's mode may not allow more.
    const lowio::Handle handle = openRegular(path, O_RDONLY | O_NOFOLLOW, 0);
    raiseIfFailed(lowio::flush(handle.get()));
}

void PosixFileSystem::settle(const std::string& folder) {
    // One syncfs writes every file back and commits the journal once; a flush per file would
    // commit it once per file.
    const lowio::Handle handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.valid()) {
        static_cast<void>(::syncfs(handle.get()));
    }
}

std::string PosixFileSystem::realFolder(const std::string& folder) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr), &std::free);
    if (!resolved) {
        raiseErrno(errno, ErrnoSubject::Folder);
    }
    // realpath takes a file as well; the folder a run writes into must be one.
    if (!S_ISDIR(statOrRaise(resolved.get()).st_mode)) {
        raise(kPathNotFound);
    }
    return resolved.get();
}

} // namespace rt
