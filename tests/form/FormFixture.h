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

// What the form told its face, in order.
struct RecordingFace final : form::Face {
    void showCaption() override {}
    void showControl(ControlId id) override { shown.push_back(id); }
    std::vector<ControlId> shown;
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousDirectory_ = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(drives_.cRoot) / "daten");
        test_ = std::make_unique<testing_support::TestRuntime>(drives_.map(), drives_.facts());
        form_ = std::make_unique<Form1>(test_->runtime(), source_);
        form_->setFace(&face_);
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
    RecordingFace face_;
    std::unique_ptr<Form1> form_;
};

} // namespace form_tests
