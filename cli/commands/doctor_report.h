// `lumivar doctor`'s report as a rule: the facts gathered in, the lines, the JSON document and
// the exit code out.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// One fact, one line. A fact with a fix is a failing one.
struct DoctorFact {
    std::string topic;   // what it is about: "driver", "GPU 0", "settings", ...
    std::string text;    // what was found
    std::string fix;     // what to do about it; empty when nothing fails
    int exitCode = 0;    // the exit code the problem stands for; 0 for one that bears on none
    bool probe = false;  // a supported board's LED controller asked
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();  // the JSON's own keys

    bool Failed() const { return !fix.empty(); }
};

// "ok    GPU 0: ..." or "FAIL  GPU 0 controller: ...; what to do: ..."
std::string DoctorLine(const DoctorFact& fact);
// {"exit_code": N, "facts": [{"topic", "ok", "text", "fix", the fact's fields}, ...]}
std::string DoctorJson(const std::vector<DoctorFact>& facts, int exitCode);
// 0 when there are supported boards and every one's controller answered; otherwise the code of
// the first failing fact that stands for one (3 when none does).
int DoctorExitCode(const std::vector<DoctorFact>& facts);
// The log's last line that holds anything, without its line end.
std::string LastLine(const std::string& text);
