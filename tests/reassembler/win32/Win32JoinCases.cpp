// Windows lists every file with the length it reads, so it adds no join failures of its own; but
// there another program can hold the file that is to be replaced.
#include "../JoinCases.h"

#include <windows.h>

#include <fstream>

namespace quil_test {

std::vector<JoinFailureCase> hostJoinFailureCases() {
    return {};
}

std::vector<BlockedNameCase> hostBlockedNameCases() {
    return {{"HeldOpenByAnotherProgram", [](const std::filesystem::path& finalPath) -> std::shared_ptr<void> {
                 std::ofstream(finalPath) << "alter Inhalt";
                 // As an office program holds an open document: others may read it, nothing more.
                 const HANDLE held = ::CreateFileW(finalPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
                 return std::shared_ptr<void>(held, [](void* handle) { ::CloseHandle(handle); });
             }}};
}

} // namespace quil_test
