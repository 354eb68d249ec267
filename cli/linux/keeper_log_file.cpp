#include "cli/linux/keeper_log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "core/keeper/keeper_log.h"
#include "platform/linux/atomic_file.h"
#include "platform/linux/folders.h"

// Rewritten in place, not replaced: a keeper's standard error may lead to this very file.
void AppendToKeeperLog(const std::string& line) {
    const std::string path = KeeperLogPath();
    std::string error;
    if (!MakeFolders(path.substr(0, path.rfind('/')), error)) return;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    std::string log;
    char buffer[4096];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
        log.append(buffer, static_cast<size_t>(got));
    }
    const std::string text = LogWithLine(log, line, "\n");
    const bool whole = pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
    if (whole && ftruncate(fd, static_cast<off_t>(text.size())) != 0) {
        // The old tail stays behind the new text until the next line is written.
    }
    close(fd);
}

bool StandardErrorIsTheLog() {
    struct stat log {
    }, standardError{};
    return stat(KeeperLogPath().c_str(), &log) == 0 && fstat(STDERR_FILENO, &standardError) == 0 &&
           log.st_dev == standardError.st_dev && log.st_ino == standardError.st_ino;
}

LocalTime LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    tzset();  // a change of time zone since the last look
    std::tm local{};
    localtime_r(&now, &local);
    char text[24];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return {text, (local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec};
}
