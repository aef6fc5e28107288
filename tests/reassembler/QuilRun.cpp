// The driver behind the reassembler's program tests: answers typed when their question
// appears. Starting the process is the host's (QuilProcess).
#include "QuilRun.h"
#include "QuilProcess.h"

#include "core/DiskSet.h"
#include "core/RecoveryData.h"
#include "reassembler/PartNames.h"
#include "support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace quil_test {

namespace {
int currentChild = -1;
} // namespace

int runningChild() {
    return currentChild;
}

std::string trailer(const std::string& length, const std::string& folder, const std::string& longName,
                    const std::string& givenName) {
    return length + "\r\n" + folder + "\r\n" + longName + "\r\n" + givenName + "\r\n";
}

std::filesystem::path makeReassembler(const std::filesystem::path& folder, const std::string& trailerBytes) {
    const std::filesystem::path program = folder / "QUIL.EXE";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(QUIL_PROGRAM, program, std::filesystem::copy_options::overwrite_existing);
    std::ofstream out(program, std::ios::binary | std::ios::app);
    out.write(trailerBytes.data(), static_cast<std::streamsize>(trailerBytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + program.string());
    }
    std::filesystem::permissions(program, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                              std::filesystem::perms::group_exec);
    return program;
}

std::size_t writeParts(const std::filesystem::path& folder, const std::string& data,
                       const std::vector<std::size_t>& sizes, long firstPart, std::size_t offset) {
    std::filesystem::create_directories(folder);
    long number = firstPart;
    for (std::size_t size : sizes) {
        std::ofstream out(folder / core::diskset::partName(number++), std::ios::binary | std::ios::trunc);
        out.write(data.data() + offset, static_cast<std::streamsize>(size));
        offset += size;
    }
    return offset;
}

std::string writeRecoverySet(const std::filesystem::path& folder, const std::string& data,
                             const std::vector<std::size_t>& sizes, const std::string& name, bool inPieces,
                             const std::string& tie, bool olderSet) {
    writeParts(folder, data, sizes);
    std::vector<core::recovery::Part> parts;
    for (std::size_t size : sizes) {
        parts.push_back(
            {core::diskset::partName(static_cast<long>(parts.size()) + 1), static_cast<std::int64_t>(size)});
    }
    const auto length = static_cast<std::int64_t>(data.size());
    core::recovery::Stream stream(parts, name, length, tie);
    stream.prepare([&data](std::int64_t offset, char* buffer, std::size_t size) {
        std::memcpy(buffer, data.data() + offset, size);
    });
    std::string bytes(static_cast<std::size_t>(stream.length()), '\0');
    stream.read(0, bytes.data(), bytes.size());
    if (olderSet) {
        // The own packet's type, its file checksum and its packet checksum as they were.
        const std::size_t type = bytes.find(std::string("Splitw99Datei2\0\0", 16));
        const std::size_t packet = type - 48;
        const core::recovery::Digest whole = core::recovery::md5Of(data.data(), data.size());
        bytes.replace(type, 16, std::string("Splitw99Datei\0\0\0", 16));
        std::copy(whole.begin(), whole.end(), bytes.begin() + static_cast<std::ptrdiff_t>(type + 16 + 8));
        std::uint64_t size = 0;
        std::memcpy(&size, bytes.data() + packet + 8, 8); // little-endian hosts only
        const core::recovery::Digest sum =
            core::recovery::md5Of(bytes.data() + packet + 32, static_cast<std::size_t>(size - 32));
        std::copy(sum.begin(), sum.end(), bytes.begin() + static_cast<std::ptrdiff_t>(packet + 16));
    }
    if (!inPieces) {
        std::ofstream(folder / core::recovery::pieceName(1), std::ios::binary) << bytes;
    }
    makeReassembler(folder, core::recovery::markerLine(tie) + trailer(std::to_string(length), "", name, name));
    return bytes;
}

RunResult runQuil(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& workingFolder, const std::filesystem::path& tmpFolder,
                  std::vector<Answer> answers, int timeoutSeconds) {
    QuilProcess process(program, arguments, workingFolder, tmpFolder);
    currentChild = process.id();
    bool inputOpen = !answers.empty();
    if (!inputOpen) {
        process.closeInput();
    }

    RunResult result;
    std::size_t searchFrom = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        if (!process.read(result.output, 200)) {
            break;
        }
        while (result.answered < answers.size()) {
            const Answer& next = answers[result.answered];
            const std::size_t at = result.output.find(next.prompt, searchFrom);
            if (at == std::string::npos) {
                break;
            }
            searchFrom = at + next.prompt.size();
            const bool goOn = !next.action || next.action();
            if (goOn) {
                process.write(next.reply + "\n");
            }
            ++result.answered;
            if (result.answered == answers.size() || !goOn) {
                result.answered = answers.size();
                process.closeInput();
                inputOpen = false;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            process.kill();
            result.output += "\n[test: no end after " + std::to_string(timeoutSeconds) + " s, killed]";
            break;
        }
    }
    if (inputOpen) {
        process.closeInput();
    }
    result.exitCode = process.wait();
    currentChild = -1;
    return result;
}

std::vector<Answer> answersForDisks(const std::vector<std::filesystem::path>& laterDisks) {
    std::vector<Answer> answers;
    for (const std::filesystem::path& disk : laterDisks) {
        std::string first;
        for (const auto& entry : std::filesystem::directory_iterator(disk)) {
            const std::string name = utf8Text(entry.path().filename());
            if (name.rfind("QUILME", 0) == 0 && (first.empty() || name < first)) {
                first = name;
            }
        }
        if (!first.empty()) {
            answers.push_back({"Diskette mit " + first, utf8Text(disk)});
        }
    }
    return answers;
}

std::vector<std::string> entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(utf8Text(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path utf8Path(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::size_t occurrences(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

} // namespace quil_test
