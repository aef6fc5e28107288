// One open file of the Windows backend: full writes that are all-or-nothing, positioned reads,
// and a close that flushes to the medium and reports what the medium says.
#pragma once

#include "lowio/Io.h"
#include "runtime/FileSystem.h"

#include <string>

namespace rt::win32 {

class Win32OpenFile final : public OpenFile {
public:
    // append: every write goes to the end of the file, whatever the position says.
    Win32OpenFile(lowio::NativeHandle handle, bool append) : handle_(handle), append_(append) {}
    ~Win32OpenFile() override = default;
    Win32OpenFile(const Win32OpenFile&) = delete;
    Win32OpenFile& operator=(const Win32OpenFile&) = delete;

    // Leaves the position after the last byte read, as a sequential read would.
    std::size_t readAt(int64_t offset, char* buffer, std::size_t size) override;
    void write(const char* data, std::size_t size) override;
    int64_t length() override;
    int64_t position() override;
    void close() override;
    FileIdentity identity() override;

private:
    void moveTo(int64_t position);
    void restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore, const std::string& overwritten);

    lowio::Handle handle_;
    bool append_;
    bool written_ = false;
    lowio::Writeback writeback_;
};

// The identity the copy run compares files by: the volume's serial number, the file's index on
// it, its length and its last write time (in nanoseconds since 1970).
FileIdentity identityOfHandle(lowio::NativeHandle handle);

// The same, from what GetFileInformationByHandle filled in.
struct FileTimeParts {
    unsigned long low = 0;
    unsigned long high = 0;
};
int64_t nanosecondsSince1970(FileTimeParts fileTime);

} // namespace rt::win32
