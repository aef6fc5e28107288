// A real Form1 and its Qt face over a runtime of test doubles and the test drives.
#pragma once

#include "ChildProcess.h"
#include "form/Form1.h"
#include "support/TempDir.h"
#include "support/TestDrives.h"
#include "support/TestRuntime.h"
#include "window/qt/QtForm1Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <QString>

#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace window_tests {

using form::Form1;
using qtface::QtForm1Window;
using testing_support::TestDrives;

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
    TestDrives drives_{childBase()};
    std::unique_ptr<testing_support::TestRuntime> test_;
    SourceSelection source_;
    std::unique_ptr<Form1> model_;
    std::unique_ptr<QtForm1Window> form_;
};

} // namespace window_tests
