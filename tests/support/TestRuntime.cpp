#include "TestRuntime.h"

namespace testing_support {

TestRuntime::TestRuntime(rt::DriveMap drives, rt::ProgramFacts facts, rt::FileSystem* fileSystem) {
    rt::RuntimeParts parts;
    parts.drives = std::move(drives);
    parts.facts = std::move(facts);
    parts.fileSystem = fileSystem != nullptr ? fileSystem : host_.get();
    parts.messageBox = &boxes_;
    parts.events = &events_;
    parts.programEnd = &end_;
    parts.shellLink = &links_;
    runtime_ = std::make_unique<rt::Runtime>(std::move(parts));
}

} // namespace testing_support
