#include "app/dialogs/synchronize_dialog.h"

#include "app/dialogs/time_entry_pane.h"
#include "engine/io/file_io.h"
#include "engine/io/input_file.h"
#include "engine/operations/autosync.h"
#include "engine/operations/frame_rate_change.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/synchronize.h"
#include "engine/host/progress.h"
#include "engine/config/setting_names.h"
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
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

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

} // namespace

SynchronizeDialog::SynchronizeDialog(zv::Context& ctx, zv::FormatHandler& handler, QWidget* parent,
                                     const std::string& encoding)
    : CommandDialog(ctx, parent, "114", 36, QStringLiteral("SYNCHRONIZE command")), handler_(handler)
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
    takeRow->addStretch(1);
    takeRow->addWidget(frameRateLabel_, 1);
    takeRow->addWidget(frameRate_);
    layout_->addLayout(takeRow);

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

    double fps = ReadDecimal(frameRate_->text());
    if (!(fps > 0))
        fps = 25;
    const double timeUnits = static_cast<double>(zv::UnitsPerSecond(handler_.precision));
    const double units = handler_.isFrameBased == 1 ? fps : timeUnits;
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
    for (int i = 0; i < 2; ++i) {
        const int row = static_cast<int>(points.index[i] - (i == 0 ? 0 : half_));
        if (row < 0 || row >= lists_[i]->count())
            return false;
        lists_[i]->setCurrentRow(row);
        panes_[i]->ShowValue(points.newTime[i]);
    }
    taken_->setText(DecodeText(zv::FormatCount(ctx_.Text(zv::kTextTimesTaken), zv::ScorePercent(finding))));
    taken_->show();
    ShowFinding();
    // The words below the lists take room from them: scroll once they are laid out.
    layout()->activate();
    for (QListWidget* list : lists_)
        list->scrollToItem(list->currentItem(), QAbstractItemView::PositionAtCenter);
    return true;
}

void SynchronizeDialog::ShowFinding()
{
    std::optional<zv::FrameRateChange> change;
    if (selected_[0] && selected_[1]) {
        const auto new1 = panes_[0]->EnteredValue();
        const auto new2 = panes_[1]->EnteredValue();
        if (new1 && new2)
            change = zv::FindReferenceDrift(old_[0], *new1, *new2, old_[1], handler_.isFrameBased == 1,
                                            handler_.precision);
    }
    finding_->setText(change ? DecodeText(zv::DescribeFrameRateChange(ctx_.Text(zv::kTextFrameRateChange), *change))
                             : QString());
    finding_->setVisible(change.has_value());
    exact_->setVisible(change.has_value());
}

void SynchronizeDialog::RunSynchronize()
{
    if (!ok_->isEnabled())
        return;
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
