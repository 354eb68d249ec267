#include "cli/commands/doctor_report.h"

#include "cli/commands/exit_codes.h"

std::string DoctorLine(const DoctorFact& fact) {
    if (!fact.Failed()) return "ok    " + fact.topic + ": " + fact.text;
    return "FAIL  " + fact.topic + ": " + fact.text + "; what to do: " + fact.fix;
}

std::string DoctorJson(const std::vector<DoctorFact>& facts, int exitCode) {
    nlohmann::ordered_json document;
    document["exit_code"] = exitCode;
    document["facts"] = nlohmann::ordered_json::array();
    for (const DoctorFact& fact : facts) {
        nlohmann::ordered_json entry;
        entry["topic"] = fact.topic;
        entry["ok"] = !fact.Failed();
        entry["text"] = fact.text;
        if (fact.Failed()) entry["fix"] = fact.fix;
        for (const auto& field : fact.fields.items()) entry[field.key()] = field.value();
        document["facts"].push_back(entry);
    }
    // Text that is not UTF-8 (a GPU's name, a log line) is replaced, never a reason to fail.
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

int DoctorExitCode(const std::vector<DoctorFact>& facts) {
    bool anyProbe = false, probeFailed = false;
    for (const DoctorFact& fact : facts) {
        anyProbe = anyProbe || fact.probe;
        probeFailed = probeFailed || (fact.probe && fact.Failed());
    }
    if (anyProbe && !probeFailed) return kExitDone;
    for (const DoctorFact& fact : facts) {
        if (fact.Failed() && fact.exitCode != kExitDone) return fact.exitCode;
    }
    return kExitDriverFailed;
}

std::string LastLine(const std::string& text) {
    const size_t end = text.find_last_not_of("\r\n");
    if (end == std::string::npos) return "";
    const size_t start = text.find_last_of("\r\n", end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1) + 1);
}
