// The panel's two menu items for the keeper, checkable: the keeper at each logon (as `lumivar
// logon enable` and `disable`) and lights out while away (`away` added to the lights-out rule or
// taken out, its hours kept). Both need lumivar, beside the panel or on PATH: without it they are
// greyed. Each change of the settings tells a running keeper.
#pragma once

#include <QAction>
#include <QMenu>
#include <QString>

class KeeperItems : public QObject {
    Q_OBJECT

  public:
    // Adds the items to `menu`; each opening of the menu reads their states anew.
    KeeperItems(QMenu* menu, QWidget* window);

    QAction* LogonItem() const { return logon_; }
    QAction* AwayItem() const { return away_; }
    // Reads the entry, the rule and whether lumivar is there.
    void Refresh();

  private:
    void OnLogonTriggered();
    void OnAwayTriggered();

    QWidget* window_;
    QAction* logon_;
    QAction* away_;
    QString lumivar_;  // empty where it is not found
    bool settingsProblemTold_ = false;
};

// lumivar beside this program, else on PATH; empty when neither has it.
QString FindLumivar();
