// The simulated drive: faults are decided here, the bytes go to the real file system below.
#include "SimulatedDrive.h"

#include "runtime/RuntimeError.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

namespace testing_support {

namespace fs = std::filesystem;

namespace {

// What a system leaves of a file whose flush failed: the pages it could not write are gone, the
// file's length and time are as they were.
void loseUnflushedData(const std::string& path) {
    std::error_code missing;
    const std::uintmax_t size = fs::file_size(path, missing);
    const fs::file_time_type time = fs::last_write_time(path, missing);
    if (missing) {
        return;
    }
    const std::uintmax_t kept = size / 2 - size / 2 % 512;
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(kept));
        const std::string zeros(static_cast<std::size_t>(size - kept), '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    fs::last_write_time(path, time, missing);
}

} // namespace

class SimulatedDrive::DiskFile final : public rt::OpenFile {
public:
    DiskFile(SimulatedDrive& drive, std::unique_ptr<rt::OpenFile> inner, std::size_t disk, std::string path,
             rt::OpenMode mode, std::optional<Damage> damage)
        : drive_(drive), inner_(std::move(inner)), disk_(disk), path_(std::move(path)),
          writable_(mode != rt::OpenMode::BinaryRead && mode != rt::OpenMode::ReadBack), damage_(std::move(damage)) {}

    std::size_t readAt(int64_t offset, char* buffer, std::size_t size) override {
        drive_.checkReady(disk_);
        const std::size_t done = inner_->readAt(offset, buffer, size);
        if (damage_ && done > 0) {
            const int64_t at = damage_->at.value_or(offset + static_cast<int64_t>(done / 2));
            if (at >= offset && at < offset + static_cast<int64_t>(done)) {
                buffer[at - offset] = static_cast<char>(buffer[at - offset] ^ 0x55);
            }
        }
        return done;
    }
    void write(const char* data, std::size_t size) override {
        drive_.writeSizes_.push_back(size);
        drive_.checkReady(disk_);
        if (drive_.writeProtected_) {
            rt::raise(rt::kPermissionDenied);
        }
        drive_.fireOneShot(Op::Write);
        if (drive_.fileSizeLimit_ && inner_->position() + static_cast<int64_t>(size) > *drive_.fileSizeLimit_) {
            rt::raise(rt::kFileTooLarge);
        }
        drive_.checkRoom(std::max<int64_t>(0, inner_->position() + static_cast<int64_t>(size) - inner_->length()));
        inner_->write(data, size);
    }
    int64_t length() override {
        drive_.checkReady(disk_);
        return inner_->length();
    }
    int64_t position() override {
        drive_.checkReady(disk_);
        return inner_->position();
    }
    void close(rt::Flush flush) override {
        // Whatever happens, the file is closed: a failed close never leaves it open.
        const std::unique_ptr<rt::OpenFile> inner = std::move(inner_);
        drive_.checkReady(disk_);
        if (writable_) {
            drive_.fireFlushFailure(Op::Close, path_);
        }
        inner->close(flush);
    }
    core::FileIdentity identity() override {
        drive_.checkReady(disk_);
        return inner_->identity();
    }

private:
    SimulatedDrive& drive_;
    std::unique_ptr<rt::OpenFile> inner_;
    std::size_t disk_;
    std::string path_;
    bool writable_;
    std::optional<Damage> damage_;
};

SimulatedDrive::SimulatedDrive(rt::FileSystem& inner, fs::path disksFolder, bool insertFirstDisk)
    : inner_(inner), disksFolder_(std::move(disksFolder)) {
    if (insertFirstDisk) {
        insertBlank();
    }
}

rt::DriveMap::Resolver SimulatedDrive::resolver() {
    return [this]() -> std::optional<std::string> {
        if (!current_) {
            return std::nullopt;
        }
        return disks_[*current_].string();
    };
}

void SimulatedDrive::eject() {
    current_.reset();
}

fs::path SimulatedDrive::insertBlank() {
    fs::path folder = disksFolder_ / ("disk" + std::to_string(disks_.size() + 1));
    fs::create_directories(folder);
    insert(folder);
    return folder;
}

void SimulatedDrive::insert(const fs::path& folder) {
    disks_.push_back(folder.lexically_normal());
    current_ = disks_.size() - 1;
}

int64_t SimulatedDrive::usedBytes() const {
    int64_t used = 0;
    if (!current_) {
        return used;
    }
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(disks_[*current_], ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_regular_file(ignored)) {
            used += static_cast<int64_t>(it->file_size(ignored));
        }
    }
    return used;
}

std::optional<std::size_t> SimulatedDrive::diskOf(const std::string& path) const {
    const std::string normal = fs::path(path).lexically_normal().string();
    const auto covers = [&](std::size_t disk) {
        const std::string base = disks_[disk].string();
        // The host's own separator follows the disk's folder ("/" here, "\\" on Windows).
        return normal == base || (normal.compare(0, base.size(), base) == 0 && normal.size() > base.size() &&
                                  fs::path(std::string(1, normal[base.size()])).has_root_directory());
    };
    // A disk put back in the drive is listed twice; the one in the drive counts.
    if (current_ && covers(*current_)) {
        return current_;
    }
    for (std::size_t disk = 0; disk < disks_.size(); ++disk) {
        if (covers(disk)) {
            return disk;
        }
    }
    return std::nullopt;
}

void SimulatedDrive::checkReady(std::size_t disk) const {
    // A disk that was taken out is no longer reachable, not even by a file still open on it.
    if (!current_ || *current_ != disk) {
        rt::raise(rt::kDiskNotReady);
    }
}

void SimulatedDrive::fireOneShot(Op op) {
    const auto action = beforeNext_.find(op);
    if (action != beforeNext_.end()) {
        const std::function<void()> happen = std::move(action->second);
        beforeNext_.erase(action);
        happen();
    }
    const auto always = failing_.find(op);
    if (always != failing_.end()) {
        rt::raise(always->second);
    }
    const auto found = failNext_.find(op);
    if (found != failNext_.end()) {
        if (found->second.skip > 0) {
            --found->second.skip;
            return;
        }
        const int number = found->second.number;
        failNext_.erase(found);
        rt::raise(number);
    }
}

void SimulatedDrive::fireFlushFailure(Op op, const std::string& path) {
    try {
        fireOneShot(op);
    } catch (const rt::RuntimeError&) {
        loseUnflushedData(path);
        throw;
    }
}

void SimulatedDrive::checkRoom(int64_t growth) const {
    if (capacity_ && growth > 0 && usedBytes() + growth > *capacity_) {
        rt::raise(rt::kDiskFull);
    }
}

bool SimulatedDrive::onDrive(const std::string& path, Op op) {
    const std::optional<std::size_t> disk = diskOf(path);
    if (!disk) {
        return false;
    }
    checkReady(*disk);
    fireOneShot(op);
    return true;
}

void SimulatedDrive::checkMutable(const std::string& path, Op op) {
    if (onDrive(path, op) && writeProtected_) {
        rt::raise(rt::kPermissionDenied);
    }
}

// A read-only file on a disk cannot be written over, as on a DOS medium, and as it is for every
// user but root on POSIX.
void SimulatedDrive::refuseReadOnly(const std::string& path) {
    std::error_code missing;
    const fs::file_status status = fs::symlink_status(path, missing);
    if (diskOf(path) && fs::is_regular_file(status) &&
        (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        rt::raise(rt::kPermissionDenied);
    }
}

std::unique_ptr<rt::OpenFile> SimulatedDrive::open(const std::string& path, rt::OpenMode mode) {
    if (locked_.count(fs::path(path).lexically_normal().string()) != 0 || locked_.count(path) != 0) {
        rt::raise(rt::kPermissionDenied);
    }
    if (mode == rt::OpenMode::BinaryRead || mode == rt::OpenMode::ReadBack) {
        if (!onDrive(path, Op::Open)) {
            return inner_.open(path, mode);
        }
    } else {
        checkMutable(path, Op::Open);
        refuseReadOnly(path);
    }
    const std::optional<std::size_t> disk = diskOf(path);
    std::unique_ptr<rt::OpenFile> file = inner_.open(path, mode);
    if (!disk) {
        return file;
    }
    std::optional<Damage> damage;
    if (mode == rt::OpenMode::ReadBack) {
        const std::string name = fs::path(path).filename().string();
        readBacks_.push_back(name);
        if (damageReadBack_ && (damageReadBack_->name.empty() || damageReadBack_->name == name)) {
            damage = std::exchange(damageReadBack_, std::nullopt);
        }
    }
    return std::make_unique<DiskFile>(*this, std::move(file), *disk, path, mode, std::move(damage));
}

int SimulatedDrive::attributes(const std::string& path) {
    onDrive(path, Op::Attributes);
    return inner_.attributes(path);
}

void SimulatedDrive::setAttributes(const std::string& path, int attributes) {
    checkMutable(path, Op::SetAttributes);
    inner_.setAttributes(path, attributes);
}

void SimulatedDrive::remove(const std::string& path) {
    checkMutable(path, Op::Remove);
    inner_.remove(path);
}

void SimulatedDrive::removeForced(const std::string& path) {
    checkMutable(path, Op::Remove);
    inner_.removeForced(path);
}

void SimulatedDrive::copy(const std::string& from, const std::string& to) {
    onDrive(from, Op::Open);
    if (diskOf(to)) {
        checkMutable(to, Op::Copy);
        refuseReadOnly(to);
        std::error_code missing;
        const auto existing = static_cast<int64_t>(fs::exists(to, missing) ? fs::file_size(to, missing) : 0);
        checkRoom(inner_.length(from) - existing);
    }
    inner_.copy(from, to);
}

int64_t SimulatedDrive::length(const std::string& path) {
    onDrive(path, Op::Length);
    return inner_.length(path);
}

std::vector<rt::DirEntry> SimulatedDrive::list(const std::string& directory, const std::string& pattern) {
    onDrive(directory, Op::List);
    return inner_.list(directory, pattern);
}

std::vector<rt::DirEntry> SimulatedDrive::folders(const std::string& directory) {
    onDrive(directory, Op::List);
    return inner_.folders(directory);
}

rt::DirEntry SimulatedDrive::describe(const std::string& path) {
    onDrive(path, Op::Attributes);
    return inner_.describe(path);
}

core::FileIdentity SimulatedDrive::identity(const std::string& path, rt::Follow follow) {
    onDrive(path, Op::Identity);
    return inner_.identity(path, follow);
}

void SimulatedDrive::flushToMedium(const std::string& path) {
    if (onDrive(path, Op::Attributes)) {
        fireFlushFailure(Op::Flush, path);
    }
    inner_.flushToMedium(path);
}

std::string SimulatedDrive::realFolder(const std::string& folder) {
    onDrive(folder, Op::Attributes);
    return inner_.realFolder(folder);
}

} // namespace testing_support
