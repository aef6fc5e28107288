// The scene most copy-run tests play in: drive C: on a temporary folder holding the source
// (C:\DATEN) and the program folder with a stand-in QUIL.SYS (C:\PROG), drive A: on a
// simulated drive, scripted dialogs and controls, and a program end that throws.
#pragma once

#include "copier/CopyModule.h"
#include "core/ReassemblerChoice.h"
#include "core/SourceSelection.h"
#include "runtime/HostPlatform.h"
#include "runtime/Runtime.h"
#include "support/ScriptedControls.h"
#include "support/ScriptedEvents.h"
#include "support/ScriptedMessageBox.h"
#include "support/SimulatedDrive.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace copier_tests {

// The texts the run shows, spelled out here on their own so that a change of wording in the
// program is caught.
namespace text {
inline const std::string kFinished = "Die Kopie ist fertig!";
inline const std::string kConfirmAbort = "Wollen Sie den Vorgang wirklich abbrechen?";
inline const std::string kDiskFull = "Der Datenträger ist voll! Bitte die nächste Diskette\r"
                                     "einlegen und auf OK klicken.";
inline const std::string kSourceError = "Auf die zu kopierende Datei kann nicht zugegriffen werden.\r"
                                        "Bitte überprüfen und OK drücken.";
inline const std::string kWipeError = "Das Zielverzeichnis kann nicht gelöscht werden.\r"
                                      "Bitte überprüfen und OK drücken.";
inline const std::string kTargetError = "Auf den Zieldatenträger kann nicht geschrieben werden.\r"
                                        "Bitte überprüfen und OK drücken.";
inline const std::string kNotReady = "Auf den Zieldatenträger kann nicht geschrieben werden.\r"
                                     "Bitte prüfen und auf OK klicken.";
inline const std::string kOwnParts = "Auf diesem Datenträger liegen bereits Teile dieser Sicherung.\r"
                                     "Bitte legen Sie die nächste Diskette ein und klicken Sie auf OK.";
inline const std::string kPartSizeTooSmall = "Die maximale Größe der Teilarchive muss mindestens 1 Byte betragen.\r"
                                             "Es wurde nichts geschrieben. Bitte senden Sie die Datei erneut an "
                                             "Splitwerk 99 und geben Sie eine gültige Größe ein.";
inline const std::string kPartSizeTooLarge = "Die maximale Größe der Teilarchive ist zu groß.\r"
                                             "Es wurde nichts geschrieben. Bitte senden Sie die Datei erneut an "
                                             "Splitwerk 99 und geben Sie eine gültige Größe ein.";
inline const std::string kTooManyParts = "Mit dieser Teilgröße entstünden mehr als 100 Teilarchive.\r"
                                         "Es wurde nichts geschrieben. Bitte senden Sie die Datei erneut an "
                                         "Splitwerk 99 und wählen Sie eine größere Teilgröße.\r"
                                         "Für diese Datei wählen Sie mindestens 2 Kbyte je Teil.";
inline const std::string kSourceChanged =
    "Die zu kopierende Datei hat sich während des Kopierens verändert.\r"
    "Die Sicherung ist unvollständig und lässt sich so nicht wiederherstellen.\r"
    "Bitte wiederholen Sie den Vorgang, wenn die Datei nicht mehr verändert wird.";
inline const std::string kSourceInTarget =
    "Die zu sichernde Datei liegt im Ziel und trägt den Namen einer Datei der Sicherung\r"
    "(QUIL.EXE, autorun.inf oder QUILMEnn.sys); sie würde dabei überschrieben oder gelöscht.\r"
    "Bitte wählen Sie ein anderes Ziel oder benennen Sie die Datei um.";
inline const std::string kFolderFull = "Auf dem Zieldatenträger ist kein Platz mehr frei.\r"
                                       "Bitte schaffen Sie Platz und klicken Sie auf OK.";
// The question when one file would go.
inline std::string wipeQuestion(const std::string& folder) {
    return "Vor dem Kopieren werden im Ordner\r" + folder +
           "\r1 Datei gelöscht.\rWollen Sie diese Datei wirklich löschen?";
}
} // namespace text

// Public, so that table-driven cases can set the scene through it.
class CopyScene {
public:
    // dialogs: answers the run's boxes; the scene's scripted boxes unless given.
    // forWindowsPc: the program was started to make a set for a Windows PC.
    explicit CopyScene(rt::MessageBoxService* dialogs = nullptr, bool forWindowsPc = false);
    CopyScene(const CopyScene&) = delete;
    CopyScene& operator=(const CopyScene&) = delete;

    // Writes C:\DATEN\<name> with random bytes and selects it as the source.
    std::string makeSource(std::size_t size, unsigned seed = 1, const std::string& name = "Bericht.doc");
    std::filesystem::path sourceFile() const;
    // What the program's policy chooses for this scene's start.
    core::ReassemblerChoice reassemblerChoice() const;
    void run();
    // Runs it expecting the completion box last, after the boxes already expected.
    void runToCompletion() {
        boxes_.expect(text::kFinished, rt::kInfoOk, rt::kResultOk);
        run();
    }

    testing_support::ScriptedMessageBox& boxes() { return boxes_; }
    testing_support::ScriptedEvents& events() { return events_; }
    rt::Runtime& runtime() { return *runtime_; }

    std::filesystem::path disk(std::size_t index) const { return drive_.disks().at(index); }
    std::string onDisk(std::size_t index, const std::string& name) const;
    bool existsOnDisk(std::size_t index, const std::string& name) const;
    // Names of the files (not folders) on a disk, sorted.
    std::vector<std::string> filesOn(std::size_t index) const;
    // The parts of the run joined in the order of their numbers, across the disks in order;
    // fails the test when a disk holds a part file that does not fit into that sequence.
    std::string joinedParts() const;

    // What the user does at the disk-full dialog in most tests: a new blank disk with no limit.
    std::function<void()> swapToBlankDisk() {
        return [this] {
            drive_.setCapacity(std::nullopt);
            drive_.insertBlank();
        };
    }

    std::string reassemblerBytes() const { return reassembler_; }
    // QUIL.EXE with its trailer, marked for recovery data when the scene's run writes it.
    // With recovery data, tie is the set's (made anew by every run: only its length is known
    // before the run).
    std::string expectedQuilExe(const std::string& sourceBytes, const std::string& tie = "tie of sixteen..") const;

    testing_support::TempDir temp_;
    std::unique_ptr<rt::FileSystem> host_ = rt::makeHostFileSystem();
    testing_support::SimulatedDrive drive_;
    testing_support::ScriptedControls controls_;
    core::SourceSelection source_;
    std::filesystem::path cRoot_;

private:
    std::string reassembler_ = "QUIL.SYS stand-in for the copy-run tests\r\n";
    std::string windowsReassembler_ = "MZ Windows QUIL.SYS stand-in\r\n";
    testing_support::ScriptedMessageBox boxes_;
    testing_support::ScriptedEvents events_;
    rt::ThrowingEnd end_;
    std::unique_ptr<rt::Runtime> runtime_;
};

// Every box a test expects must have been shown by its end.
class CopyRunFixture : public ::testing::Test, public CopyScene {
protected:
    void TearDown() override {
        EXPECT_TRUE(boxes().allShown()) << boxes().pending() << " expected box(es) never shown";
    }
};

std::string partName(int number);

} // namespace copier_tests
