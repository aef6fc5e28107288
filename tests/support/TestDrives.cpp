// The folders behind the test drives.
#include "TestDrives.h"

#include <fstream>

namespace testing_support {

TestDrives::TestDrives(const std::string& sharedBase) {
    namespace fs = std::filesystem;
    base = sharedBase.empty() ? temp.emplace().path() : fs::path(sharedBase);
    cRoot = (base / "c").string();
    aRoot = (base / "a").string();
    fs::create_directories(fs::path(cRoot) / "prog");
    fs::create_directories(fs::path(cRoot) / "daten");
    fs::create_directories(fs::path(cRoot) / "ziel" / "unten");
    fs::create_directories(aRoot);
    write("c/prog/QUIL.SYS", "REASSEMBLER");
}

std::filesystem::path TestDrives::write(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path file = base / relative;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    return file;
}

rt::DriveMap TestDrives::map() {
    rt::DriveMap map;
    map.setDrive('a', [this] { return floppyInserted ? std::optional<std::string>(aRoot) : std::nullopt; });
    map.setDrive('c', [this] { return programDriveReadable ? std::optional<std::string>(cRoot) : std::nullopt; });
    return map;
}

rt::ProgramFacts TestDrives::facts(const std::string& commandLine) const {
    rt::ProgramFacts facts;
    if (!commandLine.empty()) {
        facts.arguments.push_back({commandLine});
    }
    facts.programFolder = "C:\\prog";
    facts.programName = "splitwerk";
    facts.programFileNative = cRoot + "/prog/splitwerk";
    return facts;
}

} // namespace testing_support
