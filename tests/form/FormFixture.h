// Form1 without a window, over the test drives, with scripted boxes and yields and an end that
// throws.
#pragma once

#include "support/FormOnTestDrives.h"

#include <string>
#include <vector>

namespace form_tests {

using form::ControlId;
using form::FolderList;
using form::Form1;

// The test is the form's face: it notes which controls the form told it to show anew.
class FormTest : public testing_support::FormOnTestDrives, public form::Face {
protected:
    void SetUp() override {
        FormOnTestDrives::SetUp();
        form_->setFace(this);
    }

    // A source file on C:\daten and a run into C:\ziel.
    void prepareRun(const std::string& bytes) {
        drives_.write("c/daten/quelle.bin", bytes);
        source_ = {"C:\\daten\\quelle.bin", "C:\\daten\\", "quelle.bin"};
        form_->selectOpt(1);
        form_->setDir1Path("C:\\ziel");
    }

    void showCaption() override {}
    void showControl(ControlId id) override { shown_.push_back(id); }

    std::vector<ControlId> shown_; // in order
};

} // namespace form_tests
