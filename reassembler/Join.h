// Joining the parts QUILME01.sys, QUILME02.sys, ... into the output file until the length the
// trailer names is reached, asking for the next disk whenever the next part is not there.
#pragma once

#include "ReassemblerHost.h"
#include "Terminal.h"

#include <cstdint>
#include <set>
#include <string>

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
    // workingFolder resolves folders the user types as relative paths.
    Joiner(std::int64_t length, std::string folder, std::string workingFolder, Terminal& terminal);

    // Throws Failure when a part is missing and the user gives up, a part is too long, or a
    // read or write fails. On return exactly the length has been written.
    void run(OutputFile& output);

private:
    std::string locateNextPart(const std::string& name);
    std::string whatIsMissing(const std::string& nextName) const;
    void copyPart(const std::string& path, const std::string& name, OutputFile& output);

    std::int64_t length_;
    std::int64_t joined_ = 0;
    long partNumber_ = 1;
    std::string folder_;
    std::string workingFolder_;
    Terminal& terminal_;
    std::set<PartIdentity> joinedParts_;
};

} // namespace quil
