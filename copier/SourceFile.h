// The file being split, opened once for reading. Its length when opened is what the trailer
// promises, and any change of it during the run makes the set worthless.
#pragma once

#include "runtime/FileSystem.h"

#include <cstdint>
#include <string>

namespace rt {
class Files;
} // namespace rt

namespace kopierer {

class SourceFile {
public:
    explicit SourceFile(rt::Files& files) : files_(files) {}

    void open(const std::string& path);
    // Takes the file as it is now as the file as opened.
    void measure();
    int number() const { return number_; }
    int64_t length() const { return length_; }
    const core::FileIdentity& atOpen() const { return atOpen_; }
    // Whether it gives more or fewer bytes than its length says (a changing or a synthetic file).
    bool lengthIsWrong();
    // Whether its bytes may differ from those when it was opened; unreadable now says nothing
    // about the bytes already read.
    bool changedSinceOpened();

private:
    rt::Files& files_;
    int number_ = 0;
    core::FileIdentity atOpen_;
    int64_t length_ = 0;
};

} // namespace kopierer
