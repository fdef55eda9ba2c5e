#include "app/toolbar_strip.h"

#include "app/commands.h"
#include "qt/texts.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace zv::app {

using qt::PlainText;

const ToolbarStrip::Button ToolbarStrip::kButtons[15] = {
    {1046, cmd::Open, "open", 1, true},
    {1047, cmd::Save, "save", 2, false},
    {1048, cmd::SaveAs, "save-as", 3, false},
    {1049, cmd::MoveTime, "move-time", 4, false},
    {1050, cmd::Convert, "convert", 5, false},
    {1051, cmd::Synchronize, "synchronize", 6, false},
    {1052, cmd::Repair, "repair", 7, false},
    {1053, cmd::Split, "split", 196, false},
    {1054, cmd::Unite, "unite", 197, false},
    {1055, cmd::SubtitleInformation, "info", 306, true},
    {1056, cmd::Configuration, "configuration", 269, true},
    {1057, cmd::AviInformation, "avi-info", 257, true},
    {1058, cmd::Forum, "forum", 352, true},
    {1059, cmd::StampLine, "stamp-line", 382, true},
    {1060, cmd::OtherSoftware, "other-software", 390, true},
};

namespace {

// The first local file among the dropped items; empty when there is none.
QString FirstDroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

ToolbarStrip::ToolbarStrip(QWidget* parent, std::function<void(int)> command,
                           std::function<void(const QString&)> dropped)
    : QWidget(parent), command_(std::move(command)), dropped_(std::move(dropped))
{
    setObjectName(QStringLiteral("121"));
    setAcceptDrops(true);
    setFixedHeight(kHeight);
    // A narrow frame clips the strip instead of being held wide by it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    row_ = new QWidget(this);
    auto* row = new QHBoxLayout(row_);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    for (const Button& b : kButtons) {
        auto* button = new QToolButton(row_);
        button->setObjectName(QString::number(b.id));
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.icon))));
        button->setIconSize(QSize(24, 24));
        button->setFixedSize(31, 31);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setEnabled(b.enabled);
        const int id = b.command;
        connect(button, &QToolButton::clicked, this, [this, id] { command_(id); });
        row->addWidget(button);
        buttons_[b.id] = button;
        // A little air between the file group, the operations and the rest.
        if (b.id == 1048 || b.id == 1054)
            row->addSpacing(10);
    }
    row->addStretch(1);

    // A narrow frame keeps every command within reach: the buttons that do
    // not fit are listed under the last one.
    more_ = new QToolButton(this);
    more_->setObjectName(QStringLiteral("more"));
    more_->setText(QStringLiteral("\u00bb"));
    more_->setFixedSize(31, 31);
    more_->setAutoRaise(true);
    more_->setFocusPolicy(Qt::TabFocus);
    more_->setPopupMode(QToolButton::InstantPopup);
    moreMenu_ = new QMenu(more_);
    more_->setMenu(moreMenu_);
    connect(moreMenu_, &QMenu::aboutToShow, this, &ToolbarStrip::FillMoreMenu);
    more_->hide();
}

void ToolbarStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (const auto& [id, button] : buttons_)
        button->show();
    row_->setGeometry(0, 0, std::max(width(), row_->minimumSizeHint().width()), kHeight);
    row_->layout()->activate();
    const int margin = row_->layout()->contentsMargins().right();
    const bool allFit = buttons_.at(kButtons[14].id)->geometry().right() < width() - margin;
    more_->setVisible(!allFit);
    if (allFit)
        return;
    more_->move(width() - margin - more_->width(), (kHeight - more_->height()) / 2);
    // The later buttons make room, so the ones shown stay where they were.
    for (const auto& [id, button] : buttons_)
        if (button->geometry().right() >= more_->x())
            button->hide();
}

void ToolbarStrip::FillMoreMenu()
{
    moreMenu_->clear();
    for (const Button& b : kButtons) {
        QToolButton* button = buttons_.at(b.id);
        if (!button->isHidden())
            continue;
        QAction* action = moreMenu_->addAction(button->icon(), button->toolTip());
        action->setEnabled(button->isEnabled());
        const int command = b.command;
        connect(action, &QAction::triggered, this, [this, command] { command_(command); });
    }
}

void ToolbarStrip::SetTexts(const std::function<QString(int)>& textOf)
{
    for (const Button& b : kButtons) {
        QToolButton* button = buttons_.at(b.id);
        // Every button says what it does; the other-software one is named
        // after its menu.
        const QString tip = PlainText(textOf(b.tipText));
        button->setToolTip(tip);
        button->setAccessibleName(tip);
    }
    more_->setToolTip(PlainText(textOf(kMoreText)));
    more_->setAccessibleName(more_->toolTip());
}

QToolButton* ToolbarStrip::button(int id) const
{
    auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

void ToolbarStrip::SetButtonEnabled(int id, bool enabled)
{
    if (QToolButton* b = button(id))
        b->setEnabled(enabled);
}

void ToolbarStrip::dragEnterEvent(QDragEnterEvent* event)
{
    if (!FirstDroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ToolbarStrip::dragMoveEvent(QDragMoveEvent* event)
{
    if (!FirstDroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ToolbarStrip::dropEvent(QDropEvent* event)
{
    const QString path = FirstDroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    dropped_(path);
}

} // namespace zv::app
