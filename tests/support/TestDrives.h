// Drives for tests of the form and its faces: C: is a temporary folder holding the program's
// folder (with its QUIL.SYS), a source folder and a target folder; A: is a floppy drive whose
// disk the test inserts and takes out, and C: can be made unreadable.
#pragma once

#include "TempDir.h"
#include "runtime/DriveMap.h"
#include "runtime/ProgramFacts.h"

#include <filesystem>
#include <optional>
#include <string>

namespace testing_support {

struct TestDrives {
    // A child process ends without unwinding, so only the parent owns (and removes) a folder:
    // a child passes the parent's folder as sharedBase.
    explicit TestDrives(const std::string& sharedBase = {});

    std::optional<TempDir> temp;
    std::filesystem::path base;  // temp, or the parent's folder in a child process
    std::string cRoot;           // host folder of C:, with prog, daten and ziel\unten in it
    std::string aRoot;           // host folder a floppy would be mounted on
    bool floppyInserted = false; // A: is ready only while this is set
    bool programDriveReadable = true;

    // Creates (or replaces) a file below base.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const;
    // The map reads the flags at every access, so a test changes them while the program runs.
    rt::DriveMap map();
    // Started from C:\prog, with the command line given.
    rt::ProgramFacts facts(const std::string& commandLine = {}) const;
};

} // namespace testing_support
