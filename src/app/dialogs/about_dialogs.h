// About (109) and Credits (117): who made the program and its translations,
// with the pages and the address to reach them.
#pragma once

#include "qt/qt_host.h"
#include "engine/context.h"

#include <QDialog>
#include <QString>

namespace zv::app {

// "[ This version was compiled: <date> - <time> ]", from the build's stamp,
// with the date written by numbers (yyyy-mm-dd) so that no month's name is
// left in English.
QString CompileStampText(const zv::Context& ctx);

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(zv::Context& ctx, const QString& windowTitle, QWidget* parent);

private:
    qt::DialogOwnerScope owner_;
};

class CreditsDialog : public QDialog {
    Q_OBJECT
public:
    CreditsDialog(zv::Context& ctx, const QString& windowTitle, QWidget* parent);

private:
    qt::DialogOwnerScope owner_;
};

} // namespace zv::app
