// Private mount namespaces and tmpfs mounts for tests that need real media.
#include "PrivateMount.h"
#include "Command.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {

bool writeProcFile(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && ok;
}

std::string failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool enterUserAndMountNamespace(std::string& whyNot) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) < 0) {
        whyNot = failure("not root, and no user namespace for private mounts (unshare)");
        return false;
    }
    // Map the caller to root inside, so the namespace may mount.
    if (!writeProcFile("/proc/self/setgroups", "deny") ||
        !writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
        whyNot = failure("cannot map the user into the new user namespace");
        return false;
    }
    return true;
}

} // namespace

bool enterPrivateMountNamespace(std::string& whyNot) {
    static bool entered = false;
    static std::string lastFailure;
    if (entered) {
        return true;
    }
    if (!lastFailure.empty()) {
        whyNot = lastFailure;
        return false;
    }
    bool ok = false;
    if (::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0) {
        ok = true;
    } else {
        ok = enterUserAndMountNamespace(whyNot);
    }
    // Without this the mounts of the test would propagate back into the host's namespace.
    if (ok && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) < 0) {
        whyNot = failure("cannot make the mounts private");
        ok = false;
    }
    if (!ok) {
        lastFailure = whyNot;
        return false;
    }
    entered = true;
    return true;
}

std::optional<TmpfsMount> TmpfsMount::mount(const std::string& directory, unsigned sizeKib, std::string& whyNot) {
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    if (!enterPrivateMountNamespace(whyNot)) {
        return std::nullopt;
    }
    const std::string options = "size=" + std::to_string(sizeKib) + "k,mode=0777";
    if (::mount("tmpfs", directory.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) < 0) {
        whyNot = failure("cannot mount a tmpfs on " + directory);
        return std::nullopt;
    }
    return TmpfsMount(directory, sizeKib);
}

TmpfsMount::TmpfsMount(TmpfsMount&& other) noexcept
    : directory_(std::move(other.directory_)), sizeKib_(other.sizeKib_), mounted_(other.mounted_) {
    other.mounted_ = false;
}

TmpfsMount& TmpfsMount::operator=(TmpfsMount&& other) noexcept {
    if (this != &other) {
        if (mounted_) {
            ::umount2(directory_.c_str(), MNT_DETACH);
        }
        directory_ = std::move(other.directory_);
        sizeKib_ = other.sizeKib_;
        mounted_ = other.mounted_;
        other.mounted_ = false;
    }
    return *this;
}

TmpfsMount::~TmpfsMount() {
    if (mounted_) {
        ::umount2(directory_.c_str(), MNT_DETACH);
    }
}

bool TmpfsMount::remount(unsigned long extraFlags, std::string& whyNot) {
    if (!mounted_) {
        whyNot = "not mounted";
        return false;
    }
    const std::string options = "size=" + std::to_string(sizeKib_) + "k";
    if (::mount("tmpfs", directory_.c_str(), "tmpfs", MS_REMOUNT | MS_NOSUID | MS_NODEV | extraFlags, options.c_str()) <
        0) {
        whyNot = failure("cannot remount " + directory_);
        return false;
    }
    return true;
}

bool TmpfsMount::remountReadOnly(std::string& whyNot) {
    return remount(MS_RDONLY, whyNot);
}

bool TmpfsMount::unmount(std::string& whyNot) {
    if (!mounted_) {
        return true;
    }
    if (::umount2(directory_.c_str(), 0) < 0) {
        whyNot = failure("cannot unmount " + directory_);
        return false;
    }
    mounted_ = false;
    return true;
}

namespace {

// Runs a command line of the system's tools; its first line of output, or nothing on failure.
std::optional<std::string> firstLineOf(const std::string& command) {
    const auto [output, status] = commandOutput(command + " 2>/dev/null");
    return status == 0 ? std::optional<std::string>(output.substr(0, output.find_first_of("\r\n"))) : std::nullopt;
}

} // namespace

std::optional<FailingMedium> FailingMedium::mount(const std::string& directory, const std::string& backingFolder,
                                                  unsigned sizeKib, unsigned backingKib, std::string& whyNot) {
    if (::geteuid() != 0) {
        whyNot = "loop devices need root";
        return std::nullopt;
    }
    std::optional<TmpfsMount> backing = TmpfsMount::mount(backingFolder, backingKib, whyNot);
    if (!backing) {
        return std::nullopt;
    }
    const std::string image = backingFolder + "/medium.img";
    const std::string size = std::to_string(sizeKib) + "K";
    const std::optional<std::string> loop =
        firstLineOf("truncate -s " + size + " '" + image + "' && mkfs.ext2 -q -F -m 0 '" + image +
                    "' && losetup --find --show '" + image + "'");
    if (!loop || loop->empty()) {
        whyNot = "cannot make an ext2 medium on a loop device (truncate, mkfs.ext2, losetup)";
        return std::nullopt;
    }
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    if (::mount(loop->c_str(), directory.c_str(), "ext2", MS_NOSUID | MS_NODEV, nullptr) < 0) {
        whyNot = failure("cannot mount " + *loop);
        static_cast<void>(firstLineOf("losetup -d " + *loop));
        return std::nullopt;
    }
    ::chmod(directory.c_str(), 0777);
    return FailingMedium(directory, *loop, std::move(*backing));
}

FailingMedium::FailingMedium(FailingMedium&& other) noexcept
    : directory_(std::move(other.directory_)), loopDevice_(std::move(other.loopDevice_)),
      backing_(std::move(other.backing_)) {
    other.loopDevice_.clear();
}

FailingMedium::~FailingMedium() {
    if (!loopDevice_.empty()) {
        ::umount2(directory_.c_str(), MNT_DETACH);
        static_cast<void>(firstLineOf("losetup -d " + loopDevice_));
    }
}

std::optional<UnreadableMedium> UnreadableMedium::mount(const std::string& folder, const std::string& directory,
                                                        const std::string& file, long long badFrom, long long badTo,
                                                        std::string& whyNot) {
    const std::string helper = std::string(SPLITWERK_BUILD_DIR) + "/read_error_fs";
    if (::geteuid() != 0) {
        whyNot = "a FUSE medium is mounted here only as root";
        return std::nullopt;
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0 || ::access(helper.c_str(), X_OK) != 0) {
        whyNot = "no /dev/fuse, or read_error_fs not built (libfuse3-dev missing at configure time)";
        return std::nullopt;
    }
    if (!enterPrivateMountNamespace(whyNot)) {
        return std::nullopt;
    }
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    struct stat before {};
    if (::stat(directory.c_str(), &before) < 0) {
        whyNot = failure("cannot look at " + directory);
        return std::nullopt;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const std::string from = std::to_string(badFrom);
        const std::string to = std::to_string(badTo);
        ::execl(helper.c_str(), helper.c_str(), folder.c_str(), directory.c_str(), file.c_str(), from.c_str(),
                to.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Mounted once the folder shows another device; the helper gives up within seconds if it cannot.
    for (int waited = 0; waited < 500; ++waited) {
        struct stat now {};
        if (::stat(directory.c_str(), &now) == 0 && now.st_dev != before.st_dev) {
            return UnreadableMedium(directory, pid);
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            whyNot = "read_error_fs could not mount " + directory;
            return std::nullopt;
        }
        ::usleep(10000);
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    whyNot = "read_error_fs did not mount " + directory + " within 5 s";
    return std::nullopt;
}

UnreadableMedium::UnreadableMedium(UnreadableMedium&& other) noexcept
    : directory_(std::move(other.directory_)), helper_(other.helper_) {
    other.helper_ = 0;
}

UnreadableMedium::~UnreadableMedium() {
    if (helper_ != 0) {
        // The helper ends by itself once its file system is unmounted.
        ::umount2(directory_.c_str(), MNT_DETACH);
        ::waitpid(helper_, nullptr, 0);
    }
}

} // namespace testing_support
