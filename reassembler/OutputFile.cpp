// Writing through a temporary file. The data goes to the medium while the join runs
// (writeback is started, not waited for), so that the flush at the end does not have the whole
// file still to write.
#include "OutputFile.h"

#include "Failure.h"
#include "PartNames.h"
#include "ReassemblerHost.h"

namespace quil {

OutputFile::OutputFile(const std::string& folder, const std::string& name)
    : folder_(folder), name_(name), finalPath_(joinPath(folder, name)) {
    lowio::SystemError err = 0;
    fd_ = host::createTemporary(folder, temporaryPath_, err);
    if (!fd_.valid()) {
        fail(kDamaged, "Im Zielordner " + printable(folder) + " kann keine Datei angelegt werden (" +
                           describeError(err) +
                           ").\nBitte geben Sie einen anderen Zielordner an, zum Beispiel:\n"
                           "  QUIL.EXE " +
                           host::exampleFolder());
    }
}

OutputFile::~OutputFile() {
    if (!committed_) {
        discard();
    }
}

void OutputFile::discard() noexcept {
    fd_.reset();
    if (!temporaryPath_.empty()) {
        host::removeTemporary(temporaryPath_);
        temporaryPath_.clear();
    }
}

void OutputFile::prepareFor(std::int64_t length, bool readBack) {
    host::reserveRoom(fd_.get(), length);
    if (readBack) {
        writeback_ = lowio::Writeback(lowio::Writeback::WrittenPages::Kept);
    }
}

void OutputFile::write(const char* data, std::size_t size) {
    std::size_t done = 0;
    const lowio::SystemError err = lowio::writeAll(fd_.get(), data, size, done);
    position_ += static_cast<std::int64_t>(done);
    if (err != 0) {
        failWriting(err);
    }
    writeback_.wrote(fd_.get(), position_ - static_cast<std::int64_t>(size), position_);
}

void OutputFile::failWriting(lowio::SystemError err) const {
    fail(kDamaged, "Fehler beim Schreiben nach " + printable(folder_) + ": " + describeError(err) +
                       ". Die Datei wurde nicht wiederhergestellt.");
}

void OutputFile::moveTo(std::int64_t position) {
    if (const lowio::SystemError err = lowio::seekTo(fd_.get(), position); err != 0) {
        failWriting(err);
    }
    position_ = position;
}

void OutputFile::readAt(std::int64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    lowio::SystemError err = lowio::readAt(fd_.get(), offset, buffer, size, done);
    // A read at an offset moves a Windows handle's position: the next write goes where it was.
    if (err == 0) {
        err = lowio::seekTo(fd_.get(), position_);
    }
    if (err != 0 || done != size) {
        fail(kDamaged, "Die Datei in " + printable(folder_) + " lässt sich nicht zurücklesen" +
                           (err != 0 ? " (" + describeError(err) + ")." : std::string(".")));
    }
}

void OutputFile::setLength(std::int64_t length) {
    if (const lowio::SystemError err = lowio::truncate(fd_.get(), length); err != 0) {
        failWriting(err);
    }
}

std::size_t OutputFile::copyInSystem(lowio::NativeHandle from, std::size_t size) {
    std::size_t copied = 0;
    if (host::copyInSystem(from, fd_.get(), size, copied) != 0 || copied == 0) {
        return 0;
    }
    position_ += static_cast<std::int64_t>(copied);
    writeback_.wrote(fd_.get(), position_ - static_cast<std::int64_t>(copied), position_);
    return copied;
}

void OutputFile::flushAndClose() {
    if (fd_.valid()) {
        lowio::SystemError err = lowio::flush(fd_.get());
        if (err == 0) {
            err = writeback_.takeError();
        }
        if (const lowio::SystemError closeError = fd_.close(); err == 0) {
            err = closeError;
        }
        if (err != 0) {
            fail(kDamaged, "Die Daten konnten nicht sicher nach " + printable(folder_) +
                               " geschrieben werden: " + describeError(err) + ".");
        }
    }
}

bool OutputFile::commit(bool mayReplace) {
    flushAndClose();
    bool nameTaken = false;
    if (const lowio::SystemError err = host::placeTemporary(temporaryPath_, finalPath_, mayReplace, nameTaken);
        err != 0) {
        // Every disk has been read for this file: throwing it away would mean feeding them all again.
        fail(kDamaged, "Die fertige Datei konnte nicht " + printable(finalPath_) + " genannt werden (" +
                           describeError(err) + "). " + keepAside() + " Ist " + printable(name_) +
                           " in einem anderen Programm geöffnet, schließen Sie es und benennen Sie die "
                           "Datei dann selbst um.");
    }
    if (nameTaken) {
        return false;
    }
    committed_ = true;
    temporaryPath_.clear();
    return true;
}

std::string OutputFile::keepAside() {
    return keepAside(" (wiederhergestellt)", "Die wiederhergestellte Datei ist vollständig und liegt unter ");
}

std::string OutputFile::keepAside(const std::string& tag, const std::string& said) {
    // Also on the way out of a failed check: what is kept must be on the medium.
    flushAndClose();
    const std::size_t dot = name_.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot != 0;
    const std::string stem = hasExtension ? name_.substr(0, dot) : name_;
    const std::string extension = hasExtension ? name_.substr(dot) : std::string();
    for (int number = 1; number <= 9; ++number) {
        const std::string numbered =
            number == 1 ? tag
                        : tag.substr(0, tag.size() - 1) + " " + std::to_string(static_cast<long long>(number)) + ")";
        const std::string path = joinPath(folder_, stem + numbered + extension);
        bool nameTaken = false;
        if (host::placeTemporary(temporaryPath_, path, false, nameTaken) == 0 && !nameTaken) {
            committed_ = true;
            temporaryPath_.clear();
            return said + printable(path) + ".";
        }
    }
    // A name too long for one more word, or a folder that takes no new names: the file stays
    // where and as it is.
    host::keepTemporary(temporaryPath_);
    committed_ = true;
    return said + printable(temporaryPath_) + ".";
}

} // namespace quil
