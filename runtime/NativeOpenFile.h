// One open file of the host's file system: full writes that are all-or-nothing, positioned
// reads, and a close that flushes to the medium and reports what the medium says. The course is
// the same on every host, on the low-level I/O layer; the few host calls below are answered by
// posix/PosixOpenFile.cpp or win32/Win32OpenFile.cpp.
#pragma once

#include "lowio/Io.h"
#include "runtime/FileSystem.h"

#include <optional>
#include <string>

namespace rt {

class NativeOpenFile final : public OpenFile {
public:
    // Append: every write goes to the end of the file, whatever the position says. A file opened
    // for writing is written by this handle alone (the run holds its target), so its length is
    // kept here rather than asked of the system before every chunk; a file opened for reading
    // is asked each time, since another program may change it.
    NativeOpenFile(lowio::NativeHandle handle, OpenMode mode)
        : handle_(handle), append_(mode == OpenMode::Append),
          keepsLength_(mode != OpenMode::BinaryRead && mode != OpenMode::ReadBack) {}
    ~NativeOpenFile() override = default;
    NativeOpenFile(const NativeOpenFile&) = delete;
    NativeOpenFile& operator=(const NativeOpenFile&) = delete;

    // Leaves the position after the last byte read, as a sequential read would.
    std::size_t readAt(int64_t offset, char* buffer, std::size_t size) override;
    void write(const char* data, std::size_t size) override;
    int64_t length() override;
    int64_t position() override;
    void close(Flush flush) override;
    core::FileIdentity identity() override; // the host's

private:
    void seekTo(int64_t position);
    void restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore, const std::string& overwritten);

    lowio::Handle handle_;
    bool append_;
    bool keepsLength_;
    bool written_ = false;
    // What the system would answer, once known: a chunk then costs a read and a write, nothing
    // more. A positioned read leaves the system's position behind the logical one.
    std::optional<int64_t> position_;
    std::optional<int64_t> length_;
    bool systemPositionBehind_ = false;
    lowio::Writeback writeback_;
};

// The host's halves.
// A failure of the I/O layer as the runtime's numbered error.
[[noreturn]] void raiseSystemError(lowio::SystemError error);
// A refused write as the runtime's numbered error. wantedLength is where the file would have
// ended: a system that reports a file grown to its file system's largest size as a full medium
// is told apart by it.
[[noreturn]] void raiseWriteError(lowio::NativeHandle handle, lowio::SystemError error, int64_t wantedLength);
// The bytes at offset, read without disturbing the handle's use for writing (it may be open
// for writing only); empty where they cannot be read.
std::string bytesAt(lowio::NativeHandle handle, int64_t offset, std::size_t size);

} // namespace rt
