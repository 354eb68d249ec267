// The fake machine the Linux program's tests run lumivar on: sysfs and /proc as files under
// LUMIVAR_ROOT, the adapters played by the preloaded fake_i2c (FAKE_I2C), the program at
// LUMIVAR_PROGRAM.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

inline std::string Text(const fs::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

inline void Put(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

inline std::vector<std::string> Words(const std::string& text, char end = ' ') {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; std::getline(in, word, end);) words.push_back(word);
    return words;
}

// The simulated driver's two default boards, each with its controller on one adapter among
// silent ones; beside them what is no NVIDIA GPU, and a GPU the driver's /proc does not name.
struct Machine {
    fs::path root = fs::temp_directory_path() / ("lumivar-" + std::to_string(getpid()));
    Machine() {
        fs::remove_all(root);
        setenv("LUMIVAR_ROOT", root.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
        setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
        setenv("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=1", 1);
        Gpu("0000:01:00.0 0x2206", "NVIDIA GeForce RTX 3080", {"0 5", "1 3 answers", "3 8"});
        Gpu("0000:02:00.0 0x1e81", "NVIDIA GeForce RTX 2080 SUPER", {"1 9", "5 2", "2 4 answers"});
        Gpu("0000:03:00.0 0x1b80 0x030200", "", {});
        Gpu("0000:01:00.1 0x1aef 0x040300", "audio", {});
        Gpu("0000:00:02.0 0x4680 0x030000 0x8086", "Intel", {});
        Put(root / "sys/bus/pci/devices/0000:01:00.0/i2c-7/name", "SMBus I801 adapter\n");
        Put(root / "dev/i2c-7", "answers");
        Put(root / "sys/bus/pci/devices/0000:02:00.0/i2c-6/name", "NVIDIA i2c adapter at 2:00.0\n");
    }
    // A keeper a failed test left running (one that `logon enable` detached) goes with it.
    ~Machine() {
        if (KeeperHolds()) kill(std::atoi(Text(root / "lumivar/keeper.pid").c_str()), SIGKILL);
        fs::remove_all(root);
    }
    // Whether a keeper holds the user's keeper file, as `logon` and a second keep see it.
    bool KeeperHolds() const {
        const int fd = open((root / "lumivar/keeper.pid").c_str(), O_RDONLY | O_CLOEXEC);
        const bool held = fd >= 0 && flock(fd, LOCK_SH | LOCK_NB) != 0;
        if (fd >= 0) close(fd);
        return held;
    }
    // "ADDRESS DEVICE [CLASS [VENDOR]]"; adapters as "PORT N [WORDS]".
    void Gpu(const std::string& pci, const std::string& model,
             const std::vector<std::string>& adapters) {
        std::vector<std::string> id = Words(pci);
        while (id.size() < 4) id.push_back(id.size() == 2 ? "0x030000" : "0x10de");
        const fs::path device = root / "sys/bus/pci/devices" / id[0];
        Put(device / "device", id[1]), Put(device / "class", id[2]), Put(device / "vendor", id[3]);
        if (!model.empty())
            Put(root / "proc/driver/nvidia/gpus" / id[0] / "information",
                "Model: \t " + model + "\nIRQ: 4\n");
        for (const std::string& adapter : adapters) {
            const std::vector<std::string> w = Words(adapter + "  ");
            Put(device / ("i2c-" + w[1]) / "name", "NVIDIA i2c adapter " + w[0] + " at 1:00.0\n");
            Put(root / "dev" / ("i2c-" + w[1]), w[2]);
        }
    }
    // lumivar with the adapters played; its exit code, its output kept in ROOT/TAG.out and .err,
    // its pid in .pid.
    int Run(const std::string& line, const std::string& tag = "run") const {
        const std::string r = (root / tag).string();
        const int status = std::system(("echo $$ >" + r +
                                        ".pid; LD_PRELOAD=" FAKE_I2C " exec " LUMIVAR_PROGRAM " " +
                                        line + " >" + r + ".out 2>" + r + ".err")
                                           .c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Output(const std::string& tag = "run") const {
        return Text(root / (tag + ".out")) + Text(root / (tag + ".err"));
    }
    // `lumivar keep` in the background; Stop ends it with SIGTERM (or SIGINT), which it must heed
    // at once.
    std::future<int> Keep(const std::string& tag = "keep") const {
        return std::async(std::launch::async, [this, tag] { return Run("keep", tag); });
    }
    void Stop(std::future<int>& keeper, const std::string& tag = "keep",
              int signal = SIGTERM) const {
        kill(std::stoi(Text(root / (tag + ".pid"))), signal);
        EXPECT_EQ(keeper.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(keeper.get(), 0) << Output(tag);
    }
    // The transfers since the last look, each "MS i2c-N read|write COUNT[: BYTES]". The log is
    // only read, never cut, while a program may still be writing to it.
    std::vector<std::string> Transfers() {
        std::vector<std::string> lines = Words(Text(root / "i2c.log"), '\n');
        lines.erase(lines.begin(), lines.begin() + std::min(seen, lines.size()));
        seen += lines.size();
        return lines;
    }
    // The writes since the last look, "i2c-N write COUNT: BYTES" each.
    std::string Writes() {
        std::string writes;
        for (const std::string& transfer : Transfers()) {
            if (transfer.find(" write ") != std::string::npos)
                writes += transfer.substr(transfer.find(' ') + 1) + "\n";
        }
        return writes;
    }
    size_t seen = 0;
};

// A dbus-daemon of the test's own as the keeper's system bus; with `logind`, logind's name is
// taken on it by `logind`, whose objects a test may add.
struct SystemBus {
    std::vector<std::string> daemon;  // its address and pid
    sd_bus* logind = nullptr;

    SystemBus(const fs::path& root, bool takeLogind) {
        const std::string file = (root / "bus").string();
        EXPECT_EQ(
            std::system(
                ("dbus-daemon --session --fork --print-address=1 --print-pid=1 >" + file).c_str()),
            0);
        daemon = Words(Text(file), '\n');
        setenv("DBUS_SYSTEM_BUS_ADDRESS", daemon.at(0).c_str(), 1);
        if (!takeLogind) return;
        EXPECT_GE(sd_bus_open_system(&logind), 0);
        EXPECT_GE(sd_bus_request_name(logind, "org.freedesktop.login1", 0), 0);
    }
    ~SystemBus() {
        sd_bus_flush_close_unref(logind);
        kill(std::stoi(daemon.at(1)), SIGTERM);
    }
};
