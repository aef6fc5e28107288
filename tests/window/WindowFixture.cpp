// The window over the test drives.
#include "WindowFixture.h"

#include <filesystem>

namespace window_tests {

void WindowTest::SetUp() {
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(drives_.cRoot) / "daten");
    createWindow();
}

void WindowTest::TearDown() {
    form_.reset();
    model_.reset();
    std::filesystem::current_path(previousDirectory_);
    if (test_) {
        EXPECT_TRUE(test_->boxes().allShown()) << test_->boxes().pending() << " expected box(es) never shown";
    }
}

void WindowTest::createWindow() {
    form_.reset();
    model_.reset();
    test_ = std::make_unique<testing_support::TestRuntime>(drives_.map(), drives_.facts());
    model_ = std::make_unique<Form1>(test_->runtime(), source_);
    form_ = std::make_unique<QtForm1Window>(*model_);
}

} // namespace window_tests
