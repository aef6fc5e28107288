// GetLastError codes onto the program's numbers: the same numbers as the errno values of the
// same failures, because the copy run's recovery branches on them (61 and 71 lead to dialogs).
#include "runtime/RuntimeError.h"
#include "runtime/win32/Win32Errors.h"
#include "support/Outcomes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using testing_support::errorOf;

TEST(Win32ErrorTableTest, CodesMapOntoTheProgramsNumbers) {
    // One code of each kind the copy run tells apart, and the ones that have no errno twin.
    const std::pair<DWORD, int> cases[] = {
        {ERROR_HANDLE_DISK_FULL, 61},    {1295 /* quota */, 61},
        {ERROR_FILE_TOO_LARGE, 60},      {ERROR_NO_MEDIA_IN_DRIVE, 71},
        {ERROR_INVALID_DRIVE, 71},       {ERROR_WRITE_PROTECT, 70},
        {ERROR_FILE_NOT_FOUND, 53},      {ERROR_PATH_NOT_FOUND, 76},
        {ERROR_DIRECTORY, 76},           {ERROR_CRC, 57},
        {ERROR_TOO_MANY_OPEN_FILES, 67}, {ERROR_SHARING_VIOLATION, 75},
        {ERROR_LOCK_VIOLATION, 75},
    };
    for (const auto& [code, number] : cases) {
        EXPECT_EQ(rt::win32::errorFromWin32(code), number) << "GetLastError " << code;
    }
}

TEST(Win32ErrorTableTest, AFolderRefusedAsAFileIsAnAccessErrorNotAPermissionError) {
    // Windows says "access denied" where POSIX says EISDIR; both must end as 75.
    testing_support::TempDir dir;
    const std::wstring folder = L"\\\\?\\" + dir.path().wstring();
    const std::wstring file = L"\\\\?\\" + dir.write("datei.txt", "x").wstring();
    EXPECT_EQ(errorOf([&] { rt::win32::raiseForPath(ERROR_ACCESS_DENIED, folder); }), 75);
    EXPECT_EQ(errorOf([&] { rt::win32::raiseForPath(ERROR_ACCESS_DENIED, file); }), 70);
    EXPECT_EQ(errorOf([&] { rt::win32::raiseForPath(ERROR_NOT_READY, folder); }), 71);
}

} // namespace
