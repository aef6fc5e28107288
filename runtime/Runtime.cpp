// The runtime services bundled: dialogs, yield, end, the report of an unhandled error, and
// the file services by name, each translating drive-letter paths at the boundary.
#include "Runtime.h"
#include "core/DosPath.h"
#include "core/ProductFacts.h"

#include "Checked.h"

#include <cstdlib>

namespace rt {

Runtime::Runtime(RuntimeParts parts)
    : parts_(std::move(parts)), files_(*parts_.fileSystem, parts_.drives), dir_(*parts_.fileSystem, parts_.drives) {}

int Runtime::msgBox(const std::string& prompt, int style, const std::string& title) {
    return parts_.messageBox->show(prompt, style, title);
}

void Runtime::doEvents() {
    parts_.events->doEvents();
}

void Runtime::end(int status) {
    files_.closeAll();
    parts_.programEnd->end(status);
    // An end that came back would let the program run on past its own end.
    std::abort();
}

void Runtime::reportUnhandled(const RuntimeError& error) {
    const std::string prompt = "Laufzeitfehler '" + numberText(error.number()) + "':\r\r" + error.description();
    msgBox(prompt, kCriticalOk, core::product::kName);
    end(1);
}

int Runtime::getAttr(const std::string& path) {
    return parts_.fileSystem->attributes(parts_.drives.toNative(path));
}

void Runtime::setAttr(const std::string& path, int attributes) {
    parts_.fileSystem->setAttributes(parts_.drives.toNative(path), attributes);
}

void Runtime::kill(const std::string& path) {
    parts_.fileSystem->remove(parts_.drives.toNative(path));
}

void Runtime::killForced(const std::string& path) {
    parts_.fileSystem->removeForced(parts_.drives.toNative(path));
}

void Runtime::fileCopy(const std::string& from, const std::string& to) {
    // Both names are translated before anything is touched, so an unready target drive
    // leaves the source alone.
    const std::string nativeFrom = parts_.drives.toNative(from);
    const std::string nativeTo = parts_.drives.toNative(to);
    parts_.fileSystem->copy(nativeFrom, nativeTo);
}

int64_t Runtime::fileLen(const std::string& path) {
    return parts_.fileSystem->length(parts_.drives.toNative(path));
}

DirEntry Runtime::describe(const std::string& path) {
    return parts_.fileSystem->describe(parts_.drives.toNative(path));
}

core::FileIdentity Runtime::identity(const std::string& path, Follow follow) {
    return parts_.fileSystem->identity(parts_.drives.toNative(path), follow);
}

std::vector<DirEntry> Runtime::folders(const std::string& folder) {
    return parts_.fileSystem->folders(parts_.drives.toNative(folder));
}

void Runtime::flushToMedium(const std::string& path) {
    parts_.fileSystem->flushToMedium(parts_.drives.toNative(path));
}

void Runtime::settle(const std::string& folder) {
    try {
        parts_.fileSystem->settle(parts_.drives.toNative(folder));
    } catch (const RuntimeError&) {
        // A drive that is gone now: the flushes after this say so.
    }
}

std::string Runtime::realFolder(const std::string& folder) {
    const std::string real = parts_.fileSystem->realFolder(parts_.drives.toNative(folder));
    if (!DriveMap::canExpress(real)) {
        raise(kPathNotFound);
    }
    return core::dospath::withTrailingBackslash(parts_.drives.fromNative(real));
}

} // namespace rt
