// Form1 without a window, over the test drives: started in C:\daten, with scripted boxes and
// yields and an end that throws. Every box a test expects must have been shown by its end.
#pragma once

#include "form/Form1.h"
#include "support/TestDrives.h"
#include "support/TestRuntime.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace form_tests {

using form::ControlId;
using form::FolderList;
using form::Form1;

// The test is the form's face: it notes which controls the form told it to show anew.
class FormTest : public ::testing::Test, public form::Face {
protected:
    void SetUp() override {
        previousDirectory_ = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(drives_.cRoot) / "daten");
        test_ = std::make_unique<testing_support::TestRuntime>(drives_.map(), drives_.facts());
        form_ = std::make_unique<Form1>(test_->runtime(), source_);
        form_->setFace(this);
    }
    void TearDown() override {
        form_.reset();
        std::filesystem::current_path(previousDirectory_);
        EXPECT_TRUE(test_->boxes().allShown()) << test_->boxes().pending() << " expected box(es) never shown";
    }

    // A source file on C:\daten and a run into C:\ziel.
    void prepareRun(const std::string& bytes) {
        drives_.write("c/daten/quelle.bin", bytes);
        source_ = {"C:\\daten\\quelle.bin", "C:\\daten\\", "quelle.bin"};
        form_->selectOpt(1);
        form_->setDir1Path("C:\\ziel");
    }

    std::filesystem::path previousDirectory_;
    testing_support::TestDrives drives_;
    std::unique_ptr<testing_support::TestRuntime> test_;
    SourceSelection source_;
    void showCaption() override {}
    void showControl(ControlId id) override { shown_.push_back(id); }

    std::unique_ptr<Form1> form_;
    std::vector<ControlId> shown_; // in order
};

} // namespace form_tests
