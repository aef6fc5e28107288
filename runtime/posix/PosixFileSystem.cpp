// The real file system of a POSIX host, speaking the program's numbered errors and its
// DOS-like attribute bits.
#include "runtime/FileSystem.h"

#include "PathErrors.h"
#include "PosixOpenFile.h"
#include "runtime/RuntimeError.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

namespace {

using posix::baseName;
using posix::raiseForPath;

bool isHiddenName(const std::string& name) {
    return name.size() > 1 && name[0] == '.' && name != "..";
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
    if ((info.st_mode & S_IWUSR) == 0) {
        attributes |= kAttrReadOnly;
    }
    return attributes;
}

struct stat statOrRaise(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) < 0) {
        raiseForPath(errno, path);
    }
    return info;
}

int openFlags(OpenMode mode) {
    switch (mode) {
    case OpenMode::BinaryRead:
        return O_RDONLY;
    case OpenMode::BinaryWrite:
        return O_WRONLY | O_CREAT;
    case OpenMode::Append:
        return O_WRONLY | O_CREAT | O_APPEND;
    case OpenMode::Output:
        return O_WRONLY | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

// Owns a descriptor until it is handed on, so that every early exit closes it.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

int openOrRaise(const std::string& path, int flags, mode_t mode) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        raiseForPath(errno, path);
    }
    return fd;
}

void copyContents(int from, int to) {
    std::string buffer(64 * 1024, '\0');
    for (;;) {
        const ssize_t count = ::read(from, buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            raiseErrno(errno);
        }
        if (count == 0) {
            return;
        }
        std::size_t written = 0;
        if (const int err = posix::fullWrite(to, buffer.data(), static_cast<std::size_t>(count), written); err != 0) {
            raiseErrno(err);
        }
    }
}

} // namespace

std::unique_ptr<OpenFile> PosixFileSystem::open(const std::string& path, OpenMode mode) {
    Descriptor fd(openOrRaise(path, openFlags(mode), 0666));
    // Opening a folder for reading succeeds on POSIX; the program must hear of it at once.
    struct stat info {};
    if (::fstat(fd.get(), &info) < 0) {
        raiseErrno(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        raise(kPathFileAccess);
    }
    return std::make_unique<posix::PosixOpenFile>(fd.release(), mode == OpenMode::Append);
}

int PosixFileSystem::attributes(const std::string& path) {
    return attributesOf(baseName(path), statOrRaise(path));
}

void PosixFileSystem::setAttributes(const std::string& path, int attributes) {
    const struct stat info = statOrRaise(path);
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
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            raise(kPathFileAccess); // Kill deletes files, never folders
        }
        raiseForPath(err, path);
    }
}

void PosixFileSystem::copy(const std::string& from, const std::string& to) {
    Descriptor source(openOrRaise(from, O_RDONLY, 0));
    struct stat sourceInfo {};
    if (::fstat(source.get(), &sourceInfo) < 0) {
        raiseErrno(errno);
    }
    if (S_ISDIR(sourceInfo.st_mode)) {
        raise(kPathFileAccess);
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
    Descriptor target(openOrRaise(to, O_WRONLY | O_CREAT | O_TRUNC, mode));
    try {
        copyContents(source.get(), target.get());
        if (::fsync(target.get()) < 0 && errno != EINVAL) {
            raiseErrno(errno);
        }
        if (::close(target.release()) < 0 && errno != EINTR) {
            raiseErrno(errno);
        }
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

std::vector<DirEntry> PosixFileSystem::list(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        raiseErrno(errno, ErrnoSubject::Folder);
    }
    std::vector<DirEntry> entries;
    const std::string prefix = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info {};
        // A symbolic link counts as what it points to; an entry that vanished meanwhile is skipped.
        if (name != "." && name != ".." && ::stat((prefix + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            entries.push_back({name, attributesOf(name, info)});
        }
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0) {
        raiseErrno(err, ErrnoSubject::Folder);
    }
    return entries;
}

FileIdentity PosixFileSystem::identity(const std::string& path) {
    const struct stat info = statOrRaise(path);
    FileIdentity id;
    id.device = static_cast<uint64_t>(info.st_dev);
    id.inode = static_cast<uint64_t>(info.st_ino);
    id.size = static_cast<int64_t>(info.st_size);
    id.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + static_cast<int64_t>(info.st_mtim.tv_nsec);
    return id;
}

} // namespace rt
