// The frame's menu bar, built from language texts, the recent-folders
// submenu and the accelerators.
#include "app/commands.h"
#include "app/frame.h"
#include "qt/paths.h"
#include "qt/texts.h"
#include "engine/config/setting_names.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace zv::app {

using qt::PathText;
using qt::Tr;

namespace {

// A folder path shown as a menu entry: '&' would otherwise start a mnemonic.
QString MenuSafe(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

QAction* Frame::AddCommand(QMenu* menu, int commandId, int textNumber, bool enabled)
{
    QAction* action = menu->addAction(textNumber > 0 ? Tr(*ctx_, textNumber) : QString());
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [this, commandId] { Dispatch(commandId); });
    actions_[commandId] = action;
    return action;
}

QAction* Frame::commandAction(int commandId) const
{
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}

void Frame::SetCommandEnabled(int commandId, bool enabled)
{
    if (QAction* action = commandAction(commandId))
        action->setEnabled(enabled);
}

void Frame::BuildMenus()
{
    QMenuBar* bar = menuBar();

    fileMenu_ = bar->addMenu(Tr(*ctx_, 80));
    AddCommand(fileMenu_, cmd::Open, 85, true)->setIcon(QIcon(QStringLiteral(":/icons/open.svg")));
    AddCommand(fileMenu_, cmd::Save, 86, false);
    AddCommand(fileMenu_, cmd::SaveAs, 87, false);
    fileMenu_->addSeparator();
    AddCommand(fileMenu_, cmd::MoveTime, 88, false);
    AddCommand(fileMenu_, cmd::Convert, 89, false);
    AddCommand(fileMenu_, cmd::Repair, 90, false);
    AddCommand(fileMenu_, cmd::Synchronize, 91, false);
    AddCommand(fileMenu_, cmd::StampLine, 382, true);
    fileMenu_->addSeparator();
    AddCommand(fileMenu_, cmd::Unite, 93, false);
    AddCommand(fileMenu_, cmd::Split, 94, false);
    fileMenu_->addSeparator();
    AddCommand(fileMenu_, cmd::AviInformation, 256, true);
    AddCommand(fileMenu_, cmd::SubtitleInformation, 307, true);
    fileMenu_->addSeparator();
    recentMenu_ = new QMenu(Tr(*ctx_, 57), fileMenu_);
    recentMenu_->setObjectName(QStringLiteral("RecentFolders"));
    fileMenu_->addMenu(recentMenu_);
    fileMenu_->addSeparator();
    AddCommand(fileMenu_, cmd::Exit, 92, true);
    RebuildRecentFolders();

    QMenu* settingsMenu = bar->addMenu(Tr(*ctx_, 81));
    AddCommand(settingsMenu, cmd::Configuration, 285, true);
    encodingMenu_ = new QMenu(Tr(*ctx_, 402), settingsMenu);
    encodingMenu_->setObjectName(QStringLiteral("Encoding"));
    settingsMenu->addMenu(encodingMenu_);
    // Built when it opens: the open file and its encoding change.
    connect(encodingMenu_, &QMenu::aboutToShow, this, [this] {
        encodingMenu_->clear();
        AddEncodingChoices(encodingMenu_);
    });

    QMenu* help = bar->addMenu(Tr(*ctx_, 82));
    AddCommand(help, cmd::CheckForUpdate, 98, true);
    help->addSeparator();
    AddCommand(help, cmd::TipOfTheDay, 0, true)->setText(Tr(*ctx_, 361) + QStringLiteral("..."));
    AddCommand(help, cmd::HelpContents, 60, true);
    AddCommand(help, cmd::ViewReadme, 99, true);
    AddCommand(help, cmd::Faq, 330, true);
    help->addSeparator();
    AddCommand(help, cmd::Forum, 351, true);
    help->addSeparator();
    AddCommand(help, cmd::About, 100, true);
    AddCommand(help, cmd::Credits, 101, true);
    help->addSeparator();
    AddCommand(help, cmd::Donate, 418, true);

    QMenu* other = bar->addMenu(Tr(*ctx_, 390));
    // The picture entry alone: blank entries around it only left empty rows.
    QAction* picture = AddCommand(other, cmd::OtherSoftware, 390, true);
    picture->setIcon(QIcon(QStringLiteral(":/icons/other-software.svg")));
    actions_[cmd::OtherSoftware] = picture;
    other->addSeparator();
    AddCommand(other, cmd::SoftwarePage, 391, true);
}

void Frame::RebuildRecentFolders()
{
    recentMenu_->clear();
    struct Entry {
        const char* setting;
        int command;
        const char* keys;
    };
    static const Entry kEntries[] = {
        {key::RecentFolder1, cmd::RecentFolder1, "\tCtr+1"},
        {key::RecentFolder2, cmd::RecentFolder2, "\tCtr+2"},
        {key::RecentFolder3, cmd::RecentFolder3, "\tCtr+3"},
        {key::RecentFolder4, cmd::RecentFolder4, "\tCtr+4"},
    };
    for (const Entry& e : kEntries) {
        const std::string folder = settings_.ReadSetting(e.setting);
        if (folder.empty())
            continue;
        QAction* action =
            recentMenu_->addAction(MenuSafe(PathText(folder)) + QLatin1String(e.keys));
        const int command = e.command;
        connect(action, &QAction::triggered, this, [this, command] { Dispatch(command); });
    }
}

void Frame::BuildAccelerators()
{
    struct Accelerator {
        QKeyCombination keys;
        int command;
    };
    const Accelerator table[] = {
        {Qt::CTRL | Qt::Key_1, cmd::RecentFolder1}, {Qt::CTRL | Qt::Key_2, cmd::RecentFolder2},
        {Qt::CTRL | Qt::Key_3, cmd::RecentFolder3}, {Qt::CTRL | Qt::Key_4, cmd::RecentFolder4},
        {Qt::CTRL | Qt::Key_A, cmd::SaveAs},        {Qt::CTRL | Qt::Key_C, cmd::Configuration},
        {Qt::CTRL | Qt::Key_F, cmd::Forum},         {Qt::CTRL | Qt::Key_L, cmd::RecentFolder4},
        {Qt::CTRL | Qt::Key_O, cmd::Open},          {Qt::CTRL | Qt::Key_S, cmd::Save},
        {Qt::CTRL | Qt::Key_T, cmd::MoveTime},      {Qt::CTRL | Qt::Key_U, cmd::CheckForUpdate},
    };
    for (const Accelerator& a : table) {
        auto* shortcut = new QShortcut(QKeySequence(a.keys), this);
        shortcut->setObjectName(QKeySequence(a.keys).toString(QKeySequence::PortableText));
        const int command = a.command;
        connect(shortcut, &QShortcut::activated, this, [this, command] {
            // A greyed menu entry makes its accelerator do nothing.
            if (QAction* action = commandAction(command); action && !action->isEnabled())
                return;
            Dispatch(command);
        });
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { ShowHelpContents(); });
}

} // namespace zv::app
