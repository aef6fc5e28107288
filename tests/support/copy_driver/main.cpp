// copy_driver: runs the copy run on real files without a window, for tests by hand and for
// the benchmark. Dialogs are answered by script or rule and printed on stderr; one summary
// line goes to stdout. Not installed; not a user command.
#include "DialogAnswerer.h"
#include "RealFileRuntime.h"
#include "app/ReassemblerPolicy.h"
#include "copier/CopyModule.h"
#include "runtime/HostPlatform.h"
#include "support/ScriptedControls.h"
#include "support/SimulatedDrive.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const kUsage = "usage: copy_driver --source FILE (--folder DIR | --floppy DIR1,DIR2,...)\n"
                           "                   [--max N --unit Kbyte|Mbyte] [--autorun] [--wipe] [--quil FOLDER]\n"
                           "                   [--fuer-windows] [--mit-ersatzdiskette]\n"
                           "                   [--answers 1,2,6,...] [--capacity BYTES] [--quiet]\n";

struct Options {
    std::string source;
    std::string folder;
    std::vector<std::string> floppies;
    std::string max;
    int unit = 0;
    bool autorun = false;
    bool wipe = false;
    bool forWindowsPc = false;     // started as the program is with its option --fuer-windows
    bool withRecoveryData = false; // and with --mit-ersatzdiskette
    std::string quil = SPLITWERK_BUILD_DIR;
    std::vector<int> answers;
    std::optional<int64_t> capacity;
    bool quiet = false;
};

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        if (!item.empty()) {
            items.push_back(item);
        }
    }
    return items;
}

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) {
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        std::optional<std::string> v;
        if (arg == "--autorun") {
            options.autorun = true;
        } else if (arg == "--wipe") {
            options.wipe = true;
        } else if (arg == app::kForWindowsOption) {
            options.forWindowsPc = true;
        } else if (arg == app::kWithRecoveryOption) {
            options.withRecoveryData = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (!(v = value())) {
            return std::nullopt;
        } else if (arg == "--source") {
            options.source = *v;
        } else if (arg == "--folder") {
            options.folder = *v;
        } else if (arg == "--floppy") {
            options.floppies = splitList(*v);
        } else if (arg == "--max") {
            options.max = *v;
        } else if (arg == "--unit") {
            if (*v != "Kbyte" && *v != "Mbyte") {
                return std::nullopt;
            }
            options.unit = *v == "Kbyte" ? 0 : 1;
        } else if (arg == "--quil") {
            options.quil = *v;
        } else if (arg == "--answers") {
            for (const std::string& answer : splitList(*v)) {
                options.answers.push_back(std::atoi(answer.c_str()));
            }
        } else if (arg == "--capacity") {
            options.capacity = std::atoll(v->c_str());
        } else {
            return std::nullopt;
        }
    }
    const bool oneTarget = options.folder.empty() != options.floppies.empty();
    if (options.source.empty() || !oneTarget) {
        return std::nullopt;
    }
    return options;
}

int countParts(const std::vector<std::string>& folders) {
    int parts = 0;
    for (const std::string& folder : folders) {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(folder, ignored)) {
            const std::string name = entry.path().filename().string();
            if (name.size() == 12 && name.rfind("QUILME", 0) == 0 && name.substr(8) == ".sys") {
                ++parts;
            }
        }
    }
    return parts;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 64;
    }

    rt::prepareProcess();
    const std::unique_ptr<rt::FileSystem> host = rt::makeHostFileSystem();
    copy_driver::DialogAnswerer dialogs(options->quiet ? nullptr : &std::cerr);
    dialogs.script(options->answers);
    rt::NoEvents events;
    rt::ThrowingEnd end;

    // A: walks through the given folders, one per disk-full dialog answered OK.
    std::size_t disk = 0;
    std::optional<testing_support::SimulatedDrive> simulated;
    rt::FileSystem* fileSystem = host.get();
    rt::DriveMap::Resolver floppy = [&]() -> std::optional<std::string> {
        if (options->floppies.empty()) {
            return std::nullopt;
        }
        return fs::absolute(options->floppies[disk]).string();
    };
    if (options->capacity && !options->floppies.empty()) {
        simulated.emplace(*host, fs::temp_directory_path(), false);
        simulated->insert(fs::absolute(options->floppies[0]));
        simulated->setCapacity(options->capacity);
        fileSystem = &*simulated;
        floppy = simulated->resolver();
    }
    dialogs.onNextDisk([&] {
        if (disk + 1 >= options->floppies.size()) {
            return false;
        }
        ++disk;
        if (simulated) {
            simulated->insert(fs::absolute(options->floppies[disk]));
        }
        return true;
    });

    copy_driver::RealFileServices services{fileSystem, &dialogs, &events, &end};
    rt::RuntimeParts parts = copy_driver::realFileParts(services, options->quil, floppy);
    if (options->forWindowsPc) {
        parts.facts.arguments = {rt::ProgramArgument{app::kForWindowsOption}};
    }
    rt::Runtime runtime(std::move(parts));

    testing_support::ScriptedControls controls;
    if (options->floppies.empty()) {
        controls.targetFolder(copy_driver::driveLetterPath(runtime.drives(), options->folder));
    }
    if (!options->max.empty()) {
        controls.limit(options->max, options->unit);
    }
    controls.autorun(options->autorun).wipe(options->wipe);
    controls.recoveryData = options->withRecoveryData;
    const core::SourceSelection source =
        copy_driver::selectSource(copy_driver::driveLetterPath(runtime.drives(), options->source));

    std::string outcome = "stopped";
    int status = 2;
    const auto started = std::chrono::steady_clock::now();
    try {
        runtime.runGuarded(
            [&] { kopierer::RunCopy(runtime, controls, source, app::reassemblerChoice(runtime.facts())); });
        if (dialogs.sawPrompt("Die Kopie ist fertig!")) {
            outcome = "completed";
            status = 0;
        }
    } catch (const rt::ProgramEnded& ended) {
        outcome = "ended(" + std::to_string(ended.status) + ")";
        status = ended.status == 0 ? 3 : ended.status;
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;

    const std::vector<std::string> folders =
        options->floppies.empty()
            ? std::vector<std::string>{options->folder}
            : std::vector<std::string>(options->floppies.begin(),
                                       options->floppies.begin() + static_cast<std::ptrdiff_t>(disk + 1));
    std::error_code sizeError;
    const auto bytes = fs::file_size(options->source, sizeError);
    std::cout << "copy_driver: outcome=" << outcome << " bytes=" << (sizeError ? 0 : bytes)
              << " parts=" << countParts(folders) << " disks=" << folders.size() << " dialogs=" << dialogs.boxesShown()
              << " seconds=" << seconds.count() << '\n';
    return status;
}
