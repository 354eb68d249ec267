#include "cli/commands/command_line.h"

#include "core/settings/decimal_text.h"
#include "core/settings/settings_file.h"
#include "resources/version.h"

#include <CLI/CLI.hpp>

#include <optional>

namespace {

// Options arrive as text and are checked by our own rules, so every message is ours.
struct OptionTexts {
    std::string gpu;
    std::string mode;
    std::string colour;
    std::string shade;
    std::string interval;
    std::string brightness;
    std::string wait;
    std::string logonAction;
    std::string i2cBus;
    std::string byTemperature;
    std::string temperatureRange;
    std::vector<std::string> lightsOut;
    bool off = false;
    bool cycle = false;
    bool save = false;
    bool json = false;
    bool dryRun = false;
};

ParsedCommandLine Failure(const std::string& error) {
    ParsedCommandLine result;
    result.error = error;
    return result;
}

std::optional<int> Decimal(const std::string& text, int most) {
    const std::optional<int> value = PlainDecimal(text, 9);
    return value && *value <= most ? value : std::nullopt;
}

// CLI11's structural errors, put in our words.
std::string Describe(const CLI::ParseError& error, CLI::App& app) {
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        std::string extras;
        for (const std::string& extra : app.remaining(true)) extras += " '" + extra + "'";
        return "unknown command or option:" + extras;
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        const std::string what = error.what();
        const std::string name = what.substr(0, what.find(':'));
        const bool twice = what.find("At Most") != std::string::npos;
        return name + (twice ? " is given more than once" : " needs a value");
    }
    // The logon action is the one value the table requires.
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        return "logon needs one of enable, disable or status";
    }
    return error.what();
}

bool ParseGpu(const std::string& text, GpuChoice& gpu, std::string& error) {
    if (text.empty()) return true;
    if (text == "all") {
        gpu.all = true;
        return true;
    }
    const std::optional<int> slot = Decimal(text, 999);
    if (!slot) {
        error = "the GPU '" + text + "' is not a number from lumivar list, nor all";
        return false;
    }
    gpu.slot = *slot;
    return true;
}

bool ParseApplyOptions(const OptionTexts& texts, ApplyOptions& options, std::string& error) {
    if (!texts.mode.empty()) options.mode = texts.mode;
    Rgb colour;
    int value = 0;
    if (!texts.colour.empty()) {
        if (!ParseColour(texts.colour, colour, error)) return false;
        options.colour = colour;
    }
    if (!texts.shade.empty()) {
        if (!ParseShade(texts.shade, value, error)) return false;
        options.shade = value;
    }
    if (!texts.interval.empty()) {
        if (!ParseInterval(texts.interval, value, error)) return false;
        options.intervalPosition = value;
    }
    if (!texts.brightness.empty()) {
        if (!ParseBrightness(texts.brightness, value, error)) return false;
        options.brightnessPosition = value;
    }
    options.off = texts.off;
    options.cycle = texts.cycle;
    if (texts.byTemperature.empty()) {
        if (texts.temperatureRange.empty()) return true;
        error = "--temperature-range needs --color-by-temperature";
        return false;
    }
    if (options.colour || options.cycle) {
        error = options.colour ? "--color and --color-by-temperature exclude each other"
                               : "--cycle and --color-by-temperature exclude each other: a "
                                 "board that cycles its colours shows no temperature";
        return false;
    }
    TemperatureColours colours;
    if (!ParseTemperatureColours(texts.byTemperature, colours, error)) return false;
    if (!texts.temperatureRange.empty() &&
        !ParseTemperatureRange(texts.temperatureRange, colours, error)) {
        return false;
    }
    options.byTemperature = colours;
    return true;
}

bool ParseLogonAction(const std::string& text, LogonAction& action, std::string& error) {
    if (text == "enable") {
        action = LogonAction::kEnable;
    } else if (text == "disable") {
        action = LogonAction::kDisable;
    } else if (text == "status") {
        action = LogonAction::kStatus;
    } else {
        error = "logon takes enable, disable or status, not '" + text + "'";
        return false;
    }
    return true;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                                   CommandLineFor platform) {
    CLI::App app("lumivar");
    app.set_help_flag();
    bool help = false;
    bool version = false;
    OptionTexts texts;
    app.add_flag("-h,--help", help);
    app.add_flag("--version", version);
    if (platform == CommandLineFor::kLinux) app.add_option("--i2c-bus", texts.i2cBus);
    // `lumivar apply --help` asks for help too.
    app.fallthrough();
    app.require_subcommand(0, 1);

    CLI::App* list = app.add_subcommand("list");
    CLI::App* apply = app.add_subcommand("apply");
    apply->add_option("--gpu", texts.gpu);
    apply->add_option("--mode", texts.mode);
    apply->add_option("--color", texts.colour);
    apply->add_option("--shade", texts.shade);
    apply->add_option("--interval", texts.interval);
    apply->add_option("--brightness", texts.brightness);
    apply->add_flag("--off", texts.off);
    apply->add_flag("--cycle", texts.cycle);
    apply->add_flag("--save", texts.save);
    apply->add_flag("--dry-run", texts.dryRun);
    apply->add_option("--color-by-temperature", texts.byTemperature);
    apply->add_option("--temperature-range", texts.temperatureRange);
    CLI::App* reset = app.add_subcommand("reset");
    reset->add_option("--gpu", texts.gpu);
    reset->add_flag("--dry-run", texts.dryRun);
    CLI::App* restore = app.add_subcommand("restore");
    restore->add_option("--wait", texts.wait);
    restore->add_flag("--dry-run", texts.dryRun);
    CLI::App* logon = app.add_subcommand("logon");
    logon->add_option("action", texts.logonAction)->required();
    CLI::App* keep = app.add_subcommand("keep");
    CLI::App* lightsOut = app.add_subcommand("lights-out");
    lightsOut->add_option("rule", texts.lightsOut);
    CLI::App* doctor = app.add_subcommand("doctor");
    doctor->add_flag("--json", texts.json);

    // CLI11 takes the arguments from the back.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        return Failure(Describe(error, app));
    }

    ParsedCommandLine result;
    Invocation& invocation = result.invocation;
    std::string& error = result.error;
    invocation.dryRun = texts.dryRun;
    if (!texts.i2cBus.empty()) {
        invocation.i2cBus = Decimal(texts.i2cBus, kMaxI2cBus);
        if (!invocation.i2cBus) {
            error = "the I2C bus '" + texts.i2cBus + "' is not the N of a /dev/i2c-N";
            return result;
        }
    }
    if (help) {
        invocation.command = Command::kHelp;
    } else if (version) {
        invocation.command = Command::kVersion;
    } else if (list->parsed()) {
        invocation.command = Command::kList;
    } else if (apply->parsed()) {
        invocation.command = Command::kApply;
        invocation.save = texts.save;
        if (!ParseGpu(texts.gpu, invocation.gpu, error)) return result;
        if (!ParseApplyOptions(texts, invocation.options, error)) return result;
    } else if (reset->parsed()) {
        invocation.command = Command::kReset;
        if (!ParseGpu(texts.gpu, invocation.gpu, error)) return result;
    } else if (restore->parsed()) {
        invocation.command = Command::kRestore;
        if (!texts.wait.empty()) {
            const std::optional<int> seconds = Decimal(texts.wait, kMaxWaitSeconds);
            if (!seconds) {
                error = "the wait '" + texts.wait + "' is not a number of seconds from 0 to " +
                        std::to_string(kMaxWaitSeconds);
                return result;
            }
            invocation.waitSeconds = *seconds;
        }
    } else if (logon->parsed()) {
        invocation.command = Command::kLogon;
        if (!ParseLogonAction(texts.logonAction, invocation.logon, error)) return result;
    } else if (keep->parsed()) {
        invocation.command = Command::kKeep;
    } else if (lightsOut->parsed()) {
        invocation.command = Command::kLightsOut;
        if (!texts.lightsOut.empty()) {
            LightsOutRule rule;
            if (!ParseLightsOutRule(texts.lightsOut, rule, error)) return result;
            invocation.lightsOut = rule;
        }
    } else if (doctor->parsed()) {
        invocation.command = Command::kDoctor;
        invocation.json = texts.json;
    } else {
        error = "no command given";
        return result;
    }
    result.ok = true;
    return result;
}

std::string UsageText(CommandLineFor platform) {
    const bool onLinux = platform == CommandLineFor::kLinux;
    std::string text =
        "Usage:\n"
        "  lumivar list\n"
        "  lumivar apply [--gpu N|all] [--mode NAME] [--color RRGGBB] [--shade 0-100]\n"
        "                [--interval short|medium|long] [--brightness 100|75|50|25]\n"
        "                [--off] [--cycle] [--save] [--dry-run]\n"
        "                [--color-by-temperature RRGGBB:RRGGBB [--temperature-range LOW-HIGH]]\n"
        "  lumivar reset [--gpu N|all] [--dry-run]\n"
        "  lumivar restore [--wait SECONDS] [--dry-run]\n"
        "  lumivar keep\n"
        "  lumivar logon enable|disable|status\n"
        "  lumivar lights-out [never | away | HH:MM-HH:MM | away HH:MM-HH:MM]\n"
        "  lumivar doctor [--json]\n"
        "  lumivar --help | --version\n";
    if (onLinux) text += "  Any command but logon also takes --i2c-bus N.\n";
    text +=
        "\n"
        "list     one line per GPU: slot, bus, PCI id, board family, ";
    text += onLinux ? "the I2C adapter where\n"
                      "         the LED controller answered (i2c-N, or - for none), name\n"
                    : "name\n";
    text +=
        "apply    sends what the panel's Apply sends; an option left out keeps what a freshly\n"
        "         started panel shows (LED on, static, colour ffffff, shade 50, single,\n"
        "         interval medium, brightness 100). --gpu is a slot from list (0 by default)\n"
        "         or all; --mode is a name from the board's own list, any case, '-' for a\n"
        "         space; --save keeps the options given for that board.\n"
        "         --color-by-temperature takes the colour of the GPU's temperature: the first\n"
        "         colour at LOW °C and below, the second at HIGH and above (40-80 unless\n"
        "         --temperature-range), blended between; saved, the keeper follows it.\n"
        "reset    sends what the panel's Reset sends\n"
        "restore  applies the saved options to the boards present; --wait retries while the\n"
        "         driver is not ready yet\n"
        "--dry-run  (apply, reset, restore) prints each transfer the command would make,\n"
        "         in order (board, port or adapter, address, read or write, the bytes in\n"
        "         hex, each pause) and what it would save; sends, saves and tells the\n"
        "         keeper nothing\n"
        "keep     restores now, then stays and restores again whenever the lighting may have\n"
        "         been lost (after sleep";
    text += onLinux ? ", an unlock)" : ", an unlock, a driver restart)";
    text +=
        ", and sends what lights-out\n"
        "         and --color-by-temperature want as it changes; one per user: a second keep\n"
        "         asks the running one to restore now\n";
    text += onLinux
                ? "logon    enable: starts 'lumivar keep' now and at each desktop logon (XDG "
                  "autostart);\n"
                  "         disable: removes the entry and ends the keeper; status\n"
                : "logon    enable: starts 'lumivarw keep' now and at each logon (the Run key);\n"
                  "         disable: removes the entry and ends the keeper; status\n";
    text +=
        "lights-out  puts every saved board's lighting out while you are away (the session\n"
        "         locked";
    text += onLinux ? "" : " or the display off";
    text +=
        "), every day between two local times, or both;\n"
        "         never: not at all. Alone, prints the rule.\n"
        "doctor   reads and reports, one line per fact, what decides whether the lighting\n"
        "         reaches the boards, each failing line with what to do; sends no write,\n"
        "         changes no file. --json: the same as one JSON document, for a bug report.\n"
        "         Exit 0 when every supported board's LED controller answered.\n";
    if (onLinux) {
        text +=
            "--i2c-bus N  sends on /dev/i2c-N instead of searching the GPU's adapters; with\n"
            "         apply --save it is kept for restore and keep\n";
    }
    text +=
        "\n"
        "Exit codes: 0 done, 1 bad usage, 2 no such GPU or board not supported, 3 nothing\n"
        "reached a board (the driver failed, or another program kept the boards), 4 the\n"
        "settings file cannot be read or written, 5 the logon entry cannot be read or written,\n"
        "6 the keeper cannot start.\n";
    return text;
}

std::string VersionText() {
    return std::string("lumivar ") + LUMIVAR_VERSION_TEXT + "\n";
}
