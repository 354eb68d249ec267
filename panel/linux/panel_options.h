// lumivar-panel's command line: the adapter to send on, and a screenshot to save instead of
// staying open (for a machine without a display, and the README's picture).
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QWidget>
#include <optional>

struct PanelOptions {
    std::optional<int> i2cBus;  // --i2c-bus N, as lumivar takes it
    QString screenshot;         // --screenshot FILE; empty: none
};

// Reads the options; --help prints them and exits, as Qt's parser does.
PanelOptions ReadPanelOptions(const QCoreApplication& app);

// Once the event loop runs (the window shown and laid out), saves what the window draws to
// `file` as a PNG and ends the program: 0 when saved, 1 when not.
void SaveScreenshotOnceShown(QWidget& window, const QString& file);
