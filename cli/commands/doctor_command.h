// `lumivar doctor [--json]`, the same on every platform: a read-only report of what decides
// whether the lighting reaches the boards. It never writes to a board, never changes a file, and
// takes the board lock only to see whether it is free (holding it for the probe reads alone).
// What only one platform can tell comes from its DoctorPlatform.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/commands/cli_host.h"
#include "cli/commands/doctor_report.h"
#include "cli/commands/driver_session.h"
#include "cli/commands/logon_command.h"

class DoctorPlatform {
  public:
    virtual ~DoctorPlatform() = default;
    // "Linux", "Windows, 64-bit program"
    virtual std::string Name() = 0;
    // What decides whether the driver can be reached at all, read before it is asked.
    virtual std::vector<DoctorFact> DriverFacts() = 0;
    // The board lock, tried once without waiting.
    virtual std::unique_ptr<InterProcessLock> BoardLockAtOnce() = 0;
    virtual bool KeeperRuns() = 0;
    // The keeper's log: where it is, and its text (kAbsent before the first line).
    virtual std::string KeeperLogName() = 0;
    virtual FileRead ReadKeeperLog(std::string& text, std::string& error) = 0;
    // Said after the transfer's failure when a controller does not answer; empty where that
    // already says what to do.
    virtual std::string UnansweredAdvice() { return ""; }
    // Why a GPU's temperature cannot be read, with what to do.
    virtual std::string TemperatureFailure() = 0;
};

// The one read a board's LED controller is asked for: the 8-byte read of the command template's
// probe, at the controller's address, on the port the programs use, sent the way every command
// sends (under the board lock). The exit code; for a failure, what it met in plain words.
int ProbeController(CliHost& host, const DriverSession& session, const Board& board,
                    std::string& failure);

// Prints the report (lines, or one JSON document); returns the exit code.
int RunDoctor(bool json, DoctorPlatform& platform, LogonEntry& logon, CliHost& host);
