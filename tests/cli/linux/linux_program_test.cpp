// lumivar on Linux as users run it, on a fake machine: sysfs and /proc as files under
// LUMIVAR_ROOT, the adapters played by the preloaded fake_i2c; the Windows program's bytes for
// the same command lines from its board commands run in-process on the simulated driver.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <regex>

#include "cli/commands/board_commands.h"
#include "cli/linux/linux_host.h"
#include "platform/linux/linux_driver.h"
#include "tests/cli/linux/fake_machine.h"
#include "tests/support/in_process/in_process_driver.h"

namespace {

// The board commands as lumivar.exe runs them, on the simulated driver: of their host only the
// driver and the probe rule reach the bytes, the rest is this system's.
struct SimulatedDriverHost : LinuxHost {
    SimulatedDriverHost() : LinuxHost(std::nullopt) {}
    nvapi::NvApiAccess& Driver() override { return access; }
    void Sleep(unsigned) override {}
    led::ProbeFailure OnProbeFailure() override { return led::ProbeFailure::kSendAnyway; }
    std::optional<std::string> TransferPort(const Board& board) override {
        return CliHost::TransferPort(board);
    }
    void Print(const std::string& line) override { printed += line + "\n"; }
    std::string printed;
    InProcessDriver driver;
    nvapi::NvApiAccess access{driver};
};

// A dry run's writes to the controller's address, "COUNT: BYTES" each, and its pauses.
std::string PrintedWrites(const std::string& printed) {
    std::string writes;
    for (const std::string& line : Words(printed, '\n')) {
        const size_t write = line.find(", 0x49, write ");
        if (write != std::string::npos) writes += line.substr(write + 14) + "\n";
        if (line.find(": pause 500 ms") != std::string::npos) writes += "pause\n";
    }
    return writes;
}

// Each line is first run as a dry run, which prints the transfers the real run then makes (the
// fake adapters' log on Linux, the simulated driver's for lumivar.exe) and writes, saves and
// tells a keeper nothing: this process stands in for the keeper, SIGUSR2 (the settings changed)
// held pending.
TEST(LinuxProgram, SendsTheWindowsProgramsBytesInItsOrderAndPause) {
    Machine machine;
    SimulatedDriverHost windows;
    sigset_t told;
    sigemptyset(&told);
    sigaddset(&told, SIGUSR2);
    sigprocmask(SIG_BLOCK, &told, nullptr);
    const auto keeperTold = [&told] {
        const timespec now{};
        return sigtimedwait(&told, nullptr, &now) == SIGUSR2;
    };
    Put(machine.root / "lumivar/keeper.pid", std::to_string(getpid()));
    const int keeperFile =
        open((machine.root / "lumivar/keeper.pid").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(keeperFile, LOCK_EX), 0);
    const fs::path settings = machine.root / "config/lumivar/settings.json";
    for (const std::string line :
         {"apply", "apply --mode wave --color ff8000 --shade 20",
          "apply --mode flash --cycle --interval long --brightness 75 --off", "reset",
          "apply --gpu 1", "apply --gpu 1 --mode breathing --color 350301 --shade 10",
          "apply --gpu 1 --mode wave --off", "reset --gpu 1", "apply --gpu all --color 123456",
          "apply --gpu all --mode breathing --color 0a0b0c --save", "restore"}) {
        std::string saved = Text(settings);
        EXPECT_EQ(machine.Run(line + " --dry-run"), 0) << line << machine.Output();
        const std::string printed = PrintedWrites(machine.Output());
        EXPECT_EQ(machine.Writes() + Text(settings), saved) << line;
        EXPECT_EQ(fs::exists(machine.root / "config"), !saved.empty()) << line;
        EXPECT_FALSE(keeperTold()) << line;
        EXPECT_EQ(machine.Run(line), 0) << line << machine.Output();
        keeperTold();
        std::string sent, paced, expected;
        long pairStart = -1;
        for (const std::string& transfer : machine.Transfers()) {
            if (transfer.find(" write ") == std::string::npos) continue;
            sent += transfer.substr(transfer.find(" write ") + 7) + "\n";
            paced += transfer.substr(transfer.find(" write ") + 7) + "\n";
            if (transfer.find(" i2c-4 ") == std::string::npos) continue;
            // The family-2000 board's two blocks, half a second apart.
            EXPECT_TRUE(pairStart < 0 || std::stol(transfer) - pairStart >= 450) << line;
            if (pairStart < 0) paced += "pause\n";
            pairStart = pairStart >= 0 ? -1 : std::stol(transfer);
        }
        EXPECT_EQ(printed, paced) << line;
        simdriver::Configure(simdriver::DefaultScenario());
        windows.printed.clear();
        saved = Text(settings);
        EXPECT_EQ(RunBoardCommand(ParseCommandLine(Words(line + " --dry-run")).invocation, windows),
                  0)
            << line;
        EXPECT_TRUE(DriverWrites().empty() && Text(settings) == saved && !keeperTold()) << line;
        EXPECT_EQ(PrintedWrites(windows.printed), paced) << line;
        EXPECT_EQ(RunBoardCommand(ParseCommandLine(Words(line)).invocation, windows), 0) << line;
        keeperTold();
        for (const std::string& write : DriverWrites())
            expected += std::to_string((write.size() + 1) / 3) + ": " + write + "\n";
        EXPECT_EQ(sent, expected) << line;
    }
    close(keeperFile);
}

TEST(LinuxProgram, FindsTheControllerAndSaysWhatToDoWhenItCannot) {
    struct Case {
        std::string node, words, line;  // the node (or folder) changed, and its new words
        int code;
        std::string says, transfers;
    };
    // clang-format off
    const Case cases[] = {
        {"", "", "list", 0,
         "0 1 220610de 3000 i2c-3 NVIDIA GeForce RTX 3080\n1 2 1e8110de 2000 i2c-4 NVIDIA GeForce "
         "RTX 2080 SUPER\n2 3 1b8010de unsupported - NVIDIA GPU at 0000:03:00.0\n",
         "i2c-3 read 8,i2c-9 read -,i2c-4 read 8,"},
        {"", "", "apply --gpu 1 --i2c-bus 4", 0, "applied", "i2c-4 read 8,i2c-4 read 8,i2c-4 write 8,i2c-4 write 8,"},
        {"", "", "apply --gpu all --i2c-bus 9", 3, "GPU 1 (NVIDIA GeForce RTX 2080 SUPER): no LED",
         "i2c-3 read 8,i2c-3 write 42,i2c-9 read -,"},
        {"", "", "apply --i2c-bus 7", 0, "applied", "i2c-7 read 8,i2c-7 write 42,"},
        {"", "", "apply --i2c-bus 6", 3, "/dev/i2c-6 failed: No such file", ""},
        {"i2c-3", "-", "apply", 3, "GPU 0 (NVIDIA GeForce RTX 3080): no LED controller answered",
         "i2c-3 read -,i2c-5 read -,i2c-8 read -,"},
        {"dev", "", "apply", 3, "load the i2c-dev module", ""},
        {"../sys", "", "list", 3, "could not be initialised (status -6)", ""},
        {"i2c-3", "answers,deny", "apply", 3, "permission denied on ", ""},
        {"i2c-3", "answers,busy", "apply", 3, "i2c-3 is busy", "i2c-5 read -,i2c-8 read -,"},
        {"i2c-3", "answers,smbus", "apply", 3, "i2c-3 takes no plain I2C", "i2c-5 read -,i2c-8 read -,"},
        {"i2c-3", "answers,fail-write=1", "apply", 3, "writing on", "i2c-3 read 8,i2c-3 write -,"},
        {"i2c-3", "answers,short", "apply", 3, "writing 42 bytes (41 went out)", "i2c-3 read 8,i2c-3 write 41,"},
        {"i2c-4", "answers,fail-write=2", "apply --gpu 1", 3, "Input/output error (errno 5)",
         "i2c-9 read -,i2c-4 read 8,i2c-4 read 8,i2c-4 write 8,i2c-4 write -,"},
        {"i2c-4", "answers,fail-read=2", "reset --gpu 1", 3, "reading on", "i2c-9 read -,i2c-4 read 8,i2c-4 read -,"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Machine machine;
        if (!c.node.empty()) fs::remove_all(machine.root / "dev" / (c.node == "dev" ? "" : c.node));
        if (!c.words.empty()) Put(machine.root / "dev" / c.node, c.words);
        EXPECT_EQ(machine.Run(c.line), c.code) << c.line << ": " << machine.Output();
        EXPECT_NE(machine.Output().find(c.says), std::string::npos)
            << c.line << ": " << machine.Output();
        std::string transfers;
        for (const std::string& transfer : machine.Transfers())
            transfers += std::regex_replace(transfer, std::regex("^[0-9]+ |:.*"), "") + ",";
        EXPECT_EQ(transfers, c.transfers) << c.node << " " << c.words << " " << c.line;
    }
}

// The adapter chosen with --i2c-bus where a board's controller answered is kept in its entry,
// and restore asks it instead of the search; a board that searched keeps none.
TEST(LinuxProgram, RestoreAsksTheAdapterSavedWithTheBoard) {
    Machine machine;
    Put(machine.root / "dev/i2c-2", "answers");  // GPU 1's port 5, searched after i2c-4
    EXPECT_EQ(machine.Run("apply --gpu all --i2c-bus 2 --save"), 0) << machine.Output();
    const std::string saved = Text(machine.root / "config/lumivar/settings.json");
    EXPECT_EQ(saved.find("i2c-bus"), saved.rfind("i2c-bus")) << "GPU 0 searched: " << saved;
    EXPECT_NE(saved.find("\"bus\": 2,\n      \"i2c-bus\": 2,"), std::string::npos) << saved;
    machine.Transfers();
    EXPECT_EQ(machine.Run("restore"), 0) << machine.Output();
    EXPECT_EQ(std::regex_replace(machine.Writes(), std::regex(":[ 0-9a-f]*"), ""),
              "i2c-3 write 42\ni2c-2 write 8\ni2c-2 write 8\n");
}

// The back end in-process, without the played adapters: what it refuses before any device is
// asked, a name cut to the driver's 64 bytes, its help line by line, a settings file that
// cannot be opened.
TEST(LinuxProgram, RefusesWhatTheBoardsNeverSendAndReadsOnlyWhatItKnows) {
    Machine machine;
    machine.Gpu("0000:05:00.0 0x2206", std::string(70, 'n'), {});
    LinuxDriver driver(machine.root.string(), std::nullopt);
    nvapi::NvApiAccess api(driver);
    ASSERT_EQ(api.Initialize(), NVAPI_OK);
    NvPhysicalGpuHandle gpus[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 0;
    ASSERT_EQ(api.EnumPhysicalGPUs(gpus, &count), NVAPI_OK);
    char name[80];
    std::fill(std::begin(name), std::end(name), 'x');
    EXPECT_EQ(api.GPU_GetFullName(gpus[count - 1], name), NVAPI_OK);
    EXPECT_EQ(std::string(name), std::string(63, 'n'));
    EXPECT_EQ(name[64], 'x');
    uint8_t block[8] = {};
    NvU32 scratch[2] = {};
    for (const bool noScratch : {true, false}) {
        NV_I2C_INFO_V3 record{};
        record = {NV_I2C_INFO_VER3,     0, 0, 0x92, nullptr, 0, noScratch ? block : nullptr, 8, 0,
                  NV_I2C_SPEED_DEFAULT, 1, 1};
        EXPECT_EQ(api.I2CWriteEx(gpus[0], &record, noScratch ? nullptr : scratch),
                  NVAPI_INVALID_ARGUMENT);
    }
    api.Unload();
    const std::string help = (machine.Run("--help"), machine.Output());
    EXPECT_EQ(help.find("\n6 the keeper cannot start.\n"), help.size() - 28) << help;
    fs::create_directories(machine.root / "config/lumivar");
    fs::create_symlink("settings.json", machine.root / "config/lumivar/settings.json");
    EXPECT_EQ(machine.Run("restore"), 4) << machine.Output();
}

// Saves of several boards at once all survive. The keeper restores them at its start, once per
// burst of resumes and for a second keep, which exits 0; it ends with 0 on SIGTERM, also in a pair
// pause or while it waits for a driver that is not there; `logon` starts and ends it; without a bus
// it cannot start.
TEST(LinuxProgram, ConcurrentSavesAndTheKeeper) {
    Machine machine;
    for (int bus = 4; bus <= 8; ++bus)
        machine.Gpu("0000:0" + std::to_string(bus) + ":00.0 0x2206", "RTX 3080",
                    {"1 1" + std::to_string(bus) + " answers"});
    std::vector<std::future<int>> savers;
    for (const char* slot : {"3", "4", "5", "6", "7"})
        savers.push_back(std::async(std::launch::async, [&machine, slot] {
            return machine.Run("apply --save --gpu " + std::string(slot), slot);
        }));
    for (auto& saver : savers) EXPECT_EQ(saver.get(), 0);
    SystemBus bus(machine.root, true);
    machine.Transfers();
    int writes = 0;
    const auto restoredTimes = [&](int times) {  // five boards each time
        for (int i = 0; i < 400 && writes < 5 * times; ++i, usleep(50000))
            for (const std::string& transfer : machine.Transfers())
                writes += transfer.find(" write ") != std::string::npos;
        return writes >= 5 * times;
    };
    // The triggers of the log's lines, in order.
    const auto logged = [&machine] {
        std::string triggers;
        for (const std::string& line : Words(Text(machine.root / "state/lumivar/keeper.log"), '\n'))
            triggers += line.substr(20, line.find(':', 20) - 20) + ",";
        return triggers;
    };
    std::future<int> keeper = machine.Keep();
    EXPECT_TRUE(restoredTimes(1));
    const auto prepareForSleep = [&bus](std::vector<int> values) {
        for (int sleeping : values)
            sd_bus_emit_signal(bus.logind, "/org/freedesktop/login1",
                               "org.freedesktop.login1.Manager", "PrepareForSleep", "b", sleeping);
        sd_bus_flush(bus.logind);
    };
    // Going to sleep is no trigger: the restore that follows is the second keep's.
    prepareForSleep({1});
    EXPECT_EQ(machine.Run("keep", "second"), 0) << machine.Output("second");
    EXPECT_TRUE(restoredTimes(2));
    prepareForSleep({0, 0, 0});
    EXPECT_TRUE(restoredTimes(3));
    prepareForSleep({0});
    EXPECT_TRUE(restoredTimes(4));
    // Told to end between the two blocks of the family-2000 board's pair (saved now, sent after
    // the keeper's 2 s of gathering), it sends the second before it ends.
    ASSERT_EQ(machine.Run("apply --save --gpu 1"), 0);
    machine.Transfers();
    std::string pair;
    for (int i = 0; i < 1000 && pair.empty(); ++i, usleep(10000)) pair = machine.Writes();
    machine.Stop(keeper);
    pair += machine.Writes();
    EXPECT_EQ(std::count(pair.begin(), pair.end(), '\n'), 2) << pair;
    EXPECT_EQ(writes, 20) << machine.Output("keep");
    // "lumivar keep": no login session on this bus, said once at each start.
    EXPECT_EQ(logged(), "lumivar keep,start,second keep,resume,resume,settings,");
    EXPECT_NE(machine.Output("keep").find(" resume: GPU 3 (RTX 3080): restored static"),
              std::string::npos)
        << machine.Output("keep");

    // No driver yet: told to end while it waits, it ends at once, long before its 60 s. Nobody
    // plays logind from here on, so no keeper waits for an answer.
    sd_bus_release_name(bus.logind, "org.freedesktop.login1");
    fs::rename(machine.root / "sys", machine.root / "sys.away");
    keeper = machine.Keep("late");
    for (int i = 0; i < 200 && !machine.KeeperHolds(); ++i) usleep(50000);
    machine.Stop(keeper, "late");
    EXPECT_NE(machine.Output("late").find("start: stopped waiting, the keeper is ending"),
              std::string::npos)
        << machine.Output("late");
    fs::rename(machine.root / "sys.away", machine.root / "sys");

    // logon enable starts a keeper of its own, detached; disable ends it.
    EXPECT_EQ(machine.Run("logon enable"), 0) << machine.Output();
    EXPECT_EQ(machine.Output(), "enabled: lumivar keep\n");
    EXPECT_TRUE(machine.KeeperHolds());
    EXPECT_TRUE(restoredTimes(5));
    EXPECT_EQ(machine.Run("logon disable"), 0);
    EXPECT_EQ(machine.Output(), "disabled\n");
    EXPECT_FALSE(machine.KeeperHolds());
    EXPECT_FALSE(fs::exists(machine.root / "config/autostart/lumivar.desktop"));
    EXPECT_EQ(
        logged(),
        "lumivar keep,start,second keep,resume,resume,settings,lumivar keep,start,lumivar keep,"
        "start,");

    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent", 1);
    EXPECT_EQ(machine.Run("keep", "nobus"), 6);
    EXPECT_NE(machine.Output("nobus").find("cannot listen for resumes on the system bus"),
              std::string::npos);
}

}  // namespace

// doctor on the fake machine with each fault it can play: the lines, the same facts as JSON,
// the exit code, and nothing written (reads only on the adapters, the settings as they were).
TEST(LinuxProgram, DoctorReportsEachFaultWithWhatToDoAndWritesNothing) {
    struct Case {
        std::string fault, says;
        int code;
        std::string transfers;
    };
    const std::string answered =
        "i2c-3 read 8,i2c-3 read 8,i2c-9 read -,i2c-4 read 8,i2c-4 read 8,";
    // clang-format off
    const Case cases[] = {
        {"", "ok    GPU 0 (NVIDIA GeForce RTX 3080) LED controller: answered the 8-byte read at "
         "address 0x49 on i2c-3\n", 0, answered},
        {"no module", "FAIL  NVIDIA kernel module: /proc/driver/nvidia/version is missing; what to "
         "do: install NVIDIA's driver", 0, answered},
        {"no i2c-dev", "FAIL  i2c-dev: not loaded; what to do: there is no /dev/i2c-* device: load "
         "the i2c-dev module", 3, ""},
        {"refused", "FAIL  /dev/i2c-3 (port 1 of 0000:01:00.0): cannot be opened; what to do: "
         "permission denied on", 3, "i2c-9 read -,i2c-4 read 8,i2c-4 read 8,"},
        {"no controller", "FAIL  GPU 0 (NVIDIA GeForce RTX 3080) LED controller: did not answer the "
         "8-byte read; what to do: no LED controller answered on any I2C adapter of this GPU "
         "(i2c-3, i2c-5, i2c-8)", 3,
         "i2c-3 read -,i2c-5 read -,i2c-8 read -,i2c-9 read -,i2c-4 read 8,i2c-4 read 8,"},
        {"lock held", "s: another program is sending to the boards; what to do: wait until", 3, ""},
        {"unreadable settings", "FAIL  settings: ", 0, answered},
        {"saved adapter", "GPU 0 (NVIDIA GeForce RTX 3080) LED controller: answered the 8-byte "
         "read at address 0x49 on i2c-8\n", 0, "i2c-8 read 8,i2c-8 read 8,i2c-9 read -,i2c-4 read 8,i2c-4 read 8,"},
        {"sensor fails", "FAIL  GPU 0 (NVIDIA GeForce RTX 3080) temperature: cannot be read; what "
         "to do: NVIDIA's management library", 0, answered},
    };
    // clang-format on
    for (const Case& c : cases) {
        Machine machine;
        const fs::path gpu0 = machine.root / "sys/bus/pci/devices/0000:01:00.0";
        Put(gpu0 / "subsystem_vendor", "0x1458\n"), Put(gpu0 / "subsystem_device", "0x403f\n");
        Put(gpu0 / "revision", "0xa1\n");
        Put(machine.root / "proc/driver/nvidia/version", "NVRM version: NVIDIA UNIX 550.54\nGCC\n");
        Put(machine.root / "state/lumivar/keeper.log", "first line\nlast line\n\n");
        setenv("FAKE_NVML_TEMPERATURES", (machine.root / "temperatures").c_str(), 1);
        setenv("FAKE_NVML_LOG", (machine.root / "nvml.log").c_str(), 1);
        setenv("LD_LIBRARY_PATH", fs::path(FAKE_NVML).parent_path().c_str(), 1);
        Put(machine.root / "temperatures",
            c.fault == "sensor fails" ? "0000:01:00.0 -\n" : "0000:01:00.0 61\n");
        if (c.fault == "saved adapter") Put(machine.root / "dev/i2c-8", "answers");
        ASSERT_EQ(machine.Run("apply --color-by-temperature 0000ff:ff0000 --save" +
                              std::string(c.fault == "saved adapter" ? " --i2c-bus 8" : "")),
                  0);
        const fs::path settings = machine.root / "config/lumivar/settings.json";
        if (c.fault == "unreadable settings") Put(settings, "{\"boards\": [");
        const std::string saved = Text(settings);
        if (c.fault == "no module") fs::remove(machine.root / "proc/driver/nvidia/version");
        if (c.fault == "no i2c-dev") fs::remove_all(machine.root / "dev");
        if (c.fault == "refused") Put(machine.root / "dev/i2c-3", "answers,deny");
        if (c.fault == "no controller") Put(machine.root / "dev/i2c-3", "-");
        const int lock =
            open((machine.root / "lumivar-i2c.lock").c_str(), O_RDONLY | O_CREAT, 0644);
        if (c.fault == "lock held") flock(lock, LOCK_EX);
        machine.Transfers();

        EXPECT_EQ(machine.Run("doctor"), c.code) << c.fault << machine.Output();
        const std::string lines = machine.Output();
        EXPECT_NE(lines.find(c.says), std::string::npos) << c.fault << ": " << lines;
        if (c.fault == "saved adapter") {
            EXPECT_NE(lines.find("RTX 3080); saved with its adapter i2c-8\n"), std::string::npos);
        }
        std::string transfers;
        for (const std::string& transfer : machine.Transfers())
            transfers += std::regex_replace(transfer, std::regex("^[0-9]+ |:.*"), "") + ",";
        EXPECT_EQ(transfers, c.transfers) << c.fault;
        EXPECT_EQ(machine.Run("doctor --json"), c.code) << c.fault;
        EXPECT_EQ(machine.Writes(), "") << c.fault;
        EXPECT_EQ(Text(settings), saved) << c.fault;
        close(lock);

        // The JSON holds the same facts, line for line.
        const nlohmann::json report = nlohmann::json::parse(machine.Output(), nullptr, false);
        ASSERT_TRUE(report.is_object()) << machine.Output();
        EXPECT_EQ(report["exit_code"], c.code);
        const std::vector<std::string> each = Words(lines, '\n');
        ASSERT_EQ(report["facts"].size(), each.size()) << c.fault;
        for (size_t i = 0; i < each.size(); ++i) {
            const nlohmann::json& fact = report["facts"][i];
            EXPECT_EQ(each[i],
                      (fact["ok"] ? "ok    " : "FAIL  ") + fact["topic"].get<std::string>() + ": " +
                          fact["text"].get<std::string>() +
                          (fact["ok"] ? "" : "; what to do: " + fact["fix"].get<std::string>()));
        }
        if (!c.fault.empty()) continue;
        EXPECT_TRUE(
            std::regex_match(each.front(), std::regex("ok    version: lumivar [0-9.]+ on Linux")));
        EXPECT_NE(lines.find("ok    NVIDIA kernel module: NVRM version: NVIDIA UNIX 550.54\n"),
                  std::string::npos);
        EXPECT_NE(
            lines.find(
                "ok    GPU 0: bus 1, device 220610de, subsystem 403f1458 (the board's maker), "
                "revision a1, extended 00000000, family 3000, NVIDIA GeForce RTX 3080\n"),
            std::string::npos);
        EXPECT_NE(
            lines.find("ok    GPU 2: bus 3, device 1b8010de, subsystem 00000000 (the board's "
                       "maker), revision 00, extended 00000000, not supported, NVIDIA GPU at "),
            std::string::npos);
        EXPECT_NE(lines.find("ok    board lock: free\n"), std::string::npos);
        EXPECT_NE(
            lines.find(
                "ok    saved board 220610de on bus 1: present, GPU 0 (NVIDIA GeForce RTX 3080)\n"),
            std::string::npos);
        EXPECT_NE(lines.find("ok    GPU 0 (NVIDIA GeForce RTX 3080) temperature: 61 °C\n"),
                  std::string::npos);
        EXPECT_NE(lines.find("ok    keeper: does not run\n"), std::string::npos);
        EXPECT_NE(lines.find("/keeper.log: last line: last line\n"), std::string::npos);
        EXPECT_NE(lines.find("/settings.json: readable, 1 board(s) saved\n"), std::string::npos);
        nlohmann::json first = report["facts"][10];
        first.erase("text");  // the line's, checked above
        EXPECT_EQ(first, nlohmann::json::parse(
                             R"({"topic": "GPU 0", "ok": true, "slot": 0, "bus": 1, "device":
                            "220610de", "subsystem": "403f1458", "revision": "a1", "extended":
                            "00000000", "family": 3000, "name": "NVIDIA GeForce RTX 3080"})"));
    }
}
