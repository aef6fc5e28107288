// The restored file while it is being written: a hidden temporary file in the output folder
// that gets the final name only when it is complete and on the medium. Until then nothing
// carries the final name, and every way out (failure, abort, Ctrl-C) removes the temporary.
// Once complete it is never removed: a file that cannot take its name keeps another one.
#pragma once

#include "lowio/Io.h"

#include <cstdint>
#include <string>

namespace quil {

class OutputFile {
public:
    // Creates the temporary file next to folder/name. Throws Failure.
    OutputFile(const std::string& folder, const std::string& name);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The file will be length bytes long; with readBack, what is written is read back later
    // (a set with recovery data), and the written pages stay in the cache for it.
    void prepareFor(std::int64_t length, bool readBack);
    // Writes all bytes or throws Failure.
    void write(const char* data, std::size_t size);
    // Copies up to size bytes from the position of from inside the system (see
    // host::copyInSystem) and returns how many. 0 says nothing about the end of from: the
    // caller then reads and writes itself.
    std::size_t copyInSystem(lowio::NativeHandle from, std::size_t size);
    // Where the next write goes (the end of what was written, unless moved).
    std::int64_t position() const { return position_; }

    // For a set with recovery data, whose parts may arrive with gaps between them: the next
    // write goes to position (a gap reads as zeros), bytes already written are read back, and
    // the file is given its length when its end came from no part.
    void moveTo(std::int64_t position);
    void readAt(std::int64_t offset, char* buffer, std::size_t size);
    void setLength(std::int64_t length);

    // Flushes the data to the medium and gives the file its final name. Without
    // mayReplace, a file that appeared under that name meanwhile is left alone and the
    // result is false; the temporary then stays until the object goes. When the system
    // refuses the name (on Windows, a file another program holds open), the complete file is
    // kept aside and the Failure says where.
    bool commit(bool mayReplace);

    // Gives the complete file a name of its own beside the final one ("Bericht
    // (wiederhergestellt).doc"), never replacing anything; failing that it stays under its
    // temporary name. Returns the sentence that tells the user where it lies.
    std::string keepAside();
    // The same for a file that is not what the set held (a part could not be rebuilt) or was
    // not checked: tag names its state in the name (" (beschädigt)"), said in the sentence.
    std::string keepAside(const std::string& tag, const std::string& said);

    const std::string& finalPath() const { return finalPath_; }
    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    void discard() noexcept;
    void flushAndClose();
    [[noreturn]] void failWriting(lowio::SystemError err) const;

    std::string folder_;
    std::string name_;
    std::string finalPath_;
    std::string temporaryPath_;
    lowio::Handle fd_;
    std::int64_t position_ = 0;
    // Data already handed to the medium; a failure doing so is reported by commit.
    lowio::Writeback writeback_;
    bool committed_ = false;
};

} // namespace quil
