#include "SourceFile.h"

#include "runtime/Files.h"
#include "runtime/RuntimeError.h"

namespace kopierer {

void SourceFile::open(const std::string& path) {
    const int number = files_.freeFile();
    files_.open(number, path, rt::OpenMode::BinaryRead);
    number_ = number;
}

void SourceFile::measure() {
    atOpen_ = files_.identity(number_);
    length_ = atOpen_.size;
}

bool SourceFile::lengthIsWrong() {
    char byte = 0;
    try {
        const int64_t position = files_.seek(number_);
        // The last byte is there, and nothing after it.
        const bool lastThere = length_ == 0 || files_.get(number_, length_, &byte, 1) == 1;
        const bool nothingAfter = files_.get(number_, length_ + 1, &byte, 1) == 0;
        files_.seekTo(number_, position);
        return !lastThere || !nothingAfter;
    } catch (const rt::RuntimeError&) {
        return false; // the reads will tell
    }
}

// A change that kept the length and put the time back still shows in the identity (its change
// time cannot be set back), and one that only added bytes in the read past the end.
bool SourceFile::changedSinceOpened() {
    core::FileIdentity now;
    try {
        now = files_.identity(number_);
    } catch (const rt::RuntimeError&) {
        return false;
    }
    return !now.unchangedSince(atOpen_) || lengthIsWrong();
}

} // namespace kopierer
