// The running program's facts on Linux: its arguments and /proc/self/exe, in drive-letter
// form. The program is started by a file manager with the file's absolute path, which the
// drive map turns into "Z:\home\...".
#include "runtime/ProgramFacts.h"

#include "runtime/DriveMap.h"

#include <climits>
#include <unistd.h>

namespace rt {

namespace {

std::string executablePath(const char* argv0) {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length > 0 && static_cast<std::size_t>(length) < buffer.size()) {
        buffer.resize(static_cast<std::size_t>(length));
        return buffer;
    }
    return argv0 != nullptr ? argv0 : "";
}

} // namespace

ProgramFacts ProgramFacts::fromProcess(int argc, char** argv, const DriveMap& drives) {
    ProgramFacts facts;
    for (int i = 1; i < argc; ++i) {
        const std::string native = argv[i];
        ProgramArgument argument;
        argument.expressible = DriveMap::canExpress(native);
        // A relative path keeps counting from the working folder, with backslashes.
        argument.path = drives.fromNative(native);
        facts.arguments.push_back(std::move(argument));
    }

    facts.takeProgramFile(executablePath(argc > 0 ? argv[0] : nullptr), drives);
    return facts;
}

} // namespace rt
