#include "CopyRunFixture.h"

#include "app/ReassemblerPolicy.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace copier_tests {

namespace fs = std::filesystem;
using testing_support::readFile;

std::string partName(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "QUILME%02d.sys", number % 100);
    return name;
}

CopyScene::CopyScene(rt::MessageBoxService* dialogs, bool forWindowsPc)
    : drive_(*host_, temp_.path() / "drive"), cRoot_(temp_.path() / "c") {
    temp_.write("c/PROG/QUIL.SYS", reassembler_);
    temp_.write("c/PROG/windows/QUIL.SYS", windowsReassembler_);
    if (forWindowsPc) {
        reassembler_ = windowsReassembler_;
    }
    fs::create_directories(cRoot_ / "DATEN");
    rt::RuntimeParts parts;
    parts.drives.setDrive('A', drive_.resolver());
    parts.drives.setFixedDrive('C', cRoot_.string());
    parts.facts.programFolder = "C:\\PROG";
    parts.facts.programName = "splitwerk";
    if (forWindowsPc) {
        parts.facts.arguments = {rt::ProgramArgument{app::kForWindowsOption}};
    }
    parts.fileSystem = &drive_;
    parts.messageBox = dialogs != nullptr ? dialogs : &boxes_;
    parts.events = &events_;
    parts.programEnd = &end_;
    runtime_ = std::make_unique<rt::Runtime>(std::move(parts));
}

std::string CopyScene::makeSource(std::size_t size, unsigned seed, const std::string& name) {
    const std::string bytes = testing_support::randomBytes(size, seed);
    temp_.write("c/DATEN/" + name, bytes);
    source_.SourcePath = "C:\\DATEN\\" + name;
    source_.SourceFolder = "C:\\DATEN\\";
    source_.SourceName = name;
    return bytes;
}

fs::path CopyScene::sourceFile() const {
    return cRoot_ / "DATEN" / testing_support::utf8Path(source_.SourceName);
}

core::ReassemblerChoice CopyScene::reassemblerChoice() const {
    return app::reassemblerChoice(runtime_->facts());
}

void CopyScene::run() {
    kopierer::RunCopy(runtime(), controls_, source_, reassemblerChoice());
}

std::string CopyScene::onDisk(std::size_t index, const std::string& name) const {
    return readFile(disk(index) / name);
}

bool CopyScene::existsOnDisk(std::size_t index, const std::string& name) const {
    return fs::exists(disk(index) / name);
}

std::vector<std::string> CopyScene::filesOn(std::size_t index) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(disk(index))) {
        if (entry.is_regular_file()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string CopyScene::joinedParts() const {
    std::string joined;
    int next = 1;
    std::set<fs::path> seen;
    for (std::size_t index = 0; index < drive_.disks().size(); ++index) {
        // A disk put back into the drive holds what it held the first time.
        if (!seen.insert(disk(index)).second) {
            continue;
        }
        std::set<std::string> taken;
        // A disk holds a run of consecutive part numbers, fewer than 100 of them.
        while (existsOnDisk(index, partName(next)) && taken.insert(partName(next)).second) {
            joined += onDisk(index, partName(next));
            ++next;
        }
        for (const std::string& name : filesOn(index)) {
            if (name.rfind("QUILME", 0) == 0) {
                EXPECT_TRUE(taken.count(name) != 0) << name << " on disk " << index + 1 << " is out of sequence";
            }
        }
    }
    return joined;
}

std::string CopyScene::expectedQuilExe(const std::string& sourceBytes, const std::string& tie) const {
    const bool beyondAscii = std::any_of(source_.SourcePath.begin(), source_.SourcePath.end(),
                                         [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    const std::string marker = controls_.recoveryData ? "Splitwerk 99 mit Ersatzdiskette " + tie + "\r\n" : "";
    return reassembler_ + marker + std::to_string(sourceBytes.size()) + "\r\n" + (beyondAscii ? "\xEF\xBB\xBF" : "") +
           source_.SourceFolder + "\r\n" + source_.SourceName + "\r\n" + source_.SourceName + "\r\n";
}

} // namespace copier_tests
