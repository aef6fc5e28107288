// The reassembler's host on Windows: wide-character Win32 calls on UTF-8 paths in their long
// form, the temporary file created hidden and removed by the console's interrupt handler.
#include "reassembler/ReassemblerHost.h"

#include "ReassemblerText.h"
#include "Win32Console.h"

#include <windows.h>

#include <shellapi.h>

#include <cctype>
#include <string_view>
#include <vector>

namespace quil::host {

namespace {

using win32::longPath;
using win32::narrow;
using win32::widen;

lowio::SystemError lastError() {
    return static_cast<lowio::SystemError>(::GetLastError());
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string withoutTrailingSeparator(std::string folder) {
    // "C:\" and "\\server\share\" stay roots; everything else loses its last backslash.
    while (folder.size() > 3 && isSeparator(folder.back()) && folder.rfind("\\\\", 0) != 0) {
        folder.pop_back();
    }
    return folder;
}

bool isAbsolute(const std::string& path) {
    return (path.size() >= 3 && path[1] == ':' && isSeparator(path[2])) ||
           (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]));
}

// The absolute form of a path from its text alone: "." and ".." resolved, "/" turned into "\",
// every name kept exactly ("Daten." is not "Daten"), nothing opened.
std::optional<std::string> fullPathText(const std::string& path) {
    std::wstring full;
    if (lowio::win32::fullPath(widen(path), full) != 0) {
        return std::nullopt;
    }
    return narrow(full);
}

std::wstring volumeRoot(const std::string& folder) {
    std::vector<wchar_t> root(32768);
    if (!::GetVolumePathNameW(widen(folder).c_str(), root.data(), static_cast<DWORD>(root.size()))) {
        return {};
    }
    return root.data();
}

// The interrupt handler runs on a thread of its own; this lock keeps it from removing the
// temporary file while the main thread creates it or gives it its final name. A critical
// section, because the PC at the other end may run Windows XP, which has no slim locks. It is
// made before main and never deleted: the handler may still take it while the process ends.
class TemporaryLock {
public:
    TemporaryLock() { ::InitializeCriticalSection(&section_); }
    TemporaryLock(const TemporaryLock&) = delete;
    TemporaryLock& operator=(const TemporaryLock&) = delete;
    void lock() { ::EnterCriticalSection(&section_); }
    void unlock() { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};
TemporaryLock temporaryLock;
std::wstring pendingTemporary;

BOOL WINAPI removeTemporaryAndExit(DWORD) {
    temporaryLock.lock();
    if (!pendingTemporary.empty()) {
        // Opened with FILE_SHARE_DELETE: the file goes as soon as the process has closed it.
        ::DeleteFileW(pendingTemporary.c_str());
    }
    win32::writeTo(::GetStdHandle(STD_ERROR_HANDLE), "\nAbgebrochen. Es wurde keine Datei geschrieben.\n");
    // The same status as the Linux reassembler ends with on Ctrl-C (128 + SIGINT).
    ::ExitProcess(130);
}

FileFacts factsFrom(const BY_HANDLE_FILE_INFORMATION& info, DWORD fileType) {
    FileFacts facts;
    facts.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileFacts::Kind::Folder
                 : fileType == FILE_TYPE_DISK                            ? FileFacts::Kind::Regular
                                                                         : FileFacts::Kind::Other;
    facts.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    const std::uint64_t index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    const std::uint64_t written =
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    // The write time stays in its 100 ns steps: it is only ever compared.
    facts.identity = {info.dwVolumeSerialNumber, index, facts.size, static_cast<std::int64_t>(written), 0};
    return facts;
}

} // namespace

std::vector<std::string> commandLine(int argc, char** argv) {
    // The narrow words are in the ANSI code page and lose what it cannot show; the wide
    // command line has every name as typed.
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (words == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> result;
    for (int index = 0; index < count; ++index) {
        result.push_back(narrow(words[index]));
    }
    ::LocalFree(words);
    return result;
}

void prepareProcess() {
    // An empty drive or a missing disk is a message and a question on the console, never a
    // system box asking to insert a disk. Each process sets this itself: the copy started
    // later does not inherit it everywhere.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

std::unique_ptr<Console> standardConsole() {
    return std::make_unique<win32::Win32Console>(::GetStdHandle(STD_INPUT_HANDLE), ::GetStdHandle(STD_OUTPUT_HANDLE),
                                                 ::GetStdHandle(STD_ERROR_HANDLE));
}

std::string describeError(lowio::SystemError error) {
    switch (static_cast<DWORD>(error)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "Datenträger voll";
    case ERROR_FILE_TOO_LARGE:
        return "Datei zu groß für den Datenträger";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "nicht gefunden";
    case ERROR_DIRECTORY:
        return "kein Ordner";
    case ERROR_ACCESS_DENIED:
        return "Zugriff verweigert";
    case ERROR_WRITE_PROTECT:
        return "Datenträger ist schreibgeschützt";
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return "Geräte-E/A-Fehler";
    case ERROR_NOT_READY:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_DEV_NOT_EXIST:
        return "Datenträger nicht bereit";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "Gerät oder Datei wird benutzt";
    case ERROR_FILENAME_EXCED_RANGE:
        return "Name zu lang";
    case ERROR_INVALID_NAME:
        return "ungültiger Name";
    default:
        break;
    }
    // As long long, like every number the program prints: it then carries one decimal
    // conversion, not one per integer type.
    std::string text = "Systemfehler " + std::to_string(static_cast<long long>(static_cast<DWORD>(error)));
    wchar_t* message = nullptr;
    if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr) != 0 &&
        message != nullptr) {
        std::string said = narrow(message);
        while (!said.empty() &&
               (said.back() == '\n' || said.back() == '\r' || said.back() == ' ' || said.back() == '.')) {
            said.pop_back();
        }
        if (!said.empty()) {
            text += " (" + said + ")";
        }
    }
    if (message != nullptr) {
        ::LocalFree(message);
    }
    return text;
}

std::string fromTrailerText(const std::string& bytes, bool utf8, bool) {
    return utf8 ? bytes : narrow(lowio::win32::widenAnsi(bytes));
}

std::optional<std::string> nameProblem(const std::string& name) {
    const std::wstring wide = widen(name);
    if (wide.size() > 255) {
        return "er ist länger als 255 Zeichen";
    }
    for (const char c : name) {
        if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
            return std::string("Windows erlaubt das Zeichen ") + c + " nicht";
        }
    }
    // A device keeps its name with any extension: "AUX.txt" is the device AUX.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    for (char& c : stem) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const bool numbered = stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) &&
                          stem[3] >= '1' && stem[3] <= '9';
    if (numbered || stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
        stem == "CONOUT$") {
        return "unter Windows heißt so ein Gerät";
    }
    return std::nullopt;
}

const char* exampleFolder() {
    return "%USERPROFILE%\\Documents";
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || isSeparator(folder.back())) {
        return folder + name;
    }
    return folder + "\\" + name;
}

std::string folderOf(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    if (last == std::string::npos) {
        return ".";
    }
    // The folder of "C:\QUIL.EXE" is the root "C:\", not the drive's current folder "C:".
    const bool driveRoot = last == 2 && path[1] == ':';
    return path.substr(0, last == 0 || driveRoot ? last + 1 : last);
}

std::string currentFolder() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
    if (length == 0 || length >= size) {
        return "C:\\";
    }
    folder.resize(length);
    return narrow(folder);
}

std::optional<std::string> resolveFolder(const std::string& folder, const std::string& workingFolder) {
    if (folder.empty() || folder.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::string absolute = folder;
    if (!isAbsolute(folder)) {
        if (isSeparator(folder.front())) {
            // "\Daten": the root of the working folder's drive.
            absolute = workingFolder.substr(0, 2) + folder;
        } else if (!(folder.size() >= 2 && folder[1] == ':')) {
            absolute = joinPath(workingFolder, folder);
        }
    }
    const std::optional<std::string> full = fullPathText(absolute);
    if (!full) {
        return std::nullopt;
    }
    const std::string resolved = withoutTrailingSeparator(*full);
    const DWORD attributes = ::GetFileAttributesW(longPath(resolved).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::nullopt;
    }
    return resolved;
}

std::optional<std::string> proposedFolder(const std::string& trailerFolder) {
    // A folder without a drive or server would be taken relative to wherever QUIL stands.
    if (!isAbsolute(trailerFolder) || trailerFolder.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    // Text only: a share is not contacted before the user agrees to write there.
    const std::optional<std::string> full = fullPathText(trailerFolder);
    if (!full) {
        return std::nullopt;
    }
    return withoutTrailingSeparator(*full);
}

lowio::SystemError leaveWorkingFolder() {
    wchar_t windows[MAX_PATH + 1];
    const UINT length = ::GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return lastError();
    }
    return ::SetCurrentDirectoryW(windows) ? 0 : lastError();
}

lowio::SystemError factsOf(lowio::NativeHandle handle, FileFacts& facts) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        return lastError();
    }
    facts = factsFrom(info, ::GetFileType(handle));
    return 0;
}

FileFacts factsOf(const std::string& path) {
    // Attributes only, and every kind of sharing: looking never stands in anyone's way.
    const lowio::Handle handle(::CreateFileW(longPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FileFacts facts;
    if (!handle.valid() || factsOf(handle.get(), facts) != 0) {
        return {};
    }
    return facts;
}

FileFacts::Kind kindOfEntry(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(longPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FileFacts::Kind::Missing;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileFacts::Kind::Folder;
    }
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? FileFacts::Kind::Other : FileFacts::Kind::Regular;
}

std::optional<std::vector<std::string>> listFolder(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(longPath(joinPath(folder, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) {
            return std::vector<std::string>{};
        }
        return std::nullopt;
    }
    std::vector<std::string> names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(narrow(name));
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

lowio::Handle openForReading(const std::string& path, lowio::SystemError& error) {
    lowio::Handle handle(::CreateFileW(longPath(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    error = handle.valid() ? 0 : lastError();
    return handle;
}

lowio::SystemError copyInSystem(lowio::NativeHandle, lowio::NativeHandle, std::size_t, std::size_t& copied) {
    // Windows copies whole files, not ranges between open handles; the join reads and writes.
    copied = 0;
    return ERROR_NOT_SUPPORTED;
}

// XP has no request that reserves room without making the file that long; the writes find it.
void reserveRoom(lowio::NativeHandle, std::int64_t) {}

std::optional<std::int64_t> freeBytes(const std::string& folder) {
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(longPath(joinPath(folder, "")).c_str(), &available, nullptr, nullptr)) {
        return std::nullopt;
    }
    constexpr std::uint64_t largest = static_cast<std::uint64_t>(INT64_MAX);
    return static_cast<std::int64_t>(available.QuadPart < largest ? available.QuadPart : largest);
}

std::optional<std::int64_t> largestFile(const std::string& folder) {
    // Windows' FAT driver answers a write past 4 GiB - 1 byte with "disk full", whatever is free,
    // so the limit is told from the volume's file system before the first byte.
    const std::wstring root = volumeRoot(folder);
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (root.empty() ||
        !::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1)) {
        return std::nullopt;
    }
    const std::wstring_view name(fileSystem);
    if (name == L"FAT" || name == L"FAT32") {
        return std::int64_t{0xFFFFFFFF};
    }
    return std::nullopt;
}

bool isExchangeableMedium(const std::string& folder) {
    const std::wstring root = volumeRoot(folder);
    return !root.empty() && ::GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE;
}

bool sameFileSystem(const std::string& first, const std::string& second) {
    if (factsOf(first).kind == FileFacts::Kind::Missing || factsOf(second).kind == FileFacts::Kind::Missing) {
        return false;
    }
    std::wstring a = volumeRoot(first);
    std::wstring b = volumeRoot(second);
    // Volume roots differ in case only when they are the same; upper-cased both compare like the
    // file system does (XP has no ordinal comparison call).
    ::CharUpperBuffW(a.data(), static_cast<DWORD>(a.size()));
    ::CharUpperBuffW(b.data(), static_cast<DWORD>(b.size()));
    return !a.empty() && a == b;
}

void installInterruptCleanup() {
    ::SetConsoleCtrlHandler(removeTemporaryAndExit, TRUE);
}

lowio::Handle createTemporary(const std::string& folder, std::string& path, lowio::SystemError& error) {
    // Like the Linux name, short whatever the file's name is, and hidden until it is complete.
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate = joinPath(folder, ".quil-" + win32::uniqueSuffix(attempt));
        const std::wstring wide = longPath(candidate);

        temporaryLock.lock();
        // Readable too: a part rebuilt from the recovery data is made from the others written here.
        lowio::Handle handle(::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr));
        error = handle.valid() ? 0 : lastError();
        if (handle.valid()) {
            pendingTemporary = wide;
        }
        temporaryLock.unlock();

        if (handle.valid()) {
            path = candidate;
            return handle;
        }
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return lowio::Handle();
        }
    }
    return lowio::Handle();
}

lowio::SystemError placeTemporary(const std::string& temporary, const std::string& finalPath, bool mayReplace,
                                  bool& nameTaken) {
    nameTaken = false;
    const std::wstring from = longPath(temporary);
    const std::wstring to = longPath(finalPath);
    temporaryLock.lock();
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the name exists, so a file that
    // appeared since the question is never replaced unasked.
    ::SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_NORMAL);
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (mayReplace ? MOVEFILE_REPLACE_EXISTING : 0);
    lowio::SystemError error = ::MoveFileExW(from.c_str(), to.c_str(), flags) ? 0 : lastError();
    if (error == 0) {
        pendingTemporary.clear();
    } else {
        ::SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_HIDDEN);
        if (!mayReplace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) {
            nameTaken = true;
            error = 0;
        }
    }
    temporaryLock.unlock();
    return error;
}

void removeTemporary(const std::string& temporary) {
    temporaryLock.lock();
    ::DeleteFileW(longPath(temporary).c_str());
    pendingTemporary.clear();
    temporaryLock.unlock();
}

void keepTemporary(const std::string& temporary) {
    temporaryLock.lock();
    // Hidden it would be hard to find from the message.
    ::SetFileAttributesW(longPath(temporary).c_str(), FILE_ATTRIBUTE_NORMAL);
    pendingTemporary.clear();
    temporaryLock.unlock();
}

lowio::Handle createScratchFile(const std::string& folder, lowio::SystemError& error) {
    // FILE_FLAG_DELETE_ON_CLOSE: Windows removes it when the last handle goes, also when the
    // process is ended from outside, which the interrupt handler never sees.
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::wstring wide = longPath(joinPath(folder, ".quil-" + win32::uniqueSuffix(attempt)));
        lowio::Handle handle(::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                           CREATE_NEW,
                                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY |
                                               FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_FLAG_DELETE_ON_CLOSE,
                                           nullptr));
        error = handle.valid() ? 0 : lastError();
        if (handle.valid() || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) {
            return handle;
        }
    }
    return lowio::Handle();
}

} // namespace quil::host
