// One running program per user: a later start asks the running one to come
// to the front, hands it the file it was given, if any, and ends.
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
    // false when another one runs and has been asked to come to the front
    // and to open file (when not empty; an absolute path).
    bool Claim(const QString& file = QString());

    // MdiZV_Frame and the user, in the user's private runtime folder when
    // there is one.
    static QString DefaultName();

signals:
    void raiseRequested();
    // A later start was given this file.
    void openRequested(const QString& file);

private:
    bool AskOther(const QString& file);
    QString name_;
    QLocalServer* server_ = nullptr;
};

} // namespace zv::app
