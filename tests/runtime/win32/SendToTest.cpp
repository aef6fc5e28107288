// "Senden an" on Windows: the shortcut lands in the user's SendTo folder, points at the program
// (completed with ".exe" as the shell completes commands) and is replaced, never duplicated.
#include "runtime/DriveMap.h"
#include "runtime/win32/Win32LongPath.h"
#include "runtime/win32/Win32SendTo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>

namespace {

using rt::win32::narrow;
using rt::win32::widen;

std::string shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? narrow(path) : "";
}

struct LoadedLink {
    std::string target;
    std::string arguments;
};

// Reads a saved link back the way the shell does.
LoadedLink loadLink(const std::string& file) {
    LoadedLink loaded;
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(widen(file).c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH * 2] = {};
        if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, 0))) {
            loaded.target = narrow(text);
        }
        if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2))) {
            loaded.arguments = narrow(text);
        }
    }
    if (persist != nullptr) {
        persist->Release();
    }
    if (link != nullptr) {
        link->Release();
    }
    if (SUCCEEDED(init)) {
        ::CoUninitialize();
    }
    return loaded;
}

bool sameFile(const std::string& a, const std::string& b) {
    return ::lstrcmpiW(widen(a).c_str(), widen(b).c_str()) == 0;
}

TEST(Win32SendToTest, TheLinkLandsInSendToAndPointsAtTheProgram) {
    testing_support::TempDir program;
    program.write("teile.exe", "MZ");
    rt::DriveMap drives;
    drives.setFixedDrive('P', program.str());
    rt::Win32SendTo sendTo(drives);

    // A name of its own, so that a user's entry is never touched.
    const std::string name = "Splitwerk 99 Test " + std::to_string(::GetCurrentProcessId());
    const std::string link = sendTo.linkPath("..\\..\\sendto", name);
    const std::string sendToFolder = shellFolder(CSIDL_SENDTO);
    ASSERT_FALSE(sendToFolder.empty());
    EXPECT_TRUE(sameFile(link, sendToFolder + "\\" + name + ".lnk")) << link;

    ASSERT_NE(sendTo.create("..\\..\\sendto", name, "P:\\teile", ""), 0);
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::u8path(link)));
    LoadedLink loaded = loadLink(link);
    EXPECT_TRUE(sameFile(loaded.target, (program.path() / "teile.exe").string())) << loaded.target;
    EXPECT_EQ(loaded.arguments, "");

    // A second run replaces the entry.
    ASSERT_NE(sendTo.create("..\\..\\sendto", name, "P:\\teile", "--leise"), 0);
    loaded = loadLink(link);
    EXPECT_EQ(loaded.arguments, "--leise");
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(sendToFolder))) {
        entries += entry.path().filename().string().rfind(name, 0) == 0 ? 1U : 0U;
    }
    EXPECT_EQ(entries, 1u);
    std::filesystem::remove(std::filesystem::u8path(link));
}

TEST(Win32SendToTest, FoldersAreRelativeToTheProgramsFolderAndNamesArePlain) {
    testing_support::TempDir start;
    std::filesystem::create_directories(start.path() / "Microsoft" / "Windows" / "Start Menu" / "Programs");
    const std::string programs = (start.path() / "Microsoft" / "Windows" / "Start Menu" / "Programs").string();
    start.write("prog\\teile.exe", "MZ");
    rt::DriveMap drives;
    drives.setFixedDrive('P', (start.path() / "prog").string());
    rt::Win32SendTo sendTo(drives, programs);

    const std::string expected = (start.path() / "Microsoft" / "Windows" / "sendto" / "Splitwerk 99.lnk").string();
    EXPECT_EQ(sendTo.linkPath("..\\..\\sendto", "Splitwerk 99"), expected);
    EXPECT_EQ(sendTo.linkPath("../../sendto", "Splitwerk 99"), expected);
    ASSERT_NE(sendTo.create("..\\..\\sendto", "Splitwerk 99", "P:\\teile.exe", ""), 0) << "the folder is made";
    EXPECT_TRUE(sameFile(loadLink(expected).target, (start.path() / "prog" / "teile.exe").string()));

    for (const char* name : {"", ".", "..", "a\\b", "a/b", "C:x", "wer?"}) {
        EXPECT_EQ(sendTo.create("..\\..\\sendto", name, "P:\\teile", ""), 0) << name;
    }
    drives.setDrive('Q', [] { return std::optional<std::string>(); });
    EXPECT_EQ(sendTo.create("..\\..\\sendto", "Splitwerk 99", "Q:\\teile", ""), 0) << "a drive without a disk";
}

} // namespace
