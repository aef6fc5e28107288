// The load handler of Form1: everything the program does before its window is shown.
#include "FormLoad.h"
#include "core/DosPath.h"
#include "core/ProductFacts.h"

#include "PathHelpers.h"
#include "ReassemblerPolicy.h"
#include "SourceChecks.h"
#include "runtime/Runtime.h"

#include <vector>

namespace {

constexpr int kImageCount = 5;
constexpr float kImagePixels = 16.0f;

// Puts the controls into the state the window opens in.
void setStartState(app::StartupForm& form) {
    form.setCaption(core::product::kName);
    form.unitListAddItem("Kbyte");
    form.unitListAddItem("Mbyte");
    form.setUnitListIndex(0);
    form.setZahlText("1440");
    form.Opt_Click(0);
    form.setChkValue(0, 0);
    form.setLabel1Visible(false);
    form.setZahlTextVisible(false);
    form.setUnitListVisible(false);
    // The balls are 16 by 16 screen pixels whatever the display's resolution.
    for (int i = 0; i < kImageCount; ++i) {
        float pixels = kImagePixels;
        form.setImage1Width(i, app::common::PixelsToTwipsX(form, pixels));
        form.setImage1Height(i, app::common::PixelsToTwipsY(form, pixels));
    }
}

[[noreturn]] void reject(rt::Runtime& runtime, const char* message) {
    runtime.msgBox(message, rt::kCriticalOk, core::product::kName);
    runtime.end(0);
}

// Blanks around the name are trimmed, as a typed command line needs, unless they belong to the
// name of an existing entry: a file "x.bin " beside "x.bin" must never back up the other one.
std::string sourcePathOf(rt::Runtime& runtime, const std::string& given) {
    const std::string trimmed = app::trimBlanks(given);
    if (trimmed != given) {
        try {
            runtime.describe(given);
            return given;
        } catch (const rt::RuntimeError&) {
            // no such entry: the trimmed name it is
        }
    }
    return trimmed;
}

} // namespace

void app::Form_Load(app::StartupForm& form, rt::Runtime& runtime, core::SourceSelection& source) {
    setStartState(form);

    // Every selected file arrives as an argument of its own; only the blank is trimmed, and an
    // argument of nothing but blanks counts as none.
    std::vector<rt::ProgramArgument> arguments;
    for (const rt::ProgramArgument& argument : app::fileArguments(runtime.facts())) {
        if (!app::trimBlanks(argument.path).empty()) {
            arguments.push_back(argument);
        }
    }

    if (arguments.empty()) {
        // The usage text promises the Send To entry; it is shown only when the entry is there.
        const bool installed = app::common::CreateSendToLink(runtime);
        const std::string text = installed ? app::usageText() : app::noSendToText(runtime.shellLink().missingFolder());
        runtime.msgBox(text, rt::kInfoOk, core::product::kName);
        runtime.end(0);
    }

    // The order matters: the tests that need no file system come first, and a path that does
    // not exist fails in the attribute query as an error nobody handles.
    if (arguments.size() > 1) {
        reject(runtime, app::kMoreThanOneFile);
    }
    if (!arguments.front().expressible) {
        reject(runtime, app::kBackslashInName);
    }
    source.SourcePath = sourcePathOf(runtime, arguments.front().path);
    if ((runtime.getAttr(source.SourcePath) & rt::kAttrDirectory) != 0) {
        reject(runtime, app::kIsFolder);
    }
    if (source.SourcePath.find("\\\\") != std::string::npos) {
        reject(runtime, app::kUncPath);
    }
    // Only a regular file can be split; a pipe would never end and a device never be restored.
    if (runtime.describe(source.SourcePath).kind != rt::FileKind::Regular) {
        reject(runtime, app::kNotAFile);
    }
    if (core::dospath::hasControlCharacter(source.SourcePath)) {
        reject(runtime, app::kControlCharacter);
    }

    // A set for a Windows PC needs the Windows reassembler; without it every disk would seem
    // unwritable, and the user would look for the fault in the wrong place.
    const std::string shipped = form.reassemblerChoice().shipped;
    if (shipped == app::windowsReassemblerOfLinux(runtime.facts()) && !app::common::isRegularFile(runtime, shipped)) {
        reject(runtime, app::kNoWindowsReassembler);
    }

    app::splitSourcePath(source);

    const std::string shownName = app::displayName(runtime.dir().nameOf(source.SourcePath, rt::kSearchNormal));
    const int64_t length = runtime.fileLen(source.SourcePath);
    // The user knows before OK what the recovery data costs.
    const int64_t spareDisks = app::withRecoveryData(runtime.facts()) ? app::spareDiskEstimate(length) : 0;
    form.setTipCaption(0, app::estimateSentence(shownName, app::diskEstimate(length), spareDisks));
}
