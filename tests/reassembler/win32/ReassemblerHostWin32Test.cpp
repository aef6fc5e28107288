// The Windows host's own pieces: long paths, the copy's command line, trailer text, the
// console on pipes, folders and media, and the flag that lets the first disk go.
#include "reassembler/OutputFile.h"
#include "reassembler/PartNames.h"
#include "reassembler/ReassemblerHost.h"
#include "reassembler/win32/CommandLine.h"
#include "reassembler/win32/ReassemblerText.h"
#include "reassembler/win32/Win32Console.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

namespace {

using quil::win32::longPath;
using quil::win32::widen;

TEST(ReassemblerHostWin32, NamesWindowsCannotHoldAreFoundBeforeTheJoin) {
    const std::pair<std::string, bool> cases[] = {
        {"Bericht 2026.doc", true},
        {"aux-datei.c", true},
        {"COM10", true},
        {"Grüße.txt", true},
        {std::string(255, 'x'), true},
        {"AUX.txt", false},
        {"com1", false},
        {"Nul .tar.gz", false},
        {"CONOUT$", false},
        {"a*b", false},
        {"f.txt:strom", false},
        {"name. . .", true}, // kept exactly in the long form, never cut to "name"
        {"ende ", true},
        {"a\\b", false},
        {std::string(256, 'x'), false},
    };
    for (const auto& [name, fits] : cases) {
        EXPECT_EQ(!quil::host::nameProblem(name).has_value(), fits) << name;
    }
}

TEST(ReassemblerHostWin32, QuotedWordsComeBackExactly) {
    const std::vector<std::wstring> words = {
        L"C:\\Temp\\QUIL.EXE", L"--quil-kopie-von",  L"C:\\",      L"C:\\Meine Daten\\",      L"", L"a\"b", L"a\\\"b",
        L"ends with \\",       L"\\\\server\\share", L"tab\there", L"Gr\u00fc\u00dfe \u00e4",
    };
    const std::wstring line = quil::win32::commandLineOf(words);
    int count = 0;
    LPWSTR* parsed = ::CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(parsed, nullptr);
    ASSERT_EQ(static_cast<std::size_t>(count), words.size()) << quil::win32::narrow(line);
    for (std::size_t index = 0; index < words.size(); ++index) {
        EXPECT_EQ(parsed[index], words[index]) << quil::win32::narrow(line);
    }
    ::LocalFree(parsed);
}

TEST(ReassemblerHostWin32, TrailerNamesInUtf8OrTheAnsiCodePage) {
    EXPECT_EQ(quil::host::fromTrailerText("Gro\xc3\x9f.txt", true), "Groß.txt");
    EXPECT_EQ(quil::host::fromTrailerText("plain.txt", false), "plain.txt");
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "the ANSI code page here is " << ::GetACP();
    }
    EXPECT_EQ(quil::host::fromTrailerText("Gro\xdf \xe4.txt", false), "Groß ä.txt");
    EXPECT_EQ(quil::host::fromTrailerText("Kunden \xc4\x96Z.xls", false), "Kunden Ä–Z.xls");
}

TEST(ReassemblerHostWin32, ThePipeConsoleReadsUtf8LinesAndWritesWindowsLineEnds) {
    HANDLE inRead = nullptr;
    HANDLE inWrite = nullptr;
    HANDLE outRead = nullptr;
    HANDLE outWrite = nullptr;
    ASSERT_TRUE(::CreatePipe(&inRead, &inWrite, nullptr, 0) && ::CreatePipe(&outRead, &outWrite, nullptr, 1 << 16));
    const std::string typed = "ja\r\nGrüße\nohne Ende";
    DWORD written = 0;
    ::WriteFile(inWrite, typed.data(), static_cast<DWORD>(typed.size()), &written, nullptr);
    ::CloseHandle(inWrite);

    quil::win32::Win32Console console(inRead, outWrite, outWrite);
    quil::Terminal terminal(console);
    EXPECT_TRUE(terminal.askYesNo("Überschreiben? (j/n)"));
    EXPECT_EQ(terminal.readLine(), "Grüße");
    EXPECT_EQ(terminal.readLine(), "ohne Ende");
    EXPECT_EQ(terminal.readLine(), std::nullopt);
    terminal.say("Fertig.");
    ::CloseHandle(outWrite);
    ::CloseHandle(inRead);

    std::string shown;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(outRead, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        shown.append(buffer, got);
    }
    ::CloseHandle(outRead);
    EXPECT_EQ(shown, "Überschreiben? (j/n) \r\n\r\n\r\n\r\nFertig.\r\n");
}

TEST(ReassemblerHostWin32, TheProgramLoadsWhollyWhenStartedFromRemovableMedia) {
    const std::string program = testing_support::readFile(QUIL_PROGRAM);
    ASSERT_GT(program.size(), 0x40u);
    const auto byteAt = [&](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(program[at])); };
    const std::size_t header = byteAt(0x3c) | byteAt(0x3d) << 8 | byteAt(0x3e) << 16 | byteAt(0x3f) << 24;
    ASSERT_EQ(program.substr(header, 4), std::string("PE\0\0", 4));
    const unsigned characteristics = byteAt(header + 22) | byteAt(header + 23) << 8;
    EXPECT_NE(characteristics & IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP, 0u) << std::hex << characteristics;
}

TEST(ReassemblerHostWin32, FoldersResolveFromTheWorkingFolder) {
    testing_support::TempDir dir;
    std::filesystem::create_directories(dir.path() / "a" / "b");
    dir.write("datei", "x");
    const std::string root = dir.str();
    const std::string a = root + "\\a";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"a", a},
        {"a\\b\\..\\", a},
        {".\\a/b", a + "\\b"},
        {a + "\\", a},
        {root.substr(2) + "\\a", a}, // "\..." is the root of the working folder's drive
        {"fehlt", std::nullopt},
        {"datei", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [folder, expected] : cases) {
        EXPECT_EQ(quil::host::resolveFolder(folder, root), expected) << folder;
    }
    // The set's folder is proposed from its text: a share is not contacted before the user agrees.
    EXPECT_EQ(quil::host::proposedFolder(a + "\\"), a);
    EXPECT_EQ(quil::host::proposedFolder("\\\\wirt\\freigabe\\ordner\\"), "\\\\wirt\\freigabe\\ordner\\");
    EXPECT_EQ(quil::host::proposedFolder("a\\"), std::nullopt); // no drive: not taken
    EXPECT_EQ(quil::host::folderOf("C:\\QUIL.EXE"), "C:\\");
    EXPECT_EQ(quil::host::folderOf(a + "\\QUIL.EXE"), a);
}

TEST(ReassemblerHostWin32, FixedFoldersAreNotSwappedAndShareTheirVolume) {
    testing_support::TempDir dir;
    std::filesystem::create_directories(dir.path() / "a");
    EXPECT_FALSE(quil::host::isExchangeableMedium(dir.str()));
    EXPECT_TRUE(quil::host::sameFileSystem(dir.str(), dir.str() + "\\a"));
    EXPECT_FALSE(quil::host::sameFileSystem(dir.str(), dir.str() + "\\fehlt"));
    EXPECT_TRUE(quil::host::freeBytes(dir.str()).value_or(0) > 0);
}

TEST(ReassemblerHostWin32, AFileHeldOpenElsewhereStaysAndTheRestoredOneIsKeptBesideIt) {
    testing_support::TempDir dir;
    dir.write("a.bin", "alt");
    // As an office program holds an open document: others may read it, nothing more.
    const HANDLE held = ::CreateFileW((dir.path() / "a.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    quil::OutputFile output(dir.str(), "a.bin");
    output.write("neu", 3);
    EXPECT_ANY_THROW(output.commit(true));
    ::CloseHandle(held);
    EXPECT_EQ(testing_support::readFile(dir.path() / "a (wiederhergestellt).bin"), "neu");
    EXPECT_EQ(testing_support::readFile(dir.path() / "a.bin"), "alt");
}

// Folders nested past 260 characters, removed with the long form again: the standard library
// here cannot reach that deep.
class DeepFolders {
public:
    explicit DeepFolders(std::string folder) : folder_(std::move(folder)) {}
    ~DeepFolders() {
        for (auto level = made_.rbegin(); level != made_.rend(); ++level) {
            for (const std::string& name : quil::host::listFolder(*level).value_or(std::vector<std::string>{})) {
                ::DeleteFileW(longPath(quil::joinPath(*level, name)).c_str());
            }
            ::RemoveDirectoryW(longPath(*level).c_str());
        }
    }
    bool deepen(const std::string& name) {
        folder_ = quil::joinPath(folder_, name);
        made_.push_back(folder_);
        return ::CreateDirectoryW(longPath(folder_).c_str(), nullptr) != 0;
    }
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    std::vector<std::string> made_;
};

TEST(ReassemblerHostWin32, PathsPastTwoHundredSixtyCharactersAndLongNames) {
    testing_support::TempDir dir;
    DeepFolders deep(dir.str());
    while (deep.folder().size() < 300) {
        ASSERT_TRUE(deep.deepen("Ein recht langer Ordnername")) << ::GetLastError();
    }
    const std::string folder = deep.folder();
    const std::string part = quil::joinPath(folder, "QUILME01.sys");
    {
        quil::OutputFile writer(folder, "QUILME01.sys");
        writer.write("abc", 3);
        ASSERT_TRUE(writer.commit(false));
    }
    EXPECT_EQ(quil::findPart(folder, "quilme01.SYS"), part);
    EXPECT_EQ(quil::host::factsOf(part).size, 3);

    const std::string name = std::string(251, 'n') + ".bin";
    quil::OutputFile output(folder, name);
    output.write("defg", 4);
    ASSERT_TRUE(output.commit(false));
    EXPECT_EQ(quil::host::factsOf(quil::joinPath(folder, name)).kind, quil::host::FileFacts::Kind::Regular);
    // Without "j", an existing name stays as it is.
    quil::OutputFile again(folder, name);
    again.write("x", 1);
    EXPECT_FALSE(again.commit(false));
    EXPECT_EQ(quil::host::factsOf(quil::joinPath(folder, name)).size, 4);
}

} // namespace
