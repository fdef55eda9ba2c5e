#include "app/document_window.h"

#include "app/commands.h"
#include "app/document_model.h"
#include "app/frame.h"
#include "qt/texts.h"
#include "engine/io/file_io.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QIcon>
#include <QItemSelectionModel>
#include <QMenu>

#include <algorithm>
#include <memory>

namespace zv::app {

using qt::Tr;

namespace {

// Files from this size on are read with the progress window up: they take
// long enough for the window to look frozen otherwise.
constexpr std::int64_t kProgressFromBytes = 8 << 20;

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

DocumentList::DocumentList(QWidget* parent, std::function<void(const QPoint&)> menu)
    : QListView(parent), lines_(new DocumentModel(this)), menu_(std::move(menu))
{
    setObjectName(QStringLiteral("1"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows of one height let the view place a million of them without
    // asking for each one's size.
    setUniformItemSizes(true);
    setModel(lines_);
}

int DocumentList::count() const
{
    return lines_->rowCount();
}

int DocumentList::currentRow() const
{
    return currentIndex().row();
}

void DocumentList::setCurrentRow(int row)
{
    selectionModel()->setCurrentIndex(lines_->index(row), QItemSelectionModel::ClearAndSelect);
}

QString DocumentList::text(int row) const
{
    return lines_->LineText(row);
}

void DocumentList::contextMenuEvent(QContextMenuEvent* event)
{
    menu_(event->globalPos());
}

DocumentWindow::DocumentWindow(Frame& frame, DocumentKind kind, const QString& title, const std::string& path)
    : frame_(frame), kind_(kind)
{
    setObjectName(DocumentClassName(kind));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setWindowIcon(QIcon(QLatin1String(IconOf(kind))));
    list_ = new DocumentList(this, [this](const QPoint& pos) { ShowContextMenu(pos); });
    list_->setAccessibleName(title.trimmed());
    list_->setFont(frame_.DocumentFont());
    setWidget(list_);
    if (kind == DocumentKind::Source) {
        // Only a selection counts: the list's current row also moves when it
        // merely gets the focus.
        connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
            const QModelIndexList selected = list_->selectionModel()->selectedIndexes();
            if (!selected.isEmpty())
                frame_.SetCurrentLine(selected.front().row());
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
    // A large file is read with the progress window up; the window paints
    // itself (and the frame with it) from inside the read.
    zv::Context& ctx = frame_.context();
    std::shared_ptr<zv::ProgressWindow> progress;
    if (zv::FileSize(path) >= kProgressFromBytes)
        progress = ctx.host.StartProgressWindow();
    if (progress) {
        progress->SetOkEnabled(false);
        progress->SetCaption(ctx.Text(37));
    }
    int shown = -1;
    const bool read = list_->lines()->Load(path, frame_.EncodingOf(kind_), [&](int percent) {
        if (progress && percent != shown)
            progress->SetPercent(shown = percent);
    });
    // Nothing to tell when it is done: the list itself shows the result.
    if (progress)
        progress->End();
    if (!read)
        ctx.Tell(56, 44, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Frame);
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
