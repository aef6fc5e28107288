// The one part of the program tests that differs by host: starting QUIL.EXE with its standard
// handles on pipes, and the folder text a trailer uses for a folder of this machine.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quil_test {

class QuilProcess {
public:
    // Starts program with arguments in workingFolder; its temporary folder (TMPDIR, or TMP and
    // TEMP) is tmpFolder. Standard output and error arrive together.
    QuilProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                const std::filesystem::path& workingFolder, const std::filesystem::path& tmpFolder);
    ~QuilProcess();
    QuilProcess(const QuilProcess&) = delete;
    QuilProcess& operator=(const QuilProcess&) = delete;

    // Appends what the program wrote within timeoutMs; false once its output has ended.
    bool read(std::string& output, int timeoutMs);
    void write(const std::string& text);
    void closeInput();
    void kill();
    // Waits for the end; the exit status (128 + signal for a signal).
    int wait();
    int id() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Makes path a part QUIL.EXE finds but cannot read while the result lives: on Linux a link to
// /proc/self/mem (its first read fails with EIO), on Windows the file held open without sharing.
std::shared_ptr<void> makeUnreadable(const std::filesystem::path& path);

// A folder of this machine as a trailer names it ("Z:\tmp\x\" on Linux, "C:\x\" on Windows).
std::string trailerFolder(const std::filesystem::path& folder);

} // namespace quil_test
