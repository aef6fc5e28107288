// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Creates (or replaces) a file below the folder with the given bytes.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const;
    std::filesystem::path writeRandom(const std::string& relative, std::size_t size, unsigned seed) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& file);
// A path from UTF-8 text, as the runtime reads its names. A plain std::string would be taken in
// the ANSI code page on Windows, and "Größe.bin" would be another name there.
std::filesystem::path utf8Path(const std::string& text);
std::string randomBytes(std::size_t size, unsigned seed);

} // namespace testing_support
