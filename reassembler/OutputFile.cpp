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
    // The temporary name does not grow with the file's name: a name of 255 bytes, as long as a
    // file system takes, must still leave room for it.
    std::string pattern = joinPath(folder, ".quil-XXXXXX");
    // No signal between creating the file and telling the handler its name, or a Ctrl-C
    // right then would leave it behind.
    sigset_t blocked;
    sigset_t previous;
    sigemptyset(&blocked);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        sigaddset(&blocked, signalNumber);
    }
    ::sigprocmask(SIG_BLOCK, &blocked, &previous);
    fd_.reset(::mkostemp(pattern.data(), O_CLOEXEC));
    const int err = errno;
    if (fd_.valid()) {
        temporaryPath_ = pattern;
        rememberTemporary(pattern);
    } else {
        forgetTemporary();
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (!fd_.valid()) {
        throw Failure(kDamaged, "Im Zielordner " + printable(folder) + " kann keine Datei angelegt werden (" +
                                    describeErrno(err) +
                                    ").\nBitte geben Sie einen anderen Zielordner an, zum Beispiel:\n"
                                    "  QUIL.EXE ~/Dokumente");
    }
    // mkostemp creates the file for the owner only; the restored file gets the usual rights.
    ::fchmod(fd_.get(), static_cast<mode_t>(0666 & ~currentUmask()));
}

OutputFile::~OutputFile() {
    if (!committed_) {
        discard();
    }
}

void OutputFile::discard() noexcept {
    fd_.reset();
    if (!temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
    forgetTemporary();
}

void OutputFile::write(const char* data, std::size_t size) {
    std::size_t done = 0;
    const lowio::SystemError err = lowio::writeAll(fd_.get(), data, size, done);
    written_ += static_cast<std::int64_t>(done);
    if (err != 0) {
        throw Failure(kDamaged, "Fehler beim Schreiben nach " + printable(folder_) + ": " + describeErrno(err) +
                                    ". Die Datei wurde nicht wiederhergestellt.");
    }
    writeback_.wrote(fd_.get(), written_ - static_cast<std::int64_t>(size), written_);
}

bool OutputFile::commit(bool mayReplace) {
    if (fd_.valid()) {
        lowio::SystemError err = lowio::flush(fd_.get());
        if (err == 0) {
            err = writeback_.takeError();
        }
        if (const lowio::SystemError closeError = fd_.close(); err == 0) {
            err = closeError;
        }
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
