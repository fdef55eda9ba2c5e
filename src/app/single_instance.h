// One running program per user: a later start asks the running one to come
// to the front and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace zv::app {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name = DefaultName());
    ~SingleInstance() override;

    // True when this is the first instance (it now answers later starts);
    // false when another one runs and has been asked to come to the front.
    bool Claim();

    // MdiZV_Frame and the user, in the user's private runtime folder when
    // there is one.
    static QString DefaultName();

signals:
    void raiseRequested();

private:
    bool AskOtherToRaise();
    QString name_;
    QLocalServer* server_ = nullptr;
};

} // namespace zv::app
