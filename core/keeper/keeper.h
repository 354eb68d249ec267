// The keeper, the same on every platform: each platform turns its system's events into triggers
// and changes of the user's presence, and gives it timers, the sends and a log; this decides when
// to send, what the log says, when the quiet hours next begin or end, and when to look at the
// temperatures of the boards that follow them.
#pragma once

#include <string>
#include <vector>

#include "core/keeper/send_schedule.h"
#include "core/keeper/wanted_lighting.h"

enum class KeeperTimer {
    kGather,    // the gathering time after a trigger
    kBoundary,  // the quiet hours' next start or end
    kSample,    // the next look at the followed temperatures
};

// The temperatures are looked at this often while some present board follows them and is lit,
// and once more when a move held back falls due.
constexpr unsigned kTemperatureSampleMilliseconds = 2000;

// What one send is for.
struct KeeperSend {
    Trigger trigger = Trigger::kStart;
    bool everyBoard = true;  // the lighting may have been lost
    KeeperConditions conditions;
};

// What one send said, in order, how it ended, and what it learnt.
struct SendOutcome {
    int exitCode = 0;
    std::vector<std::string> printed;  // nothing when nothing needed sending
    LightsOutRule rule;                // as the settings file holds it now
    bool following = false;            // a present board follows its temperature and is lit
};

// What a look at the followed temperatures found.
struct TemperatureLook {
    bool send = false;  // what the rules want has changed, or a reading was lost or is back
    // A move held back by the least interval between temperature sends falls due in this long;
    // 0 when none is.
    unsigned heldMilliseconds = 0;
};

struct LocalTime {
    std::string text;     // "2024-05-01 12:34:56"
    int secondOfDay = 0;  // 0 to 86399
};

// What a platform's keeper does for the portable one.
class KeeperSystem {
  public:
    virtual ~KeeperSystem() = default;
    // One shot, replacing one armed before; Keeper::OnTimer once it fires.
    virtual void ArmTimer(KeeperTimer timer, unsigned milliseconds) = 0;
    virtual void StopTimer(KeeperTimer timer) = 0;
    // One whole send. Its waits go on hearing the system, so the keeper's handlers may be called
    // while it runs.
    virtual SendOutcome Send(const KeeperSend& send) = 0;
    // The followed boards' temperatures read again.
    virtual TemperatureLook LookAtTemperatures(const KeeperConditions& conditions) = 0;
    // Nothing follows any more: what the looks held (the driver) is let go.
    virtual void StopFollowing() = 0;
    virtual LocalTime Now() = 0;
    // One line of the keeper's log.
    virtual void Log(const std::string& line) = 0;
    // After each send that the log tells of, with its line's time.
    virtual void Sent(const std::string& time, int exitCode) = 0;
};

class Keeper {
  public:
    explicit Keeper(KeeperSystem& system) : system_(system) {}
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // The send at the keeper's start.
    void Start();
    void OnTrigger(Trigger trigger);
    // The session locked or unlocked: an unlock always sends (the lighting may have been lost).
    void OnSessionLocked(bool locked);
    // The console's display on or off (dimmed counts as on).
    void OnDisplay(bool on);
    // The system's clock or time zone changed.
    void OnClockChanged();
    void OnTimer(KeeperTimer timer);

  private:
    KeeperConditions Conditions();
    void OnAwayChanged(bool wasAway, Trigger trigger);
    void Take(ScheduleStep step);
    void AfterSend(const SendOutcome& outcome);

    KeeperSystem& system_;
    SendSchedule schedule_;
    LightsOutRule rule_;  // as the last send found it
    bool following_ = false;
    bool sampling_ = false;
    bool sessionLocked_ = false;
    bool displayOff_ = false;
};
