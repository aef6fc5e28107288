// What a file is and how it was when it was looked at: the medium and the file on it, its size,
// and the times of its last write and last change. The copy run recognises its own parts and the
// file it splits by it, and QUIL.EXE a part it has joined already.
#pragma once

#include <compare>
#include <cstdint>

namespace core {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    // When the file's contents or facts last changed, as the system keeps it: unlike the
    // modification time no user can set it back, so a same-size rewrite in place whose
    // modification time was put back (rsync -t --inplace) still shows here. 0 where the host
    // keeps no such time.
    std::int64_t changedNs = 0;

    bool operator==(const FileIdentity&) const = default;
    auto operator<=>(const FileIdentity&) const = default;

    // The same file, whatever happened to it since: its length and times may have changed.
    bool sameFileAs(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
    // The same file, and nothing written to it or changed about it since it was looked at.
    bool unchangedSince(const FileIdentity& earlier) const { return *this == earlier; }
};

} // namespace core
