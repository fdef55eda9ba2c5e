#include "app/dialogs/synchronize_dialog.h"

#include "app/dialogs/avi_info_dialog.h"
#include "app/dialogs/time_entry_pane.h"
#include "app/movie_preview.h"
#include "engine/io/file_io.h"
#include "engine/io/input_file.h"
#include "engine/operations/autosync.h"
#include "engine/operations/frame_rate_change.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/synchronize.h"
#include "engine/host/progress.h"
#include "engine/config/setting_names.h"
#include "media/media_status.h"
#include "qt/file_dialogs.h"
#include "qt/paths.h"
#include "qt/texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <cmath>
#include <cstdio>

namespace zv::app {

using qt::AskOpenFileName;
using qt::DecodeText;
using qt::PathBytes;
using qt::PathText;
using qt::Tr;

namespace {

// The text that refuses a typed time above 9,999,999.
constexpr int kTextNumberTooLarge = 395;
constexpr int kTextUseExactRatio = 397;
constexpr int kTextTypeTimedFileRate = 144;
// From this many subtitles in both files together the search shows the
// progress window; a film's pair takes well under a second.
constexpr std::size_t kProgressFromSubtitles = 5000;
constexpr int kTextTakeTimesFromMovie = 438;
// Where the times came from, with the share of the film's speech they fit (%d).
constexpr int kTextTimesTakenFromMovie = 451;
// Shows the subtitles, moved as found, over the film.
constexpr int kTextCheckInMovie = 448;
// A subtitle without an end of its own shows this long over the film, or
// until the next one begins.
constexpr long kShownWithoutEndMs = 3000;
// Under the panes when the film is cut otherwise than the subtitles.
constexpr int kTextMovieCuts = 439;
// One cut: the subtitle it starts at (%d), where (%s) and the offset after it (%s).
constexpr int kTextMovieCut = 440;
constexpr int kTextReadingSound = 435;
constexpr int kTextDamagedSound = 433;
// Reading the sound takes most of the wait; the search for the map the rest.
constexpr int kReadingShare = 80;

// The text's %d and %s in turn filled with args.
QString Fill(QString text, const QStringList& args)
{
    qsizetype from = 0;
    for (const QString& arg : args) {
        const qsizetype d = text.indexOf(QStringLiteral("%d"), from);
        const qsizetype t = text.indexOf(QStringLiteral("%s"), from);
        const qsizetype at = d < 0 ? t : t < 0 ? d : std::min(d, t);
        if (at < 0)
            break;
        text.replace(at, 2, arg);
        from = at + arg.size();
    }
    return text;
}


} // namespace

SynchronizeDialog::SynchronizeDialog(zv::Context& ctx, zv::FormatHandler& handler, QWidget* parent,
                                     const std::string& encoding)
    : CommandDialog(ctx, parent, "114", 36, QStringLiteral("SYNCHRONIZE command")), handler_(handler),
      encoding_(encoding)
{
    auto* grid = new QGridLayout;
    layout_->addLayout(grid, 1);
    const char* groups[2] = {"1039", "1041"};
    const char* lists[2] = {"1127", "1128"};
    const int titles[2] = {32, 34};
    const bool frameBased = handler_.isFrameBased == 1;
    for (int i = 0; i < 2; ++i) {
        QGroupBox* group = Group(this, groups[i], Tr(ctx_, titles[i]));
        lists_[i] = new QListWidget(group);
        lists_[i]->setObjectName(QString::fromLatin1(lists[i]));
        lists_[i]->setAccessibleName(group->title());
        lists_[i]->setMinimumWidth(320);
        auto* box = new QVBoxLayout(group);
        box->addWidget(lists_[i]);
        grid->addWidget(group, i, 0);
        panes_[i] = new TimeEntryPane(ctx_, frameBased, handler_.precision, i + 1, this);
        grid->addWidget(panes_[i], i, 1, Qt::AlignTop);
        connect(panes_[i], &TimeEntryPane::MovieRequested, this, &SynchronizeDialog::OnMovieRequested);
        connect(panes_[i], &TimeEntryPane::ValueChanged, this, &SynchronizeDialog::OnPointsEdited);
        connect(panes_[i], &TimeEntryPane::ValueChanged, this, &SynchronizeDialog::ShowFinding);
    }
    grid->setColumnStretch(0, 1);

    // The times of both points can come from a correctly timed file too.
    auto* takeRow = new QHBoxLayout;
    auto* take = new QPushButton(Tr(ctx_, zv::kTextTakeTimesFromFile), this);
    take->setObjectName(QStringLiteral("takeTimesFromFile"));
    take->setAutoDefault(false);
    connect(take, &QPushButton::clicked, this, &SynchronizeDialog::OnTakeTimes);
    frameRateLabel_ = new QLabel(Tr(ctx_, zv::kTextMicroDvdFrameRate), this);
    frameRateLabel_->setWordWrap(true);
    frameRate_ = new QLineEdit(QStringLiteral("25"), this);
    frameRate_->setObjectName(QStringLiteral("timedFileFrameRate"));
    frameRate_->setAccessibleName(frameRateLabel_->text());
    frameRate_->setMaximumWidth(90);
    frameRateLabel_->setBuddy(frameRate_);
    // A frame rate is needed only where frames meet times: always for a
    // MicroDvd file, for another once its timed file turns out to be one.
    frameRateLabel_->setVisible(frameBased);
    frameRate_->setVisible(frameBased);
    takeRow->addWidget(take);
    // ...or from the film itself, where people speak in its sound.
    auto* fromMovie = new QPushButton(Tr(ctx_, kTextTakeTimesFromMovie), this);
    fromMovie->setObjectName(QStringLiteral("1190"));
    fromMovie->setAutoDefault(false);
    connect(fromMovie, &QPushButton::clicked, this, &SynchronizeDialog::OnTakeTimesFromMovie);
    takeRow->addWidget(fromMovie);
    // Once the film gave the times: see them over its picture before OK.
    check_ = new QPushButton(Tr(ctx_, kTextCheckInMovie), this);
    check_->setObjectName(QStringLiteral("1193"));
    check_->setAutoDefault(false);
    check_->hide();
    connect(check_, &QPushButton::clicked, this, &SynchronizeDialog::CheckInMovie);
    takeRow->addWidget(check_);
    takeRow->addStretch(1);
    takeRow->addWidget(frameRateLabel_, 1);
    takeRow->addWidget(frameRate_);
    layout_->addLayout(takeRow);

    // A film cut otherwise than the subtitles: its cuts, which OK applies.
    cutsNote_ = new QLabel(Tr(ctx_, kTextMovieCuts), this);
    cutsNote_->setObjectName(QStringLiteral("1191"));
    cutsNote_->setWordWrap(true);
    cuts_ = new QListWidget(this);
    cuts_->setObjectName(QStringLiteral("1192"));
    cuts_->setAccessibleName(cutsNote_->text());
    cuts_->setMaximumHeight(4 * cuts_->fontMetrics().height() + 8);
    cutsNote_->hide();
    cuts_->hide();
    layout_->addWidget(cutsNote_);
    layout_->addWidget(cuts_);

    auto* bottom = new QHBoxLayout;
    auto* findingBox = new QVBoxLayout;
    taken_ = new QLabel(this);
    taken_->setObjectName(QStringLiteral("timesTaken"));
    taken_->setWordWrap(true);
    taken_->hide();
    findingBox->addWidget(taken_);
    finding_ = new QLabel(this);
    finding_->setObjectName(QStringLiteral("finding"));
    finding_->setWordWrap(true);
    exact_ = new QCheckBox(Tr(ctx_, kTextUseExactRatio), this);
    exact_->setObjectName(QStringLiteral("exactRatio"));
    exact_->setChecked(true);
    findingBox->addWidget(finding_);
    findingBox->addWidget(exact_);
    bottom->addLayout(findingBox, 1);
    // The finding stands beside OK, where the user looks before pressing it.
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    ok_ = AddOkCancel(ctx_, this, buttons);
    ok_->setEnabled(false);
    connect(ok_, &QPushButton::clicked, this, &SynchronizeDialog::RunSynchronize);
    bottom->addLayout(buttons);
    layout_->addLayout(bottom);
    ShowFinding();

    const long count = zv::LoadStandardRecords(ctx_, records_, ctx_.workspace.SourceStandardFile);
    if (count < 0) {
        ctx_.host.Message("Standard source file read error !", "ERROR", zv::Buttons::Ok, zv::Icon::Stop,
                          zv::Owner::Dialog);
        records_.clear();
    }
    const long n = static_cast<long>(records_.size());
    half_ = n / 2;
    for (long r = 0; r < n; ++r)
        lists_[r < half_ ? 0 : 1]->addItem(DecodeText(records_[static_cast<std::size_t>(r)]->text, encoding));
    for (int i = 0; i < 2; ++i)
        connect(lists_[i], &QListWidget::currentRowChanged, this, [this, i] { OnSelection(i); });
    // Both reference points are taken at once: the first and the last subtitle.
    if (lists_[0]->count() > 0)
        lists_[0]->setCurrentRow(0);
    if (lists_[1]->count() > 0)
        lists_[1]->setCurrentRow(lists_[1]->count() - 1);
}

SynchronizeDialog::~SynchronizeDialog() = default;

void SynchronizeDialog::OnSelection(int list)
{
    OnPointsEdited();
    const int row = lists_[list]->currentRow();
    const long index = row + (list == 0 ? 0 : half_);
    // A list without records (a file of fewer than two) has nothing to take.
    if (row < 0 || index >= static_cast<long>(records_.size()))
        return;
    selected_[list] = true;
    old_[list] = records_[static_cast<std::size_t>(index)]->start;
    panes_[list]->ShowValue(old_[list]);
    ok_->setEnabled(selected_[0] && selected_[1]);
}

void SynchronizeDialog::OnMovieRequested(int number)
{
    QListWidget* list = lists_[number == 2 ? 1 : 0];
    const QListWidgetItem* item = list->currentItem();
    // A subtitle without text can still be placed in the movie.
    panes_[number == 2 ? 1 : 0]->ApplyMoviePosition(item ? item->text() : QString());
}

void SynchronizeDialog::OnTakeTimes()
{
    const auto chosen = AskOpenFileName(this, PathText(ctx_.settings.ReadSetting(key::CurrentFolder)));
    if (chosen && !chosen->isEmpty())
        TakeTimesFrom(PathBytes(*chosen));
}

bool SynchronizeDialog::TakeTimesFrom(const std::string& path)
{
    // The timed file is read like Join's second file, which no other
    // command holds while this dialog is open.
    const std::string& copy = ctx_.workspace.SecondSourceInput;
    zv::InputFile input;
    if (!zv::TakeInput(ctx_, path, copy, zv::InputMode::Text, input, zv::Owner::Dialog))
        return false;
    const zv::SubtitleFormat format = zv::DetectFormat(ctx_, zv::Owner::Dialog, copy);
    zv::StandardRecordList reference;
    const bool read = format != zv::SubtitleFormat::None && zv::LoadReferenceRecords(ctx_, copy, format, reference, handler_.precision) >= 0;
    zv::RemoveFile(copy);
    if (!read)
        return false;
    if (format == zv::SubtitleFormat::MicroDvd && frameRate_->isHidden()) {
        frameRateLabel_->show();
        frameRate_->show();
        taken_->setText(Tr(ctx_, kTextTypeTimedFileRate));
        taken_->show();
        frameRate_->setFocus();
        frameRate_->selectAll();
        return false;
    }

    const double fps = TargetFrameRate();
    const double timeUnits = static_cast<double>(zv::UnitsPerSecond(handler_.precision));
    const double units = TargetUnitsPerSecond();
    zv::TimeMapFinding finding;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        std::unique_ptr<zv::ProgressPass> progress;
        if (records_.size() + reference.size() >= kProgressFromSubtitles)
            progress = std::make_unique<zv::ProgressPass>(ctx_);
        finding = zv::FindTimeMap(zv::SpeechOf(records_, units),
                                  zv::SpeechOf(reference, format == zv::SubtitleFormat::MicroDvd ? fps : timeUnits),
                                  [&](int percent) {
                                      if (progress)
                                          progress->SetPercent(percent);
                                  });
        if (progress)
            progress->Complete(ctx_.Text(25));
        QApplication::restoreOverrideCursor();
    }
    if (!finding.trusted) {
        zv::TellTimedFileDoesNotFit(ctx_, finding, zv::Owner::Dialog);
        return false;
    }

    // The points as the lists show them; the exact-ratio choice applies at OK.
    const zv::AutoSyncPoints points =
        zv::PlanAutoSync(finding, records_, units, handler_.isFrameBased == 1, false, handler_.precision).listed;
    DropMovieMap();
    if (!ShowPoints(points.index, points.newTime))
        return false;
    ShowTaken(finding, zv::kTextTimesTaken);
    return true;
}

double SynchronizeDialog::TargetFrameRate() const
{
    const double fps = ReadDecimal(frameRate_->text());
    return fps > 0 ? fps : 25;
}

double SynchronizeDialog::TargetUnitsPerSecond() const
{
    return handler_.isFrameBased == 1 ? TargetFrameRate()
                                      : static_cast<double>(zv::UnitsPerSecond(handler_.precision));
}

bool SynchronizeDialog::ShowPoints(const long index[2], const long newTime[2])
{
    int rows[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        rows[i] = static_cast<int>(index[i] - (i == 0 ? 0 : half_));
        if (rows[i] < 0 || rows[i] >= lists_[i]->count())
            return false;
    }
    filling_ = true;
    for (int i = 0; i < 2; ++i) {
        lists_[i]->setCurrentRow(rows[i]);
        panes_[i]->ShowValue(newTime[i]);
    }
    filling_ = false;
    return true;
}

void SynchronizeDialog::ShowTaken(const zv::TimeMapFinding& finding, int text)
{
    taken_->setText(DecodeText(zv::FormatCount(ctx_.Text(text), zv::ScorePercent(finding))));
    taken_->show();
    ShowFinding();
    // The words below the lists take room from them: scroll once they are laid out.
    layout()->activate();
    for (QListWidget* list : lists_)
        list->scrollToItem(list->currentItem(), QAbstractItemView::PositionAtCenter);
}

void SynchronizeDialog::OnPointsEdited()
{
    if (!filling_)
        DropMovieMap();
}

void SynchronizeDialog::DropMovieMap()
{
    checkMap_.reset();
    check_->hide();
    if (!movieMap_)
        return;
    // The two points, as the user now sets them, are what OK maps through.
    movieMap_.reset();
    movieChange_.reset();
    cuts_->clear();
    cutsNote_->hide();
    cuts_->hide();
    taken_->hide();
    ShowFinding();
}

void SynchronizeDialog::OnTakeTimesFromMovie()
{
    // The film the preview or the film information last opened, selected,
    // so that Enter takes it and another is a click away.
    const QString last = PathText(ctx_.settings.ReadSetting(key::LastVideo));
    const auto chosen = AskOpenFileName(this, last, VideoFilter());
    raise();
    activateWindow();
    if (chosen && !chosen->isEmpty())
        TakeTimesFromMovie(PathBytes(*chosen));
}

bool SynchronizeDialog::TakeTimesFromMovie(const std::string& path)
{
    if (records_.empty())
        return false;
    const double units = TargetUnitsPerSecond();
    const zv::SubtitleSpeech target = zv::SubtitleSpeechOf(records_, units);
    const zv::media::SpeechReaderFunction reader =
        readSpeech_ ? readSpeech_ : zv::media::SpeechReaderFunction(&zv::media::ReadSpeech);

    // The sound is read on a worker thread; this one keeps the progress
    // window alive and hears its Cancel.
    std::atomic<bool> cancel{false};
    QProgressDialog progress(Tr(ctx_, kTextReadingSound), Tr(ctx_, 21), 0, 100, this);
    progress.setObjectName(QStringLiteral("movieSoundProgress"));
    progress.setWindowTitle(Tr(ctx_, kTextReadingSound));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&progress, &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
    const auto show = [&progress](int value) {
        // Queued to the window's thread; dropped if the window is gone.
        QMetaObject::invokeMethod(&progress, [&progress, value] { progress.setValue(value); }, Qt::QueuedConnection);
    };

    zv::media::MovieFinding movie;
    QEventLoop loop;
    QThread* worker = QThread::create([&] {
        zv::media::SpeechOptions options;
        options.cancel = &cancel;
        options.progress = [&](int percent) {
            show(percent * kReadingShare / 100);
            return !cancel.load();
        };
        movie = zv::media::FindMovieTimeMap(
            path, target, zv::kMostCuts, options,
            [&](int percent) { show(kReadingShare + percent * (100 - kReadingShare) / 100); }, reader);
    });
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    progress.show();
    loop.exec();
    worker->wait();
    delete worker;
    progress.hide();

    const zv::media::SpeechReading& reading = movie.reading;
    const std::optional<zv::PiecewiseFinding>& found = movie.found;
    // Cancel leaves everything as it was, without a word: the user asked for it.
    if (cancel.load() || reading.status == zv::media::MediaStatus::Cancelled)
        return false;
    if (reading.status == zv::media::MediaStatus::Damaged) {
        ctx_.host.Message(zv::FormatCount(ctx_.Text(kTextDamagedSound), zv::media::DecodedPercent(reading)), ctx_.Text(44), zv::Buttons::Ok,
                          zv::Icon::Exclamation, zv::Owner::Dialog);
    } else if (!zv::media::HasResult(reading.status)) {
        ctx_.Tell(zv::media::MediaStatusTextNumber(reading.status), 44, zv::Buttons::Ok, zv::Icon::Exclamation,
                  zv::Owner::Dialog);
        return false;
    }
    ctx_.settings.WriteSetting(key::LastVideo, path);
    if (!found || found->map.stretches.empty() || !found->fit.trusted) {
        zv::TellTimedFileDoesNotFit(ctx_, found ? found->fit : zv::TimeMapFinding{}, zv::Owner::Dialog);
        return false;
    }

    // The two subtitles the timed file would give, each where the map puts it.
    const zv::PiecewiseTimeMap& map = found->map;
    const zv::AutoSyncPlan plan =
        zv::PlanAutoSync(found->fit, records_, units, handler_.isFrameBased == 1, false, handler_.precision);
    zv::AutoSyncPoints points = plan.listed;
    if (map.stretches.size() > 1)
        for (int i = 0; i < 2; ++i)
            points.newTime[i] = zv::MapUnits(map, points.oldTime[i], units);
    DropMovieMap();
    if (!ShowPoints(points.index, points.newTime))
        return false;
    checkMap_ = map;
    moviePath_ = path;
    check_->show();
    if (map.stretches.size() > 1) {
        movieMap_ = map;
        movieChange_ = plan.points.change;
        for (std::size_t i = 1; i < map.stretches.size(); ++i) {
            const zv::TimeStretch& cut = map.stretches[i];
            cuts_->addItem(Fill(Tr(ctx_, kTextMovieCut), {QString::number(cut.firstIndex + 1),
                                                          QString::fromLatin1(zv::MomentText(cut.targetStart)),
                                                          QString::fromLatin1(zv::OffsetText(cut.offset))}));
        }
        cutsNote_->show();
        cuts_->show();
    }
    ShowTaken(found->fit, kTextTimesTakenFromMovie);
    return true;
}

std::vector<CheckedSubtitle> SynchronizeDialog::MovedForCheck() const
{
    std::vector<CheckedSubtitle> shown;
    if (!checkMap_)
        return shown;
    const double units = TargetUnitsPerSecond();
    const zv::StandardRecordList moved = zv::MoveRecords(records_, *checkMap_, units);
    const auto ms = [units](long time) { return std::lround(static_cast<double>(time) * 1000.0 / units); };
    for (std::size_t i = 0; i < moved.size(); ++i) {
        const zv::StandardRecord& r = *moved[i];
        CheckedSubtitle s{ms(r.start), ms(r.end), DecodeText(r.text, encoding_)};
        if (r.end == 0) {
            s.endMs = s.startMs + kShownWithoutEndMs;
            if (i + 1 < moved.size() && moved[i + 1]->start > r.start)
                s.endMs = std::min(s.endMs, ms(moved[i + 1]->start));
        }
        shown.push_back(std::move(s));
    }
    return shown;
}

void SynchronizeDialog::CheckInMovie()
{
    const std::vector<CheckedSubtitle> shown = MovedForCheck();
    if (shown.empty())
        return;
    if (checkMovie_)
        checkMovie_(PathText(moviePath_), shown);
    else
        ShowMovieWithSubtitles(ctx_, PathText(moviePath_), shown, this);
    raise();
    activateWindow();
}

void SynchronizeDialog::ShowFinding()
{
    // With the film's cuts the two points say nothing of a drift: the map
    // holds one speed, and the change it names is told without a choice.
    std::optional<zv::FrameRateChange> change = movieMap_ ? movieChange_ : std::nullopt;
    if (selected_[0] && selected_[1] && !movieMap_) {
        const auto new1 = panes_[0]->EnteredValue();
        const auto new2 = panes_[1]->EnteredValue();
        if (new1 && new2)
            change = zv::FindReferenceDrift(old_[0], *new1, *new2, old_[1], handler_.isFrameBased == 1,
                                            handler_.precision);
    }
    finding_->setText(change ? DecodeText(zv::DescribeFrameRateChange(ctx_.Text(zv::kTextFrameRateChange), *change))
                             : QString());
    finding_->setVisible(change.has_value());
    exact_->setVisible(change.has_value() && !movieMap_);
}

void SynchronizeDialog::RunSynchronize()
{
    if (!ok_->isEnabled())
        return;
    if (movieMap_) {
        // Every part of the film by its own offset, in one pass that stamps,
        // moves and writes as every command does.
        const zv::PiecewiseTimeMap map = *movieMap_;
        const double units = TargetUnitsPerSecond();
        accept();
        records_.clear();
        outcome_ = zv::RunPiecewiseSync(ctx_, handler_, map, units, writeOptions_);
        return;
    }
    long values[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const auto entered = panes_[i]->EnteredValue();
        if (!entered) {
            ctx_.Tell(kTextNumberTooLarge, 44, zv::Buttons::Ok, zv::Icon::Exclamation, zv::Owner::Dialog);
            panes_[i]->FocusEntry();
            return;
        }
        values[i] = *entered;
    }
    if (zv::CheckReferencePoints(ctx_, old_[0], values[0], values[1], old_[1]) != zv::SyncCheck::Go) {
        raise();
        activateWindow();
        return;
    }
    // The box shows only with a finding; without one the points stay as given.
    const zv::SyncPoints points = zv::PlanSynchronize(old_[0], values[0], values[1], old_[1],
                                                      handler_.isFrameBased == 1, exact_->isChecked(),
                                                      handler_.precision);
    // The dialog is gone before the pass starts; the progress window takes over.
    accept();
    records_.clear();
    outcome_ = zv::RunSynchronize(ctx_, handler_, points.old1, points.new1, points.new2, points.old2, writeOptions_);
}

} // namespace zv::app
