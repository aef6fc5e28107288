// A Linux folder name may hold a backslash, which the drive-letter form reads as a separator:
// such a folder is neither listed nor opened as the other folder its translation would name.
#include "../FormFixture.h"

#include <algorithm>
#include <filesystem>

namespace form_tests {
namespace {

namespace fs = std::filesystem;

TEST_F(FormTest, AFolderNameWithABackslashNamesNoOtherFolder) {
    const fs::path cRoot(drives_.cRoot);
    fs::create_directories(cRoot / "a" / "b");
    fs::create_directories(cRoot / "a\\b");
    form_->setDir1Path("C:\\");
    EXPECT_EQ(std::ranges::count(form_->dir1().entries(), "a\\b", &FolderList::Entry::caption), 0);
    // Started in "a\b", the lists never open that other folder.
    drives_.floppyInserted = true;
    fs::current_path(cRoot / "a\\b");
    EXPECT_EQ(Form1(test_->runtime(), source_).dir1Path(), "A:\\");
}

} // namespace
} // namespace form_tests
