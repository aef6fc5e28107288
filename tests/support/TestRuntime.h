// A runtime for tests: the host's real files behind a drive map the test builds, scripted
// dialogs and yields, a program end that throws, and a Send To layer that only records.
#pragma once

#include "ScriptedEvents.h"
#include "ScriptedMessageBox.h"
#include "runtime/HostPlatform.h"
#include "runtime/Runtime.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

struct ShellLinkCall {
    std::string folder;
    std::string name;
    std::string target;
    std::string arguments;
    bool operator==(const ShellLinkCall&) const = default;
};

class RecordingShellLink final : public rt::ShellLink {
public:
    int create(const std::string& folder, const std::string& name, const std::string& target,
               const std::string& arguments) override {
        calls.push_back({folder, name, target, arguments});
        return result;
    }
    std::string missingFolder() const override { return missing; }
    std::vector<ShellLinkCall> calls;
    int result = 1;      // what every call answers
    std::string missing; // the home it reports missing
};

class TestRuntime {
public:
    // drives: the map the test built; facts: command line and program folder as a test needs.
    // fileSystem: the real one unless a test passes a fault-injecting one.
    TestRuntime(rt::DriveMap drives, rt::ProgramFacts facts, rt::FileSystem* fileSystem = nullptr);

    rt::Runtime& runtime() { return *runtime_; }
    ScriptedMessageBox& boxes() { return boxes_; }
    ScriptedEvents& events() { return events_; }
    RecordingShellLink& links() { return links_; }

private:
    std::unique_ptr<rt::FileSystem> host_ = rt::makeHostFileSystem();
    ScriptedMessageBox boxes_;
    ScriptedEvents events_;
    rt::ThrowingEnd end_;
    RecordingShellLink links_;
    std::unique_ptr<rt::Runtime> runtime_;
};

} // namespace testing_support
