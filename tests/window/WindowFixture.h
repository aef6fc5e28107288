// A real Form1 and its Qt face over a runtime of test doubles and the test drives.
#pragma once

#include "ChildProcess.h"
#include "support/FormOnTestDrives.h"
#include "window/qt/QtForm1Window.h"

#include <memory>
#include <ostream>

#include <QString>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace window_tests {

using form::Form1;
using qtface::QtForm1Window;
using testing_support::TestDrives;

class WindowTest : public testing_support::FormOnTestDrives {
protected:
    WindowTest() : FormOnTestDrives(childBase()) {}
    // The window in its design state, started in C:\daten.
    void SetUp() override {
        FormOnTestDrives::SetUp();
        window_ = std::make_unique<QtForm1Window>(*form_);
    }
    void TearDown() override {
        window_.reset();
        FormOnTestDrives::TearDown();
    }

    template <class T> T* control(const char* name) const {
        T* found = window_->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::unique_ptr<QtForm1Window> window_;
};

} // namespace window_tests
