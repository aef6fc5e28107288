// Joining the parts QUILME01.sys, QUILME02.sys, ... into the output file until the length the
// trailer names is reached, asking for the next disk whenever the next part is not there. In a
// set with recovery data a lost or unreadable part is passed over, leaving its room in the
// output, and each part's checksum is taken for the check at the end.
#pragma once

#include "ReassemblerHost.h"
#include "RecoveryCheck.h"
#include "Terminal.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quil {

class OutputFile;

// A part file's identity (see host::FileIdentity): a file already joined is never joined again.
using PartIdentity = host::FileIdentity;

// What the parts in one folder add up to, from the first part on, without opening any of them.
struct FolderScan {
    std::int64_t bytes = 0;
    long parts = 0;
    // The part that would take the total past the length, if one does.
    std::string overlongPart;
};
FolderScan scanFolder(const std::string& folder, std::int64_t length);

class Joiner {
public:
    // workingFolder resolves folders the user types as relative paths. recovery: the set's
    // recovery data, for a set made with it.
    Joiner(std::int64_t length, std::string folder, std::string workingFolder, Terminal& terminal,
           RecoverySource* recovery = nullptr);
    ~Joiner();
    Joiner(const Joiner&) = delete;
    Joiner& operator=(const Joiner&) = delete;

    // Throws Failure when a part is missing and the user gives up, a part is too long, or a
    // read or write fails. On return exactly the length has been written. With recovery data
    // a bad part is no Failure: it is recorded, and the check decides. Run again once the
    // recovery data is known, it joins the parts that data counts beyond the file's length.
    void run(OutputFile& output);

    // With recovery data: what the join found of each part, the whole file's MD5 as far as the
    // output was written in order from its first byte, and the folder the join ended in, where
    // the recovery data may lie.
    const std::vector<PartRecord>& parts() const { return parts_; }
    InOrder inOrder() const;
    const std::string& folder() const { return folder_; }

private:
    bool joinedAll() const;
    // Once the recovery data is known, the parts joined before it go to their recorded places.
    void placeOnceKnown(OutputFile& output);
    LostOffer lostOffer() const;
    void checkFirstDiskBelongs() const;
    // The path of the next part; nothing when the user says its disk is lost.
    std::optional<std::string> locateNextPart(const std::string& name);
    std::string whatIsMissing(const std::string& nextName) const;
    // A part that cannot be joined: detail is the system's error or the counts of a short part,
    // total what the parts would add up to with a long one.
    enum class Fault { Open, Facts, Read, NotRegular, TooLong, TooShort };
    struct PartFault {
        Fault fault;
        std::string detail;
        std::int64_t total = 0;
    };
    // Nothing when the part was joined whole.
    std::optional<PartFault> copyPart(const std::string& path, const std::string& name, OutputFile& output);
    // Without recovery data the end; with it, the part is passed over.
    void badPart(const std::string& name, const PartFault& bad, OutputFile& output);
    void passOver(const std::string& name, const std::string& problem, OutputFile& output);
    std::string label(const std::string& name) const;

    std::int64_t length_;
    std::int64_t joined_ = 0;
    long partNumber_ = 1;
    std::string folder_;
    std::string workingFolder_;
    Terminal& terminal_;
    std::set<PartIdentity> joinedParts_;
    RecoverySource* recovery_;
    std::vector<PartRecord> parts_;
    std::vector<PartSum> sums_; // of the parts joined whole, while they lie where they were joined
    bool ended_ = false;        // the recovery data knows no part past the last one joined
    bool placed_ = false;       // the parts joined so far are where the recovery data puts them
};

} // namespace quil
