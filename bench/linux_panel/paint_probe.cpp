// Preloaded into a Qt Widgets program (LD_PRELOAD) by scripts/bench-linux-panel.sh: once the first
// window has painted, writes to $LUMIVAR_BENCH_REPORT the wall clock then (microseconds since the
// epoch, for the script's own start time), the CPU time spent so far and the resident memory; with
// $LUMIVAR_BENCH_MOVES = N, then presses on the hue image's centre (the widget named "色相"), moves
// the pointer round a circle on it N times, 10 ms apart as a mouse reports, releases, and adds the
// CPU time the program spent from the press to the last repaint. Then the program ends at once, its
// teardown unmeasured.
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/time.h>
#include <valgrind/callgrind.h>

#include "core/rules/picker_rules.h"

namespace {

constexpr int kMoveIntervalMs = 10;
constexpr double kCircleRadius = 100.0;

long long CpuMicroseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto us = [](const timeval& t) { return t.tv_sec * 1000000LL + t.tv_usec; };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

long long WallMicroseconds() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return now.tv_sec * 1000000LL + now.tv_usec;
}

std::string StatusField(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return line.substr(key.size() + 1);
    }
    return "?";
}

class Probe : public QObject {
  public:
    Probe() {
        const char* moves = std::getenv("LUMIVAR_BENCH_MOVES");
        moves_ = moves != nullptr ? std::atoi(moves) : 0;
        const char* report = std::getenv("LUMIVAR_BENCH_REPORT");
        report_ = report != nullptr ? report : "/dev/stderr";
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!painted_ && event->type() == QEvent::Paint && watched->isWidgetType()) {
            painted_ = true;
            // A message box instead of the main window says that the program did not start.
            window_ = static_cast<QWidget*>(watched)->window()->metaObject()->className();
            // Fires once the whole window's paint, of which this is the first widget's, is done.
            QTimer::singleShot(0, this, [this] { Painted(); });
        }
        return false;
    }

  private:
    void Painted() {
        const long long paintedAt = WallMicroseconds();
        lines_ += "window " + window_ + "\npainted_us " + std::to_string(paintedAt) + "\nrss " +
                  StatusField("VmRSS") + "\ncpu_us " + std::to_string(CpuMicroseconds()) + "\n";
        for (QWidget* widget : QApplication::allWidgets()) {
            if (widget->accessibleName() == QStringLiteral("色相")) target_ = widget;
        }
        if (moves_ <= 0 || target_ == nullptr) return Finish();
        centre_ = QPointF(kHueImageOrigin.x - kPickerBox.left + kHueImageSize / 2,
                          kHueImageOrigin.y - kPickerBox.top + kHueImageSize / 2);
        // Under callgrind, what follows is counted alone.
        CALLGRIND_ZERO_STATS;
        cpuAtPress_ = CpuMicroseconds();
        Send(QEvent::MouseButtonPress, centre_, Qt::LeftButton);
        auto* timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, timer] { Move(timer); });
        timer->start(kMoveIntervalMs);
    }

    void Move(QTimer* timer) {
        if (moved_ == moves_) {
            timer->stop();
            Send(QEvent::MouseButtonRelease, Along(moved_), Qt::LeftButton);
            // The release's repaint, then the sum.
            return QTimer::singleShot(0, this, [this] {
                lines_ += "drag_cpu_us " + std::to_string(CpuMicroseconds() - cpuAtPress_) + "\n";
                Finish();
            });
        }
        Send(QEvent::MouseMove, Along(++moved_), Qt::NoButton);
    }

    QPointF Along(int move) const {
        const double angle = 2 * M_PI * move / 60;  // round once every 60 moves
        return centre_ + kCircleRadius * QPointF(std::cos(angle), std::sin(angle));
    }

    void Send(QEvent::Type type, QPointF at, Qt::MouseButton button) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, target_->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(target_, &event);
    }

    void Finish() {
        std::ofstream(report_) << lines_;
        std::_Exit(0);
    }

    int moves_ = 0;
    std::string report_;
    std::string lines_;
    bool painted_ = false;
    std::string window_;
    QWidget* target_ = nullptr;
    QPointF centre_;
    int moved_ = 0;
    long long cpuAtPress_ = 0;
};

void InstallProbe() {
    QCoreApplication::instance()->installEventFilter(new Probe);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
