// lumivar-panel: the panel on Linux. One per user: a second start shows the first one's window
// and ends with 0.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <optional>

#include "panel/linux/panel_window.h"
#include "panel/linux/single_instance.h"
#include "panel/linux/skin_images.h"
#include "panel/portable/panel_texts.h"

namespace {

constexpr const char* kSkinText = "スキン画像を読み込めません";

int Fail(const std::string& text) {
    QMessageBox::critical(nullptr, QString::fromUtf8(kPanelTitle), QString::fromStdString(text));
    return 1;
}

// --i2c-bus N, as lumivar takes it: the adapter to send on instead of searching the GPU's.
std::optional<int> I2cBusOption(const QApplication& app) {
    QCommandLineParser parser;
    const QCommandLineOption bus(QStringLiteral("i2c-bus"),
                                 QStringLiteral("sends on /dev/i2c-N instead of searching"),
                                 QStringLiteral("N"));
    parser.addOption(bus);
    parser.addHelpOption();
    parser.process(app);
    bool number = false;
    const int value = parser.value(bus).toInt(&number);
    return number && value >= 0 ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumivar-panel"));
    QApplication::setDesktopFileName(QStringLiteral("lumivar-panel"));
    const std::optional<int> i2cBus = I2cBusOption(app);
    SingleInstance instance;
    if (instance.AnotherRuns()) return 0;

    std::optional<SkinImage> hueImage = LoadHueImage();
    std::optional<SkinImage> badge = LoadBadge();
    if (!hueImage || !badge) return Fail(kSkinText);
    PanelWindow window(std::move(*hueImage), std::move(*badge), i2cBus);
    const std::string problem = window.Start();
    if (!problem.empty()) return Fail(problem);
    instance.Listen();
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, &PanelWindow::Raise);
    window.show();
    return QApplication::exec();
}
