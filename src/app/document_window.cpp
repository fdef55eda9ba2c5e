#include "app/document_window.h"

#include "app/commands.h"
#include "app/frame.h"
#include "qt/texts.h"
#include "engine/file_io.h"
#include "engine/standard_file.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QIcon>
#include <QListWidget>
#include <QMenu>

#include <algorithm>
#include <functional>

namespace zv::app {

namespace {

constexpr int kShownLineLength = 199;

// A list that hands its context menu to the window that owns it.
class DocumentList : public QListWidget {
public:
    DocumentList(QWidget* parent, std::function<void(const QPoint&)> menu)
        : QListWidget(parent), menu_(std::move(menu))
    {
    }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override { menu_(event->globalPos()); }

private:
    std::function<void(const QPoint&)> menu_;
};

const char* IconOf(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Source: return ":/icons/source.svg";
    case DocumentKind::SecondSource: return ":/icons/source2.svg";
    case DocumentKind::Destination: return ":/icons/destination.svg";
    case DocumentKind::SecondDestination: return ":/icons/destination2.svg";
    }
    return "";
}

} // namespace

QString DocumentClassName(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Source: return QStringLiteral("MdiSourceDocument");
    case DocumentKind::SecondSource: return QStringLiteral("MdiSource2Document");
    case DocumentKind::Destination: return QStringLiteral("MdiDestinationDocument");
    case DocumentKind::SecondDestination: return QStringLiteral("MdiDestination2Document");
    }
    return {};
}

DocumentWindow::DocumentWindow(Frame& frame, DocumentKind kind, const QString& title, const std::string& path)
    : frame_(frame), kind_(kind)
{
    setObjectName(DocumentClassName(kind));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setWindowIcon(QIcon(QLatin1String(IconOf(kind))));
    list_ = new DocumentList(this, [this](const QPoint& pos) { ShowContextMenu(pos); });
    list_->setObjectName(QStringLiteral("1"));
    list_->setAccessibleName(title.trimmed());
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setUniformItemSizes(true);
    list_->setFont(frame_.DocumentFont());
    setWidget(list_);
    if (kind == DocumentKind::Source) {
        // Only a selection counts: the list's current row also moves when it
        // merely gets the focus.
        connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
            const QList<QListWidgetItem*> selected = list_->selectedItems();
            if (!selected.isEmpty())
                frame_.SetCurrentLine(list_->row(selected.front()));
        });
    }
    FillDocumentList(path);
}

void DocumentWindow::Refill(const std::string& path)
{
    FillDocumentList(path);
}

void DocumentWindow::FillDocumentList(const std::string& path)
{
    // The file is read through a copy that surely ends with a line break, so
    // a last line without one is shown too and the user's file is untouched.
    const std::string copy = frame_.context().workspace.WorkingCopy + "_ZAPELNIJ_";
    zv::CopyFileOver(path, copy);
    zv::EnsureFinalLineBreak(copy);
    list_->clear();
    zv::LineReader reader;
    if (!reader.Open(copy)) {
        frame_.context().Tell(56, 44, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Frame);
        zv::RemoveFile(copy);
        return;
    }
    const std::string encoding = frame_.EncodingOf(kind_);
    QStringList lines;
    lines << QStringLiteral(" ");
    std::string line;
    while (reader.Next(line))
        lines << DecodeText(WithoutLineEnd(line), encoding).left(kShownLineLength);
    reader.Close();
    zv::RemoveFile(copy);
    list_->addItems(lines);
}

QMenu* DocumentWindow::BuildContextMenu()
{
    zv::Context& ctx = frame_.context();
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("ContextMenu"));
    auto add = [&](int command, int text, bool enabled = true) {
        QAction* action = menu->addAction(Tr(ctx, text));
        action->setData(command);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, command] { HandleCommand(command); });
    };
    const bool secondSource = frame_.Exists(DocumentKind::SecondSource);
    // An unsaved result would be replaced by the next operation's.
    const bool free = !frame_.ResultShown();
    switch (kind_) {
    case DocumentKind::Source:
        if (!secondSource) {
            add(cmd::MoveTime, 88, free);
            add(cmd::Convert, 89, free);
            add(cmd::Repair, 90, free);
            add(cmd::Synchronize, 91, free);
            menu->addSeparator();
            // Split needs a subtitle line before the split point.
            add(cmd::Split, 94, free && frame_.currentLine() >= 2);
        }
        add(cmd::Unite, 93, free);
        break;
    case DocumentKind::SecondSource:
        add(cmd::Unite, 93);
        break;
    case DocumentKind::Destination:
    case DocumentKind::SecondDestination: {
        // With two results only Save as applies.
        const DocumentKind other =
            kind_ == DocumentKind::Destination ? DocumentKind::SecondDestination : DocumentKind::Destination;
        add(cmd::Save, 86, !frame_.Exists(other));
        add(cmd::SaveAs, 87);
        break;
    }
    }
    if (kind_ == DocumentKind::Source) {
        QMenu* encodings = menu->addMenu(Tr(ctx, 402));
        encodings->setObjectName(QStringLiteral("Encoding"));
        frame_.AddEncodingChoices(encodings);
    }
    menu->addSeparator();
    add(cmd::SubtitleInformation, 307);
    add(cmd::HelpContents, 60);
    menu->addSeparator();
    add(cmd::Exit, 364);
    return menu;
}

void DocumentWindow::ShowContextMenu(const QPoint& globalPos)
{
    QMenu* menu = BuildContextMenu();
    menu->exec(globalPos + QPoint(10, 10));
    delete menu;
}

void DocumentWindow::HandleCommand(int command)
{
    if (command == cmd::Exit) {
        close();
        return;
    }
    static const int kSourceCommands[] = {cmd::MoveTime, cmd::Convert, cmd::Repair, cmd::Synchronize,
                                          cmd::Unite, cmd::Split, cmd::SubtitleInformation, cmd::HelpContents};
    static const int kDestinationCommands[] = {cmd::Save, cmd::SaveAs, cmd::SubtitleInformation,
                                               cmd::HelpContents};
    const bool source = kind_ == DocumentKind::Source || kind_ == DocumentKind::SecondSource;
    const auto has = [command](const auto& list) {
        return std::find(std::begin(list), std::end(list), command) != std::end(list);
    };
    if (source ? has(kSourceCommands) : has(kDestinationCommands))
        frame_.Post(command);
}

void DocumentWindow::closeEvent(QCloseEvent* event)
{
    if (!frame_.DocumentMayClose(kind_)) {
        event->ignore();
        return;
    }
    frame_.DocumentClosed(kind_);
    QMdiSubWindow::closeEvent(event);
}

} // namespace zv::app
