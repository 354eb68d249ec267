// lumivar's portable rules: the option table, the settings file and the exit code of several
// boards.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands/command_line.h"
#include "cli/commands/exit_codes.h"
#include "core/settings/settings_file.h"

namespace {

ApplyOptions Options(const std::string& line, bool* ok = nullptr, std::string* error = nullptr) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    const ParsedCommandLine parsed = ParseCommandLine(words);
    if (ok) *ok = parsed.ok, *error = parsed.error;
    return parsed.invocation.options;
}

TEST(CliCommandLine, TakesGoodValuesAndRefusesBadOnesInItsOwnWords) {
    // The line, and part of the error (none: good).
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"apply --gpu=all --mode x --color aAfF09 --shade 100 --brightness 50 --off --cycle --save", nullptr},
        {"", "no command given"}, {"list --gpu 1", "unknown command or option: '--gpu' '1'"},
        {"apply --mode", "--mode needs a value"}, {"apply --shade 1 --shade 2", "--shade is given more than once"},
        {"apply --shade 101", "the shade '101' is not a whole number from 0 to 100"},
        {"apply --shade 0100", "shade '0100' is not"}, {"apply --shade 5a", "shade '5a' is not"},
        {"apply --color #12345", "the colour '#12345' is not six hex digits"}, {"apply --color 12345G", "'12345G' is not"},
        {"apply --interval forever", "the interval 'forever' is not short, medium or long"},
        {"apply --brightness 60", "the brightness '60' is not 100, 75, 50 or 25"},
        {"reset --gpu -1", "the GPU '-1' is not a number from lumivar list, nor all"},
        {"reset --gpu 4294967296", "GPU '4294967296' is not"},
        {"restore --wait 86401", "the wait '86401' is not a number of seconds from 0 to 86400"},
        {"apply --json", "unknown command or option: '--json'"}, {"doctor --gpu 1", "unknown command or option: '--gpu' '1'"},
        {"logon", "logon needs one of enable, disable or status"}, {"logon on", "logon takes enable, disable or status, not 'on'"},
        {"apply --color-by-temperature 0000FF:ff0000 --temperature-range 0-120", nullptr},
        {"apply --color-by-temperature 0000ff", "are not two colours RRGGBB:RRGGBB"},
        {"apply --color-by-temperature 0000ff:ff00", "are not two colours"},
        {"apply --color 112233 --color-by-temperature 0000ff:ff0000", "exclude each other"},
        {"apply --cycle --color-by-temperature 0000ff:ff0000", "--cycle and --color-by-tem"},
        {"apply --temperature-range 40-80", "--temperature-range needs --color-by-temperature"},
        {"apply --color-by-temperature 000000:ffffff --temperature-range 80-40", "LOW-HIGH"},
        {"apply --color-by-temperature 000000:ffffff --temperature-range 40-40", "LOW-HIGH"},
        {"apply --color-by-temperature 000000:ffffff --temperature-range 0-121", "LOW-HIGH"},
        {"apply --color-by-temperature 000000:ffffff --temperature-range -5-40", "LOW-HIGH"},
        {"lights-out", nullptr}, {"lights-out never", nullptr}, {"lights-out 7:05-23:59 away", nullptr},
        {"lights-out away away", "'away' is not a rule"}, {"lights-out never away", "'never' is not a rule"},
        {"lights-out 24:00-07:00", "'24:00-07:00' is not two times HH:MM-HH:MM"},
        {"lights-out 23:60-07:00", "is not two times"}, {"lights-out 23:00-7:0", "is not two times"},
        {"lights-out 23:00-23:00", "'23:00-23:00' begins when it ends"},
        {"lights-out away 1:00-2:00 3:00-4:00", "too many words"},
        {"lights-out sometimes", "'sometimes' is not a rule; lights-out takes never, away"},
    };
    // clang-format on
    for (const auto& [line, part] : cases) {
        bool ok = false;
        std::string error;
        Options(line, &ok, &error);
        EXPECT_EQ(ok, part == nullptr) << line;
        EXPECT_NE(error.find(part ? part : ""), std::string::npos) << error;
    }
}

TEST(CliSettings, RoundTripRestorePlanAndFilesThatCannotBeRead) {
    SavedSettings saved;
    RememberBoard(saved, {{0x220610DE, 1},
                          Options("apply --mode x --color 102030 --shade 10 --interval short "
                                  "--brightness 50 --off")});
    RememberBoard(saved, {{0x1F8110DF, 2}, Options("apply --cycle")});
    RememberBoard(saved, {{0x220610DE, 3},
                          Options("apply --color-by-temperature 0000ff:FF0000 "
                                  "--temperature-range 30-90")});
    RememberBoard(saved, {{0x1E8110DE, 4}, Options("apply"), 1048575});
    saved.lightsOut = {true, DailyHours{23 * 60, 7 * 60 + 5}};
    SavedSettings read;
    std::string error;
    ASSERT_TRUE(ParseSettings(SettingsText(saved), read, error)) << error;
    EXPECT_EQ(SettingsText(read), SettingsText(saved));
    EXPECT_NE(SettingsText(read).find("\"color-by-temperature\": \"0000ff:ff0000\",\n"
                                      "        \"temperature-range\": \"30-90\""),
              std::string::npos);
    EXPECT_NE(SettingsText(read).find("\"lights-out\": \"away 23:00-07:05\""), std::string::npos);
    EXPECT_NE(SettingsText(read).find("\"bus\": 4,\n      \"i2c-bus\": 1048575,"),
              std::string::npos);
    EXPECT_EQ(SettingsText(SavedSettings()), "{\n  \"boards\": []\n}\n") << "no rule: as before";
    ForgetBoard(read, {0x1E8110DE, 4});
    // Restored in slot order; a saved board that no slot holds is reported, not applied.
    const RestorePlan plan =
        PlanRestore(read, {{0x2484, 0}, {0x1F8110DF, 2}, {0x220610DE, 9}, {0x220610DE, 3}});
    ASSERT_EQ(plan.steps.size(), 2u);
    EXPECT_EQ(plan.steps[0].slot, 1);
    EXPECT_EQ(plan.steps[1].options.byTemperature->low, 30);
    EXPECT_TRUE(plan.absent.size() == 1 && plan.absent[0] == (BoardKey{0x220610DE, 1}));

    const std::string board = "{\"boards\": [{\"pci\": \"220610de\", \"bus\": 1, \"options\": ";
    for (const std::string& text :
         {std::string(), board.substr(0, 12), board.substr(11, 1) + "]",
          board + "{\"shade\": 101}}]}", board + "{\"glow\": 1}}]}", board + "{\"off\": 1}}]}",
          std::string("{\"boards\": [{\"pci\": \"2206\", \"bus\": 1, \"options\": {}}]}"),
          board + "{\"brightness\": \"75\"}}]}", board + "{}, \"x\": 1}]}",
          board + "{\"shade\": 1E400}}]}", board + "{\"temperature-range\": \"40-80\"}}]}",
          board + "{\"color\": \"000000\", \"color-by-temperature\": \"0000ff:ff0000\"}}]}",
          board + "{\"color-by-temperature\": \"0000ff:ff0000\", \"cycle\": true}}]}",
          board + "{\"color-by-temperature\": \"0000ff:ff0000\", \"temperature-range\": \"9\"}}]}",
          std::string("{\"boards\": [], \"lights-out\": \"now\"}"),
          std::string("{\"boards\": [{\"pci\": \"220610de\", \"bus\": 1, \"i2c-bus\": 1048576, "
                      "\"options\": {}}]}"),
          std::string("{\"boards\": [], \"lights-out\": 1}"),
          std::string("{\"boards\": [], \"lights-out\": \"never\", \"x\": 1}")}) {
        EXPECT_FALSE(ParseSettings(text, read, error)) << text;
    }
    // Written by hand, with upper-case digits.
    EXPECT_TRUE(
        ParseSettings("{\"boards\": [{\"pci\": \"1F8110DF\", \"bus\": 2, \"options\": {}}]}", read,
                      error) &&
        PlanRestore(read, {{0x1F8110DF, 2}}).steps.size() == 1)
        << error;
    // Several boards in one command: the worst thing that happened to any of them.
    EXPECT_EQ(HighestExitCode({kExitDone, kExitSettingsFile, kExitDriverFailed}),
              kExitSettingsFile);
}

}  // namespace
