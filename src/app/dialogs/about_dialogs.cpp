#include "app/dialogs/about_dialogs.h"

#include "app/dialogs/dialog_parts.h"
#include "app/launch.h"
#include "qt/shell.h"
#include "qt/texts.h"
#include "compile_stamp.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zv::app {

using qt::HomePage;
using qt::MakerEmail;
using qt::Tr;
using qt::kTextCompiled;
using qt::TranslatorsPage;

namespace {

QLabel* TextIn(QGroupBox* group, const QString& text)
{
    auto* label = new QLabel(text, group);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton* PageButton(zv::Context& ctx, QWidget* parent, const char* id, int text, QUrl url)
{
    auto* button = new QPushButton(Tr(ctx, text), parent);
    button->setObjectName(QString::fromLatin1(id));
    QObject::connect(button, &QPushButton::clicked, parent,
                     [&ctx, url = std::move(url)] { OpenOrTell(ctx, url, zv::Owner::Dialog); });
    return button;
}

void AddOk(zv::Context& ctx, QDialog* dialog, QVBoxLayout* layout)
{
    auto* ok = new QPushButton(Tr(ctx, 20), dialog);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    layout->addLayout(row);
}

} // namespace

QString CompileStampText(const zv::Context& ctx)
{
    const QString stamp = QString::fromLatin1(kCompileDate).simplified();
    const QDate date = QDate::fromString(stamp, QStringLiteral("MMM d yyyy"));
    return QStringLiteral("[ %1 %2 - %3 ]")
        .arg(Tr(ctx, kTextCompiled), date.isValid() ? date.toString(Qt::ISODate) : stamp,
             QLatin1String(kCompileTime));
}

AboutDialog::AboutDialog(zv::Context& ctx, const QString& windowTitle, QWidget* parent)
    : QDialog(parent), owner_(ctx.host, this)
{
    setObjectName(QStringLiteral("109"));
    setWindowTitle(CompileStampText(ctx));
    auto* column = new QVBoxLayout(this);

    QGroupBox* program = Group(this, "1045", windowTitle);
    auto* programRow = new QHBoxLayout(program);
    auto* icon = new QLabel(program);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/zentavo.svg")).pixmap(48, 48));
    programRow->addWidget(icon, 0, Qt::AlignTop);
    programRow->addWidget(TextIn(program, Tr(ctx, 409)), 1);
    column->addWidget(program);

    QGroupBox* contact = Group(this, "1032", Tr(ctx, 43));
    auto* contactColumn = new QVBoxLayout(contact);
    contactColumn->addWidget(TextIn(contact, Tr(ctx, 410)));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PageButton(ctx, contact, "1020", 411, HomePage()));
    buttons->addWidget(PageButton(ctx, contact, "1021", 412, MakerEmail()));
    buttons->addStretch(1);
    contactColumn->addLayout(buttons);
    column->addWidget(contact);
    AddOk(ctx, this, column);
}

CreditsDialog::CreditsDialog(zv::Context& ctx, const QString& windowTitle, QWidget* parent)
    : QDialog(parent), owner_(ctx.host, this)
{
    setObjectName(QStringLiteral("117"));
    setWindowTitle(windowTitle);
    auto* column = new QVBoxLayout(this);
    QGroupBox* translators = Group(this, "1043", Tr(ctx, 112));
    auto* translatorsColumn = new QVBoxLayout(translators);
    translatorsColumn->addWidget(TextIn(translators, Tr(ctx, 413)));
    auto* row = new QHBoxLayout;
    row->addWidget(PageButton(ctx, translators, "1020", 414, TranslatorsPage()));
    row->addStretch(1);
    translatorsColumn->addLayout(row);
    column->addWidget(translators);
    QGroupBox* thanks = Group(this, "1044", Tr(ctx, 113));
    (new QVBoxLayout(thanks))->addWidget(TextIn(thanks, Tr(ctx, 415)));
    column->addWidget(thanks);
    AddOk(ctx, this, column);
}

} // namespace zv::app
