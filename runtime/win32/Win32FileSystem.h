// The real file system of a Windows host.
#pragma once

#include "runtime/FileSystem.h"

namespace rt {

class Win32FileSystem final : public FileSystem {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override;
    int attributes(const std::string& path) override;
    void setAttributes(const std::string& path, int attributes) override;
    void remove(const std::string& path) override;
    void removeForced(const std::string& path) override;
    void copy(const std::string& from, const std::string& to) override;
    int64_t length(const std::string& path) override;
    std::vector<DirEntry> list(const std::string& directory, const std::string& pattern) override;
    DirEntry describe(const std::string& path) override;
    core::FileIdentity identity(const std::string& path, Follow follow) override;
    void flushToMedium(const std::string& path) override;
    std::vector<DirEntry> folders(const std::string& directory) override;
    std::string realFolder(const std::string& folder) override;
};

} // namespace rt
