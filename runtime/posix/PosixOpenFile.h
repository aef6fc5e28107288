// One open file of the POSIX backend: full writes that are all-or-nothing, positioned reads,
// and a close that flushes to the medium and reports what the medium says.
#pragma once

#include "lowio/Io.h"
#include "runtime/FileSystem.h"

#include <string>
#include <sys/stat.h>

namespace rt::posix {

class PosixOpenFile final : public OpenFile {
public:
    // append: the descriptor was opened with O_APPEND.
    PosixOpenFile(int fd, bool append) : fd_(fd), append_(append) {}
    ~PosixOpenFile() override = default;
    PosixOpenFile(const PosixOpenFile&) = delete;
    PosixOpenFile& operator=(const PosixOpenFile&) = delete;

    // Leaves the position after the last byte read, as a sequential read would.
    std::size_t readAt(int64_t offset, char* buffer, std::size_t size) override;
    void write(const char* data, std::size_t size) override;
    int64_t length() override;
    int64_t position() override;
    void close() override;
    FileIdentity identity() override;

private:
    void restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore, const std::string& overwritten);

    lowio::Handle fd_;
    bool append_;
    bool written_ = false;
    lowio::Writeback writeback_;
};

// The identity the copy run compares files by.
FileIdentity identityOf(const struct stat& info);

} // namespace rt::posix
