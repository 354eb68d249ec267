// One panel per user: the first listens on a local socket in the user's private runtime folder;
// a later one finds it there, asks it to show its window and ends. Plain POSIX sockets under a
// QSocketNotifier: Qt's local sockets would bring in Qt Network and, through it, Kerberos and
// libproxy, a tenth of the panel's start-up and a megabyte of its memory.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <string>

class SingleInstance : public QObject {
    Q_OBJECT

  public:
    SingleInstance();
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another panel of this user runs and was asked to show itself.
    bool AnotherRuns();
    // Starts listening; `raiseRequested` on each later panel's request.
    void Listen();

  signals:
    void raiseRequested();

  private:
    void Accept();

    std::string path_;
    int listening_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
