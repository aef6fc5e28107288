// Self-relocation on POSIX: a copy in $TMPDIR (or /tmp), executed in place of the original.
// The copy removes itself at once; it stays readable through /proc/self/exe.
#include "reassembler/Host.h"

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

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
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
    if (err == 0) {
        std::vector<std::string> words{copy, kCopyOption, originFolder};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        ::execv(copy.c_str(), argv.data());
        err = errno;
    }
    ::unlink(copy.c_str());
    ::rmdir(folder.c_str());
    return {std::nullopt, "die Kopie in " + temporaryRoot() + " lässt sich nicht starten: " + describeError(err)};
}

void removeOwnCopy(const std::string& originFolder) {
    // Only a file that looks like such a copy is removed, so that the hidden option typed by
    // hand cannot delete QUIL.EXE from a disk.
    const std::string self = ownExecutable();
    const std::string folder = folderOf(self);
    const std::string folderName = folder.substr(folder.rfind('/') + 1);
    if (self.empty() || folder == originFolder || !startsWith(folderName, kCopyFolderPrefix) ||
        self.substr(self.rfind('/') + 1) != kCopyName) {
        return;
    }
    ::unlink(self.c_str());
    ::rmdir(folder.c_str());
}

} // namespace quil::host
