// Real media for tests: a tmpfs of a given size (a 1440 KiB "floppy", say) mounted in a
// private mount namespace, so nothing a test mounts is visible outside the test process.
//
// Works as root (the mount namespace alone) or, without root, through a user namespace where
// the kernel allows one. Everything returns false or nothing with a reason where it cannot
// work, so a test can say
//
//     std::string whyNot;
//     auto floppy = TmpfsMount::mount(dir.str() + "/a", 1440, whyNot);
//     if (!floppy) GTEST_SKIP() << whyNot;
//
// The namespace is entered once for the whole test process and never left; it must be entered
// while the process has only one thread (before any Qt or worker thread starts).
#pragma once

#include <optional>
#include <string>

namespace testing_support {

// Enters the private mount namespace (idempotent). False with the reason when impossible.
bool enterPrivateMountNamespace(std::string& whyNot);

class TmpfsMount {
public:
    // Creates the folder when missing, enters the private namespace and mounts a tmpfs of
    // sizeKib KiB on it (mode 0777).
    static std::optional<TmpfsMount> mount(const std::string& directory, unsigned sizeKib, std::string& whyNot);

    TmpfsMount(TmpfsMount&& other) noexcept;
    TmpfsMount& operator=(TmpfsMount&& other) noexcept;
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    // Unmounts when still mounted (lazily, so a leftover open file cannot keep it).
    ~TmpfsMount();

    const std::string& directory() const { return directory_; }

    // The medium becomes write-protected: writes fail with EROFS.
    bool remountReadOnly(std::string& whyNot);
    // Takes the medium out: the folder is bare again and everything on the tmpfs is gone.
    bool unmount(std::string& whyNot);

private:
    TmpfsMount(std::string directory, unsigned sizeKib) : directory_(std::move(directory)), sizeKib_(sizeKib) {}
    bool remount(unsigned long extraFlags, std::string& whyNot);

    std::string directory_;
    unsigned sizeKib_;
    bool mounted_ = true;
};

// A medium whose writes fail as a worn diskette's do: ext2 on a loop device whose backing file
// lies on a tmpfs too small for it, so that the kernel's writes past the tmpfs's room fail and
// a flush reports it. Needs real root (loop devices are not namespaced).
class FailingMedium {
public:
    // Mounts a sizeKib medium on directory, backed by backingKib KiB of memory in backingFolder.
    static std::optional<FailingMedium> mount(const std::string& directory, const std::string& backingFolder,
                                              unsigned sizeKib, unsigned backingKib, std::string& whyNot);

    FailingMedium(FailingMedium&& other) noexcept;
    FailingMedium& operator=(FailingMedium&&) = delete;
    FailingMedium(const FailingMedium&) = delete;
    FailingMedium& operator=(const FailingMedium&) = delete;
    // Takes it out: unmounted (lazily), the loop device freed.
    ~FailingMedium();

private:
    FailingMedium(std::string directory, std::string loopDevice, TmpfsMount backing)
        : directory_(std::move(directory)), loopDevice_(std::move(loopDevice)), backing_(std::move(backing)) {}

    std::string directory_;
    std::string loopDevice_;
    TmpfsMount backing_;
};

// A medium with a bad place, as a diskette with an unreadable sector: the files of a folder,
// served read-only through FUSE, where every read of one file that touches the bytes
// [badFrom, badTo) fails with EIO. Needs root, /dev/fuse and the read_error_fs helper (built
// where libfuse3 is there).
class UnreadableMedium {
public:
    static std::optional<UnreadableMedium> mount(const std::string& folder, const std::string& directory,
                                                 const std::string& file, long long badFrom, long long badTo,
                                                 std::string& whyNot);

    UnreadableMedium(UnreadableMedium&& other) noexcept;
    UnreadableMedium& operator=(UnreadableMedium&&) = delete;
    UnreadableMedium(const UnreadableMedium&) = delete;
    UnreadableMedium& operator=(const UnreadableMedium&) = delete;
    // Unmounted (lazily), the helper gone.
    ~UnreadableMedium();

private:
    UnreadableMedium(std::string directory, int helper) : directory_(std::move(directory)), helper_(helper) {}

    std::string directory_;
    int helper_; // its process id; 0 when moved from
};

} // namespace testing_support
