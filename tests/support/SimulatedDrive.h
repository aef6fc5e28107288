// A fault-injecting drive for the copy run's tests: a decorator over a real file system that
// treats one host folder as the disk in a drive, with a capacity, ejection, write protection,
// disk swaps and one-shot failures, and counts the writes it was asked for.
#pragma once

#include "runtime/DriveMap.h"
#include "runtime/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

class SimulatedDrive final : public rt::FileSystem {
public:
    // The operations a one-shot failure can be aimed at.
    enum class Op { Open, Write, Close, Flush, Attributes, SetAttributes, Remove, Copy, Length, List, Identity };

    // disksFolder: where new blank disks are made (disk1, disk2, ...); the first is inserted
    // unless the caller will insert folders of its own.
    SimulatedDrive(rt::FileSystem& inner, std::filesystem::path disksFolder, bool insertFirstDisk = true);

    // For DriveMap::setDrive: the folder of the disk in the drive, nothing while ejected.
    rt::DriveMap::Resolver resolver();

    // Sum of the sizes of the files on the disk that a write or copy may not pass (error 61,
    // nothing changed); applies to every disk inserted.
    void setCapacity(std::optional<int64_t> bytes) { capacity_ = bytes; }
    // The length no file on the disk may grow past (FAT32's 4 GiB - 1, say): a write beyond it
    // fails with error 60 and changes nothing.
    void setFileSizeLimit(std::optional<int64_t> bytes) { fileSizeLimit_ = bytes; }
    void eject();
    // Puts in a new empty disk and returns its folder.
    std::filesystem::path insertBlank();
    // Puts in a given folder as the next disk.
    void insert(const std::filesystem::path& folder);
    void setWriteProtected(bool on) { writeProtected_ = on; }
    // Opening this host path fails with 70 until it is unlocked (a file held by another program).
    void lock(const std::filesystem::path& path) { locked_.insert(path.string()); }
    void unlock(const std::filesystem::path& path) { locked_.erase(path.string()); }
    // An operation of that kind on the disk fails with the number, once: the next one, or the
    // one after `skip` more have gone through.
    void failNext(Op op, int errorNumber, int skip = 0) { failNext_[op] = {errorNumber, skip}; }
    // Something happens to the disk right before the next operation of that kind on it.
    void beforeNext(Op op, std::function<void()> action) { beforeNext_[op] = std::move(action); }
    // Every operation of that kind on the disk fails with the number until cleared (nothing).
    void setFailing(Op op, std::optional<int> errorNumber) {
        if (errorNumber) {
            failing_[op] = *errorNumber;
        } else {
            failing_.erase(op);
        }
    }

    // A failed close (of a file open for writing) or flush loses what the medium could not take,
    // as a real system drops the pages it could not write: the file keeps its length and time,
    // but its second half holds zeros, and a later flush of it succeeds. The next read-back of a
    // file of that name (any file: empty) can be made to differ from what was written: one byte
    // changed, the one at that offset or, without one, the middle one of each read.
    void damageNextReadBack(std::string name = {}, std::optional<int64_t> at = std::nullopt) {
        damageReadBack_ = Damage{std::move(name), at};
    }
    // Files the run read back from the disk, in order.
    const std::vector<std::string>& readBacks() const { return readBacks_; }

    // The disk in the drive (the last one when ejected).
    const std::filesystem::path& currentDisk() const { return disks_.back(); }
    // Every disk inserted so far, in order.
    const std::vector<std::filesystem::path>& disks() const { return disks_; }
    // The size of every write asked for on the drive, failed ones included.
    const std::vector<std::size_t>& writeSizes() const { return writeSizes_; }
    void clearCounters() { writeSizes_.clear(); }
    // Bytes in the files of the disk in the drive.
    int64_t usedBytes() const;

    std::unique_ptr<rt::OpenFile> open(const std::string& path, rt::OpenMode mode) override;
    int attributes(const std::string& path) override;
    void setAttributes(const std::string& path, int attributes) override;
    void remove(const std::string& path) override;
    void removeForced(const std::string& path) override;
    void copy(const std::string& from, const std::string& to) override;
    int64_t length(const std::string& path) override;
    std::vector<rt::DirEntry> list(const std::string& directory, const std::string& pattern) override;
    std::vector<rt::DirEntry> folders(const std::string& directory) override;
    rt::DirEntry describe(const std::string& path) override;
    core::FileIdentity identity(const std::string& path, rt::Follow follow) override;
    void flushToMedium(const std::string& path) override;
    std::string realFolder(const std::string& folder) override;

private:
    class DiskFile;
    friend class DiskFile;

    // Which disk (index into disks_) a host path lies on, if any.
    std::optional<std::size_t> diskOf(const std::string& path) const;
    // Faults common to every operation on a path: not ready, a one-shot failure.
    bool onDrive(const std::string& path, Op op);
    void checkMutable(const std::string& path, Op op);
    void refuseReadOnly(const std::string& path);
    void checkReady(std::size_t disk) const;
    void fireOneShot(Op op);
    void checkRoom(int64_t growth) const;
    // Fires a one-shot failure of a flush; the file then loses what was not yet on the medium.
    void fireFlushFailure(Op op, const std::string& path);

    rt::FileSystem& inner_;
    std::filesystem::path disksFolder_;
    std::vector<std::filesystem::path> disks_;
    std::optional<std::size_t> current_;
    std::optional<int64_t> capacity_;
    std::optional<int64_t> fileSizeLimit_;
    bool writeProtected_ = false;
    std::set<std::string> locked_;
    struct OneShot {
        int number;
        int skip;
    };
    std::map<Op, OneShot> failNext_;
    std::map<Op, int> failing_;
    std::vector<std::size_t> writeSizes_;
    struct Damage {
        std::string name;
        std::optional<int64_t> at;
    };
    std::optional<Damage> damageReadBack_;
    std::map<Op, std::function<void()>> beforeNext_;
    std::vector<std::string> readBacks_;
};

} // namespace testing_support
