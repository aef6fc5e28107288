// One open file of the POSIX backend: full writes that are all-or-nothing, positioned reads,
// and a close that flushes to the medium and reports what the medium says.
#pragma once

#include "runtime/FileSystem.h"

namespace rt::posix {

class PosixOpenFile final : public OpenFile {
public:
    // append: the descriptor was opened with O_APPEND.
    PosixOpenFile(int fd, bool append) : fd_(fd), append_(append) {}
    ~PosixOpenFile() override;
    PosixOpenFile(const PosixOpenFile&) = delete;
    PosixOpenFile& operator=(const PosixOpenFile&) = delete;

    // Leaves the position after the last byte read, as a sequential read would.
    std::size_t readAt(int64_t offset, char* buffer, std::size_t size) override;
    void write(const char* data, std::size_t size) override;
    int64_t length() override;
    int64_t position() override;
    void close() override;

private:
    void restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore, const std::string& overwritten);
    void startWriteback(int64_t from, int64_t to);

    int fd_;
    bool append_;
    bool written_ = false;
    // The written bytes not yet handed to the medium: [unsentFrom_, unsentTo_).
    int64_t unsentFrom_ = 0;
    int64_t unsentTo_ = 0;
    // A failure the early writeback reported; closing reports it should the flush not.
    int writebackError_ = 0;
};

// Writes every byte or reports why not; returns 0 or the errno of the failure, and the count
// that went in. A write that takes no byte at all counts as a full medium.
int fullWrite(int fd, const char* data, std::size_t size, std::size_t& written);

} // namespace rt::posix
