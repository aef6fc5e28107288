// Files by number, the way the program's logic opens, reads, writes and closes them.
// Paths are drive-letter paths; the drive map turns them into host paths at each open.
#pragma once

#include "FileSystem.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace rt {

class DriveMap;

class Files {
public:
    Files(FileSystem& fs, const DriveMap& drives);
    ~Files();
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    // The lowest number not in use (1 to 255); error 67 when all are taken.
    int freeFile() const;
    void open(int number, const std::string& path, OpenMode mode);
    // Closing a number that is not open is no error. The number is free afterwards even when the
    // close reports a failure: the file is closed, and what it was given is not trusted.
    void close(int number, Flush flush = Flush::Now);
    // Closes everything, ignoring failures: used when the program ends.
    void closeAll() noexcept;
    bool isOpen(int number) const;

    // Reads size bytes from a 1-based position; returns how many were read. Positions and
    // lengths are 64-bit: a file may be as large as the system lets it be.
    std::size_t get(int number, int64_t position, char* buffer, std::size_t size);
    // Writes at the current position, all or nothing.
    void put(int number, const char* data, std::size_t size);
    // Length in bytes and the 1-based position of the next byte.
    int64_t lof(int number);
    int64_t seek(int number);
    // Moves the position to a 1-based byte, as a read that stopped just before it would.
    void seekTo(int number, int64_t position);
    // What the open file is right now: its medium, length and time of the last change.
    core::FileIdentity identity(int number);

    // Writes the text unchanged, then CR LF: every text line ends so.
    void printLine(int number, const std::string& text);

private:
    OpenFile& file(int number) const;

    FileSystem& fs_;
    const DriveMap& drives_;
    std::map<int, std::unique_ptr<OpenFile>> open_;
};

} // namespace rt
