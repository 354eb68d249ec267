#include "panel/linux/panel_options.h"

#include <QCommandLineParser>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

PanelOptions ReadPanelOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    const QCommandLineOption bus(QStringLiteral("i2c-bus"),
                                 QStringLiteral("sends on /dev/i2c-N instead of searching"),
                                 QStringLiteral("N"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("saves the window to FILE (PNG) and ends"),
                                        QStringLiteral("FILE"));
    parser.addOption(bus);
    parser.addOption(screenshot);
    parser.addHelpOption();
    parser.process(app);
    PanelOptions options;
    bool number = false;
    const int value = parser.value(bus).toInt(&number);
    if (number && value >= 0) options.i2cBus = value;
    options.screenshot = parser.value(screenshot);
    return options;
}

void SaveScreenshotOnceShown(QWidget& window, const QString& file) {
    // A zero timer fires once the loop has handled what show() queued (polish, layout, expose).
    QTimer::singleShot(0, &window, [&window, file] {
        const bool saved = window.grab().save(file, "PNG");
        if (!saved) std::fprintf(stderr, "lumivar-panel: cannot save %s\n", qPrintable(file));
        QCoreApplication::exit(saved ? 0 : 1);
    });
}
