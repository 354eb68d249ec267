// The Linux keeper's lights that follow the machine, on the fake machine: a private system bus
// where a stand-in logind tells of the session's lock, and the fake NVML for the temperatures.
#include <ctime>
#include <functional>
#include <iterator>

#include "tests/cli/linux/fake_machine.h"

namespace {

constexpr char kSessionPath[] = "/org/freedesktop/login1/session/_31";
constexpr char kSession[] = "org.freedesktop.login1.Session";
int questions = 0;  // the session asked for, its lock read

int SessionByPid(sd_bus_message* call, void*, sd_bus_error*) {
    ++questions;
    return sd_bus_reply_method_return(call, "o", kSessionPath);
}

int LockedHint(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* locked,
               sd_bus_error*) {
    ++questions;
    return sd_bus_message_append(reply, "b", *static_cast<int*>(locked));
}

constexpr sd_bus_vtable kManagerVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("GetSessionByPID", "u", "o", SessionByPid, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END};
constexpr sd_bus_vtable kSessionVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("LockedHint", "b", LockedHint, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_VTABLE_END};

// logind played on the test's system bus: the session of any process, and that session's
// LockedHint.
struct PlayedLogind : SystemBus {
    int locked = 0;

    explicit PlayedLogind(const fs::path& root) : SystemBus(root, true) {
        sd_bus_add_object_vtable(logind, nullptr, "/org/freedesktop/login1",
                                 "org.freedesktop.login1.Manager", kManagerVtable, nullptr);
        sd_bus_add_object_vtable(logind, nullptr, kSessionPath, kSession, kSessionVtable, &locked);
    }
    // Answers a starting keeper's two questions, the session and its lock.
    void Answer() {
        for (questions = 0; questions < 2;) {
            const int processed = sd_bus_process(logind, nullptr);
            ASSERT_GE(processed == 0 ? sd_bus_wait(logind, 20000000) : processed, 1)
                << "no question";
        }
    }
    void SetLocked(bool value) {
        locked = value;
        sd_bus_emit_properties_changed(logind, kSessionPath, kSession, "LockedHint", nullptr);
        sd_bus_flush(logind);
    }
};

// Waits (20 s at most) for the keeper's log to have `count` lines; the last of them, without its
// date and time, tells of a send for `trigger` to GPU 0 that says each of `what`.
std::string ExpectLine(const Machine& machine, size_t count, const std::string& trigger,
                       std::initializer_list<std::string> what) {
    std::vector<std::string> lines;
    for (int i = 0; i < 400 && lines.size() < count; ++i, usleep(50000))
        lines = Words(Text(machine.root / "state/lumivar/keeper.log"), '\n');
    EXPECT_EQ(lines.size(), count) << machine.Output("keep");
    const std::string line = lines.size() >= count ? lines[count - 1] : "";
    EXPECT_EQ(line.find(trigger + ": GPU 0 (NVIDIA GeForce RTX 3080): "), 20u) << line;
    for (const std::string& words : what) EXPECT_NE(line.find(words), std::string::npos) << line;
    return line;
}

std::string ClockText(int minuteOfDay) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minuteOfDay / 60 % 24, minuteOfDay % 60);
    return text;
}

// `lights-out away`: a session locked at the start or later turns the board dark with exactly the
// bytes of `apply ... --off`, an unlock lights it again; a rule changed while locked is read at
// once; with `never` a lock sends nothing. Quiet hours that hold at the start send dark, and
// their end, on the real-time clock, lights the board again.
TEST(LinuxLights, LockAndQuietHoursTurnTheSavedBoardDark) {
    Machine machine;
    PlayedLogind bus(machine.root);
    const std::string saved = "--gpu 0 --mode breathing --color 350301 --shade 10";
    // The rule stands alone in the file until a board is saved beside it.
    ASSERT_EQ(machine.Run("lights-out away"), 0) << machine.Output();
    ASSERT_EQ(machine.Run("apply " + saved + " --off"), 0) << machine.Output();
    const std::string dark = machine.Writes();
    ASSERT_EQ(machine.Run("apply --save " + saved), 0) << machine.Output();
    const std::string lit = machine.Writes();
    bus.locked = 1;
    std::future<int> keeper = machine.Keep();
    bus.Answer();
    const struct {
        std::function<void()> act;
        std::string trigger;
        bool dark;
    } steps[] = {
        {[] {}, "start", true},
        {[&] { bus.SetLocked(false); }, "unlock", false},
        {[&] { bus.SetLocked(true); }, "lock", true},
        {[&] { EXPECT_EQ(machine.Run("lights-out never"), 0); }, "settings", false},
        {[&] { bus.SetLocked(false); }, "unlock", false},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act();
        ExpectLine(machine, i + 1, steps[i].trigger, {steps[i].dark ? "lights out" : "LED on"});
        EXPECT_EQ(machine.Writes(), steps[i].dark ? dark : lit) << steps[i].trigger;
    }
    machine.Stop(keeper, "keep", SIGINT);

    // Local time at second 52 of a minute, in a zone that many seconds east of UTC.
    const std::time_t now = std::time(nullptr);
    const int ahead = static_cast<int>((112 - now % 60) % 60);
    setenv("TZ", ("LUM-00:00:" + std::to_string(100 + ahead).substr(1)).c_str(), 1);
    const int minute = static_cast<int>((now + ahead) / 60 % 1440);
    ASSERT_EQ(machine.Run("lights-out " + ClockText(minute) + "-" + ClockText(minute + 1)), 0);
    bus.locked = 0;
    keeper = machine.Keep();
    bus.Answer();
    ExpectLine(machine, 6, "start", {"lights out"});
    EXPECT_EQ(machine.Writes(), dark);
    // Not before the boundary: the line's time is in the minute after the quiet hours.
    EXPECT_EQ(ExpectLine(machine, 7, "quiet hours", {"LED on"}).substr(11, 5),
              ClockText(minute + 1));
    EXPECT_EQ(machine.Writes(), lit);
    machine.Stop(keeper);
    unsetenv("TZ");
}

// A board saved to follow its temperature takes the colour of NVML's reading through the driver's
// thermal call; a move within the least interval after a send waits, but a second keep sends it at
// once; a reading that fails keeps the colour, said once, and once when it is back; NVML is held
// while something follows and let go after. With no login session the keeper says so and runs on.
TEST(LinuxLights, TheColourFollowsTheTemperatureFromNvml) {
    Machine machine;
    SystemBus bus(machine.root, false);
    const fs::path temperatures = machine.root / "temperatures";
    setenv("FAKE_NVML_TEMPERATURES", temperatures.c_str(), 1);
    setenv("FAKE_NVML_LOG", (machine.root / "nvml.log").c_str(), 1);
    setenv("LD_LIBRARY_PATH", fs::path(FAKE_NVML).parent_path().c_str(), 1);
    Put(temperatures, "0000:01:00.0 40\n");
    ASSERT_EQ(machine.Run("apply --save --gpu 0 --color-by-temperature 0000ff:ff0000"), 0)
        << machine.Output();
    std::future<int> keeper = machine.Keep();
    ExpectLine(machine, 2, "start", {"colour 0000ff", "(the colour of 40 °C)"});
    const std::string log = Text(machine.root / "state/lumivar/keeper.log");
    EXPECT_EQ(log.find("lumivar keep: no login session, a lock is not heard: "), 20u) << log;
    // What the keeper asked of NVML, in order: "init", "temperature 0000:01:00.0", "shutdown".
    const auto nvml = [&machine, pid = std::stoi(Text(machine.root / "keep.pid"))] {
        std::vector<std::string> calls;
        for (const std::string& line : Words(Text(machine.root / "nvml.log"), '\n'))
            if (std::stoi(line) == pid) calls.push_back(line.substr(line.find(' ') + 1));
        return calls;
    };
    const auto reads = [&nvml] {
        const std::vector<std::string> calls = nvml();
        return std::count(calls.begin(), calls.end(), "temperature 0000:01:00.0");
    };
    const auto waitForReads = [&reads](long more) {
        for (long i = 0, until = reads() + more; i < 300 && reads() < until; ++i) usleep(50000);
    };
    machine.Writes();
    Put(temperatures, "0000:01:00.0 80\n");
    waitForReads(3);
    EXPECT_EQ(machine.Writes(), "") << "sent within 30 s of the start";
    EXPECT_EQ(machine.Run("keep", "second"), 0) << machine.Output("second");
    ExpectLine(machine, 3, "second keep", {"colour ff0000", "(the colour of 80 °C)"});
    EXPECT_NE(machine.Writes(), "");
    size_t lines = 3;
    for (const auto& [temperature, told] : std::vector<std::pair<std::string, std::string>>{
             {"-", "cannot be read; the colour stays until it can"},
             {"78", "can be read again"}}) {  // and within the band
        Put(temperatures, "0000:01:00.0 " + temperature + "\n");
        EXPECT_EQ(ExpectLine(machine, ++lines, "temperature", {told}).find("°C"),
                  std::string::npos);
        EXPECT_EQ(machine.Writes(), "") << temperature;
    }
    // Nothing more is said, and NVML is still held for the looks.
    waitForReads(2);
    EXPECT_EQ(nvml().back(), "temperature 0000:01:00.0");
    // A fixed colour saved: the keeper reads it at once, and lets NVML go.
    ASSERT_EQ(machine.Run("apply --save --gpu 0 --color 00ff00"), 0) << machine.Output();
    EXPECT_EQ(ExpectLine(machine, ++lines, "settings", {"colour 00ff00, "}).find("°C"),
              std::string::npos);
    for (int i = 0; i < 200 && nvml().back() != "shutdown"; ++i) usleep(50000);
    EXPECT_EQ(nvml().back(), "shutdown");
    machine.Stop(keeper);
}

}  // namespace
