// A medium with an unreadable place, as a diskette with a bad sector is: a read-only FUSE file
// system over a folder whose reads of one file fail with EIO wherever they touch a chosen byte
// range. Everything else reads as the folder's own files.
//
//     read_error_fs <folder> <mount point> <file name> <first bad byte> <end of the bad bytes>
//
// It stays in the foreground with one thread until it is unmounted.
#define FUSE_USE_VERSION 31

#include <fuse3/fuse.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Setup {
    std::string folder;
    std::string badFile; // as "/name"
    off_t badFrom = 0;
    off_t badTo = 0;
};
Setup setup;

std::string backing(const char* path) {
    return setup.folder + path;
}

int getattr(const char* path, struct stat* st, fuse_file_info*) {
    return ::lstat(backing(path).c_str(), st) < 0 ? -errno : 0;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags) {
    DIR* dir = ::opendir(backing(path).c_str());
    if (dir == nullptr) {
        return -errno;
    }
    while (const dirent* entry = ::readdir(dir)) {
        fill(buffer, entry->d_name, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    ::closedir(dir);
    return 0;
}

int open(const char* path, fuse_file_info* info) {
    if ((info->flags & O_ACCMODE) != O_RDONLY) {
        return -EROFS;
    }
    const int fd = ::open(backing(path).c_str(), O_RDONLY);
    if (fd < 0) {
        return -errno;
    }
    info->fh = static_cast<std::uint64_t>(fd);
    // Every read comes here: the kernel's cache would answer a second read without asking.
    info->direct_io = 1;
    return 0;
}

int read(const char* path, char* buffer, size_t size, off_t offset, fuse_file_info* info) {
    if (setup.badFile == path && offset < setup.badTo && offset + static_cast<off_t>(size) > setup.badFrom) {
        return -EIO;
    }
    const ssize_t got = ::pread(static_cast<int>(info->fh), buffer, size, offset);
    return got < 0 ? -errno : static_cast<int>(got);
}

int release(const char*, fuse_file_info* info) {
    ::close(static_cast<int>(info->fh));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s <folder> <mount point> <file name> <from> <to>\n", argv[0]);
        return 2;
    }
    setup.folder = argv[1];
    setup.badFile = std::string("/") + argv[3];
    setup.badFrom = std::strtoll(argv[4], nullptr, 10);
    setup.badTo = std::strtoll(argv[5], nullptr, 10);

    fuse_operations operations{};
    operations.getattr = getattr;
    operations.readdir = readdir;
    operations.open = open;
    operations.read = read;
    operations.release = release;
    char* fuseArgs[] = {argv[0],
                        argv[2],
                        const_cast<char*>("-f"),
                        const_cast<char*>("-s"),
                        const_cast<char*>("-o"),
                        const_cast<char*>("ro")};
    return fuse_main(6, fuseArgs, &operations, nullptr);
}
