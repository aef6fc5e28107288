// A real Form1 over a runtime of test doubles: drive C: is a temporary folder holding the
// program's folder, a source file and a target folder; drive A: is a floppy drive without a
// disk unless a test inserts one.
#pragma once

#include "form/Form1.h"
#include "support/TempDir.h"
#include "support/TestRuntime.h"
#include "window/qt/Form1Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <QString>

#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace window_tests {

// The folders behind the drives, and the drive map over them.
struct TestDrives {
    // A child process ends without unwinding, so only the parent owns (and removes) a folder.
    std::optional<testing_support::TempDir> temp;
    std::filesystem::path base;  // temp, or the parent's folder in a child process
    std::string cRoot;           // host folder of C:
    std::string aRoot;           // host folder a floppy would be mounted on
    bool floppyInserted = false; // A: is ready only while this is set
    bool programDriveReadable = true;

    TestDrives();
    // Creates (or replaces) a file below base.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const;
    rt::DriveMap map();
    rt::ProgramFacts facts(const std::string& commandLine = {}) const;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the window (in its design state) on the drives as they are now, started in C:\daten.
    void createWindow();

    template <class T> T* control(const char* name) const {
        T* found = form_->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::filesystem::path previousDirectory_;
    TestDrives drives_;
    std::unique_ptr<testing_support::TestRuntime> test_;
    SourceSelection source_;
    std::unique_ptr<Form1> model_;
    std::unique_ptr<Form1Window> form_;
};

} // namespace window_tests
