#include "app/single_instance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace zv::app {

namespace {

// One request per connection: "raise", or "open" and the file's path as
// UTF-8 on the next line; a NUL byte ends it. The running program answers
// "ok" once it has taken the request.
const QByteArray kRaise = "raise\n";
const QByteArray kOpen = "open\n";
const QByteArray kTaken = "ok\n";
// A path is a few KiB at most; whoever sends more is no later start of ours.
constexpr qsizetype kLargestRequest = 16 * 1024;

// A later start that gave up waiting has hung up: its request is not acted on
// behind the back of a user who was told that nothing was handed over.
bool StillThere(QLocalSocket& socket)
{
    if (socket.state() != QLocalSocket::ConnectedState)
        return false;
    char byte = 0;
    return ::recv(static_cast<int>(socket.socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT) != 0;
}

} // namespace

SingleInstance::SingleInstance(QString name, std::chrono::milliseconds answerWait)
    : name_(std::move(name)), answerWait_(answerWait)
{
}

SingleInstance::~SingleInstance()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

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
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + answerWait_;
    const auto left = [deadline] {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return static_cast<int>(std::clamp<long long>(ms, 0, 1'000'000));
    };
    QLocalSocket socket;
    // A program that is still starting may not listen yet; one that is busy
    // may have a full queue of connections.
    for (;;) {
        socket.connectToServer(name_);
        if (socket.waitForConnected(std::max(left(), 1)))
            break;
        socket.abort();
        if (left() == 0)
            return false;
        QThread::msleep(static_cast<unsigned long>(std::min(left(), 50)));
    }
    socket.write((file.isEmpty() ? kRaise : kOpen + file.toUtf8()) + '\0');
    QByteArray answer;
    while (!answer.contains('\n') && left() > 0 && socket.state() == QLocalSocket::ConnectedState) {
        if (socket.bytesToWrite() > 0)
            socket.waitForBytesWritten(std::max(left(), 1));
        else if (socket.waitForReadyRead(std::max(left(), 1)))
            answer += socket.readAll();
    }
    answer += socket.readAll();
    socket.abort();
    return answer.startsWith(kTaken);
}

SingleInstance::Claimed SingleInstance::Claim(const QString& file)
{
    // Whoever holds the lock runs; the socket beside it is then alive even
    // when its program is too busy to answer. Without the lock, a socket is
    // what a program that did not end cleanly left behind.
    const QByteArray lockPath = QFile::encodeName(name_ + QStringLiteral(".lock"));
    lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ >= 0) {
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) {
            QLocalServer::removeServer(name_);
            Listen();
            return Claimed::First;
        }
        const bool held = errno == EWOULDBLOCK;
        ::close(lockFd_);
        lockFd_ = -1;
        if (held)
            return AskOther(file) ? Claimed::HandedOver : Claimed::Busy;
    }
    // No lock to be had: the socket alone tells, and is never taken away.
    auto* server = new QLocalServer(this);
    if (server->listen(name_)) {
        delete server;
        Listen();
        return Claimed::First;
    }
    delete server;
    return AskOther(file) ? Claimed::HandedOver : Claimed::Busy;
}

void SingleInstance::Listen()
{
    server_ = new QLocalServer(this);
    // Run all the same when this fails; only the raising of this window is lost.
    server_->listen(name_);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->state() != QLocalSocket::ConnectedState) {
                socket->deleteLater();
                continue;
            }
            // Qt reads no more than one request ahead.
            socket->setReadBufferSize(kLargestRequest + 1);
            // The request may arrive in pieces.
            auto request = std::make_shared<QByteArray>();
            const auto take = [this, socket, request] {
                if (socket->state() != QLocalSocket::ConnectedState)
                    return;
                *request += socket->read(kLargestRequest + 1 - request->size());
                const qsizetype end = request->indexOf('\0');
                if (end < 0) {
                    if (request->size() > kLargestRequest)
                        socket->abort();
                    return;
                }
                const QByteArray whole = request->left(end);
                if (!StillThere(*socket)) {
                    socket->abort();
                    return;
                }
                socket->write(kTaken);
                socket->disconnectFromServer();
                if (whole.startsWith(kOpen) && whole.size() > kOpen.size()) {
                    emit raiseRequested();
                    emit openRequested(QString::fromUtf8(whole.mid(kOpen.size())));
                } else if (whole == kRaise) {
                    emit raiseRequested();
                }
            };
            connect(socket, &QLocalSocket::readyRead, this, take);
            if (socket->bytesAvailable() > 0)
                take();
        }
    });
}

} // namespace zv::app
