// The process driver behind the reassembler's program tests.
#include "QuilRun.h"

#include "core/DiskSet.h"
#include "reassembler/PartNames.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace quil_test {

namespace {
pid_t currentChild = -1;
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
    std::filesystem::copy_file(SPLITWERK_BUILD_DIR "/QUIL.SYS", program,
                               std::filesystem::copy_options::overwrite_existing);
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
        std::ofstream out(folder / diskset::partName(number++), std::ios::binary | std::ios::trunc);
        out.write(data.data() + offset, static_cast<std::streamsize>(size));
        offset += size;
    }
    return offset;
}

RunResult runQuil(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& workingFolder, const std::filesystem::path& tmpFolder,
                  std::vector<Answer> answers) {
    // A program that ends before reading its answer must not take the test down with it.
    ::signal(SIGPIPE, SIG_IGN);
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const std::string tmpdir = "TMPDIR=" + tmpFolder.string();

    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(input[0], STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(output[1], STDERR_FILENO);
        if (::chdir(workingFolder.c_str()) != 0) {
            ::_exit(126);
        }
        ::putenv(const_cast<char*>(tmpdir.c_str()));
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    currentChild = child;
    ::close(input[0]);
    ::close(output[1]);
    int toChild = input[1];
    if (answers.empty()) {
        ::close(toChild);
        toChild = -1;
    }

    RunResult result;
    std::size_t searchFrom = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        pollfd pending{output[0], POLLIN, 0};
        const int ready = ::poll(&pending, 1, 200);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready > 0) {
            char buffer[4096];
            const ssize_t got = ::read(output[0], buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            result.output.append(buffer, static_cast<std::size_t>(got));
        }
        while (result.answered < answers.size()) {
            const Answer& next = answers[result.answered];
            const std::size_t at = result.output.find(next.prompt, searchFrom);
            if (at == std::string::npos) {
                break;
            }
            searchFrom = at + next.prompt.size();
            const bool goOn = !next.action || next.action();
            const std::string line = next.reply + "\n";
            if (goOn) {
                [[maybe_unused]] const ssize_t written = ::write(toChild, line.data(), line.size());
            }
            ++result.answered;
            if (result.answered == answers.size() || !goOn) {
                result.answered = answers.size();
                ::close(toChild);
                toChild = -1;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            result.output += "\n[test: no end after 60 s, killed]";
            break;
        }
    }
    if (toChild >= 0) {
        ::close(toChild);
    }
    ::close(output[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    currentChild = -1;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::vector<Answer> answersForDisks(const std::vector<std::filesystem::path>& laterDisks) {
    std::vector<Answer> answers;
    for (const std::filesystem::path& disk : laterDisks) {
        std::string first;
        for (const auto& entry : std::filesystem::directory_iterator(disk)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("QUILME", 0) == 0 && (first.empty() || name < first)) {
                first = name;
            }
        }
        if (!first.empty()) {
            answers.push_back({"Diskette mit " + first, disk.string()});
        }
    }
    return answers;
}

std::vector<std::string> entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::size_t occurrences(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

} // namespace quil_test
