// Writing through a temporary file. The data goes to the medium while the join runs
// (writeback is started, not waited for), so that the flush at the end does not have the whole
// file still to write.
#include "OutputFile.h"

#include "Failure.h"
#include "Host.h"
#include "PartNames.h"

namespace quil {

OutputFile::OutputFile(const std::string& folder, const std::string& name)
    : folder_(folder), finalPath_(joinPath(folder, name)) {
    lowio::SystemError err = 0;
    fd_ = host::createTemporary(folder, temporaryPath_, err);
    if (!fd_.valid()) {
        throw Failure(kDamaged, "Im Zielordner " + printable(folder) + " kann keine Datei angelegt werden (" +
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

void OutputFile::write(const char* data, std::size_t size) {
    std::size_t done = 0;
    const lowio::SystemError err = lowio::writeAll(fd_.get(), data, size, done);
    written_ += static_cast<std::int64_t>(done);
    if (err != 0) {
        throw Failure(kDamaged, "Fehler beim Schreiben nach " + printable(folder_) + ": " + describeError(err) +
                                    ". Die Datei wurde nicht wiederhergestellt.");
    }
    writeback_.wrote(fd_.get(), written_ - static_cast<std::int64_t>(size), written_);
}

bool OutputFile::commit(bool mayReplace) {
    if (fd_.valid()) {
        lowio::SystemError err = lowio::flush(fd_.get());
        if (err == 0) {
            err = writeback_.takeError();
        }
        if (const lowio::SystemError closeError = fd_.close(); err == 0) {
            err = closeError;
        }
        if (err != 0) {
            throw Failure(kDamaged, "Die Daten konnten nicht sicher nach " + printable(folder_) +
                                        " geschrieben werden: " + describeError(err) + ".");
        }
    }
    bool nameTaken = false;
    if (const lowio::SystemError err = host::placeTemporary(temporaryPath_, finalPath_, mayReplace, nameTaken);
        err != 0) {
        throw Failure(kDamaged, "Die fertige Datei konnte nicht " + printable(finalPath_) + " genannt werden (" +
                                    describeError(err) + ").");
    }
    if (nameTaken) {
        return false;
    }
    committed_ = true;
    temporaryPath_.clear();
    return true;
}

} // namespace quil
