#include "core/keeper/keeper_log.h"

#include <algorithm>

namespace {

// What lumivar puts before its error messages, which the log does not need.
constexpr char kProgramPrefix[] = "lumivar: ";

// A board's name comes from the driver: no line of its may break the log's lines.
std::string OnOneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

}  // namespace

std::string KeeperLogLine(const std::string& time, Trigger trigger,
                          const std::vector<std::string>& printed, int exitCode) {
    std::string line = time + " " + TriggerName(trigger) + ":";
    const char* separator = " ";
    for (const std::string& text : printed) {
        const bool prefixed = text.rfind(kProgramPrefix, 0) == 0;
        line += separator + OnOneLine(prefixed ? text.substr(sizeof kProgramPrefix - 1) : text);
        separator = "; ";
    }
    if (exitCode != 0) line += " (exit " + std::to_string(exitCode) + ")";
    return line;
}

std::string LogWithLine(const std::string& log, const std::string& line, const char* lineEnd,
                        size_t limit) {
    const size_t half = limit / 2;
    const std::string end = lineEnd;
    const std::string added = line.substr(0, half - end.size()) + end;
    if (log.size() + added.size() <= limit) return log + added;
    // Over the limit, the log is longer than half of it (the line is at most half): the newer
    // half stays, from the first line that starts in it.
    size_t start = log.size() - half;
    if (log[start - 1] != '\n') {
        const size_t lineEnd = log.find('\n', start);
        start = lineEnd == std::string::npos ? log.size() : lineEnd + 1;
    }
    return log.substr(start) + added;
}
