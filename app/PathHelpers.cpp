// Module common: folder texts, the program's folder, the Send To entry, pixel helpers.
#include "PathHelpers.h"
#include "core/ProductFacts.h"

#include "ReassemblerPolicy.h"
#include "core/DosPath.h"
#include "runtime/Runtime.h"

namespace app::common {

namespace {
// Resolved by the link layer against the Start menu's Programs folder: two levels up and
// into sendto is where the file managers' Send To entries live.
constexpr const char* kSendToFolder = "..\\..\\sendto";
constexpr const char* kForWindowsPcEntry = " für einen Windows-PC";
constexpr const char* kWithRecoveryEntry = " mit Ersatzdiskette";
} // namespace

bool isRegularFile(rt::Runtime& runtime, const std::string& path) {
    try {
        return runtime.describe(path).kind == rt::FileKind::Regular;
    } catch (const rt::RuntimeError&) {
        return false;
    }
}

std::string WithTrailingBackslash(std::string text) {
    return core::dospath::withTrailingBackslash(std::move(text));
}

std::string AppFolder(const rt::Runtime& runtime) {
    return WithTrailingBackslash(runtime.facts().programFolder);
}

bool CreateSendToLink(rt::Runtime& runtime) {
    const std::string folder = AppFolder(runtime);
    const std::string name = runtime.facts().programName;
    // No extension: the link layer completes the name the way the platform completes a
    // command, so the entry keeps working whatever the program file is called.
    const std::string target = folder + name;
    const bool created = runtime.shellLink().create(kSendToFolder, core::product::kName, target, "") != 0;
    // A Linux installation that also ships the Windows reassembler offers a second entry that
    // makes sets for a Windows PC.
    if (created && !runtime.facts().windowsProgram &&
        isRegularFile(runtime, app::windowsReassemblerOfLinux(runtime.facts()))) {
        static_cast<void>(runtime.shellLink().create(
            kSendToFolder, std::string(core::product::kName) + kForWindowsPcEntry, target, app::kForWindowsOption));
    }
    // The menu keeps to three entries: recovery data for a Windows PC is chosen on the command
    // line, with both options.
    if (created) {
        static_cast<void>(runtime.shellLink().create(
            kSendToFolder, std::string(core::product::kName) + kWithRecoveryEntry, target, app::kWithRecoveryOption));
    }
    return created;
}

float PixelsToTwipsX(const app::PixelTwipsScale& window, float& pixels) {
    return window.pixelsToTwipsX(pixels);
}

float PixelsToTwipsY(const app::PixelTwipsScale& window, float& pixels) {
    return window.pixelsToTwipsY(pixels);
}

} // namespace app::common
