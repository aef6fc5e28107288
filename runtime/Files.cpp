// Files by number: the numbers 1 to 255 name open files, as the program's logic expects.
// Drive letters are translated at each open, so a floppy that is not mounted is error 71
// and nothing is created in its bare mount-point directory.
#include "Files.h"

#include "DriveMap.h"
#include "RuntimeError.h"

namespace rt {

namespace {

constexpr int kFirstNumber = 1;
constexpr int kLastNumber = 255;

void checkNumber(int number) {
    if (number < kFirstNumber || number > kLastNumber) {
        raise(kBadFileNumber);
    }
}

} // namespace

Files::Files(FileSystem& fs, const DriveMap& drives) : fs_(fs), drives_(drives) {}

Files::~Files() {
    closeAll();
}

int Files::freeFile() const {
    for (int number = kFirstNumber; number <= kLastNumber; ++number) {
        if (open_.find(number) == open_.end()) {
            return number;
        }
    }
    raise(kTooManyFiles);
}

void Files::open(int number, const std::string& path, OpenMode mode) {
    checkNumber(number);
    if (open_.find(number) != open_.end()) {
        raise(kFileAlreadyOpen);
    }
    open_[number] = fs_.open(drives_.toNative(path), mode);
}

void Files::close(int number, Flush flush) {
    const auto found = open_.find(number);
    if (found == open_.end()) {
        return;
    }
    // Closing again after a failed flush would only report a success the medium never gave:
    // the number goes whatever the close says.
    const std::unique_ptr<OpenFile> file = std::move(found->second);
    open_.erase(found);
    file->close(flush);
}

void Files::closeAll() noexcept {
    for (auto& entry : open_) {
        try {
            entry.second->close();
        } catch (...) {
            // The program is ending; there is nobody left to tell.
        }
    }
    open_.clear();
}

bool Files::isOpen(int number) const {
    return open_.find(number) != open_.end();
}

OpenFile& Files::file(int number) const {
    checkNumber(number);
    const auto found = open_.find(number);
    if (found == open_.end()) {
        raise(kBadFileNumber);
    }
    return *found->second;
}

std::size_t Files::get(int number, int64_t position, char* buffer, std::size_t size) {
    OpenFile& open = file(number);
    if (position < 1) {
        raise(kBadRecordNumber);
    }
    return open.readAt(position - 1, buffer, size);
}

void Files::put(int number, const char* data, std::size_t size) {
    file(number).write(data, size);
}

int64_t Files::lof(int number) {
    return file(number).length();
}

core::FileIdentity Files::identity(int number) {
    return file(number).identity();
}

int64_t Files::seek(int number) {
    return file(number).position() + 1;
}

void Files::seekTo(int number, int64_t position) {
    OpenFile& open = file(number);
    if (position < 1) {
        raise(kBadRecordNumber);
    }
    char none = 0;
    open.readAt(position - 1, &none, 0); // a read of nothing leaves the position there
}

void Files::printLine(int number, const std::string& text) {
    const std::string line = text + "\r\n";
    file(number).write(line.data(), line.size());
}

} // namespace rt
