#include "TempDir.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace testing_support {

TempDir::TempDir() {
    // A random name, taken only when the folder did not exist yet, as mkdtemp does; the same on
    // every host.
    static std::mt19937_64 names(std::random_device{}());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[20];
        std::snprintf(suffix, sizeof suffix, "%012llx", static_cast<unsigned long long>(names() & 0xFFFFFFFFFFFFull));
        const std::filesystem::path candidate = base / ("splitwerk-test-" + std::string(suffix));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("no fresh temporary folder in " + base.string());
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Tests make files read-only; give the owner write access back so the folder can go.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
    }
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write(const std::string& relative, const std::string& bytes) const {
    std::filesystem::path file = path_ / utf8Path(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
    return file;
}

std::filesystem::path TempDir::writeRandom(const std::string& relative, std::size_t size, unsigned seed) const {
    return write(relative, randomBytes(size, seed));
}

std::filesystem::path utf8Path(const std::string& text) {
    std::u8string utf8;
    for (const char c : text) {
        utf8 += static_cast<char8_t>(c);
    }
    return std::filesystem::path(utf8);
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file.string());
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

} // namespace testing_support
