// The real file system of a Windows host, speaking the program's numbered errors. The
// attribute bits of Windows are the program's own, so they pass unchanged.
//
// The target of a run may be a medium someone else prepared: a name there may be a symbolic
// link or junction into the user's folders, or a device name. Nothing written here follows a
// reparse point of the name it writes (the name is opened with FILE_FLAG_OPEN_REPARSE_POINT and
// refused when it is one), and nothing is ever written into anything but a file on a disk. The
// source, in turn, must be a file on a disk: a device or a pipe is refused before it is read,
// so that nothing waits on it and nothing is "copied" as empty.
#include "Win32FileSystem.h"

#include "NativePath.h"
#include "NtFileInformation.h"
#include "Win32Errors.h"
#include "Win32LongPath.h"
#include "Win32OpenFile.h"
#include "core/DosPath.h"
#include "lowio/Io.h"
#include "runtime/NativeOpenFile.h"
#include "runtime/RuntimeError.h"

#include <windows.h>

namespace rt {

namespace {

using win32::isDevicePath;
using win32::longPath;
using win32::narrow;
using win32::raiseForPath;
using win32::raiseWin32;
using win32::setAttributesOf;
using win32::widen;
using win32::withoutLongPathPrefix;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kProgramBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive;

bool isLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void raiseIfFailed(lowio::SystemError error) {
    if (error != 0) {
        raiseWin32(static_cast<DWORD>(error));
    }
}

// Attributes of the entry a path names, taken as what a link points to.
struct EntryFacts {
    DWORD attributes = 0;
    int64_t size = 0;
};

lowio::Handle openForQuery(const std::wstring& full, Follow follow) {
    // No access rights are asked for, so another program's sharing mode cannot refuse it; the
    // backup flag lets a folder be opened too.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow == Follow::Link ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    lowio::Handle handle(::CreateFileW(full.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
    if (!handle.valid()) {
        raiseForPath(::GetLastError(), full);
    }
    return handle;
}

EntryFacts factsOf(const std::wstring& full) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &data)) {
        raiseForPath(::GetLastError(), full);
    }
    if (!isLink(data.dwFileAttributes)) {
        return {data.dwFileAttributes,
                static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow)};
    }
    // The attributes above are the link's own; what it points to is asked through a handle.
    const lowio::Handle target = openForQuery(full, Follow::Target);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(target.get(), &info)) {
        raiseWin32(::GetLastError());
    }
    return {info.dwFileAttributes,
            static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow)};
}

// A file on a disk, not a folder, a link, a device or a pipe.
void requireDiskFile(lowio::NativeHandle handle) {
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        raise(kPathFileAccess);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        raiseWin32(::GetLastError());
    }
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        raise(kPathFileAccess);
    }
}

// fromMedium: past the system's cache (reads then take whole sectors at sector offsets, which
// the read-back of a part does).
lowio::Handle openForReading(const std::wstring& full, bool fromMedium = false) {
    if (isDevicePath(full)) {
        raise(kPathFileAccess); // NUL, CON, COM1, a pipe: nothing a file can be read from
    }
    const DWORD flags = fromMedium ? FILE_FLAG_NO_BUFFERING | FILE_FLAG_OPEN_REPARSE_POINT
                                   : FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;
    lowio::Handle handle(::CreateFileW(full.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
    if (!handle.valid()) {
        raiseForPath(::GetLastError(), full);
    }
    requireDiskFile(handle.get());
    return handle;
}

// Opens (or creates) a file for writing without following a reparse point of its name and
// without changing anything yet: a name that turns out to be a link, a device or a read-only
// file is refused before a single byte of it changes.
lowio::Handle openForWriting(const std::wstring& full) {
    if (isDevicePath(full)) {
        raise(kPathFileAccess);
    }
    // Read access too: a write that fails half-way puts back the bytes it overwrote.
    lowio::Handle handle(::CreateFileW(full.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle.valid()) {
        raiseForPath(::GetLastError(), full);
    }
    requireDiskFile(handle.get());
    // Windows refuses to open a read-only file for writing; Wine lets root do it. The program
    // relies on the refusal (a write-protected part must not be overwritten unasked).
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(handle.get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        raise(kPermissionDenied);
    }
    return handle;
}

std::string lastName(const std::wstring& full) {
    const std::wstring plain = win32::withoutLongPathPrefix(full);
    return core::dospath::lastComponent(narrow(plain), "\\/");
}

} // namespace

std::unique_ptr<OpenFile> Win32FileSystem::open(const std::string& path, OpenMode mode) {
    const std::wstring full = longPath(path);
    if (mode == OpenMode::BinaryRead || mode == OpenMode::ReadBack) {
        lowio::Handle handle = openForReading(full, mode == OpenMode::ReadBack);
        return std::make_unique<NativeOpenFile>(handle.release(), mode);
    }
    lowio::Handle handle = openForWriting(full);
    if (mode == OpenMode::Output) {
        raiseIfFailed(lowio::truncate(handle.get(), 0));
    }
    return std::make_unique<NativeOpenFile>(handle.release(), mode);
}

int Win32FileSystem::attributes(const std::string& path) {
    const std::wstring full = longPath(path);
    if (isDevicePath(full)) {
        return kAttrNormal; // a device has none, as a device node has none on POSIX
    }
    return static_cast<int>(factsOf(full).attributes & kProgramBits);
}

void Win32FileSystem::setAttributes(const std::string& path, int attributes) {
    const std::wstring full = longPath(path);
    const DWORD current = ::GetFileAttributesW(full.c_str());
    if (current == INVALID_FILE_ATTRIBUTES) {
        raiseForPath(::GetLastError(), full);
    }
    if (isLink(current)) {
        return; // the link is left as it is, as on POSIX, where a link has no attributes of its own
    }
    DWORD wanted = static_cast<DWORD>(attributes) & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    if (wanted == 0) {
        wanted = FILE_ATTRIBUTE_NORMAL;
    }
    if (!::SetFileAttributesW(full.c_str(), wanted)) {
        raiseForPath(::GetLastError(), full);
    }
}

void Win32FileSystem::remove(const std::string& path) {
    const std::wstring full = longPath(path);
    if (isDevicePath(full)) {
        raise(kPathFileAccess);
    }
    const DWORD current = ::GetFileAttributesW(full.c_str());
    if (current == INVALID_FILE_ATTRIBUTES) {
        raiseForPath(::GetLastError(), full);
    }
    const bool folder = (current & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder && !isLink(current)) {
        raise(kPathFileAccess); // Kill deletes files, never folders
    }
    // A link to a folder (a junction, say) is removed as a folder entry: the link itself goes,
    // what it points to stays.
    const BOOL removed = folder ? ::RemoveDirectoryW(full.c_str()) : ::DeleteFileW(full.c_str());
    if (!removed) {
        raiseForPath(::GetLastError(), full);
    }
    // Wine reports success on a medium mounted read-only while the file stays; Windows itself
    // never does. A file still there is a refusal, not a deletion. (A file that another program
    // keeps open is only marked for deletion and can no longer be asked for its attributes.)
    if (::GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES) {
        raise(kPermissionDenied);
    }
}

// A read-only file cannot be deleted on Windows, and its read-only attribute belongs to the file,
// not to the name: clearing it clears it for every hard link. So the attribute is cleared, the
// name deleted, and when the file lives on under another name the attribute is put back through
// a handle that was opened before the delete (with FILE_SHARE_DELETE it keeps reaching the file
// whose name is gone). The handle is closed only after that; the deleted name disappears then.
void Win32FileSystem::removeForced(const std::string& path) {
    const std::wstring full = longPath(path);
    const DWORD current = isDevicePath(full) ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(full.c_str());
    if (current == INVALID_FILE_ATTRIBUTES || (current & FILE_ATTRIBUTE_READONLY) == 0 ||
        (current & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        remove(path); // nothing to clear, or remove says what is wrong
        return;
    }
    lowio::Handle file(::CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                     nullptr));
    if (!file.valid()) {
        raiseForPath(::GetLastError(), full);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        raiseWin32(::GetLastError());
    }
    if (!::SetFileAttributesW(full.c_str(), current & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
        raiseForPath(::GetLastError(), full);
    }
    const bool removed = ::DeleteFileW(full.c_str()) != 0;
    const DWORD error = ::GetLastError();
    if (!removed || info.nNumberOfLinks > 1) {
        // The name stayed (the file is as it was) or the file has other names (they keep their
        // protection). Only XP without ntdll's call would leave them writable.
        static_cast<void>(setAttributesOf(file.get(), current & kProgramBits));
    }
    file.reset();
    if (!removed) {
        raiseForPath(error, full);
    }
    // As in remove: Wine may report success on a medium mounted read-only while the file stays.
    if (::GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES) {
        raise(kPermissionDenied);
    }
}

void Win32FileSystem::copy(const std::string& from, const std::string& to) {
    const std::wstring fullFrom = longPath(from);
    const std::wstring fullTo = longPath(to);
    lowio::Handle source = openForReading(fullFrom);
    // Copying a file onto itself would cut it to nothing before the first byte is read.
    const core::FileIdentity sourceId = win32::identityOfHandle(source.get());
    {
        const lowio::Handle existing(
            ::CreateFileW(fullTo.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (existing.valid()) {
            const core::FileIdentity targetId = win32::identityOfHandle(existing.get());
            if (targetId.sameFileAs(sourceId)) {
                raise(kPermissionDenied);
            }
        }
    }
    lowio::Handle target = openForWriting(fullTo);
    try {
        raiseIfFailed(lowio::truncate(target.get(), 0));
        raiseIfFailed(lowio::copyAll(source.get(), target.get()));
        raiseIfFailed(lowio::flush(target.get()));
        raiseIfFailed(target.close());
    } catch (const RuntimeError&) {
        // A half copy is worth nothing and takes room that a retry needs.
        target.reset();
        ::DeleteFileW(fullTo.c_str());
        throw;
    }
}

int64_t Win32FileSystem::length(const std::string& path) {
    const std::wstring full = longPath(path);
    if (isDevicePath(full)) {
        raise(kPathFileAccess);
    }
    const EntryFacts facts = factsOf(full);
    if ((facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        raise(kPathFileAccess);
    }
    return facts.size;
}

namespace {

// Calls back with every entry of a folder that matches a pattern, "." and ".." left out.
// FindFirstFileW, not FindFirstFileExW with its basic level and large fetch: those came with
// Windows 7, and the program runs on XP.
template <class OnEntry> void forEachEntry(const std::string& directory, const std::wstring& pattern, OnEntry onEntry) {
    std::wstring query = longPath(directory.empty() ? "." : directory);
    if (query.back() != L'\\') {
        query += L'\\';
    }
    query += pattern;
    WIN32_FIND_DATAW data{};
    HANDLE search = ::FindFirstFileW(query.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            return; // the folder is there and holds no match
        }
        raiseWin32(error);
    }
    DWORD error = ERROR_SUCCESS;
    for (;;) {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") {
            onEntry(name, data.dwFileAttributes);
        }
        if (!::FindNextFileW(search, &data)) {
            error = ::GetLastError();
            break;
        }
    }
    ::FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        raiseWin32(error);
    }
}

} // namespace

std::vector<DirEntry> Win32FileSystem::list(const std::string& directory, const std::string& pattern) {
    std::vector<DirEntry> entries;
    forEachEntry(directory, pattern.empty() ? L"*" : widen(pattern), [&](std::wstring_view name, DWORD attributes) {
        if (isLink(attributes)) {
            // A link is listed as what it is, whatever it points to; it has no folder or
            // read-only bit of its own, so the wipe removes it as a link.
            entries.push_back({narrow(name), static_cast<int>(attributes & (kAttrHidden | kAttrSystem | kAttrArchive)),
                               FileKind::Link});
        } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            entries.push_back({narrow(name), static_cast<int>(attributes & kProgramBits), FileKind::Regular});
        }
    });
    return entries;
}

std::vector<DirEntry> Win32FileSystem::folders(const std::string& directory) {
    std::vector<DirEntry> entries;
    forEachEntry(directory, L"*", [&](std::wstring_view name, DWORD attributes) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            entries.push_back({narrow(name), static_cast<int>(attributes & kProgramBits),
                               isLink(attributes) ? FileKind::Link : FileKind::Directory});
        }
    });
    return entries;
}

DirEntry Win32FileSystem::describe(const std::string& path) {
    const std::wstring full = longPath(path);
    if (isDevicePath(full)) {
        return {lastName(full), kAttrNormal, FileKind::Other};
    }
    const EntryFacts facts = factsOf(full);
    // The name as stored: the search gives the long name in its stored letter case. A drive's
    // root has no entry of its own and keeps the name it was asked by.
    std::string name = lastName(full);
    WIN32_FIND_DATAW data{};
    const std::wstring last = full.substr(full.find_last_of(L'\\') + 1);
    if (!last.empty() && last.find_first_of(L"*?") == std::wstring::npos) {
        HANDLE search = ::FindFirstFileW(full.c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) {
            // The search may read a last dot as "no extension" and find "dot" for "dot.". A name
            // ending in a dot or blank is no short name either: it is taken only as itself.
            const bool asItself = last.back() == L'.' || last.back() == L' ';
            do {
                if (!asItself || native::sameName(narrow(data.cFileName), narrow(last))) {
                    name = narrow(data.cFileName);
                    break;
                }
            } while (::FindNextFileW(search, &data));
            ::FindClose(search);
        }
    }
    const bool folder = (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return {name, static_cast<int>(facts.attributes & kProgramBits), folder ? FileKind::Directory : FileKind::Regular};
}

core::FileIdentity Win32FileSystem::identity(const std::string& path, Follow follow) {
    const std::wstring full = longPath(path);
    return win32::identityOfHandle(openForQuery(full, follow).get());
}

void Win32FileSystem::flushToMedium(const std::string& path) {
    const std::wstring full = longPath(path);
    if (isDevicePath(full)) {
        raise(kPathFileAccess);
    }
    // FlushFileBuffers needs write access; nothing is written through this handle.
    const lowio::Handle handle(::CreateFileW(full.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle.valid()) {
        raiseForPath(::GetLastError(), full);
    }
    requireDiskFile(handle.get());
    raiseIfFailed(lowio::flush(handle.get()));
}

// GetFinalPathNameByHandleW came with Vista; it is looked up at run time so that the program
// still starts on XP. There (and wherever it fails) the folder is taken as named: XP offers no
// call that resolves junctions, and its users rarely have any below a target.
std::string Win32FileSystem::realFolder(const std::string& folder) {
    const std::wstring full = longPath(folder);
    lowio::Handle handle(
        ::CreateFileW(full.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.valid()) {
        const DWORD error = ::GetLastError();
        // The folder, not a file, is missing: "Pfad nicht gefunden", as on POSIX.
        error == ERROR_FILE_NOT_FOUND ? raise(kPathNotFound) : raiseForPath(error, full);
    }
    if ((factsOf(full).attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        raise(kPathNotFound);
    }
    using FinalPathName = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    static const auto finalPathName = reinterpret_cast<FinalPathName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
    std::wstring resolved = withoutLongPathPrefix(full);
    if (finalPathName != nullptr) {
        std::wstring buffer(MAX_PATH, L'\0');
        DWORD length = finalPathName(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
        if (length >= buffer.size()) {
            buffer.resize(length);
            length = finalPathName(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
        }
        if (length > 0 && length < buffer.size()) {
            buffer.resize(length);
            resolved = withoutLongPathPrefix(buffer);
        }
    }
    // "C:\Daten\" and "C:\Daten" are one folder; a root keeps its backslash.
    while (resolved.size() > 3 && (resolved.back() == L'\\' || resolved.back() == L'/')) {
        resolved.pop_back();
    }
    return narrow(resolved);
}

} // namespace rt
