#include "app/frame.h"

#include "app/commands.h"
#include "app/dialogs/about_dialogs.h"
#include "app/dialogs/avi_info_dialog.h"
#include "app/dialogs/configuration_dialog.h"
#include "app/dialogs/convert_dialog.h"
#include "app/dialogs/donation_dialog.h"
#include "app/dialogs/help_viewer.h"
#include "app/dialogs/move_time_dialog.h"
#include "app/dialogs/subtitle_info_dialog.h"
#include "app/dialogs/synchronize_dialog.h"
#include "app/dialogs/tip_dialog.h"
#include "app/launch.h"
#include "qt/qt_host.h"
#include "qt/resources.h"
#include "qt/shell.h"
#include "app/status_bar.h"
#include "qt/paths.h"
#include "qt/texts.h"
#include "app/toolbar_strip.h"
#include "app/idle_effect.h"
#include "engine/io/encoding.h"
#include "engine/io/file_io.h"
#include "engine/io/workspace.h"
#include "engine/config/setting_names.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

namespace zv::app {

using qt::DecodeText;
using qt::EncodeText;
using qt::ForumPage;
using qt::LoadResources;
using qt::OtherSoftwarePage;
using qt::PathText;
using qt::QtHost;
using qt::SoftwarePage;
using qt::StartProgram;
using qt::Tr;
using qt::kTextCounting;
using qt::kTextLine;
using qt::UpgradeProgram;

namespace {

// Toolbar buttons and menu commands of the operations group, pairwise.
struct GroupMember {
    int button;
    int command;
};
constexpr GroupMember kOperations[] = {
    {1049, cmd::MoveTime}, {1050, cmd::Convert}, {1052, cmd::Repair},
    {1051, cmd::Synchronize}, {1053, cmd::Split}, {1054, cmd::Unite},
};
constexpr GroupMember kSaving[] = {{1047, cmd::Save}, {1048, cmd::SaveAs}};

bool IsOperation(int command)
{
    for (const GroupMember& m : kOperations)
        if (m.command == command)
            return true;
    return false;
}

int Index(DocumentKind kind)
{
    return static_cast<int>(kind);
}

} // namespace

Frame::Frame(QtHost& host, zv::SettingsStore& settings, const zv::LanguageTexts& texts, FrameOptions options)
    : host_(host), settings_(settings), options_(std::move(options)),
      ctx_(std::make_unique<zv::Context>(host, settings, texts))
{
    LoadResources();
    setObjectName(QStringLiteral("MdiZV_Frame"));
    setWindowTitle(DecodeText(options_.windowTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/zentavo.svg")));
    zv::InitWorkspacePaths(ctx_->workspace, options_.workspaceFolder);
    host_.SetFrame(this);

    BuildMenus();

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    toolbar_ = new ToolbarStrip(
        client, [this](int command) { Dispatch(command); }, [this](const QString& path) { OpenDroppedFile(path); });
    toolbar_->SetTexts([this](int n) { return Tr(*ctx_, n); });
    area_ = new QMdiArea(client);
    area_->setObjectName(QStringLiteral("1"));
    // The frame may be made as small as 180 by 180; the area must not hold it wider.
    area_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    area_->setAccessibleName(DecodeText(options_.windowTitle));
    area_->viewport()->installEventFilter(this);
    column->addWidget(toolbar_);
    column->addWidget(area_, 1);
    setCentralWidget(client);

    status_ = new StatusBar(this);
    setStatusBar(status_);
    status_->SetHintTexts([this](int n) { return Tr(*ctx_, n); });
    connect(status_, &StatusBar::hintClicked, this, [this] { Post(cmd::TipOfTheDay); });
    connect(status_, &StatusBar::lineClicked, this, &Frame::LineIndicatorClicked);

    BuildAccelerators();
    // It goes with the frame; whether the user wants it is asked each time.
    new IdleEffect(this, [this] { return settings_.ReadSetting(key::IdleEffect).rfind('1', 0) == 0; });

    if (ctx_->Asks(key::ShowTipAtStart))
        Post(cmd::TipOfTheDay);
}

Frame::~Frame()
{
    if (!shutDown_)
        Shutdown();
}

void Frame::Post(int commandId, int param)
{
    QTimer::singleShot(0, this, [this, commandId, param] { Dispatch(commandId, param); });
}

void Frame::Dispatch(int commandId, int param)
{
    if (shutDown_)
        return;
    zv::RemakeWorkspaceFolder(ctx_->workspace.folder);
    // Save or close the shown result first: an operation now would replace it.
    if (IsOperation(commandId) && ResultShown())
        return;
    switch (commandId) {
    case cmd::Open: Open(param); break;
    case cmd::Save: Save(); break;
    case cmd::SaveAs: SaveAs(); break;
    case cmd::Exit: QTimer::singleShot(0, this, &QWidget::close); break;
    case cmd::MoveTime: MoveTime(); break;
    case cmd::Convert: Convert(); break;
    case cmd::AviInformation: AviInformation(); break;
    case cmd::SubtitleInformation: SubtitleInformation(); break;
    case cmd::Synchronize: Synchronize(); break;
    case cmd::Repair: Repair(); break;
    case cmd::Split: Split(); break;
    case cmd::StampLine: StampLine(); break;
    case cmd::CheckForUpdate: {
        const QString upgrade = UpgradeProgram(PathText(options_.installDir));
        if (upgrade.isEmpty() || !StartProgram(upgrade, {}))
            TellCannotLaunch(*ctx_, PathText(options_.installDir) + QStringLiteral("/upgrade"), zv::Owner::Frame);
        break;
    }
    case cmd::ViewReadme:
        OpenOrTell(*ctx_,
                   QUrl::fromLocalFile(LocalizedDocument(*ctx_, PathText(options_.installDir) +
                                                                    QStringLiteral("/readme.txt"))),
                   zv::Owner::Frame);
        break;
    case cmd::Faq:
        OpenOrTell(*ctx_,
                   QUrl::fromLocalFile(LocalizedDocument(*ctx_, PathText(options_.installDir) + QLatin1Char('/') +
                                                                    Tr(*ctx_, 332))),
                   zv::Owner::Frame);
        break;
    case cmd::Forum: OpenOrTell(*ctx_, ForumPage(), zv::Owner::Frame); break;
    case cmd::OtherSoftware: OpenOrTell(*ctx_, OtherSoftwarePage(), zv::Owner::Frame); break;
    case cmd::SoftwarePage: OpenOrTell(*ctx_, SoftwarePage(), zv::Owner::Frame); break;
    case cmd::Configuration: Configuration(); break;
    case cmd::About: {
        EnableToolbar(false);
        AboutDialog(*ctx_, DecodeText(options_.windowTitle), this).exec();
        EnableToolbar(true);
        break;
    }
    case cmd::Credits: {
        EnableToolbar(false);
        CreditsDialog(*ctx_, DecodeText(options_.windowTitle), this).exec();
        EnableToolbar(true);
        break;
    }
    case cmd::TipOfTheDay: TipDialog(*ctx_, this).exec(); break;
    case cmd::Donate: DonationDialog(*ctx_, this).exec(); break;
    case cmd::RecentFolder1: OpenRecentFolder(key::RecentFolder1); break;
    case cmd::RecentFolder2: OpenRecentFolder(key::RecentFolder2); break;
    case cmd::RecentFolder3: OpenRecentFolder(key::RecentFolder3); break;
    case cmd::RecentFolder4: OpenRecentFolder(key::RecentFolder4); break;
    case cmd::HelpContents: ShowHelpContents(); break;
    case cmd::ChooseEncoding: ChooseEncoding(param); break;
    case cmd::Unite:
        if (Exists(DocumentKind::SecondSource))
            UniteSecondStep();
        else
            UniteFirstStep();
        break;
    default:
        // Anything the frame does not know belongs to the active document.
        if (auto* doc = qobject_cast<DocumentWindow*>(area_->activeSubWindow()))
            doc->HandleCommand(commandId);
        break;
    }
}

void Frame::UpdateCommandStates(int operations, int save)
{
    if (operations != -99) {
        for (const GroupMember& m : kOperations) {
            toolbar_->SetButtonEnabled(m.button, operations != 0);
            SetCommandEnabled(m.command, operations == 1);
        }
    }
    if (save != -99) {
        for (const GroupMember& m : kSaving) {
            toolbar_->SetButtonEnabled(m.button, save != 0);
            SetCommandEnabled(m.command, save == 1);
        }
    }
}

void Frame::EnableToolbar(bool on)
{
    toolbar_->setEnabled(on);
}

void Frame::ShowAfterOperation(bool done)
{
    EnableToolbar(true);
    unsaved_.first = done;
    if (done) {
        UpdateCommandStates(0, 1);
        if (DocumentWindow* d = document(DocumentKind::Destination))
            d->Refill(ctx_->workspace.WorkingCopy);
        else
            CreateDocument(DocumentKind::Destination, RightColumn(true, false));
    } else {
        UpdateCommandStates(-99, 0);
    }
}

void Frame::ShowSplitResults()
{
    unsaved_ = {true, true};
    UpdateCommandStates(0, 1);
    // Two results can only be saved under new names.
    toolbar_->SetButtonEnabled(1047, false);
    SetCommandEnabled(cmd::Save, false);
    if (DocumentWindow* d = document(DocumentKind::Destination)) {
        d->Refill(ctx_->workspace.WorkingCopy);
        d->setGeometry(RightColumn(true, true));
    } else {
        CreateDocument(DocumentKind::Destination, RightColumn(true, true));
    }
    if (DocumentWindow* d = document(DocumentKind::SecondDestination))
        d->Refill(ctx_->workspace.SecondWorkingCopy);
    else
        CreateDocument(DocumentKind::SecondDestination, RightColumn(false, true));
}

void Frame::MoveTime()
{
    if (currentFormat_ == zv::SubtitleFormat::None || !handler_)
        return;
    EnableToolbar(false);
    const QString fileName = PathText(sourcePath_);
    std::optional<zv::Outcome> outcome;
    if (currentFormat_ == zv::SubtitleFormat::MicroDvd || currentFormat_ == zv::SubtitleFormat::Mpl2) {
        MoveFramesDialog dialog(*ctx_, *handler_, currentFormat_, fileName, this);
        dialog.SetWriteOptions(WriteOptionsForFile());
        dialog.exec();
        outcome = dialog.outcome();
    } else {
        MoveTimeDialog dialog(*ctx_, *handler_, currentFormat_, fileName, this);
        dialog.SetWriteOptions(WriteOptionsForFile());
        dialog.exec();
        outcome = dialog.outcome();
    }
    // Cancelled, the result shown before stays what it was.
    ShowAfterOperation(outcome ? outcome->done : unsaved_.first);
}

void Frame::Synchronize()
{
    if (currentFormat_ == zv::SubtitleFormat::None || !handler_)
        return;
    EnableToolbar(false);
    bool done = false;
    {
        SynchronizeDialog dialog(*ctx_, *handler_, this, sourceEncoding_);
        dialog.SetWriteOptions(WriteOptionsForFile());
        dialog.exec();
        done = dialog.outcome() && dialog.outcome()->done;
    }
    ShowAfterOperation(done);
}

void Frame::Convert()
{
    if (currentFormat_ == zv::SubtitleFormat::None || !handler_)
        return;
    EnableToolbar(false);
    bool done = false;
    {
        ConvertDialog dialog(*ctx_, currentFormat_, PathText(sourceTitle_), this);
        dialog.SetWriteOptions(WriteOptionsForFile());
        dialog.exec();
        done = dialog.outcome() && dialog.outcome()->done;
        if (done)
            resultFormat_ = dialog.target();
    }
    ShowAfterOperation(done);
}

void Frame::AviInformation()
{
    EnableToolbar(false);
    RunAviInfoDialog(*ctx_, this, QString());
    EnableToolbar(true);
}

void Frame::SubtitleInformation()
{
    std::vector<SubtitleInfoDialog::Document> listed;
    if (Exists(DocumentKind::Source))
        listed.push_back({117, sourcePath_, ctx_->workspace.SourceInput, static_cast<std::int64_t>(sourceSize_),
                          handler_ ? handler_->negativeTimes : 0});
    if (Exists(DocumentKind::SecondSource) && handler_)
        listed.push_back({116, secondSourcePath_, ctx_->workspace.SecondSourceInput,
                          static_cast<std::int64_t>(secondSourceSize_)});
    if (Exists(DocumentKind::Destination))
        listed.push_back({118, ctx_->workspace.WorkingCopy});
    if (Exists(DocumentKind::SecondDestination))
        listed.push_back({119, ctx_->workspace.SecondWorkingCopy});
    SubtitleInfoDialog dialog(*ctx_, listed, this);
    dialog.exec();
}

void Frame::Configuration()
{
    EnableToolbar(false);
    {
        ConfigurationDialog dialog(*ctx_, this);
        dialog.exec();
    }
    // "Keep exact times" changed with a file open: its records are read
    // again in the new unit, so the next command computes as the box says.
    const zv::TimePrecision precision = zv::StoredPrecision(settings_);
    if (handler_ && Exists(DocumentKind::Source) && handler_->precision != precision &&
        zv::ReadSourceAgain(*handler_, ctx_->workspace.SourceInput, precision) != 0)
        CloseDocument(DocumentKind::Source);
    EnableToolbar(true);
}

void Frame::LineIndicatorClicked(bool right)
{
    if (right) {
        if (Exists(DocumentKind::Source) || Exists(DocumentKind::SecondSource) || ResultShown())
            Post(cmd::SubtitleInformation);
        return;
    }
    if (currentLine_ < 0 || !Exists(DocumentKind::Source) || !handler_)
        return;
    status_->SetPartText(StatusBar::Line, Tr(*ctx_, kTextCounting));
    status_->repaint();
    const long number = handler_->SubtitleNumberAtLine(currentLine_, sourcePath_);
    // A file that cannot be read has no subtitle number: its line stays shown.
    showingSubtitleNumber_ = !showingSubtitleNumber_ && number >= 0;
    status_->SetPartText(StatusBar::Line, showingSubtitleNumber_ ? QStringLiteral("->%1<-").arg(number)
                                                                 : Tr(*ctx_, kTextLine) + QStringLiteral(" %1").arg(currentLine_));
}

void Frame::ShowHelpContents()
{
    ShowHelp(this, *ctx_, PathText(settings_.ReadSetting(key::HelpFilePath)), QString());
}

// --- document windows -------------------------------------------------------

QRect Frame::LeftColumn(bool topHalf, bool half) const
{
    const QSize area = area_->viewport()->size();
    const int w = area.width() / 2;
    const int d = area.height();
    if (!half)
        return QRect(0, 0, w, d);
    return QRect(0, topHalf ? 0 : d / 2, w, d / 2);
}

QRect Frame::RightColumn(bool topHalf, bool half) const
{
    const QSize area = area_->viewport()->size();
    const int w = area.width() / 2;
    const int d = area.height();
    if (!half)
        return QRect(w, 0, w, d);
    return QRect(w, topHalf ? 0 : d / 2, w, d / 2);
}

void Frame::LayoutDocuments()
{
    const bool secondSource = Exists(DocumentKind::SecondSource);
    if (DocumentWindow* d = document(DocumentKind::Source))
        d->setGeometry(LeftColumn(true, secondSource));
    if (DocumentWindow* d = document(DocumentKind::SecondSource))
        d->setGeometry(LeftColumn(false, true));
    const bool both = Exists(DocumentKind::Destination) && Exists(DocumentKind::SecondDestination);
    if (DocumentWindow* d = document(DocumentKind::Destination))
        d->setGeometry(RightColumn(true, both));
    if (DocumentWindow* d = document(DocumentKind::SecondDestination))
        d->setGeometry(both ? RightColumn(false, true) : RightColumn(true, false));
}

bool Frame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area_->viewport() && event->type() == QEvent::Resize)
        LayoutDocuments();
    return QMainWindow::eventFilter(watched, event);
}

QString Frame::DocumentTitle(DocumentKind kind) const
{
    const bool source = kind == DocumentKind::Source || kind == DocumentKind::SecondSource;
    const std::string& name = kind == DocumentKind::SecondSource ? secondSourceTitle_ : sourceTitle_;
    QString title = QStringLiteral(" %1 %2").arg(Tr(*ctx_, source ? 117 : 118), PathText(name));
    // A converted result says what it has become.
    if (kind == DocumentKind::Destination && ResultInAnotherFormat())
        title += QStringLiteral(" \u2192 %1").arg(Tr(*ctx_, 317 + zv::Code(resultFormat_)));
    // A wide text is shown from its UTF-8 working copy; the title names the
    // file's own encoding, which saving keeps.
    const std::string& wide = kind == DocumentKind::SecondSource ? secondSourceWide_ : sourceStyle_.wideEncoding;
    if (const std::string& encoding = wide.empty() ? EncodingOf(kind) : wide; !encoding.empty())
        title += QStringLiteral(" [%1]").arg(QString::fromLatin1(encoding.c_str()));
    return title;
}

const std::string& Frame::EncodingOf(DocumentKind kind) const
{
    return kind == DocumentKind::SecondSource ? secondSourceEncoding_ : sourceEncoding_;
}

std::string Frame::EncodeForSource(const QString& text) const
{
    return EncodeText(text, sourceEncoding_);
}

void Frame::AddEncodingChoices(QMenu* menu)
{
    const bool open = Exists(DocumentKind::Source);
    const auto encodings = zv::ChoosableEncodings();
    for (std::size_t i = 0; i < encodings.size(); ++i) {
        const std::string name(encodings[i]);
        QAction* action = menu->addAction(QString::fromLatin1(name.c_str()));
        action->setCheckable(true);
        action->setChecked(open && name == sourceEncoding_);
        // A wide text's characters are all known: no code page to choose.
        action->setEnabled(open && sourceStyle_.wideEncoding.empty());
        const int index = static_cast<int>(i);
        connect(action, &QAction::triggered, this, [this, index] { Dispatch(cmd::ChooseEncoding, index); });
    }
}

void Frame::ChooseEncoding(int index)
{
    const auto encodings = zv::ChoosableEncodings();
    if (index < 0 || static_cast<std::size_t>(index) >= encodings.size() || !Exists(DocumentKind::Source) ||
        !sourceStyle_.wideEncoding.empty())
        return;
    sourceEncoding_ = std::string(encodings[static_cast<std::size_t>(index)]);
    chosenEncodings_[sourcePath_] = sourceEncoding_;
    // Only the way the text is shown changes; every file stays as it is.
    for (const DocumentKind kind :
         {DocumentKind::Source, DocumentKind::Destination, DocumentKind::SecondDestination}) {
        if (DocumentWindow* d = document(kind)) {
            d->setWindowTitle(DocumentTitle(kind));
            d->Refill(DocumentFile(kind));
        }
    }
}

std::string Frame::DocumentFile(DocumentKind kind) const
{
    switch (kind) {
    case DocumentKind::Source: return ctx_->workspace.SourceInput;
    case DocumentKind::SecondSource: return ctx_->workspace.SecondSourceInput;
    case DocumentKind::Destination: return ctx_->workspace.WorkingCopy;
    case DocumentKind::SecondDestination: return ctx_->workspace.SecondWorkingCopy;
    }
    return {};
}

QFont Frame::DocumentFont()
{
    const int height = std::max(8, QFontMetrics(QApplication::font()).height() * 6 / 7);
    QString face = Tr(*ctx_, 110);
    if (!QFontDatabase::hasFamily(face)) {
        ctx_->Tell(115, 52, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Frame);
        face = QStringLiteral("Arial");
    }
    QFont font(face);
    font.setPixelSize(height);
    return font;
}

DocumentWindow* Frame::CreateDocument(DocumentKind kind, const QRect& rect)
{
    if (kind == DocumentKind::Source) {
        handler_.reset();
        currentLine_ = -99;
    }
    auto* doc = new DocumentWindow(*this, kind, DocumentTitle(kind), DocumentFile(kind));
    documents_[Index(kind)] = doc;
    area_->addSubWindow(doc);
    doc->setGeometry(rect);
    doc->show();
    return doc;
}

void Frame::CloseDocument(DocumentKind kind)
{
    if (DocumentWindow* d = document(kind))
        d->close();
}

void Frame::SetCurrentLine(int line)
{
    currentLine_ = line;
    showingSubtitleNumber_ = false;
    status_->SetPartText(StatusBar::Line, Tr(*ctx_, kTextLine) + QStringLiteral(" %1").arg(line));
}

bool Frame::DocumentMayClose(DocumentKind kind)
{
    if (shutDown_)
        return true;
    const bool first = kind == DocumentKind::Destination;
    if (!first && kind != DocumentKind::SecondDestination)
        return true;
    bool& unsaved = first ? unsaved_.first : unsaved_.second;
    if (unsaved && ctx_->Asks(key::AskBeforeClosingResult) &&
        ctx_->AskBeforeDiscarding(168, 167, zv::Buttons::YesNo, zv::Icon::Question, zv::Owner::Frame) !=
            zv::Answer::Yes)
        return false;
    unsaved = false;
    // The other result still waits to be saved: leave the commands as they are.
    const bool otherPending = first ? unsaved_.second : unsaved_.first;
    const bool source = Exists(DocumentKind::Source);
    const bool secondSource = Exists(DocumentKind::SecondSource);
    if (source && !secondSource) {
        if (!otherPending)
            UpdateCommandStates(1, 0);
    } else if (!source && !secondSource) {
        UpdateCommandStates(0, 0);
    } else if (source && secondSource) {
        EnableUniteOnly();
    }
    return true;
}

void Frame::DocumentClosed(DocumentKind kind)
{
    if (shutDown_) {
        documents_[Index(kind)] = nullptr;
        return;
    }
    const zv::Workspace& ws = ctx_->workspace;
    switch (kind) {
    case DocumentKind::Source:
        status_->SetPartText(StatusBar::Line, QString());
        handler_.reset();
        CloseDocument(DocumentKind::SecondSource);
        UpdateCommandStates(0, -99);
        currentLine_ = -99;
        documents_[Index(kind)] = nullptr;
        break;
    case DocumentKind::SecondSource:
        if (!unsaved_.first)
            UpdateCommandStates(1, -99);
        documents_[Index(kind)] = nullptr;
        if (DocumentWindow* d = document(DocumentKind::Source))
            d->setGeometry(LeftColumn(true, false));
        break;
    case DocumentKind::Destination:
        resultFormat_ = zv::SubtitleFormat::None;
        if (Exists(DocumentKind::SecondDestination)) {
            // The second result becomes the one Save writes.
            zv::CopyFileOver(ws.SecondWorkingCopy, ws.WorkingCopy);
            zv::RemoveFile(ws.SecondWorkingCopy);
            toolbar_->SetButtonEnabled(1047, true);
            SetCommandEnabled(cmd::Save, true);
        } else {
            zv::RemoveFile(ws.WorkingCopy);
        }
        documents_[Index(kind)] = nullptr;
        if (DocumentWindow* d = document(DocumentKind::SecondDestination))
            d->setGeometry(RightColumn(true, false));
        break;
    case DocumentKind::SecondDestination:
        if (Exists(DocumentKind::Destination)) {
            toolbar_->SetButtonEnabled(1047, true);
            SetCommandEnabled(cmd::Save, true);
        }
        zv::RemoveFile(ws.SecondWorkingCopy);
        if (DocumentWindow* d = document(DocumentKind::Destination))
            d->setGeometry(RightColumn(true, false));
        documents_[Index(kind)] = nullptr;
        break;
    }
}

// --- closing ------------------------------------------------------------------

void Frame::closeEvent(QCloseEvent* event)
{
    if (shutDown_) {
        event->accept();
        return;
    }
    const bool quiet = settings_.ReadSetting(key::AskBeforeExit).rfind('1', 0) == 0;
    if (!quiet && unsaved_.any() &&
        ctx_->AskBeforeDiscarding(68, 69, zv::Buttons::YesNo, zv::Icon::Exclamation, zv::Owner::Frame) !=
            zv::Answer::Yes) {
        event->ignore();
        return;
    }
    Shutdown();
    event->accept();
    emit closed();
}

void Frame::Shutdown()
{
    shutDown_ = true;
    // The rectangle as it is now, maximised or not, is where the next start begins.
    const QRect r = geometry();
    settings_.WriteSetting(key::WindowLeft, std::to_string(r.left()));
    settings_.WriteSetting(key::WindowTop, std::to_string(r.top()));
    settings_.WriteSetting(key::WindowRight, std::to_string(r.left() + r.width()));
    settings_.WriteSetting(key::WindowBottom, std::to_string(r.top() + r.height()));
    zv::DeleteWorkspaceFiles(ctx_->workspace);
    toolbar_->setAcceptDrops(false);
    handler_.reset();
}

} // namespace zv::app
