// lumivar-panel: the panel on Linux. One per user: a second start shows the first one's window
// and ends with 0.
#include <QApplication>
#include <QMessageBox>
#include <optional>

#include "panel/linux/panel_options.h"
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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumivar-panel"));
    QApplication::setDesktopFileName(QStringLiteral("com.voxa.lumivar.panel"));
    const PanelOptions options = ReadPanelOptions(app);
    const bool screenshot = !options.screenshot.isEmpty();
    SingleInstance instance;
    // A screenshot is drawn by this program, beside a running panel.
    if (!screenshot && instance.AnotherRuns()) return 0;

    std::optional<SkinImage> hueImage = LoadHueImage();
    std::optional<SkinImage> badge = LoadBadge();
    if (!hueImage || !badge) return Fail(kSkinText);
    PanelWindow window(std::move(*hueImage), std::move(*badge), options.i2cBus);
    const std::string problem = window.Start();
    if (!problem.empty()) return Fail(problem);
    if (!screenshot) {
        instance.Listen();
        QObject::connect(&instance, &SingleInstance::raiseRequested, &window, &PanelWindow::Raise);
    }
    window.show();
    if (screenshot) SaveScreenshotOnceShown(window, options.screenshot);
    return QApplication::exec();
}
