#include "panel/linux/single_instance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "platform/linux/folders.h"

namespace {

constexpr char kRequest[] = "raise\n";
constexpr int kBacklog = 4;

// False when the path does not fit an address.
bool AddressOf(const std::string& path, sockaddr_un& address) {
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

SingleInstance::SingleInstance() {
    std::string error;
    const std::string folder = PrivateRuntimeFolder(error);
    if (!folder.empty()) path_ = folder + "/panel.socket";
}

SingleInstance::~SingleInstance() {
    if (listening_ < 0) return;
    notifier_.reset();
    close(listening_);
    unlink(path_.c_str());
}

bool SingleInstance::AnotherRuns() {
    sockaddr_un address;
    if (!AddressOf(path_, address)) return false;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return false;
    const bool answered =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    // The first panel may have closed its end already: no SIGPIPE for that.
    if (answered) (void)!send(socket, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL);
    close(socket);
    return answered;
}

void SingleInstance::Listen() {
    sockaddr_un address;
    if (!AddressOf(path_, address)) return;
    // Nobody answered there: what is left is a panel's that ended without removing it.
    unlink(path_.c_str());
    listening_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listening_ < 0) return;
    if (bind(listening_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(path_.c_str(), S_IRUSR | S_IWUSR) != 0 || listen(listening_, kBacklog) != 0) {
        close(listening_);
        listening_ = -1;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(listening_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SingleInstance::Accept);
}

// Each connection is a request; what it says is not waited for.
void SingleInstance::Accept() {
    int socket;
    while ((socket = accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        close(socket);
        emit raiseRequested();
    }
}
