// What `lumivar doctor` reads on Windows alone: the driver's module in the system directory, the
// board's named mutex tried at once, the session's keeper and its log.
#pragma once

#include "cli/commands/doctor_command.h"

class WindowsDoctor final : public DoctorPlatform {
  public:
    std::string Name() override;
    std::vector<DoctorFact> DriverFacts() override;
    std::unique_ptr<InterProcessLock> BoardLockAtOnce() override;
    bool KeeperRuns() override;
    std::string KeeperLogName() override;
    FileRead ReadKeeperLog(std::string& text, std::string& error) override;
    std::string UnansweredAdvice() override;
    std::string TemperatureFailure() override;
};
