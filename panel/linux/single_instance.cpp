#include "panel/linux/single_instance.h"

#include <QLocalSocket>
#include <string>

#include "platform/linux/folders.h"

namespace {

constexpr int kAnswerWaitMs = 2000;

}  // namespace

SingleInstance::SingleInstance() {
    std::string error;
    const std::string folder = PrivateRuntimeFolder(error);
    if (!folder.empty()) name_ = QString::fromStdString(folder + "/panel.socket");
}

bool SingleInstance::AnotherRuns() {
    if (name_.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kAnswerWaitMs)) return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(kAnswerWaitMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::Listen() {
    if (name_.isEmpty()) return;
    // Nobody answered there: what is left is a panel's that ended without removing it.
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name_);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit raiseRequested();
        }
    });
}
