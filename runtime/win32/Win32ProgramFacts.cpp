// The running program's facts on Windows. The arguments are taken from the wide command line,
// not from main's argv: that one is in the ANSI code page, where a name with letters outside it
// ("Łódź.zip" on a German system) would arrive mangled and could not be opened.
#include "Win32ProgramFacts.h"

#include "NativePath.h"
#include "Win32LongPath.h"
#include "runtime/DriveMap.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

namespace rt {

namespace win32 {

ProgramFacts factsFromCommandLine(const std::wstring& commandLine, const std::wstring& moduleFile,
                                  const DriveMap& drives) {
    ProgramFacts facts;
    facts.windowsProgram = true;
    int count = 0;
    LPWSTR* arguments = commandLine.empty() ? nullptr : ::CommandLineToArgvW(commandLine.c_str(), &count);
    for (int i = 1; i < count; ++i) {
        ProgramArgument argument;
        // Every Windows path has a drive-letter form: a name can hold neither kind of slash, and
        // "C:/Daten/a.zip" is "C:\Daten\a.zip".
        argument.path = narrow(arguments[i]);
        std::replace(argument.path.begin(), argument.path.end(), '/', '\\');
        if (native::isAbsolute(argument.path)) {
            argument.path = drives.fromNative(argument.path);
        }
        facts.arguments.push_back(std::move(argument));
    }
    if (arguments != nullptr) {
        ::LocalFree(arguments);
    }

    facts.takeProgramFile(narrow(withoutLongPathPrefix(moduleFile)), drives);
    return facts;
}

} // namespace win32

ProgramFacts ProgramFacts::fromProcess(int, char**, const DriveMap& drives) {
    return win32::factsFromCommandLine(::GetCommandLineW(), lowio::win32::ownModuleFile(), drives);
}

} // namespace rt
