// Self-relocation on POSIX: a copy in $TMPDIR (or /tmp), executed in place of the original and
// removed before it runs; it stays readable through /proc/self/exe.
#include "reassembler/ReassemblerHost.h"

#include "reassembler/Failure.h"
#include "reassembler/SelfRelocation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace quil::host {

namespace {

// $TMPDIR when it names a folder that exists, else /tmp: a TMPDIR left over from another
// session must not keep the disk busy.
std::string temporaryRoot() {
    const char* tmpdir = std::getenv("TMPDIR");
    struct stat info {};
    if (tmpdir != nullptr && tmpdir[0] == '/' && ::stat(tmpdir, &info) == 0 && S_ISDIR(info.st_mode)) {
        return tmpdir;
    }
    return "/tmp";
}

} // namespace

std::string ownProgramFile() {
    return "/proc/self/exe";
}

std::string ownExecutable() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    return path;
}

Relocation relocate(const std::vector<std::string>& arguments, const std::string& originFolder) {
    std::string folder = joinPath(temporaryRoot(), std::string(kCopyFolderPrefix) + "XXXXXX");
    if (::mkdtemp(folder.data()) == nullptr) {
        return {std::nullopt, "kein temporärer Ordner in " + temporaryRoot() + ": " + describeError(errno)};
    }
    const std::string copy = joinPath(folder, kCopyName);
    const lowio::Handle from(::open("/proc/self/exe", O_RDONLY | O_CLOEXEC));
    lowio::Handle to(::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700));
    int err = !from.valid() || !to.valid() ? errno : lowio::copyAll(from.get(), to.get());
    if (const int closeError = to.close(); err == 0) {
        err = closeError;
    }
    // The copy is started from an open descriptor after its name and folder are gone. So it
    // never has to remove anything itself, and the hidden option, typed by hand, can make no
    // program delete a file: the copy removes nothing, whatever folder it believes it is in.
    const lowio::Handle image(::open(copy.c_str(), O_RDONLY | O_CLOEXEC));
    if (err == 0 && !image.valid()) {
        err = errno;
    }
    ::unlink(copy.c_str());
    ::rmdir(folder.c_str());
    if (err == 0) {
        std::vector<std::string> words{copy, kCopyOption, originFolder};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        ::fexecve(image.get(), argv.data(), environ);
        err = errno;
    }
    return {std::nullopt, "die Kopie in " + temporaryRoot() + " lässt sich nicht starten: " + describeError(err)};
}

} // namespace quil::host
