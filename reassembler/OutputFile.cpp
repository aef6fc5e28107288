// Writing through a temporary file. The name of the temporary is kept in a fixed buffer as
// well, because a signal handler may only unlink and write, not touch a std::string.
// The data goes to the medium while the join runs (writeback is started, not waited for), so
// that the flush at the end does not have the whole file still to write.
#include "OutputFile.h"

#include "Failure.h"
#include "PartNames.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace quil {

namespace {

// Writeback is started in whole pages, in steps of this many bytes.
constexpr std::int64_t kWritebackStep = 1024 * 1024;
constexpr std::int64_t kPageSize = 4096;

char pendingTemporary[4096];
volatile std::sig_atomic_t havePendingTemporary = 0;

void rememberTemporary(const std::string& path) {
    if (path.size() < sizeof pendingTemporary) {
        std::memcpy(pendingTemporary, path.c_str(), path.size() + 1);
        havePendingTemporary = 1;
    }
}

void forgetTemporary() {
    havePendingTemporary = 0;
}

extern "C" void removeTemporaryAndExit(int signalNumber) {
    if (havePendingTemporary != 0) {
        ::unlink(pendingTemporary);
    }
    static const char message[] = "\nAbgebrochen. Es wurde keine Datei geschrieben.\n";
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(128 + signalNumber);
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

void syncFolder(const std::string& folder) {
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        // Some file systems refuse fsync on a folder; the rename is then as durable as they allow.
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

} // namespace

void OutputFile::installSignalCleanup() {
    struct sigaction action {};
    action.sa_handler = removeTemporaryAndExit;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

OutputFile::OutputFile(const std::string& folder, const std::string& name)
    : folder_(folder), finalPath_(joinPath(folder, name)) {
    std::string pattern = joinPath(folder, "." + name + ".quil-XXXXXX");
    // No signal between creating the file and telling the handler its name, or a Ctrl-C
    // right then would leave it behind.
    sigset_t blocked;
    sigset_t previous;
    sigemptyset(&blocked);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        sigaddset(&blocked, signalNumber);
    }
    ::sigprocmask(SIG_BLOCK, &blocked, &previous);
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    const int err = errno;
    if (fd_ >= 0) {
        temporaryPath_ = pattern;
        rememberTemporary(pattern);
    } else {
        forgetTemporary();
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd_ < 0) {
        throw Failure(kDamaged, "Im Zielordner " + printable(folder) + " kann keine Datei angelegt werden (" +
                                    describeErrno(err) + ").");
    }
    // mkostemp creates the file for the owner only; the restored file gets the usual rights.
    ::fchmod(fd_, static_cast<mode_t>(0666 & ~currentUmask()));
}

OutputFile::~OutputFile() {
    if (!committed_) {
        discard();
    }
}

void OutputFile::discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
    forgetTemporary();
}

void OutputFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd_, data, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            // A write that takes nothing without an error means the medium is full.
            const int err = done < 0 ? errno : ENOSPC;
            throw Failure(kDamaged, "Fehler beim Schreiben nach " + printable(folder_) + ": " + describeErrno(err) +
                                        ". Die Datei wurde nicht wiederhergestellt.");
        }
        data += done;
        size -= static_cast<std::size_t>(done);
        written_ += done;
    }
    startWriteback();
}

void OutputFile::startWriteback() {
    const std::int64_t end = written_ - written_ % kPageSize;
    if (end - sent_ < kWritebackStep) {
        return;
    }
#ifdef SYNC_FILE_RANGE_WRITE
    if (::sync_file_range(fd_, static_cast<off_t>(sent_), static_cast<off_t>(end - sent_), SYNC_FILE_RANGE_WRITE) !=
            0 &&
        writebackError_ == 0 && errno != EINVAL && errno != ESPIPE && errno != ENOSYS && errno != EOPNOTSUPP) {
        writebackError_ = errno;
    }
#endif
    sent_ = end;
}

bool OutputFile::commit(bool mayReplace) {
    if (fd_ >= 0) {
        int err = ::fsync(fd_) == 0 ? writebackError_ : errno;
        if (::close(fd_) != 0 && err == 0) {
            err = errno;
        }
        fd_ = -1;
        if (err != 0) {
            throw Failure(kDamaged, "Die Daten konnten nicht sicher nach " + printable(folder_) +
                                        " geschrieben werden: " + describeErrno(err) + ".");
        }
    }
    if (!mayReplace) {
        // link() fails when the name exists, so a file that appeared since the question is
        // never replaced unasked.
        if (::link(temporaryPath_.c_str(), finalPath_.c_str()) == 0) {
            ::unlink(temporaryPath_.c_str());
        } else if (errno == EEXIST) {
            return false;
        } else {
            // File systems without hard links (FAT) cannot do this atomically; look, then rename.
            struct stat info {};
            if (::lstat(finalPath_.c_str(), &info) == 0) {
                return false;
            }
            mayReplace = true;
        }
    }
    if (mayReplace && ::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) {
        const int err = errno;
        throw Failure(kDamaged, "Die fertige Datei konnte nicht " + printable(finalPath_) + " genannt werden (" +
                                    describeErrno(err) + ").");
    }
    committed_ = true;
    temporaryPath_.clear();
    forgetTemporary();
    syncFolder(folder_);
    return true;
}

} // namespace quil
