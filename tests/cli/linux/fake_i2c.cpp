// Preloaded into lumivar (LD_PRELOAD), plays the kernel's /dev/i2c-N: a node is a plain file
// under the fake root whose words say how its adapter behaves, and every transfer is appended to
// ROOT/i2c.log as "MS i2c-N read|write COUNT[: BYTES]" ("-" for one that failed).
// Words: answers (a controller at 0x49), deny (open: EACCES), busy (I2C_SLAVE: EBUSY), smbus
// (no plain I2C), fail-read=K / fail-write=K (the K-th read / write of the node: EIO), short (a
// write one byte short).
// The board lock file (lumivar-i2c.lock) fails as FAKE_LOCK_FAULT says: deny (open: EACCES),
// race (another program makes it between the plain open and the exclusive create: EEXIST),
// nolock (flock: ENOLCK); each open and close of it is appended to ROOT/lock.log.
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

struct Node {
    int number = -1;  // -1: the descriptor is no node
    std::string words;
    unsigned long address = 0;
    int reads = 0, writes = 0;
};
Node nodes[1024];
bool lockFds[1024];

// The system's own function, looked up at each call: the program may call in before this
// library's constructors ran.
#define REAL(function) reinterpret_cast<decltype(&::function)>(dlsym(RTLD_NEXT, #function))

Node* NodeOf(int fd) {
    return fd >= 0 && fd < 1024 && nodes[fd].number >= 0 ? &nodes[fd] : nullptr;
}

bool Has(const Node& node, const std::string& word) {
    return node.words.find(word) != std::string::npos;
}

bool LockFault(const char* fault) {
    const char* set = std::getenv("FAKE_LOCK_FAULT");
    return set != nullptr && std::strcmp(set, fault) == 0;
}

void LockLog(const char* event) {
    FILE* log = std::fopen((std::string(std::getenv("LUMIVAR_ROOT")) + "/lock.log").c_str(), "a");
    std::fprintf(log, "%s\n", event);
    std::fclose(log);
}

// Reads and writes alike, each logged: the K-th fails (EIO) when the words say so, and nobody
// but a controller at 0x49 answers (ENXIO). Stdio's own calls of the system are not played here.
ssize_t Transfer(Node& node, const char* what, const void* data, size_t size, int& count) {
    const bool fails = Has(node, std::string("fail-") + what + "=" + std::to_string(++count));
    const bool answers = !fails && Has(node, "answers") && node.address == 0x49;
    const ssize_t moved = answers ? size - (what[0] == 'w' && Has(node, "short")) : -1;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    FILE* log = std::fopen((std::string(std::getenv("LUMIVAR_ROOT")) + "/i2c.log").c_str(), "a");
    std::fprintf(log, "%ld i2c-%d %s ", now.tv_sec * 1000 + now.tv_nsec / 1000000, node.number,
                 what);
    moved < 0 ? std::fputs("-", log) : std::fprintf(log, "%zd", moved);
    for (ssize_t i = 0; what[0] == 'w' && i < moved; ++i)
        std::fprintf(log, "%s %02x", i ? "" : ":", static_cast<const uint8_t*>(data)[i]);
    std::fputs("\n", log);
    std::fclose(log);
    errno = fails ? EIO : ENXIO;
    return moved;
}

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    const bool lock = std::strstr(path, "lumivar-i2c.lock") != nullptr;
    if (lock && LockFault("deny")) return errno = EACCES, -1;
    if (lock && LockFault("race") && (flags & O_EXCL) != 0) {
        REAL(close)(REAL(open)(path, O_CREAT, mode));
        return errno = EEXIST, -1;
    }
    const int fd = REAL(open)(path, flags, mode);
    if (lock && fd >= 0 && fd < 1024) lockFds[fd] = true, LockLog("open");
    const char* node = fd >= 0 && fd < 1024 ? std::strstr(path, "/dev/i2c-") : nullptr;
    char words[256] = {};
    if (node == nullptr || pread(fd, words, sizeof words - 1, 0) < 0) return fd;
    nodes[fd] = Node{std::atoi(node + 9), words};
    return Has(nodes[fd], "deny") ? (close(fd), errno = EACCES, -1) : fd;
}

extern "C" int close(int fd) {
    if (fd >= 0 && fd < 1024 && lockFds[fd]) lockFds[fd] = false, LockLog("close");
    if (Node* node = NodeOf(fd)) node->number = -1;
    return REAL(close)(fd);
}

extern "C" int ioctl(int fd, unsigned long request, ...) {
    va_list rest;
    va_start(rest, request);
    void* argument = va_arg(rest, void*);
    va_end(rest);
    Node* node = NodeOf(fd);
    if (node == nullptr) return REAL(ioctl)(fd, request, argument);
    if (request == I2C_FUNCS) {
        *static_cast<unsigned long*>(argument) =
            Has(*node, "smbus") ? I2C_FUNC_SMBUS_BYTE : I2C_FUNC_I2C;
        return 0;
    }
    errno = request != I2C_SLAVE ? ENOTTY : Has(*node, "busy") ? EBUSY : 0;
    if (errno != 0) return -1;
    node->address = reinterpret_cast<unsigned long>(argument);
    return 0;
}

extern "C" ssize_t read(int fd, void* data, size_t size) {
    Node* node = NodeOf(fd);
    return node ? Transfer(*node, "read", nullptr, size, node->reads) : REAL(read)(fd, data, size);
}

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    Node* node = NodeOf(fd);
    return node ? Transfer(*node, "write", data, size, node->writes) : REAL(write)(fd, data, size);
}

extern "C" int flock(int fd, int operation) {
    const bool lock = fd >= 0 && fd < 1024 && lockFds[fd];
    return lock && LockFault("nolock") ? (errno = ENOLCK, -1) : REAL(flock)(fd, operation);
}
