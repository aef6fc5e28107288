// The lock is a name in the abstract socket namespace: the kernel refuses a second socket of
// the same name and frees the name when the socket's last descriptor closes, which the end of
// the process does whatever way it ends. No file is made anywhere.
#include "runtime/TargetLock.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace rt {

namespace {

class SocketLock final : public TargetLock {
public:
    explicit SocketLock(int socket) : socket_(socket) {}
    ~SocketLock() override { ::close(socket_); }
    SocketLock(const SocketLock&) = delete;
    SocketLock& operator=(const SocketLock&) = delete;

private:
    int socket_;
};

} // namespace

std::unique_ptr<TargetLock> lockTarget(const std::string& space, const std::string& key) {
    const std::string spaceName = space.empty() ? "splitwerk99-process-" + std::to_string(::getpid()) : space;
    // A key of any length fits: the name carries its hash, and the key's readable start.
    const std::string name = spaceName + "/" + std::to_string(std::hash<std::string>{}(key)) + "/" + key;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // The leading NUL puts the name into the abstract namespace.
    const std::size_t length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0) {
        return nullptr;
    }
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(sock, reinterpret_cast<const sockaddr*>(&address), size) < 0) {
        ::close(sock);
        return nullptr;
    }
    return std::make_unique<SocketLock>(sock);
}

} // namespace rt
