// NtQueryInformationFile and NtSetInformationFile with FileBasicInformation, and
// NtQueryVolumeInformationFile with FileFsAttributeInformation, which every NT system has had
// since long before XP. Their structures are not in the Win32 headers, so the
// documented layouts are spelt out here, and the calls are looked up at run time: a missing
// entry is a fact to fall back from, never a program that does not start.
#include "NtFileInformation.h"

#include "Win32OpenFile.h"

#include <windows.h>

#include <string_view>

namespace rt::win32 {

namespace {

struct IoStatusBlock {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};

// Times of 0 leave a time unchanged when this is set; attributes of 0 leave them unchanged.
struct FileBasicInformation {
    LARGE_INTEGER creationTime;
    LARGE_INTEGER lastAccessTime;
    LARGE_INTEGER lastWriteTime;
    LARGE_INTEGER changeTime;
    ULONG fileAttributes;
};

constexpr int kFileBasicInformationClass = 4;

// The volume's file system by name ("NTFS", "FAT32", "exFAT"), in a buffer of room for 32 letters.
struct FileFsAttributeInformation {
    ULONG fileSystemAttributes;
    LONG maximumComponentNameLength;
    ULONG fileSystemNameLength; // in bytes
    WCHAR fileSystemName[32];
};

constexpr int kFileFsAttributeInformationClass = 5;

using InformationCall = LONG(WINAPI*)(HANDLE, IoStatusBlock*, void*, ULONG, int);

InformationCall ntdllCall(const char* name) {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<InformationCall>(reinterpret_cast<void*>(::GetProcAddress(ntdll, name)));
}

} // namespace

int64_t changeTimeOf(lowio::NativeHandle handle) {
    static const InformationCall query = ntdllCall("NtQueryInformationFile");
    IoStatusBlock status{};
    FileBasicInformation basic{};
    // A handle opened without access rights still reads attributes, which is all this needs.
    if (query == nullptr || query(handle, &status, &basic, sizeof basic, kFileBasicInformationClass) < 0 ||
        basic.changeTime.QuadPart == 0) {
        return 0;
    }
    return nanosecondsSince1970({basic.changeTime.LowPart, static_cast<unsigned long>(basic.changeTime.HighPart)});
}

bool onFatVolume(lowio::NativeHandle handle) {
    // GetVolumeInformationByHandleW came with Vista; its source, the volume query, is older.
    static const InformationCall query = ntdllCall("NtQueryVolumeInformationFile");
    IoStatusBlock status{};
    FileFsAttributeInformation facts{};
    // A name longer than the buffer holds fails the call with the start filled in; "FAT32" fits.
    if (query == nullptr || query(handle, &status, &facts, sizeof facts, kFileFsAttributeInformationClass) < 0) {
        return false;
    }
    const std::wstring_view name(facts.fileSystemName, facts.fileSystemNameLength / sizeof(WCHAR));
    return name == L"FAT" || name == L"FAT32";
}

bool setAttributesOf(lowio::NativeHandle handle, unsigned long attributes) {
    static const InformationCall set = ntdllCall("NtSetInformationFile");
    IoStatusBlock status{};
    FileBasicInformation basic{};
    basic.fileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return set != nullptr && set(handle, &status, &basic, sizeof basic, kFileBasicInformationClass) >= 0;
}

} // namespace rt::win32
