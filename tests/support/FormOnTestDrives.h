// A real Form1 over a runtime of test doubles and the test drives, started in C:\daten, for the
// tests of the form and of its faces. Every box a test expects must have been shown by its end.
#pragma once

#include "TestDrives.h"
#include "TestRuntime.h"
#include "form/Form1.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace testing_support {

class FormOnTestDrives : public ::testing::Test {
protected:
    // sharedBase: the parent's folder, in a child process (TestDrives).
    explicit FormOnTestDrives(const std::string& sharedBase = {}) : drives_(sharedBase) {}

    void SetUp() override {
        previousDirectory_ = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(drives_.cRoot) / "daten");
        test_ = std::make_unique<TestRuntime>(drives_.map(), drives_.facts());
        form_ = std::make_unique<form::Form1>(test_->runtime(), source_);
    }
    void TearDown() override {
        form_.reset();
        std::filesystem::current_path(previousDirectory_);
        EXPECT_TRUE(test_->boxes().allShown()) << test_->boxes().pending() << " expected box(es) never shown";
    }

    std::filesystem::path previousDirectory_;
    TestDrives drives_;
    std::unique_ptr<TestRuntime> test_;
    core::SourceSelection source_;
    std::unique_ptr<form::Form1> form_;
};

} // namespace testing_support
