// Splitwerk99-Setup.exe as a user meets it, under Wine: a silent install, the installed program
// on a file into a folder, a silent uninstall that takes what the installer and the program made.
#include "WindowDriver.h"

#include "copier/CopyMessages.h"
#include "core/ProductFacts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

namespace win32_window_tests {
namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;

constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Splitwerk99";

fs::path shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

DWORD run(std::wstring line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD code = 9999;
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ::WaitForSingleObject(process.hProcess, 120000);
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    return code;
}

// A value of the uninstall key as text (a number in decimal); nothing when it is not there.
std::optional<std::wstring> uninstallValue(const wchar_t* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t data[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof data - sizeof(wchar_t);
    const bool found = ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == 0;
    ::RegCloseKey(key);
    DWORD number = 0;
    std::memcpy(&number, data, sizeof number);
    if (!found) {
        return std::nullopt;
    }
    return type == REG_DWORD ? std::to_wstring(number) : std::wstring(data);
}

// Where a shell link leads and its start folder.
std::pair<fs::path, fs::path> linkTarget(const fs::path& link) {
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    IShellLinkW* shellLink = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&shellLink)))) {
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
            shellLink->GetPath(target, MAX_PATH, nullptr, 0);
            shellLink->GetWorkingDirectory(folder, MAX_PATH);
            file->Release();
        }
        shellLink->Release();
    }
    return {target, folder};
}

class Win32SetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(SPLITWERK_SETUP)) {
            GTEST_SKIP() << "no Splitwerk99-Setup.exe: makensis was not found (scripts/install-deps.sh installs nsis)";
        }
        ::CoInitialize(nullptr);
        ASSERT_EQ(run(L"\"" + fs::path(SPLITWERK_SETUP).wstring() + L"\" /S"), 0u);
    }
    void TearDown() override { ::CoUninitialize(); }

    const fs::path folder_ = shellFolder(CSIDL_PROGRAM_FILES) / "Splitwerk 99";
    const fs::path program_ = folder_ / "SPLITWERK.exe";
    const std::wstring uninstaller_ = L"\"" + (folder_ / "Uninstall.exe").wstring() + L"\"";
    const fs::path menuLink_ = shellFolder(CSIDL_COMMON_PROGRAMS) / "Splitwerk 99" / "Splitwerk 99.lnk";
    const fs::path sendToLink_ = shellFolder(CSIDL_SENDTO) / "Splitwerk 99.lnk";
};

TEST_F(Win32SetupTest, InstallsTheProgramItsLinksAndItsUninstallerThatLeavesNothing) {
    for (const char* name : {"SPLITWERK.exe", "QUIL.SYS"}) {
        EXPECT_EQ(readFile(folder_ / name), readFile(fs::path(SPLITWERK_SHIPPED) / name)) << name;
    }
    for (const fs::path& link : {menuLink_, sendToLink_}) {
        EXPECT_EQ(linkTarget(link), std::make_pair(program_, folder_)) << link;
    }
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"DisplayName", L"Splitwerk 99"},
        {L"DisplayVersion", fs::path(product::kVersionText).wstring()},
        {L"Publisher", L"Splitwerk-Team"},
        {L"DisplayIcon", L"\"" + program_.wstring() + L"\",0"},
        {L"UninstallString", uninstaller_},
        {L"QuietUninstallString", uninstaller_ + L" /S"},
        {L"NoModify", L"1"},
        {L"NoRepair", L"1"},
    };
    for (const auto& [name, value] : values) {
        EXPECT_EQ(uninstallValue(name), value) << fs::path(name);
    }
    // In KB, each file counted by itself.
    const auto bytes =
        fs::file_size(program_) + fs::file_size(folder_ / "QUIL.SYS") + fs::file_size(folder_ / "Uninstall.exe");
    EXPECT_NEAR(std::stod(uninstallValue(L"EstimatedSize").value_or(L"0")), static_cast<double>(bytes) / 1024.0, 3.0);

    // The installed program on a file into a folder: the set starts with the QUIL.SYS beside it.
    const TempDir source;
    const TempDir target;
    const fs::path file = source.writeRandom("Bericht.doc", 300000, 3);
    {
        WindowDriver copy({file.string()}, target.str(), program_.string());
        ASSERT_NE(copy.window(), nullptr);
        copy.click("Opt(1)");
        copy.click("Command1(0)");
        const std::optional<Box> finished = copy.awaitBox();
        ASSERT_TRUE(finished);
        EXPECT_EQ(finished->text, copy_messages::kCopyFinished);
        copy.answer(*finished, IDOK);
        EXPECT_EQ(readFile(target.path() / "QUILME01.sys"), readFile(file));
        EXPECT_EQ(readFile(target.path() / "QUIL.EXE").rfind(readFile(folder_ / "QUIL.SYS"), 0), 0u);
    }
    // Started from the Start menu without a file, it makes its own Send To link anew.
    ::DeleteFileW(sendToLink_.c_str());
    {
        WindowDriver bare({}, target.str(), program_.string());
        const std::optional<Box> usage = bare.awaitBox();
        ASSERT_TRUE(usage);
        bare.answer(*usage, IDOK);
    }
    EXPECT_TRUE(fs::exists(sendToLink_));

    // As the program list runs it: the uninstaller copies itself away, returns at once and
    // works on from there.
    ASSERT_EQ(run(*uninstallValue(L"QuietUninstallString")), 0u);
    for (int i = 0; i < 300 && (fs::exists(folder_) || uninstallValue(L"DisplayName")); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (const fs::path& gone : {folder_, menuLink_.parent_path(), sendToLink_}) {
        EXPECT_FALSE(fs::exists(gone)) << gone;
    }
    EXPECT_FALSE(uninstallValue(L"DisplayName"));
}

// With _?= the uninstaller works from where it is and returns when done.
TEST_F(Win32SetupTest, UninstallKeepsWhatTheUserPutIntoTheProgramFolder) {
    std::ofstream(folder_ / "Notizen.txt") << "meine Notizen";
    EXPECT_EQ(run(uninstaller_ + L" /S _?=" + folder_.wstring()), 0u);
    EXPECT_EQ(readFile(folder_ / "Notizen.txt"), "meine Notizen");
    EXPECT_FALSE(fs::exists(program_));
    EXPECT_FALSE(fs::exists(folder_ / "QUIL.SYS"));
    EXPECT_FALSE(uninstallValue(L"DisplayName"));
    fs::remove_all(folder_);
}

} // namespace
} // namespace win32_window_tests
