// Files of the host's file system. A write either goes in completely or leaves the file exactly
// as it was: the copy run retries a refused chunk with half its size at the same position, so a
// partial chunk left behind would corrupt the part. A system may take part of a buffer before
// it reports the medium full (Wine reports a short count first and the failure only at the next
// call), so the file is cut back to its length before the write whenever a write fails.
//
// Written data goes to the medium while the file is still being written (the early writeback);
// closing flushes as before, but the flush then finds little left to do.
#include "NativeOpenFile.h"

#include <algorithm>

namespace rt {

namespace {

void raiseIfFailed(lowio::SystemError error) {
    if (error != 0) {
        raiseSystemError(error);
    }
}

} // namespace

void NativeOpenFile::seekTo(int64_t position) {
    raiseIfFailed(lowio::seekTo(handle_.get(), position));
    position_ = position;
    systemPositionBehind_ = false;
}

std::size_t NativeOpenFile::readAt(int64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    raiseIfFailed(lowio::readAt(handle_.get(), offset, buffer, size, done));
    position_ = offset + static_cast<int64_t>(done);
    systemPositionBehind_ = true;
    return done;
}

void NativeOpenFile::write(const char* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const int64_t lengthBefore = length();
    if (append_ || systemPositionBehind_) {
        seekTo(append_ ? lengthBefore : position());
    }
    const int64_t positionBefore = position();
    // Bytes that the write would overwrite, so that a failure can put them back. Only a write
    // into the middle of an existing file has any; the copy run always writes at the end.
    std::string overwritten;
    if (positionBefore < lengthBefore) {
        overwritten = bytesAt(
            handle_.get(), positionBefore,
            static_cast<std::size_t>(std::min<int64_t>(lengthBefore - positionBefore, static_cast<int64_t>(size))));
        seekTo(positionBefore);
    }
    std::size_t written = 0;
    const lowio::SystemError err = lowio::writeAll(handle_.get(), data, size, written);
    // Only a file that took bytes has anything to flush; a write refused outright (a file open
    // for reading only, say) leaves nothing for the close to report.
    written_ = written_ || written > 0;
    if (err != 0) {
        position_.reset();
        length_.reset();
        if (written > 0) {
            restoreAfterFailedWrite(lengthBefore, positionBefore, overwritten);
        }
        raiseWriteError(handle_.get(), err, positionBefore + static_cast<int64_t>(size));
    }
    position_ = positionBefore + static_cast<int64_t>(size);
    if (keepsLength_) {
        length_ = std::max(lengthBefore, *position_);
    }
    writeback_.wrote(handle_.get(), positionBefore, *position_);
}

void NativeOpenFile::restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore,
                                             const std::string& overwritten) {
    // Best effort: the caller reports the original failure in any case. Putting back the old
    // bytes needs no new room on the medium, and cutting the file back frees what was taken.
    if (!overwritten.empty() && lowio::seekTo(handle_.get(), positionBefore) == 0) {
        std::size_t ignored = 0;
        static_cast<void>(lowio::writeAll(handle_.get(), overwritten.data(), overwritten.size(), ignored));
    }
    static_cast<void>(lowio::truncate(handle_.get(), lengthBefore));
    static_cast<void>(lowio::seekTo(handle_.get(), positionBefore));
}

int64_t NativeOpenFile::length() {
    if (length_) {
        return *length_;
    }
    int64_t length = 0;
    raiseIfFailed(lowio::lengthOf(handle_.get(), length));
    if (keepsLength_) {
        length_ = length;
    }
    return length;
}

int64_t NativeOpenFile::position() {
    if (!position_) {
        int64_t position = 0;
        raiseIfFailed(lowio::positionOf(handle_.get(), position));
        position_ = position;
    }
    return *position_;
}

void NativeOpenFile::close(Flush flush) {
    if (!handle_.valid()) {
        return;
    }
    // The handle goes whatever happens below: after a failed flush a system may already have
    // dropped what it could not write, so a second flush would only pretend success.
    lowio::Handle handle = std::move(handle_);
    // What was remembered of the open file goes with it: a closed file has no length to give.
    position_.reset();
    length_.reset();
    if (written_) {
        written_ = false;
        // Removable media report many write errors only when the cache goes out; the user must
        // hear of them while the disk is still in the drive.
        if (flush == Flush::Now) {
            if (const lowio::SystemError err = lowio::flush(handle.get()); err != 0) {
                static_cast<void>(writeback_.takeError()); // the same failure, now reported by the flush
                raiseSystemError(err);
            }
        }
        // The flush normally reports what went wrong on the way out; an early writeback that
        // failed before it is reported here in any case.
        raiseIfFailed(writeback_.takeError());
    }
    raiseIfFailed(handle.close());
}

} // namespace rt
