#include "cli/commands/doctor_command.h"

#include <cstdio>

#include "cli/commands/exit_codes.h"
#include "cli/commands/forwarding_host.h"
#include "cli/commands/send_path.h"
#include "core/gpus/gpu_temperature.h"
#include "resources/version.h"

namespace {

using Json = nlohmann::ordered_json;

// The host as the probe's sender sees it, but for its failure, kept for the report rather than
// printed.
class ReportingHost final : public ForwardingHost {
  public:
    explicit ReportingHost(CliHost& host) : ForwardingHost(host) {}
    void PrintError(const std::string& line) override { error = line; }

    std::string error;
};

std::string Hex(uint32_t value, int digits) {
    char text[12];
    std::snprintf(text, sizeof text, "%0*x", digits, static_cast<unsigned>(value));
    return text;
}

DoctorFact Problem(std::string topic, std::string text, std::string fix, int exitCode) {
    DoctorFact fact;
    fact.topic = std::move(topic);
    fact.text = std::move(text);
    fact.fix = std::move(fix);
    fact.exitCode = exitCode;
    return fact;
}

DoctorFact Fine(std::string topic, std::string text) {
    return Problem(std::move(topic), std::move(text), "", kExitDone);
}

// Slot, bus, the four PCI identifiers, the family, the name.
DoctorFact GpuFact(const DriverSession& session, const Board& board) {
    NvU32 device = 0, subsystem = 0, revision = 0, extended = 0;
    const NvAPI_Status status = session.Api().GPU_GetPCIIdentifiers(
        board.target.gpu, &device, &subsystem, &revision, &extended);
    DoctorFact fact = Fine("GPU " + std::to_string(board.slot), "");
    fact.fields = {{"slot", board.slot},
                   {"bus", board.key.bus},
                   {"device", Hex(device, 8)},
                   {"subsystem", Hex(subsystem, 8)},
                   {"revision", Hex(revision, 2)},
                   {"extended", Hex(extended, 8)},
                   {"family", board.supported ? Json(board.family) : Json("not supported")},
                   {"name", board.name}};
    fact.text = "bus " + std::to_string(board.key.bus) + ", device " + Hex(device, 8) +
                ", subsystem " + Hex(subsystem, 8) + " (the board's maker), revision " +
                Hex(revision, 2) + ", extended " + Hex(extended, 8) + ", " +
                (board.supported ? "family " + std::to_string(board.family) : "not supported") +
                ", " + board.name;
    if (status != NVAPI_OK)
        fact.text += " (the driver gave no PCI identifiers: status " + std::to_string(status) + ")";
    return fact;
}

void AddDriverAndBoards(const DriverSession& session, DoctorPlatform& platform, CliHost& host,
                        std::vector<DoctorFact>& facts) {
    if (!session.Found()) {
        facts.push_back(Problem("driver", session.FailureText(),
                                "is the NVIDIA display driver installed and running? (the "
                                "lines above tell what is missing)",
                                kExitDriverFailed));
        return;
    }
    bool anySupported = false;
    for (const Board& board : session.Boards()) {
        facts.push_back(GpuFact(session, board));
        anySupported = anySupported || board.supported;
    }
    if (!anySupported) {
        facts.push_back(Problem("boards", "no GPU holds a supported board",
                                "lumivar lights SKARNE boards with a GeForce RTX 3090, 3080, "
                                "3070, 2080 Ti, 2080, 2080 SUPER or 2070 SUPER only",
                                kExitNoSuchGpu));
        return;
    }
    // Let go at once: each probe takes it as every command does. A lock that is held keeps the
    // probes back, so that no read comes between another program's two blocks.
    std::string lockError;
    const bool lockFree = [&] {
        const std::unique_ptr<InterProcessLock> lock = platform.BoardLockAtOnce();
        const HeldLock held(*lock);
        lockError = held.Error();
        return held.Held();
    }();
    facts.push_back(lockFree ? Fine("board lock", "free")
                             : Problem("board lock", lockError,
                                       "wait until the other program is done (a keeper, the "
                                       "panel, another lumivar), or end it",
                                       kExitDriverFailed));
    for (const Board& board : session.Boards()) {
        if (!board.supported) continue;
        const std::string topic = board.Label() + " LED controller";
        DoctorFact fact;
        std::string failure;
        if (!lockFree) {
            fact = Problem(topic, "not asked: the board lock is held",
                           "run lumivar doctor again once the lock is free", kExitDriverFailed);
        } else if (const int code = ProbeController(host, session, board, failure)) {
            fact = Problem(topic, "did not answer the 8-byte read",
                           failure + platform.UnansweredAdvice(), code);
        } else {
            const std::optional<std::string> where = host.TransferPort(board);
            // The 7-bit address, as i2c tools write it (the driver's records carry it shifted).
            fact = Fine(topic, "answered the 8-byte read at address 0x" +
                                   Hex(board.target.ledControllerAddress >> 1, 2) + " on " +
                                   where.value_or("?"));
        }
        fact.probe = true;
        fact.fields["slot"] = board.slot;
        fact.fields["answered"] = !fact.Failed();
        facts.push_back(fact);
    }
}

const Board* PresentBoard(const DriverSession& session, const BoardKey& key) {
    for (const Board& board : session.Boards()) {
        if (board.key == key) return &board;
    }
    return nullptr;
}

// The settings file as it is now, read once.
struct SettingsRead {
    SettingsOutcome outcome = SettingsOutcome::kNothingSaved;
    SavedSettings saved;
    std::string error;
};

void AddSettings(const SettingsRead& read, const DriverSession& session, DoctorPlatform& platform,
                 CliHost& host, std::vector<DoctorFact>& facts) {
    SettingsStore& store = host.Settings();
    const SavedSettings& saved = read.saved;
    const std::string& error = read.error;
    const SettingsOutcome outcome = read.outcome;
    DoctorFact file =
        outcome == SettingsOutcome::kUnreadable
            ? Problem("settings", error,
                      "nothing is saved while it cannot be read: mend the file or remove it",
                      kExitSettingsFile)
        : outcome == SettingsOutcome::kNothingSaved
            ? Fine("settings", store.FileName() + ": nothing saved yet")
            : Fine("settings", store.FileName() + ": readable, " +
                                   std::to_string(saved.boards.size()) + " board(s) saved");
    file.fields["file"] = store.FileName();
    facts.push_back(file);
    std::vector<const Board*> followed;
    for (const SavedBoard& entry : saved.boards) {
        const Board* board = PresentBoard(session, entry.key);
        DoctorFact fact = Fine(
            "saved board " + PciText(entry.key.pciId) + " on bus " + std::to_string(entry.key.bus),
            board ? "present, " + board->Label() : "not present: restore and the keeper skip it");
        fact.fields["present"] = board != nullptr;
        if (entry.i2cBus) {
            fact.text += "; saved with its adapter i2c-" + std::to_string(*entry.i2cBus);
            fact.fields["i2c_bus"] = *entry.i2cBus;
        }
        facts.push_back(fact);
        if (board && entry.options.byTemperature) followed.push_back(board);
    }
    facts.push_back(Fine("lights-out", LightsOutText(saved.lightsOut)));
    for (const Board* board : followed) {
        const std::optional<int> celsius = ReadGpuTemperature(session.Api(), board->target.gpu);
        DoctorFact fact =
            celsius ? Fine(board->Label() + " temperature", std::to_string(*celsius) + " °C")
                    : Problem(board->Label() + " temperature", "cannot be read",
                              platform.TemperatureFailure(), kExitDone);
        if (celsius) fact.fields["celsius"] = *celsius;
        facts.push_back(fact);
    }
}

void AddKeeper(DoctorPlatform& platform, LogonEntry& logon, std::vector<DoctorFact>& facts) {
    std::string error;
    switch (logon.Read(error)) {
        case FileRead::kRead:
            facts.push_back(Fine("logon entry", logon.Where() + ": there"));
            break;
        case FileRead::kAbsent:
            facts.push_back(
                Fine("logon entry", logon.Where() + ": not there (lumivar logon enable adds it)"));
            break;
        case FileRead::kFailed:
            facts.push_back(Problem("logon entry", logon.Where() + ": " + error,
                                    "lumivar logon disable, then enable, writes it afresh",
                                    kExitLogonEntry));
            break;
    }
    facts.push_back(Fine("keeper", platform.KeeperRuns() ? "runs" : "does not run"));
    std::string text;
    const FileRead read = platform.ReadKeeperLog(text, error);
    DoctorFact log =
        read == FileRead::kFailed ? Problem("keeper log", platform.KeeperLogName() + ": " + error,
                                            "the keeper cannot write it either: check the "
                                            "folder's owner and rights",
                                            kExitDone)
        : read == FileRead::kAbsent || LastLine(text).empty()
            ? Fine("keeper log", platform.KeeperLogName() + ": no line yet")
            : Fine("keeper log", platform.KeeperLogName() + ": last line: " + LastLine(text));
    log.fields["file"] = platform.KeeperLogName();
    facts.push_back(log);
}

}  // namespace

int ProbeController(CliHost& host, const DriverSession& session, const Board& board,
                    std::string& failure) {
    ReportingHost reporting(host);
    const int code = MakeSender(reporting, session, false)->Send(PlanProbeStep(board));
    // "lumivar: GPU 0 (NAME): what it met"
    const std::string said = "lumivar: " + board.Label() + ": ";
    failure = reporting.error.compare(0, said.size(), said) == 0
                  ? reporting.error.substr(said.size())
                  : reporting.error;
    return code;
}

int RunDoctor(bool json, DoctorPlatform& platform, LogonEntry& logon, CliHost& host) {
    std::vector<DoctorFact> facts;
    DoctorFact version =
        Fine("version", std::string("lumivar ") + LUMIVAR_VERSION_TEXT + " on " + platform.Name());
    version.fields = {{"version", LUMIVAR_VERSION_TEXT}, {"platform", platform.Name()}};
    facts.push_back(version);
    for (DoctorFact& fact : platform.DriverFacts()) facts.push_back(std::move(fact));
    SettingsRead settings;
    settings.outcome = LoadSettings(host.Settings(), settings.saved, settings.error);
    // An adapter saved with a board is asked as restore and the keeper ask it.
    host.UseSavedAdapters(settings.saved);
    {
        const DriverSession session(host.Driver());
        AddDriverAndBoards(session, platform, host, facts);
        AddSettings(settings, session, platform, host, facts);
    }
    AddKeeper(platform, logon, facts);
    const int code = DoctorExitCode(facts);
    if (json) {
        const std::string document = DoctorJson(facts, code);
        size_t start = 0;
        for (size_t end; (end = document.find('\n', start)) != std::string::npos; start = end + 1)
            host.Print(document.substr(start, end - start));
        host.Print(document.substr(start));
        return code;
    }
    for (const DoctorFact& fact : facts) host.Print(DoctorLine(fact));
    return code;
}
