// The program's facts on Windows: every argument of the wide command line on its own, in
// UTF-8, and the program's folder and name from its module file.
#include "runtime/ProgramFacts.h"
#include "runtime/DriveMap.h"
#include "runtime/win32/Win32LongPath.h"
#include "runtime/win32/Win32ProgramFacts.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

rt::DriveMap testDrives() {
    rt::DriveMap drives;
    drives.setFixedDrive('C', "C:\\");
    drives.setFixedDrive('D', "D:\\");
    return drives;
}

TEST(Win32ProgramFactsTest, EachArgumentIsOneFileInUtf8) {
    struct Case {
        const wchar_t* commandLine;
        std::vector<rt::ProgramArgument> arguments;
    };
    const Case cases[] = {
        {L"teile.exe", {}},
        {L"\"C:\\Programme\\Teile\\teile.exe\" C:\\Daten\\a.zip", {{"C:\\Daten\\a.zip", true}}},
        {L"teile.exe \"C:\\Eigene Dateien\\Mein Brief.doc\"", {{"C:\\Eigene Dateien\\Mein Brief.doc", true}}},
        {L"teile.exe d:\\a.zip c:/Daten/b.zip", {{"D:\\a.zip", true}, {"C:\\Daten\\b.zip", true}}},
        {L"teile.exe unter/datei.txt \"\"", {{"unter\\datei.txt", true}, {"", true}}},
        {L"teile.exe C:\\Gr\u00FC\u00DFe\\\u0141\u00F3d\u017A.zip",
         {{"C:\\Gr\xC3\xBC\xC3\x9F"
           "e\\\xC5\x81\xC3\xB3"
           "d\xC5\xBA.zip",
           true}}},
        {L"teile.exe \\\\server\\share\\a.zip", {{"\\\\server\\share\\a.zip", true}}},
    };
    const rt::DriveMap drives = testDrives();
    for (const Case& c : cases) {
        const rt::ProgramFacts facts = rt::win32::factsFromCommandLine(c.commandLine, L"C:\\teile.exe", drives);
        EXPECT_EQ(facts.arguments, c.arguments) << rt::win32::narrow(c.commandLine);
    }
}

TEST(Win32ProgramFactsTest, FolderAndNameComeFromTheModuleFile) {
    struct Case {
        const wchar_t* moduleFile;
        const char* folder;
        const char* name;
        const char* file;
    };
    const Case cases[] = {
        {L"C:\\Programme\\Teile\\teile.exe", "C:\\Programme\\Teile", "teile", "C:\\Programme\\Teile\\teile.exe"},
        {L"C:\\teile.exe", "C:\\", "teile", "C:\\teile.exe"},
        {L"\\\\?\\D:\\sehr\\tief\\Splitwerk.EXE", "D:\\sehr\\tief", "Splitwerk", "D:\\sehr\\tief\\Splitwerk.EXE"},
    };
    const rt::DriveMap drives = testDrives();
    for (const Case& c : cases) {
        const rt::ProgramFacts facts = rt::win32::factsFromCommandLine(L"x.exe", c.moduleFile, drives);
        EXPECT_EQ(facts.programFolder, c.folder);
        EXPECT_EQ(facts.programName, c.name);
        EXPECT_EQ(facts.programFile, c.file);
    }
}

TEST(Win32ProgramFactsTest, TheRunningProgramIsFound) {
    const rt::DriveMap drives = rt::DriveMap::hostDefault();
    const rt::ProgramFacts facts = rt::ProgramFacts::fromProcess(0, nullptr, drives);
    EXPECT_TRUE(facts.windowsProgram);
    EXPECT_EQ(facts.programName, "runtime_tests");
    EXPECT_EQ(facts.programFile, facts.programFolder + "\\runtime_tests.exe");
    const DWORD attributes = ::GetFileAttributesW(rt::win32::widen(facts.programFileNative).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << facts.programFileNative;
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

} // namespace
