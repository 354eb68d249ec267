#include "platform/linux/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/linux/folders.h"

namespace {

class OwnedFd {
  public:
    explicit OwnedFd(int fd) : fd_(fd) {}
    ~OwnedFd() { Close(); }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int Get() const { return fd_; }
    bool Close() {
        const bool closed = fd_ < 0 || close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t sent = write(fd, text.data() + done, text.size() - done);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        done += static_cast<size_t>(sent);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool SyncFolder(const std::string& folder) {
    OwnedFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Get() >= 0 && fsync(fd.Get()) == 0;
}

}  // namespace

bool MakeFolders(const std::string& folder, std::string& error) {
    std::error_code problem;
    std::filesystem::create_directories(folder, problem);
    if (!problem) return true;
    error = folder + ": " + ErrnoText(problem.value());
    return false;
}

FileRead ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    OwnedFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return FileRead::kAbsent;
        error = path + ": " + ErrnoText(errno);
        return FileRead::kFailed;
    }
    text.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = path + ": " + ErrnoText(errno);
            return FileRead::kFailed;
        }
        if (got == 0) return FileRead::kRead;
        text.append(buffer, static_cast<size_t>(got));
    }
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    const std::string folder = FolderOf(path);
    if (!MakeFolders(folder, error)) return false;
    const std::string temporary = path + "." + std::to_string(getpid()) + ".new";
    OwnedFd fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    const bool written = fd.Get() >= 0 && WriteAll(fd.Get(), text) && fsync(fd.Get()) == 0 &&
                         fd.Close() && rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        error = path + ": " + ErrnoText(errno);
        unlink(temporary.c_str());
        return false;
    }
    if (!SyncFolder(folder)) {
        error = folder + ": " + ErrnoText(errno);
        return false;
    }
    return true;
}
