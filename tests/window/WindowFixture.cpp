// Drives and window for the window tests.
#include "WindowFixture.h"

#include "ChildProcess.h"

#include <filesystem>
#include <fstream>

namespace window_tests {

TestDrives::TestDrives() {
    namespace fs = std::filesystem;
    if (isChild()) {
        base = childBase();
    } else {
        base = temp.emplace().path();
    }
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
    map.setDrive('a', [this]() -> std::optional<std::string> {
        return floppyInserted ? std::optional<std::string>(aRoot) : std::nullopt;
    });
    map.setDrive('c', [this]() -> std::optional<std::string> {
        return programDriveReadable ? std::optional<std::string>(cRoot) : std::nullopt;
    });
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

void WindowTest::SetUp() {
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(drives_.cRoot) / "daten");
    createWindow();
}

void WindowTest::TearDown() {
    form_.reset();
    model_.reset();
    std::filesystem::current_path(previousDirectory_);
    if (test_) {
        EXPECT_TRUE(test_->boxes().allShown()) << test_->boxes().pending() << " expected box(es) never shown";
    }
}

void WindowTest::createWindow() {
    form_.reset();
    model_.reset();
    test_ = std::make_unique<testing_support::TestRuntime>(drives_.map(), drives_.facts());
    model_ = std::make_unique<Form1>(test_->runtime(), source_);
    form_ = std::make_unique<Form1Window>(*model_);
}

} // namespace window_tests
