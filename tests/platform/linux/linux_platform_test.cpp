// The Linux platform where it fails: the board lock under the real lumivar with the lock file's
// open and flock played by fake_i2c, and in-process held past the bound; the driver's lookups;
// the atomic files and the XDG folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "platform/linux/atomic_file.h"
#include "platform/linux/autostart_entry.h"
#include "platform/linux/flock_lock.h"
#include "platform/linux/folders.h"
#include "core/nvapi/nvapi_access.h"
#include "platform/linux/linux_driver.h"

namespace fs = std::filesystem;

namespace {

std::string Text(const fs::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

void Put(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// Probed one by one: listing /proc/self/fd would itself take a descriptor.
std::vector<int> OpenDescriptors() {
    std::vector<int> open;
    for (int fd = 0; fd < 1024; ++fd)
        if (fcntl(fd, F_GETFD) >= 0) open.push_back(fd);
    return open;
}

}  // namespace

// An RTX 3080 whose controller answers on i2c-3: a lock that cannot be taken stops the program
// before anything is sent, with 3 and the lock file named; each run opens the lock file at most
// once, and closes it.
TEST(BoardLock, ALockNotTakenStopsTheProgramBeforeAnythingIsSent) {
    const fs::path root = fs::temp_directory_path() / ("lumivar-lock-" + std::to_string(getpid()));
    const fs::path gpu = root / "sys/bus/pci/devices/0000:01:00.0";
    Put(gpu / "device", "0x2206"), Put(gpu / "class", "0x030000"), Put(gpu / "vendor", "0x10de");
    Put(gpu / "i2c-3/name", "NVIDIA i2c adapter 1 at 1:00.0\n");
    Put(root / "proc/driver/nvidia/gpus/0000:01:00.0/information", "Model: RTX 3080\n");
    Put(root / "dev/i2c-3", "answers");
    struct Case {
        const char* fault;    // FAKE_LOCK_FAULT
        const char* runtime;  // XDG_RUNTIME_DIR beneath the root
        const char* says;     // after the lock file's name; none when the lock is taken
    } const cases[] = {{"", "", nullptr},
                       {"race", "", nullptr},
                       {"deny", "", "cannot be opened: Permission denied"},
                       {"", "/gone", "cannot be opened: No such file or directory"},
                       {"nolock", "", "cannot be locked: No locks available"}};
    for (const Case& c : cases) {
        for (const char* made : {"i2c.log", "lock.log", "lumivar-i2c.lock"})
            fs::remove(root / made);
        const std::string r = root.string(), runtime = r + c.runtime;
        const int status =
            std::system(("LUMIVAR_ROOT=" + r + " XDG_CONFIG_HOME=" + r +
                         " XDG_RUNTIME_DIR=" + runtime + " FAKE_LOCK_FAULT=" + c.fault +
                         " ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD=" + FAKE_I2C + " " +
                         LUMIVAR_PROGRAM + " apply >" + r + "/out 2>&1")
                            .c_str());
        const std::string output = std::string(c.fault) + c.runtime + ": " + Text(root / "out");
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.says ? 3 : 0) << output;
        const std::string says = c.says ? runtime + "/lumivar-i2c.lock " + c.says : "";
        EXPECT_EQ(output.find("nothing sent: the lock file " + says) != std::string::npos, !!c.says)
            << output;
        EXPECT_EQ(Text(root / "i2c.log").find(" write ") == std::string::npos, !!c.says) << output;
        const bool opened = !c.says || std::string(c.fault) == "nolock";
        EXPECT_EQ(Text(root / "lock.log"), opened ? "open\nclose\n" : "") << output;
    }
    fs::remove_all(root);
}

// Held by another: each wait ends after the bound naming the holder, also with the lock on
// descriptor 0, and leaves no descriptor behind.
TEST(BoardLock, HeldPastTheBound) {
    const std::string path =
        fs::temp_directory_path() / ("lumivar-held-" + std::to_string(getpid()));
    dup2(STDERR_FILENO, 0);
    FlockLock holder(path, 0, "");
    std::string error;
    ASSERT_TRUE(holder.Acquire(error)) << error;
    close(0);
    const std::vector<int> before = OpenDescriptors();
    {
        FlockLock lock(path, 1000, "held by the test");
        for (int attempt = 0; attempt < 2; ++attempt) {
            errno = ENOENT;  // left behind by an earlier call: the file is there all the same
            EXPECT_FALSE(lock.Acquire(error));
            EXPECT_EQ(error,
                      "the lock file " + path + " was not free within 1 s: held by the test");
        }
    }
    EXPECT_EQ(OpenDescriptors(), before);
    fs::remove(path);
}

// Only what it serves: its one export by name on its own module, its interfaces by identifier,
// the adapters of its own driver with a port number short enough to read, hex numbers only.
TEST(LinuxDriver, AnswersOnlyWhatItServes) {
    const fs::path root = fs::temp_directory_path() / ("lumivar-gpu-" + std::to_string(getpid()));
    const fs::path gpu = root / "sys/bus/pci/devices/0000:01:00.0";
    Put(gpu / "device", "0x2206"), Put(gpu / "class", "0x030000"), Put(gpu / "vendor", "0x10de\n");
    LinuxDriver driver(root, std::nullopt);
    void* module = driver.LoadDriverModule();
    EXPECT_EQ(driver.FindExport(module, "nvapi_Initialize"), nullptr);
    EXPECT_EQ(driver.FindExport(nullptr, "nvapi_QueryInterface"), nullptr);
    const auto query =
        reinterpret_cast<void* (*)(NvU32)>(driver.FindExport(module, "nvapi_QueryInterface"));
    ASSERT_NE(query, nullptr);
    EXPECT_NE(query(nvapi_id::kI2CReadEx), nullptr);
    for (const NvU32 id : {nvapi_id::kUnloadWithArgument, nvapi_id::kCallStartHook, 0u})
        EXPECT_EQ(query(id), nullptr) << id;
    // No compute-only GPUs: all are display devices, already in the first list.
    ASSERT_EQ(reinterpret_cast<NvAPI_Status (*)()>(query(nvapi_id::kInitialize))(), NVAPI_OK);
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 1;
    const auto tcc = reinterpret_cast<NvAPI_Status (*)(NvPhysicalGpuHandle*, NvU32*)>(
        query(nvapi_id::kEnumTCCPhysicalGPUs));
    EXPECT_EQ(tcc(handles, &count), NVAPI_OK);
    EXPECT_EQ(count, 0u);
    driver.FreeDriverModule(module);
    EXPECT_EQ(AdapterPort("NVIDIA i2c adapter 123456 at 1:00.0"), 123456);
    EXPECT_EQ(AdapterPort("NVIDIA i2c adapter 1234567 at 1:00.0"), std::nullopt);
    for (const char* bad : {"0xg1", "0x123456789", "10de"})
        EXPECT_EQ(SysfsNumber(bad), std::nullopt) << bad;
    fs::remove_all(root);
}

// The temperature through NVML, the fake one on LD_LIBRARY_PATH: a record as the driver fills it,
// one GPU sensor; a library that does not start is a temperature that cannot be read, and is not
// tried again until the driver is loaded again.
TEST(LinuxDriver, ServesTheTemperatureThroughNvml) {
    const fs::path root = fs::temp_directory_path() / ("lumivar-nvml-" + std::to_string(getpid()));
    const fs::path gpu = root / "sys/bus/pci/devices/0000:01:00.0";
    Put(gpu / "device", "0x2206"), Put(gpu / "class", "0x030000"), Put(gpu / "vendor", "0x10de");
    Put(root / "temperatures", "0000:01:00.0 62\n");
    setenv("FAKE_NVML_TEMPERATURES", (root / "temperatures").c_str(), 1);
    setenv("FAKE_NVML_LOG", (root / "nvml.log").c_str(), 1);
    LinuxDriver driver(root, std::nullopt);
    nvapi::NvApiAccess api(driver);
    for (const bool starts : {true, false}) {
        if (!starts) setenv("FAKE_NVML_INIT", "fail", 1);
        ASSERT_EQ(api.Initialize(), NVAPI_OK);
        NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
        NvU32 count = 0;
        ASSERT_EQ(api.EnumPhysicalGPUs(handles, &count), NVAPI_OK);
        NV_GPU_THERMAL_SETTINGS settings{};
        settings.version = NV_GPU_THERMAL_SETTINGS_VER_2;
        for (int look = 0; look < 2; ++look)
            EXPECT_EQ(api.GPU_GetThermalSettings(handles[0], NVAPI_THERMAL_TARGET_ALL, &settings),
                      starts ? NVAPI_OK : NVAPI_ERROR);
        if (starts) {
            EXPECT_EQ(settings.count, 1u);
            EXPECT_EQ(settings.sensor[0].target, NVAPI_THERMAL_TARGET_GPU);
            EXPECT_EQ(settings.sensor[0].currentTemp, 62);
            settings.version = 0;
            EXPECT_EQ(api.GPU_GetThermalSettings(handles[0], NVAPI_THERMAL_TARGET_ALL, &settings),
                      NVAPI_INCOMPATIBLE_STRUCT_VERSION);
        }
        api.Unload();
    }
    const std::string log = Text(root / "nvml.log"), pid = std::to_string(getpid());
    EXPECT_EQ(log.substr(log.rfind("shutdown")), "shutdown\n" + pid + " init\n") << log;
    unsetenv("FAKE_NVML_INIT");
    fs::remove_all(root);
}

// The autostart entry's file, as the settings' file: written into a folder made for it, also on
// descriptor 0; a failure comes back with the path, never as success.
TEST(AtomicFile, WrittenReadAndRemovedWithEachFailureReported) {
    const fs::path root = fs::temp_directory_path() / ("lumivar-files-" + std::to_string(getpid()));
    fs::remove_all(root);
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    const std::string entry = AutostartEntryPath();
    close(0);
    std::string error, text;
    EXPECT_TRUE(WriteAutostartEntry(error)) << error;
    EXPECT_EQ(ReadWholeFile(entry, text, error), FileRead::kRead) << error;
    EXPECT_EQ(text, AutostartEntryText());
    EXPECT_FALSE(WriteFileAtomically(entry + "/inside", "", error));  // a file in the way
    errno = EIO;  // whatever an earlier call left behind
    EXPECT_TRUE(RemoveAutostartEntry(error)) << error;
    EXPECT_TRUE(RemoveAutostartEntry(error)) << error;  // already gone
    fs::create_directory(entry);
    EXPECT_FALSE(RemoveAutostartEntry(error));
    EXPECT_EQ(error, entry + ": Is a directory (errno 21)");
    EXPECT_EQ(ReadAutostartEntry(error), FileRead::kFailed);
    fs::remove_all(root);
}

// An XDG variable unset or relative counts as absent; lumivar's private runtime folder is made,
// then found.
TEST(Folders, XdgVariablesAndThePrivateRuntimeFolder) {
    const fs::path root = fs::temp_directory_path() / ("lumivar-home-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directory(root);
    setenv("HOME", root.c_str(), 1), setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative", 1), unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(ConfigHome(), root / ".config");
    EXPECT_EQ(StateHome(), root / ".local/state");
    std::string error;
    for (int time = 0; time < 2; ++time) {
        errno = EIO;  // left behind by an earlier call
        EXPECT_EQ(PrivateRuntimeFolder(error), root / "lumivar") << error;
    }
    // Without a HOME, the home folder the password database gives.
    unsetenv("HOME");
    EXPECT_EQ(StateHome(), getpwuid(getuid())->pw_dir + std::string("/.local/state"));
    fs::remove_all(root);
}
