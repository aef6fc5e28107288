// The reassembler's host on POSIX: files by descriptor, folders by path, the temporary file
// created with mkostemp and removed by a signal handler.
#include "reassembler/ReassemblerHost.h"

#include "ReassemblerHostPosix.h"
#include "StdioConsole.h"
#include "core/DosPath.h"
#include "core/Windows1252.h"

#include "runtime/DriveMap.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace quil {

std::optional<std::string> proposedFolder(const std::string& driveLetterFolder, const rt::DriveMap& drives) {
    // Only a drive letter says where on this machine: "\\host\share\" would turn into "//host/share"
    // and "\Daten\" into "/Daten", neither of which the splitter meant.
    if (!core::dospath::hasDrivePrefix(driveLetterFolder)) {
        return std::nullopt;
    }
    std::string native;
    try {
        // Maps the letter only (the floppy's letter asks the mount table); the folder's own
        // path is not touched.
        native = drives.toNative(driveLetterFolder);
    } catch (const std::exception&) {
        // A drive this machine does not have, or one with nothing mounted.
        return std::nullopt;
    }
    if (native.empty() || native.front() != '/') {
        return std::nullopt;
    }
    while (native.size() > 1 && native.back() == '/') {
        native.pop_back();
    }
    return native;
}

namespace host {

namespace {

// The temporary's name is kept in a fixed buffer as well, because a signal handler may only
// unlink and write, not touch a std::string.
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

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

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

FileFacts factsFrom(const struct stat& info) {
    FileFacts facts;
    facts.kind = S_ISREG(info.st_mode)   ? FileFacts::Kind::Regular
                 : S_ISDIR(info.st_mode) ? FileFacts::Kind::Folder
                                         : FileFacts::Kind::Other;
    facts.size = static_cast<std::int64_t>(info.st_size);
    const auto nanoseconds = [](const struct timespec& time) {
        return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
    };
    facts.identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                      static_cast<std::int64_t>(info.st_size), nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
    return facts;
}

} // namespace

std::vector<std::string> commandLine(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void prepareProcess() {
    // A file that reaches a size limit of the process fails its write with EFBIG, which the join
    // reports; without this SIGXFSZ would end the program with the temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
}

std::unique_ptr<Console> standardConsole() {
    return std::make_unique<StdioConsole>(stdin, stdout, stderr);
}

std::string describeError(lowio::SystemError err) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return "Datenträger voll";
    case EFBIG:
        return "Datei zu groß für den Datenträger";
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

std::string fromTrailerText(const std::string& bytes, bool utf8, bool marked) {
    if (utf8 || marked) {
        // A name is written as the file system stores it and restored the same way.
        return bytes;
    }
    // A set from Windows (this program's own run there marks names beyond ASCII as UTF-8, the
    // original never does): its names are in the writer's ANSI code page, which is 1252 on a
    // German Windows. Kept as they are, "Bär.doc" would come back with a byte no UTF-8 desktop
    // can show.
    return core::cp1252::toUtf8(bytes);
}

std::optional<std::string> nameProblem(const std::string& name) {
    // NAME_MAX of the file systems a restore lands on; a set made on Windows may name a file
    // of 255 UTF-16 characters, which takes more bytes here.
    if (name.size() > 255) {
        return "er ist länger als 255 Bytes";
    }
    return std::nullopt;
}

const char* exampleFolder() {
    return "~/Dokumente";
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

std::string folderOf(const std::string& path) {
    return core::dospath::parentFolder(path);
}

std::string currentFolder() {
    std::string folder(4096, '\0');
    if (::getcwd(folder.data(), folder.size()) == nullptr) {
        return "/";
    }
    folder.resize(std::char_traits<char>::length(folder.c_str()));
    return folder;
}

std::optional<std::string> resolveFolder(const std::string& folder, const std::string& workingFolder) {
    if (folder.empty() || folder.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    const std::string absolute = folder.front() == '/' ? folder : joinPath(workingFolder, folder);
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(absolute.c_str(), nullptr), &std::free);
    if (!resolved) {
        return std::nullopt;
    }
    struct stat info {};
    if (::stat(resolved.get(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return std::string(resolved.get());
}

std::optional<std::string> proposedFolder(const std::string& trailerFolder) {
    return quil::proposedFolder(trailerFolder, rt::DriveMap::hostDefault());
}

lowio::SystemError leaveWorkingFolder() {
    return ::chdir("/") == 0 ? 0 : errno;
}

FileFacts factsOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return factsFrom(info);
}

FileFacts::Kind kindOfEntry(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return FileFacts::Kind::Missing;
    }
    return factsFrom(info).kind;
}

lowio::SystemError factsOf(lowio::NativeHandle handle, FileFacts& facts) {
    struct stat info {};
    if (::fstat(handle, &info) != 0) {
        return errno;
    }
    facts = factsFrom(info);
    return 0;
}

std::optional<std::vector<std::string>> listFolder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    return names;
}

lowio::Handle openForReading(const std::string& path, lowio::SystemError& error) {
    // O_NONBLOCK: a pipe put where a part belongs must not make the open wait for a writer.
    lowio::Handle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    error = fd.valid() ? 0 : errno;
    return fd;
}

lowio::SystemError copyInSystem(lowio::NativeHandle from, lowio::NativeHandle to, std::size_t size,
                                std::size_t& copied) {
    ssize_t done = 0;
    do {
        done = ::copy_file_range(from, nullptr, to, nullptr, size, 0);
    } while (done < 0 && errno == EINTR);
    copied = done > 0 ? static_cast<std::size_t>(done) : 0;
    return done < 0 ? errno : 0;
}

void reserveRoom(lowio::NativeHandle handle, std::int64_t length) {
    if (length > 0) {
        // Not posix_fallocate: where the file system cannot reserve, it writes zeros instead.
        static_cast<void>(::fallocate(handle, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)));
    }
}

std::optional<std::int64_t> freeBytes(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0 || info.f_blocks == 0) {
        return std::nullopt;
    }
    const auto available = static_cast<long double>(info.f_bavail) * static_cast<long double>(info.f_frsize);
    constexpr auto largest = static_cast<long double>(INT64_MAX);
    return static_cast<std::int64_t>(available < largest ? available : largest);
}

std::optional<std::int64_t> largestFile(const std::string& folder) {
    std::optional<std::int64_t> largest;
    // vfat and msdos alike: a FAT directory entry keeps a file's size in 32 bits.
    constexpr decltype(statfs::f_type) kFatMagic = 0x4d44;
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) == 0 && info.f_type == kFatMagic) {
        largest = std::int64_t{0xFFFFFFFF};
    }
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        limit.rlim_cur < static_cast<rlim_t>(largest.value_or(INT64_MAX))) {
        largest = static_cast<std::int64_t>(limit.rlim_cur);
    }
    return largest;
}

void installInterruptCleanup() {
    // A question answered into a closed pipe is a failed write, not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = removeTemporaryAndExit;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : kCleanupSignals) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

lowio::Handle createTemporary(const std::string& folder, std::string& path, lowio::SystemError& error) {
    // The temporary name does not grow with the file's name: a name of 255 bytes, as long as a
    // file system takes, must still leave room for it.
    std::string pattern = joinPath(folder, ".quil-XXXXXX");
    // No signal between creating the file and telling the handler its name, or a Ctrl-C
    // right then would leave it behind.
    sigset_t blocked;
    sigset_t previous;
    sigemptyset(&blocked);
    for (int signalNumber : kCleanupSignals) {
        sigaddset(&blocked, signalNumber);
    }
    ::sigprocmask(SIG_BLOCK, &blocked, &previous);
    lowio::Handle fd(::mkostemp(pattern.data(), O_CLOEXEC));
    error = errno;
    if (fd.valid()) {
        path = pattern;
        rememberTemporary(pattern);
    } else {
        forgetTemporary();
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd.valid()) {
        error = 0;
        // mkostemp creates the file for the owner only; the restored file gets the usual rights.
        ::fchmod(fd.get(), static_cast<mode_t>(0666 & ~currentUmask()));
    }
    return fd;
}

lowio::SystemError placeTemporary(const std::string& temporary, const std::string& finalPath, bool mayReplace,
                                  bool& nameTaken) {
    nameTaken = false;
    if (!mayReplace) {
        // link() fails when the name exists, so a file that appeared since the question is
        // never replaced unasked.
        if (::link(temporary.c_str(), finalPath.c_str()) == 0) {
            ::unlink(temporary.c_str());
        } else if (errno == EEXIST) {
            nameTaken = true;
            return 0;
        } else {
            // File systems without hard links (FAT) cannot do this atomically; look, then rename.
            struct stat info {};
            if (::lstat(finalPath.c_str(), &info) == 0) {
                nameTaken = true;
                return 0;
            }
            mayReplace = true;
        }
    }
    if (mayReplace && ::rename(temporary.c_str(), finalPath.c_str()) != 0) {
        return errno;
    }
    forgetTemporary();
    syncFolder(folderOf(finalPath));
    return 0;
}

void removeTemporary(const std::string& temporary) {
    ::unlink(temporary.c_str());
    forgetTemporary();
}

void keepTemporary(const std::string&) {
    forgetTemporary();
}

lowio::Handle createScratchFile(const std::string& folder, lowio::SystemError& error) {
    // Made and unlinked with the interrupt signals held, so that no Ctrl-C falls between.
    // O_TMPFILE would need neither, but FAT, where a stick's output may go, does not have it.
    std::string pattern = joinPath(folder, ".quil-XXXXXX");
    sigset_t blocked;
    sigset_t previous;
    sigemptyset(&blocked);
    for (int signalNumber : kCleanupSignals) {
        sigaddset(&blocked, signalNumber);
    }
    ::sigprocmask(SIG_BLOCK, &blocked, &previous);
    lowio::Handle fd(::mkostemp(pattern.data(), O_CLOEXEC));
    error = fd.valid() ? 0 : errno;
    if (fd.valid()) {
        ::unlink(pattern.c_str());
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    return fd;
}

} // namespace host
} // namespace quil
