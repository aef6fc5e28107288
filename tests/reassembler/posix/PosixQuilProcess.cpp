// QUIL.EXE as a child process on POSIX: fork and exec, pipes, poll.
#include "../QuilProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace quil_test {

struct QuilProcess::State {
    pid_t child = -1;
    int toChild = -1;
    int fromChild = -1;
};

QuilProcess::QuilProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& workingFolder, const std::filesystem::path& tmpFolder)
    : state_(std::make_unique<State>()) {
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
    ::close(input[0]);
    ::close(output[1]);
    state_->child = child;
    state_->toChild = input[1];
    state_->fromChild = output[0];
}

QuilProcess::~QuilProcess() {
    closeInput();
    if (state_->fromChild >= 0) {
        ::close(state_->fromChild);
    }
    if (state_->child > 0) {
        ::kill(state_->child, SIGKILL);
        ::waitpid(state_->child, nullptr, 0);
    }
}

bool QuilProcess::read(std::string& output, int timeoutMs) {
    pollfd pending{state_->fromChild, POLLIN, 0};
    const int ready = ::poll(&pending, 1, timeoutMs);
    if (ready < 0 && errno != EINTR) {
        return false;
    }
    if (ready > 0) {
        char buffer[4096];
        const ssize_t got = ::read(state_->fromChild, buffer, sizeof buffer);
        if (got <= 0) {
            return false;
        }
        output.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

void QuilProcess::write(const std::string& text) {
    [[maybe_unused]] const ssize_t written = ::write(state_->toChild, text.data(), text.size());
}

void QuilProcess::closeInput() {
    if (state_->toChild >= 0) {
        ::close(state_->toChild);
        state_->toChild = -1;
    }
}

void QuilProcess::kill() {
    ::kill(state_->child, SIGKILL);
}

int QuilProcess::wait() {
    int status = 0;
    ::waitpid(state_->child, &status, 0);
    state_->child = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int QuilProcess::id() const {
    return state_->child;
}

std::shared_ptr<void> makeUnreadable(const std::filesystem::path& path) {
    std::filesystem::remove(path);
    std::filesystem::create_symlink("/proc/self/mem", path);
    return nullptr;
}

std::string trailerFolder(const std::filesystem::path& folder) {
    // Z: is the root on Linux.
    std::string text = "Z:" + folder.string() + "/";
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

} // namespace quil_test
