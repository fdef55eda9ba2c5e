#include "app/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace zv::app {

namespace {

const QByteArray kRaise = "raise\n";

} // namespace

SingleInstance::SingleInstance(QString name) : name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultName()
{
    const QString leaf = QStringLiteral("MdiZV_Frame-%1").arg(::getuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QLatin1Char('/') + leaf;
    return QDir::tempPath() + QLatin1Char('/') + leaf;
}

bool SingleInstance::AskOtherToRaise()
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::Claim()
{
    server_ = new QLocalServer(this);
    if (!server_->listen(name_)) {
        if (AskOtherToRaise())
            return false;
        // Left behind by a program that did not end cleanly.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_))
            return true; // run all the same; only the raising of this window is lost
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("raise"))
                    emit raiseRequested();
            });
        }
    });
    return true;
}

} // namespace zv::app
