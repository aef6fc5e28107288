#include "TempDir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace testing_support {

TempDir::TempDir() {
    // A new folder under a name nobody holds (mkdtemp is not on every host): create_directory
    // says whether it made the folder or found one.
    static std::mt19937_64 generator(std::random_device{}());
    const char* letters = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "splitwerk-test-";
        for (int i = 0; i < 8; ++i) {
            name += letters[generator() % 36];
        }
        const std::filesystem::path candidate = std::filesystem::temp_directory_path() / name;
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("no new temporary folder");
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
    std::filesystem::path file = path_ / relative;
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
