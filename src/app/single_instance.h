// One running program per user: a later start asks the running one to come
// to the front, hands it the file it was given, if any, and ends.
#pragma once

#include <QObject>
#include <QString>

#include <chrono>

class QLocalServer;

namespace zv::app {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claimed {
        First,      // this is the first instance; it now answers later starts
        HandedOver, // another one runs and has taken the request
        Busy,       // another one runs but did not answer within the wait
    };

    // answerWait: how long a later start waits for the running one to take
    // its request.
    explicit SingleInstance(QString name = DefaultName(),
                            std::chrono::milliseconds answerWait = std::chrono::seconds(3));
    ~SingleInstance() override;

    // Asks another instance to come to the front and to open file (when not
    // empty; an absolute path), or becomes the first instance.
    Claimed Claim(const QString& file = QString());

    // MdiZV_Frame and the user, in the user's private runtime folder when
    // there is one.
    static QString DefaultName();

signals:
    void raiseRequested();
    // A later start was given this file.
    void openRequested(const QString& file);

private:
    bool AskOther(const QString& file);
    void Listen();
    QString name_;
    std::chrono::milliseconds answerWait_;
    QLocalServer* server_ = nullptr;
    // Held with a lock for as long as this instance runs: while it is held,
    // the socket belongs to a live program, however slow it is to answer.
    int lockFd_ = -1;
};

} // namespace zv::app
