// The host file system as the runtime services see it: native paths, numbered errors.
// The POSIX backend is the real one; tests wrap it with fault-injecting drives.
#pragma once

#include "core/FileIdentity.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rt {

enum class OpenMode {
    BinaryRead,  // read access only
    BinaryWrite, // write access only, created when missing, starts at the first byte
    Append,      // text, created when missing, writing at the end
    Output,      // text, created empty
    ReadBack,    // read access only, from the medium itself: nothing the system cached for the
                 // file is trusted, so a write the medium lost cannot pass for a good one
};

// When a close brings the file's data onto the medium.
enum class Flush {
    Now,   // before the close returns: its failure is the close's
    Later, // whenever the system gets to it; flushToMedium brings it there and reports
};

// Attribute bits as the program's logic knows them.
enum Attribute : int {
    kAttrNormal = 0,
    kAttrReadOnly = 1,
    kAttrHidden = 2,
    kAttrSystem = 4,
    kAttrDirectory = 16,
    kAttrArchive = 32,
};

class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Reads up to size bytes from a 0-based offset; returns how many were read. The position
    // moves on to the byte after the last one read, as with a sequential read.
    virtual std::size_t readAt(int64_t offset, char* buffer, std::size_t size) = 0;
    // Writes all bytes at the current position or none: a write refused for lack of room
    // leaves the file exactly as it was.
    virtual void write(const char* data, std::size_t size) = 0;
    virtual int64_t length() = 0;
    // 0-based position of the next byte to write (or read sequentially).
    virtual int64_t position() = 0;
    // Closes the file, with Flush::Now after bringing what was written to the medium. A failure
    // is reported, but the file is closed all the same: what it was given is not trusted any
    // more, since a system may drop the data it could not write and report the next flush as a
    // success.
    virtual void close(Flush flush) = 0;
    void close() { close(Flush::Now); }
    // The open file's identity: a source that changes while it is copied shows here.
    virtual core::FileIdentity identity() = 0;
};

// What an entry of a folder is. A link is reported as a link where the caller must not follow
// it (the entries of a folder); a path the caller names is taken as what it points to.
enum class FileKind { Regular, Directory, Link, Other };

struct DirEntry {
    std::string name; // as stored
    int attributes = 0;
    FileKind kind = FileKind::Regular;
};

// Whether an identity describes a link itself or what it points to.
enum class Follow { Link, Target };

// Opening for reading takes only a regular file and never waits on a pipe or device. Opening
// for writing and copying onto a name never follow a link of that name, and never write into
// anything but a regular file: a medium prepared by someone else cannot redirect a write.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) = 0;
    virtual int attributes(const std::string& path) = 0;
    // Changes the entry itself; a link has no attributes of its own and is left as it is.
    virtual void setAttributes(const std::string& path, int attributes) = 0;
    // Removes the entry itself (a link, not what it points to); never a folder.
    virtual void remove(const std::string& path) = 0;
    // Removes the entry as remove does, even when it is read-only, and never changes the mode or
    // attributes of the file: another name of the same file (a hard link elsewhere) keeps them.
    virtual void removeForced(const std::string& path) = 0;
    // Copies a closed file, replacing the target.
    virtual void copy(const std::string& from, const std::string& to) = 0;
    virtual int64_t length(const std::string& path) = 0;
    // The entries of a directory whose names match a DOS pattern ("*", "?", "*.*" for all) as
    // the host matches them; folders, "." and ".." never, links and other special files as what
    // they are, not as what they point to.
    virtual std::vector<DirEntry> list(const std::string& directory, const std::string& pattern) = 0;
    // The subfolders of a directory, in the order the host gives them: a folder as Directory, a
    // link that leads to a folder as Link; "." and ".." never.
    virtual std::vector<DirEntry> folders(const std::string& directory) = 0;
    // The entry a path names, as stored (its name's letter case, its attributes), taken as what
    // a link points to.
    virtual DirEntry describe(const std::string& path) = 0;
    virtual core::FileIdentity identity(const std::string& path, Follow follow) = 0;
    // Brings whatever was written to a closed file onto the medium and reports what the medium
    // says; never follows a link of that name.
    virtual void flushToMedium(const std::string& path) = 0;
    // Starts bringing everything written on a folder's medium there in one go, so that the flushes
    // of single files after it find little left to do. Says nothing: those flushes report.
    virtual void settle(const std::string& folder) { static_cast<void>(folder); }
    // Where a folder really lies, every link on the way resolved, as an absolute host path
    // without a trailing separator (except a root). Error 76 when it is missing or no folder.
    virtual std::string realFolder(const std::string& folder) = 0;
};

} // namespace rt
