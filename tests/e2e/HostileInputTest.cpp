// The promise the program makes to someone who hands it their only copy of a file, checked
// against hostile and unlucky inputs on real files: the source is never changed, nothing
// outside the target is touched, and a set reported finished comes back byte for byte from
// the real QUIL.EXE, under the source's own name.
#include "QuilRun.h"
#include "app/ReassemblerPolicy.h"
#include "copier/CopyModule.h"
#include "runtime/posix/PosixFileSystem.h"
#include "support/ScriptedControls.h"
#include "support/ScriptedEvents.h"
#include "support/SimulatedDrive.h"
#include "support/TempDir.h"
#include "support/copy_driver/DialogAnswerer.h"
#include "support/copy_driver/RealFileRuntime.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <thread>

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;

const std::string kFinished = "Die Kopie ist fertig!";
const std::string kSourceInTarget = "Die zu sichernde Datei liegt im Ziel";
const std::string kSourceChanged = "Die zu kopierende Datei hat sich während des Kopierens verändert.";
const std::string kSourceSizeWrong = "Die Größe der zu kopierenden Datei stimmt nicht mit ihrem Inhalt überein.";
const std::string kTargetLeavesItsDrive = "Der Zielordner\r";

// Everything below a folder as it stands: type, bytes or link target, and mode.
using Snapshot = std::map<std::string, std::string>;

Snapshot snapshot(const fs::path& root, const std::vector<fs::path>& skipped) {
    Snapshot result;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path& path = it->path();
        if (std::find(skipped.begin(), skipped.end(), path) != skipped.end()) {
            if (fs::is_directory(fs::symlink_status(path))) {
                it.disable_recursion_pending();
            }
            continue;
        }
        const fs::file_status status = fs::symlink_status(path);
        std::string what = std::to_string(static_cast<int>(status.type())) + " " +
                           std::to_string(static_cast<int>(status.permissions())) + " ";
        if (fs::is_symlink(status)) {
            what += fs::read_symlink(path).string();
        } else if (fs::is_regular_file(status)) {
            what += readFile(path);
        }
        result[fs::relative(path, root).string()] = what;
    }
    return result;
}

// One run's world: the user's home with files that must never change, the source's folder,
// the program's folder with the real reassembler, and a folder or a floppy as the target.
struct Scene {
    testing_support::TempDir work;
    fs::path home = work.path() / "home";
    fs::path sourceFolder = work.path() / "quelle";
    fs::path program = work.path() / "prog";
    fs::path target = work.path() / "ziel";
    fs::path source;
    std::string sourceBytes;
    std::vector<fs::path> preparedDisks; // put in, in order, when the run asks for another disk
    rt::PosixFileSystem posix;
    testing_support::SimulatedDrive floppy{posix, work.path() / "disks", false};

    Scene() {
        work.write("home/.bashrc", "export PATH\n");
        work.write("home/notizen.txt", "nur lesen");
        fs::permissions(home / "notizen.txt", fs::perms::owner_read);
        fs::create_directories(target);
        work.write("prog/splitwerk", "the program itself");
        fs::copy_file(SPLITWERK_BUILD_DIR "/QUIL.SYS", program / "QUIL.SYS");
        useSource(sourceFolder / "Bericht.doc", 300000);
    }
    void useSource(const fs::path& path, std::size_t size) {
        source = path;
        sourceBytes = testing_support::randomBytes(size, 11);
        work.write(fs::relative(path, work.path()).string(), sourceBytes);
    }
};

struct HostileCase {
    const char* name = "";
    std::function<void(Scene&)> prepare = {};
    bool toFloppy = false;
    bool autorun = false;
    bool wipe = false;
    std::vector<int> firstAnswers = {};
    std::function<void(Scene&)> duringTheRun = {}; // at its second yield, once it has read the source
    bool finished = true;
    std::string shown = {}; // a box that must have appeared
    bool targetUntouched = false;
};

// A run refused before it writes anything, with the box that says why.
HostileCase refused(const char* name, std::function<void(Scene&)> prepare, const std::string& shown,
                    bool autorun = false, bool wipe = false) {
    return {name, std::move(prepare), false, autorun, wipe, {}, {}, false, shown, true};
}

// The source changes under the running copy, which must notice.
HostileCase changedDuringTheRun(const char* name, std::function<void(Scene&)> change) {
    return {.name = name, .duringTheRun = std::move(change), .finished = false, .shown = kSourceChanged};
}

void linkTo(const fs::path& link, const fs::path& to) {
    fs::create_symlink(to, link);
}

void fifo(const fs::path& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

const HostileCase kCases[] = {
    refused(
        "SourceNamedLikeTheReassemblerInItsOwnFolder", [](Scene& s) { s.useSource(s.target / "QUIL.EXE", 5000); },
        kSourceInTarget),
    refused(
        "SourceNamedLikeTheAutorunFile", [](Scene& s) { s.useSource(s.target / "autorun.inf", 5000); }, kSourceInTarget,
        true),
    refused(
        "SourceNamedLikeAPartInAnotherCase", [](Scene& s) { s.useSource(s.target / "quilme01.SYS", 5000); },
        kSourceInTarget, true, true),
    {"LinkedReassemblerName", [](Scene& s) { linkTo(s.target / "QUIL.EXE", s.home / ".bashrc"); }},
    {"DanglingLinkedAutorunName", [](Scene& s) { linkTo(s.target / "autorun.inf", s.home / "gepflanzt.txt"); }, false,
     true},
    {"LinkedPartNameToAReadOnlyFile", [](Scene& s) { linkTo(s.target / "QUILME01.sys", s.home / "notizen.txt"); }},
    {"WipeOfALinkToAReadOnlyFile", [](Scene& s) { linkTo(s.target / "x", s.home / "notizen.txt"); }, false, false,
     true},
    {"PipesNamedLikeTheSet",
     [](Scene& s) {
         fifo(s.target / "QUILME01.sys");
         fifo(s.target / "autorun.inf");
     },
     false, true},
    {"PipeAsSource", [](Scene& s) { fifo(s.source = s.sourceFolder / "rohr"); }, false, false, false, {}, {}, false},
    {"DeviceAsSource", [](Scene& s) { s.source = "/dev/null"; }, false, false, false, {}, {}, false},
    {"NameOfOtherCaseBeside",
     [](Scene& s) {
         s.work.write("quelle/BERICHT.DOC", "a different file");
         s.useSource(s.sourceFolder / "bericht.doc", 4000);
     }},
    {"NameWithWildcardBeside",
     [](Scene& s) {
         s.work.write("quelle/file1.bin", "a different file");
         s.useSource(s.sourceFolder / "file?.bin", 4000);
     }},
    {"NameOf255Bytes", [](Scene& s) { s.useSource(s.sourceFolder / (std::string(251, 'n') + ".bin"), 4000); }},
    {"DisksReusedFromAnOlderSet",
     [](Scene& s) {
         // The second disk still holds parts of an older set, one numbered like a third part of
         // this one; left there, it would take this set's room and be joined in.
         s.useSource(s.sourceFolder / "Bericht.doc", 400000);
         s.floppy.setCapacity(static_cast<int64_t>(fs::file_size(s.program / "QUIL.SYS")) + 110000);
         s.work.write("disks/alt2/QUILME03.sys", std::string(250000, 'x'));
         s.work.write("disks/alt2/quilme09.SYS", std::string(10, 'y'));
         s.preparedDisks = {s.work.path() / "disks" / "alt2"};
     },
     true},
    changedDuringTheRun("SourceGrowingDuringTheRun",
                        [](Scene& s) { std::ofstream(s.source, std::ios::app | std::ios::binary) << "mehr"; }),
    {.name = "WipeOfAFolderAnsweredNo",
     .prepare = [](Scene& s) { s.work.write("ziel/brief.txt", "behalten"); },
     .wipe = true,
     .firstAnswers = {7},
     .finished = false,
     .targetUntouched = true},
    {"WipeOfTheProgramFolder", [](Scene& s) { s.target = s.program; }, false, false, true},
    // Removing an old part or wiping never changes another name of the same file.
    {"HardLinkToAReadOnlyFileAsAnOldPart",
     [](Scene& s) { fs::create_hard_link(s.home / "notizen.txt", s.target / "QUILME03.sys"); }},
    {"WipeOfAHardLinkToAReadOnlyFile", [](Scene& s) { fs::create_hard_link(s.home / "notizen.txt", s.target / "x"); },
     false, false, true},
    changedDuringTheRun("SameSizeChangeInPlaceWithItsTimePutBack",
                        [](Scene& s) {
                            std::this_thread::sleep_for(
                                std::chrono::milliseconds(20)); // the change time ticks coarsely
                            const auto time = fs::last_write_time(s.source);
                            std::fstream(s.source, std::ios::in | std::ios::out | std::ios::binary) << "X";
                            fs::last_write_time(s.source, time);
                        }),
    refused(
        "SourceThatReadsLessThanItsSize", [](Scene& s) { s.source = "/sys/kernel/uevent_seqnum"; }, kSourceSizeWrong),
    refused(
        "SourceThatReadsMoreThanItsSize", [](Scene& s) { s.source = "/proc/version"; }, kSourceSizeWrong),
    {.name = "FolderOnAStickThatLinksIntoTheHome",
     .prepare =
         [](Scene& s) {
             s.work.write("home/ablage/brief.txt", "bleibt");
             s.target = s.floppy.insertBlank() / "Sicherung";
             linkTo(s.target, s.home / "ablage");
         },
     .wipe = true,
     .finished = false,
     .shown = kTargetLeavesItsDrive},
};

class Hostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, TheSourceStaysTheTargetAloneAndFinishedMeansRestorable) {
    const HostileCase& c = GetParam();
    Scene s;
    if (c.toFloppy) {
        s.floppy.insertBlank();
    }
    if (c.prepare) {
        c.prepare(s);
    }
    const std::vector<fs::path> targets = {s.target, s.work.path() / "disks", s.source};
    const Snapshot outsideBefore =
        snapshot(s.work.path(), c.targetUntouched ? std::vector<fs::path>{s.source} : targets);
    const std::string sourceBefore = fs::is_regular_file(s.source) ? readFile(s.source) : std::string();

    copy_driver::DialogAnswerer dialogs;
    dialogs.script(c.firstAnswers);
    std::size_t nextPrepared = 0;
    dialogs.onNextDisk([&] {
        if (nextPrepared < s.preparedDisks.size()) {
            s.floppy.insert(s.preparedDisks[nextPrepared++]);
        } else {
            s.floppy.insertBlank();
        }
        return s.floppy.disks().size() < 8;
    });
    testing_support::ScriptedEvents events;
    if (c.duringTheRun) {
        events.onYield([&](int yield) {
            if (yield == 2) {
                c.duringTheRun(s);
            }
        });
    }
    rt::ThrowingEnd end;
    copy_driver::RealFileServices services{&s.floppy, &dialogs, &events, &end};
    rt::RuntimeParts parts = copy_driver::realFileParts(services, s.program.string(), s.floppy.resolver());
    parts.facts.programFile = copy_driver::driveLetterPath(parts.drives, (s.program / "splitwerk").string());
    rt::Runtime runtime(std::move(parts));
    testing_support::ScriptedControls controls;
    if (!c.toFloppy) {
        controls.targetFolder(copy_driver::driveLetterPath(runtime.drives(), s.target.string()));
    }
    controls.autorun(c.autorun).wipe(c.wipe);
    const core::SourceSelection selection =
        copy_driver::selectSource(copy_driver::driveLetterPath(runtime.drives(), s.source.string()));

    kopierer::RunCopy(runtime, controls, selection, app::reassemblerChoice(runtime.facts()));

    const bool finished = dialogs.sawPrompt(kFinished);
    EXPECT_EQ(finished, c.finished);
    if (!c.shown.empty()) {
        EXPECT_TRUE(std::any_of(dialogs.prompts().begin(), dialogs.prompts().end(),
                                [&](const std::string& p) { return p.rfind(c.shown, 0) == 0; }));
    }
    if (!c.duringTheRun && fs::is_regular_file(s.source)) {
        EXPECT_EQ(readFile(s.source), sourceBefore) << "the source changed";
    }
    EXPECT_EQ(snapshot(s.work.path(), c.targetUntouched ? std::vector<fs::path>{s.source} : targets), outsideBefore)
        << "something outside the target changed";
    EXPECT_TRUE(fs::exists(s.program / "QUIL.SYS") && fs::exists(s.program / "splitwerk")) << "the program went";
    if (!finished) {
        return;
    }

    const std::vector<fs::path> disks = c.toFloppy ? s.floppy.disks() : std::vector<fs::path>{s.target};
    const fs::path restored = s.work.path() / "wieder";
    fs::create_directories(restored);
    const auto result = quil_test::runQuil(disks.front() / "QUIL.EXE", {restored.string()}, s.work.path(),
                                           s.work.path(), quil_test::answersForDisks({disks.begin() + 1, disks.end()}));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string name = s.source.filename().string();
    EXPECT_EQ(quil_test::entries(restored), std::vector<std::string>{name}) << result.output;
    EXPECT_TRUE(readFile(restored / name) == sourceBefore) << "restored bytes differ";
}

INSTANTIATE_TEST_SUITE_P(Cases, Hostile, ::testing::ValuesIn(kCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
