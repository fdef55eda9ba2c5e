#include "app/dialogs/dialog_parts.h"

#include "app/dialogs/help_viewer.h"
#include "qt/texts.h"
#include "engine/config/decimal_text.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zv::app {

using qt::Tr;

CommandDialog::CommandDialog(zv::Context& ctx, QWidget* parent, const char* resource, int titleText,
                             QString helpKeyword)
    : QDialog(parent), ctx_(ctx), ownerScope_(ctx.host, this), helpKeyword_(std::move(helpKeyword))
{
    setObjectName(QString::fromLatin1(resource));
    setModal(true);
    setWindowTitle(Tr(ctx_, titleText));
    layout_ = new QVBoxLayout(this);
}

void CommandDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        ShowDialogHelp(this, ctx_, helpKeyword_);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CommandDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    KeepOnScreen(this);
}

void KeepOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    // The window manager's frame around the window, where one is known.
    const QSize frame = window->frameGeometry().size() - window->size();
    const QSize room = free.size() - frame;
    QSize size = window->size();
    if (size.width() > room.width() || size.height() > room.height()) {
        size = size.boundedTo(room).expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize());
        window->resize(size);
    }
    const QRect outer(window->frameGeometry().topLeft(), window->size() + frame);
    QPoint at = outer.topLeft();
    at.setX(std::max(free.left(), std::min(at.x(), free.right() + 1 - outer.width())));
    at.setY(std::max(free.top(), std::min(at.y(), free.bottom() + 1 - outer.height())));
    if (at != outer.topLeft())
        window->move(at);
}

QGroupBox* Group(QWidget* parent, const char* id, const QString& title)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(id));
    return group;
}

QGroupBox* FileNameGroup(zv::Context& ctx, QWidget* parent, const char* groupId, const char* labelId,
                         const QString& fileName)
{
    QGroupBox* group = Group(parent, groupId, Tr(ctx, 8));
    auto* name = new QLabel(fileName, group);
    name->setObjectName(QString::fromLatin1(labelId));
    name->setTextFormat(Qt::PlainText);
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(name);
    return group;
}

std::vector<QRadioButton*> AddFormatRadios(QGroupBox* group, std::initializer_list<FormatRadio> radios)
{
    auto* grid = new QGridLayout(group);
    std::vector<QRadioButton*> made;
    for (const auto& [id, format] : radios) {
        const std::string_view label = zv::FormatLabel(format);
        auto* radio = new QRadioButton(QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size())), group);
        radio->setObjectName(QString::fromLatin1(id));
        const int i = static_cast<int>(made.size());
        grid->addWidget(radio, i / 2, i % 2);
        made.push_back(radio);
    }
    return made;
}

QGroupBox* FormatShownGroup(zv::Context& ctx, QWidget* parent, const char* groupId, int titleText,
                            zv::SubtitleFormat shown, std::initializer_list<FormatRadio> radios)
{
    QGroupBox* group = Group(parent, groupId, Tr(ctx, titleText));
    const std::vector<QRadioButton*> made = AddFormatRadios(group, radios);
    auto radio = made.begin();
    for (const FormatRadio& r : radios) {
        (*radio)->setEnabled(r.format == shown);
        (*radio)->setChecked(r.format == shown);
        ++radio;
    }
    return group;
}

QPushButton* AddOkCancel(zv::Context& ctx, QDialog* dialog, QVBoxLayout* layout)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(Tr(ctx, 20), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(Tr(ctx, 21), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return ok;
}

QString DecimalText(double value, int decimals)
{
    return QString::fromStdString(zv::FixedText(value, decimals));
}

double ReadDecimal(const QString& typed)
{
    return zv::ReadDecimal(typed.toStdString());
}

} // namespace zv::app
