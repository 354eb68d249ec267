// What `lumivar doctor` reads on Linux alone: the NVIDIA kernel module's version, i2c-dev, each
// NVIDIA adapter's device node and whether this user may open it, the board lock tried at once,
// the keeper and its log.
#pragma once

#include "cli/commands/doctor_command.h"

class LinuxDoctor final : public DoctorPlatform {
  public:
    std::string Name() override { return "Linux"; }
    std::vector<DoctorFact> DriverFacts() override;
    std::unique_ptr<InterProcessLock> BoardLockAtOnce() override;
    bool KeeperRuns() override;
    std::string KeeperLogName() override;
    FileRead ReadKeeperLog(std::string& text, std::string& error) override;
    std::string TemperatureFailure() override;
};
