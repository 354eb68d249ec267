#include "panel/linux/keeper_items.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <string>

#include "core/settings/settings_store.h"
#include "panel/linux/message_box.h"
#include "panel/portable/saved_lighting_rule.h"
#include "platform/linux/autostart_entry.h"
#include "platform/linux/keeper_contact.h"
#include "platform/linux/settings_store_linux.h"

namespace {

void Tell(QWidget* window, const std::string& text) {
    ShowProblem(window, QString::fromStdString(text));
}

}  // namespace

QString FindLumivar() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/lumivar");
    if (QFileInfo(beside).isExecutable()) return beside;
    return QStandardPaths::findExecutable(QStringLiteral("lumivar"));
}

KeeperItems::KeeperItems(QMenu* menu, QWidget* window) : QObject(menu), window_(window) {
    logon_ = menu->addAction(QString::fromUtf8(kLogonItemText));
    away_ = menu->addAction(QString::fromUtf8(kAwayItemText));
    logon_->setCheckable(true);
    away_->setCheckable(true);
    connect(menu, &QMenu::aboutToShow, this, &KeeperItems::Refresh);
    connect(logon_, &QAction::triggered, this, &KeeperItems::OnLogonTriggered);
    connect(away_, &QAction::triggered, this, &KeeperItems::OnAwayTriggered);
    Refresh();
}

void KeeperItems::Refresh() {
    lumivar_ = FindLumivar();
    std::string error;
    LinuxSettingsStore store;
    SavedSettings settings;
    // A file that cannot be read counts as no rule.
    LoadSettings(store, settings, error);
    logon_->setChecked(ReadAutostartEntry(error) == FileRead::kRead);
    away_->setChecked(settings.lightsOut.away);
    logon_->setEnabled(!lumivar_.isEmpty());
    away_->setEnabled(!lumivar_.isEmpty());
}

void KeeperItems::OnLogonTriggered() {
    std::string error;
    const bool present = ReadAutostartEntry(error) == FileRead::kRead;
    const bool done =
        present ? DisableKeeperAtLogon(error) : EnableKeeperAtLogon(lumivar_.toStdString(), error);
    if (!done) Tell(window_, error);
    Refresh();
}

void KeeperItems::OnAwayTriggered() {
    LinuxSettingsStore store;
    std::string error;
    const SettingsOutcome outcome = UpdateSettings(store, ToggleAwayChange(), error);
    if (outcome == SettingsOutcome::kDone) TellKeeperSettingsChanged();
    const std::optional<std::string> problem =
        SettingsProblemToTell(outcome, false, store.FileName(), error, settingsProblemTold_);
    if (problem) Tell(window_, *problem);
    Refresh();
}
