// One panel per user: the first listens on a local socket in the user's private runtime folder;
// a later one finds it there, asks it to show its window and ends.
#pragma once

#include <QLocalServer>
#include <QObject>

class SingleInstance : public QObject {
    Q_OBJECT

  public:
    SingleInstance();

    // True when another panel of this user runs and was asked to show itself.
    bool AnotherRuns();
    // Starts listening; `raiseRequested` on each later panel's request.
    void Listen();

  signals:
    void raiseRequested();

  private:
    QString name_;
    QLocalServer server_;
};
