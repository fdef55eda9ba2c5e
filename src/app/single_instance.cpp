#include "app/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include <memory>

namespace zv::app {

namespace {

// One request per connection: "raise", or "open" and the file's path as
// UTF-8 on the next line.
const QByteArray kRaise = "raise\n";
const QByteArray kOpen = "open\n";

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

bool SingleInstance::AskOther(const QString& file)
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(file.isEmpty() ? kRaise : kOpen + file.toUtf8() + '\n');
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::Claim(const QString& file)
{
    server_ = new QLocalServer(this);
    if (!server_->listen(name_)) {
        if (AskOther(file))
            return false;
        // Left behind by a program that did not end cleanly.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_))
            return true; // run all the same; only the raising of this window is lost
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            // The request may arrive in pieces; it is whole when the other
            // program has hung up.
            auto request = std::make_shared<QByteArray>();
            const auto finish = [this, socket, request] {
                *request += socket->readAll();
                socket->deleteLater();
                if (request->startsWith(kOpen) && request->endsWith('\n') && request->size() > kOpen.size() + 1) {
                    emit raiseRequested();
                    emit openRequested(QString::fromUtf8(request->mid(kOpen.size()).chopped(1)));
                } else if (request->startsWith(kRaise)) {
                    emit raiseRequested();
                }
            };
            connect(socket, &QLocalSocket::readyRead, this, [socket, request] { *request += socket->readAll(); });
            if (socket->state() == QLocalSocket::UnconnectedState)
                finish();
            else
                connect(socket, &QLocalSocket::disconnected, this, finish);
        }
    });
    return true;
}

} // namespace zv::app
