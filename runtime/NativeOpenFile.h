// One open file of the host's file system: full writes that are all-or-nothing, positioned
// reads, and a close that flushes to the medium and reports what the medium says. The course is
// the same on every host, on the low-level I/O layer; the few host calls below are answered by
// posix/PosixOpenFile.cpp or win32/Win32OpenFile.cpp.
#pragma once

#include "lowio/Io.h"
#include "runtime/FileSystem.h"

#include <string>

namespace rt {

class NativeOpenFile final : public OpenFile {
public:
    // append: every write goes to the end of the file, whatever the position says.
    NativeOpenFile(lowio::NativeHandle handle, bool append) : handle_(handle), append_(append) {}
    ~NativeOpenFile() override = default;
    NativeOpenFile(const NativeOpenFile&) = delete;
    NativeOpenFile& operator=(const NativeOpenFile&) = delete;

    // Leaves the position after the last byte read, as a sequential read would.
    std::size_t readAt(int64_t offset, char* buffer, std::size_t size) override;
    void write(const char* data, std::size_t size) override;
    int64_t length() override;
    int64_t position() override;
    void close(Flush flush) override;
    FileIdentity identity() override; // the host's

private:
    void seekTo(int64_t position);
    void restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore, const std::string& overwritten);

    lowio::Handle handle_;
    bool append_;
    bool written_ = false;
    lowio::Writeback writeback_;
};

// The host's halves.
// A failure of the I/O layer as the runtime's numbered error.
[[noreturn]] void raiseSystemError(lowio::SystemError error);
// The bytes at offset, read without disturbing the handle's use for writing (it may be open
// for writing only); empty where they cannot be read.
std::string bytesAt(lowio::NativeHandle handle, int64_t offset, std::size_t size);

} // namespace rt
