#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "simdriver/sim_driver.h"

using simdriver::ParseScenario;
using simdriver::Scenario;

namespace {

TEST(ScenarioParsing, ReadsEveryDirective) {
    const char* text =
        "# every directive once\n"
        "log \"C:\\tmp\\x dir\\sim.jsonl\"\n"
        "default-gpus\n"
        "  gpu tcc bus=7 name=\"a \\\"b\\\" \\\\ \\xe3\\x81\\x82\" pci=1e8710de bus-status=-5 "
        "name-status=-3 pci-status=-101\n"
        "gpu bus=0 pci=0x10DE10DE name=\"\"\n"
        "initialize-status -6\nenum-status -1\ntcc-enum-status -3\nenum-reported-count 70\n"
        "tcc-enum-reported-count 9\nunload-status -209\n"
        "i2c-write-fail 2 -5\ni2c-read-fail 1\n"
        "missing-interface 0x283AC65A\nmissing-interface d7c61344\nmissing-hooks\n"
        "missing-call-return-hook\n";
    Scenario s;
    std::string error = "stale";
    ASSERT_TRUE(ParseScenario(text, s, error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(s.logPath, "C:\\tmp\\x dir\\sim.jsonl");
    ASSERT_EQ(s.gpus.size(), 4u);
    EXPECT_EQ(s.gpus[0].name, "NVIDIA GeForce RTX 3080");
    EXPECT_EQ(s.gpus[1].pciId, 0x1E8110DEu);
    const simdriver::SimGpu& gpu = s.gpus[2];
    EXPECT_TRUE(gpu.tcc);
    EXPECT_EQ(gpu.bus, 7u);
    EXPECT_EQ(gpu.pciId, 0x1E8710DEu);
    EXPECT_EQ(gpu.name, "a \"b\" \\ \xe3\x81\x82");
    EXPECT_EQ(gpu.busIdStatus, -5);
    EXPECT_EQ(gpu.nameStatus, -3);
    EXPECT_EQ(gpu.pciStatus, -101);
    EXPECT_EQ(s.gpus[3].name, "");
    EXPECT_FALSE(s.gpus[3].tcc);
    EXPECT_EQ(s.initializeStatus, -6);
    EXPECT_EQ(s.enumStatus, -1);
    EXPECT_EQ(s.tccEnumStatus, -3);
    EXPECT_EQ(s.enumReportedCount, 70u);
    EXPECT_EQ(s.tccEnumReportedCount, 9u);
    EXPECT_EQ(s.unloadStatus, -209);
    EXPECT_EQ(s.i2cWriteFailAt, 2);
    EXPECT_EQ(s.i2cWriteFailStatus, -5);
    EXPECT_EQ(s.i2cReadFailAt, 1);
    EXPECT_EQ(s.i2cReadFailStatus, NVAPI_ERROR);
    EXPECT_EQ(s.missingInterfaces, (std::vector<NvU32>{0x283AC65A, 0xD7C61344}));
    EXPECT_TRUE(s.missingHooks);
    EXPECT_TRUE(s.missingCallReturnHook);
}

TEST(ScenarioParsing, TakesTheTextAsWindowsEditorsWriteIt) {
    const struct {
        const char* text;
        size_t gpus;
        const char* logPath;
    } cases[] = {
        {"# nothing\n\n   \n", 0, ""},  // no gpu lines: no GPUs
        {"\xEF\xBB\xBFlog Z:\\tmp\\a#b.jsonl\r\n   # gpu bus=1\r\n", 0, "Z:\\tmp\\a#b.jsonl"},
        {"default-gpus\r\nlog /tmp/x.jsonl", 2, "/tmp/x.jsonl"},
    };
    for (const auto& c : cases) {
        Scenario scenario;
        std::string error;
        ASSERT_TRUE(ParseScenario(c.text, scenario, error)) << error;
        EXPECT_EQ(scenario.gpus.size(), c.gpus);
        EXPECT_EQ(scenario.logPath, c.logPath);
    }
}

TEST(ScenarioParsing, RefusesBadLinesNamingTheLine) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"frobnicate", "line 1: unknown directive 'frobnicate'"},
        {"# ok\ngpu bus=1 pci=0x220610DE\n", "line 2: gpu needs name="},
        {"gpu pci=0x220610DE name=\"x\"", "line 1: gpu needs bus="},
        {"gpu bus=1 bus=2 pci=1 name=x", "line 1: 'bus' given twice"},
        {"gpu bus=1 pci=0x2206 name=x colour=red", "line 1: unknown gpu setting 'colour'"},
        {"gpu bus=-1 pci=0x2206 name=x", "line 1: bad number '-1'"},
        {"gpu bus=1 pci=0xZZ name=x", "line 1: bad pci id '0xZZ'"},
        {"gpu bus=1 pci=0x2206 name=\"open", "line 1: unterminated quote"},
        {"gpu bus=1 pci=0x2206 name=\"a\\tb\"", "line 1: unknown escape \\t"},
        {"gpu bus=1 pci=0x2206 name=\"a\\x4\"", "line 1: unknown escape \\x"},
        {"gpu bus=1 pci=0x2206 name=x name-status=abc", "line 1: bad status 'abc'"},
        {"initialize-status", "line 1: 'initialize-status' takes 1 value(s)"},
        {"initialize-status 3000000000", "line 1: bad status '3000000000'"},
        {"enum-status -", "line 1: bad status '-'"},
        {"enum-reported-count 4x", "line 1: bad number '4x'"},
        {"i2c-write-fail", "line 1: 'i2c-write-fail' takes 1 to 2 value(s)"},
        {"i2c-read-fail 0", "line 1: the failing call is counted from 1"},
        {"missing-interface 0x", "line 1: bad interface id '0x'"},
        {"missing-hooks now", "line 1: 'missing-hooks' takes 0 value(s)"},
        {"log", "line 1: 'log' needs a path"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Scenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(c.text, scenario, error));
        EXPECT_EQ(error, c.message);
    }
}

TEST(ScenarioParsing, KeepsWhatCameBeforeABadLine) {
    Scenario scenario;
    std::string error;
    EXPECT_FALSE(ParseScenario("log /tmp/x.jsonl\ninitialize-status -3\nbogus\n", scenario, error));
    EXPECT_EQ(scenario.logPath, "/tmp/x.jsonl");
    EXPECT_EQ(scenario.initializeStatus, -3);
}

TEST(ScenarioParsing, CapsTheNumberOfGpus) {
    std::string text;
    for (int i = 0; i < 1025; ++i) text += "gpu bus=1 pci=0x220610DE name=x\n";
    Scenario scenario;
    std::string error;
    EXPECT_FALSE(ParseScenario(text, scenario, error));
    EXPECT_EQ(error, "line 1025: more than 1024 GPUs");
}

TEST(ScenarioFile, ReadsAFileAndReportsAMissingOne) {
    const std::string path = testing::TempDir() + "simdriver_scenario_test.txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("default-gpus\r\ni2c-write-fail 1\r\n", file);
    std::fclose(file);

    Scenario scenario;
    std::string error;
    EXPECT_TRUE(simdriver::ReadScenarioFile(path, scenario, error)) << error;
    EXPECT_EQ(scenario.gpus.size(), 2u);
    EXPECT_EQ(scenario.i2cWriteFailAt, 1);
    std::remove(path.c_str());

    EXPECT_FALSE(simdriver::ReadScenarioFile(path, scenario, error));
    EXPECT_EQ(error, "cannot open scenario file " + path);
}

}  // namespace
