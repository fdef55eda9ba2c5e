#include "app/dialogs/convert_dialog.h"

#include "app/dialogs/avi_info_dialog.h"
#include "qt/text_codec.h"
#include "qt/texts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace zv::app {

using qt::EncodeText;
using qt::Tr;

namespace {

using F = zv::SubtitleFormat;

// Edit, label, label text; the PlayResY label keeps its own words.
struct StyleField {
    const char* edit;
    const char* label;
    int text;
    std::string zv::SsaStyleSettings::*value;
};
constexpr StyleField kStyleFields[] = {
    {"1027", "1085", 367, &zv::SsaStyleSettings::fontName},
    {"1028", "1086", 368, &zv::SsaStyleSettings::fontSize},
    {"1029", "1087", 369, &zv::SsaStyleSettings::outline},
    {"1030", "1088", 370, &zv::SsaStyleSettings::shadow},
    {"1031", "1089", 0, &zv::SsaStyleSettings::playResY},
    {"1032", "1090", 371, &zv::SsaStyleSettings::bottomMargin},
    {"1033", "1091", 372, &zv::SsaStyleSettings::borderStyle},
};

} // namespace

SsaSettingsPanel::SsaSettingsPanel(zv::Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("197"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    // A comma or a line break would shift every field of the Style: line.
    auto* nameValidator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^,\\r\\n]{0,99}")), this);
    auto* numberValidator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), this);
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        const StyleField& f = kStyleFields[i];
        auto* label = new QLabel(f.text ? Tr(ctx_, f.text) : QStringLiteral("PlayResY:"), this);
        label->setObjectName(QString::fromLatin1(f.label));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(f.edit));
        edit->setValidator(i == 0 ? nameValidator : numberValidator);
        if (i == 0)
            edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("Times New Roman CE")) + 16);
        edit->setAccessibleName(label->text());
        label->setBuddy(edit);
        edits_[i] = edit;
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(edit, static_cast<int>(i), 1);
    }
    auto* defaults = new QPushButton(Tr(ctx_, 340), this);
    defaults->setObjectName(QStringLiteral("1"));
    defaults->setAutoDefault(false);
    connect(defaults, &QPushButton::clicked, this, &SsaSettingsPanel::RestoreDefaults);
    grid->addWidget(defaults, static_cast<int>(edits_.size()), 0, 1, 2);
    grid->setRowStretch(static_cast<int>(edits_.size()) + 1, 1);
    // Load gives all defaults when the stored font name is too short.
    Fill(zv::SsaStyleSettings::Load(ctx_.settings));
}

void SsaSettingsPanel::Fill(const zv::SsaStyleSettings& style)
{
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        edits_[i]->setText(QString::fromStdString(style.*kStyleFields[i].value));
        // Shown from its start: a long font name would show only its end.
        edits_[i]->setCursorPosition(0);
    }
}

void SsaSettingsPanel::RestoreDefaults()
{
    Fill(zv::SsaStyleSettings::Defaults());
}

zv::SsaStyleSettings SsaSettingsPanel::Values() const
{
    zv::SsaStyleSettings style;
    for (std::size_t i = 0; i < edits_.size(); ++i)
        style.*kStyleFields[i].value = EncodeText(edits_[i]->text());
    return style.Bounded();
}

void SsaSettingsPanel::Store()
{
    Values().Save(ctx_.settings);
}

ConvertDialog::ConvertDialog(zv::Context& ctx, zv::SubtitleFormat source, const QString& fileName, QWidget* parent)
    : CommandDialog(ctx, parent, "113", 31, QStringLiteral("CONVERT command")), source_(source)
{
    // The panel's place beside the dialog's own column; the dialog grows and
    // shrinks with it.
    layout_->setSizeConstraint(QLayout::SetFixedSize);
    auto* row = new QHBoxLayout;
    auto* column = new QVBoxLayout;
    row->addLayout(column);
    layout_->addLayout(row);

    column->addWidget(FileNameGroup(ctx_, this, "1032", "1000", fileName));
    const std::initializer_list<FormatRadio> sources = {
        {"1001", F::TmPlayer}, {"1002", F::TmPlayerShort}, {"1003", F::MicroDvd}, {"1007", F::Mpl2},
        {"1009", F::SubRip},   {"1011", F::SubViewer1},    {"1015", F::Ssa},      {"1017", F::SubViewer2}};
    column->addWidget(FormatShownGroup(ctx_, this, "1033", 28, source_, sources));

    QGroupBox* targetGroup = Group(this, "1034", Tr(ctx_, 29));
    targets_ = AddFormatRadios(targetGroup, {{"1004", F::TmPlayer},
                                             {"1005", F::TmPlayerShort},
                                             {"1006", F::MicroDvd},
                                             {"1008", F::Mpl2},
                                             {"1010", F::SubRip},
                                             {"1012", F::SubViewer1},
                                             {"1016", F::Ssa},
                                             {"1018", F::SubViewer2}});
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        const auto format = static_cast<F>(i + 1);
        // A file is not converted into its own format.
        targets_[i]->setEnabled(format != source_);
        connect(targets_[i], &QRadioButton::clicked, this, [this, format] { ChooseTarget(format); });
    }
    column->addWidget(targetGroup);

    auto* rateRow = new QHBoxLayout;
    QGroupBox* fpsGroup = Group(this, "1035", Tr(ctx_, 30));
    fps_ = new QLineEdit(QStringLiteral("25.00000"), fpsGroup);
    fps_->setObjectName(QStringLiteral("1023"));
    fps_->setMaxLength(39);
    fps_->setAccessibleName(fpsGroup->title());
    (new QVBoxLayout(fpsGroup))->addWidget(fps_);
    QGroupBox* movieGroup = Group(this, "1036", Tr(ctx_, 255));
    avi_ = new QPushButton(QIcon(QStringLiteral(":/icons/avi-info.svg")), QStringLiteral("AVI"), movieGroup);
    avi_->setObjectName(QStringLiteral("1109"));
    avi_->setAutoDefault(false);
    avi_->setAccessibleName(Tr(ctx_, 257));
    avi_->setToolTip(Tr(ctx_, 257));
    connect(avi_, &QPushButton::clicked, this, &ConvertDialog::AskAviInfo);
    (new QVBoxLayout(movieGroup))->addWidget(avi_);
    rateRow->addWidget(fpsGroup, 1);
    rateRow->addWidget(movieGroup);
    column->addLayout(rateRow);

    ok_ = AddOkCancel(ctx_, this, layout_);
    ok_->setEnabled(false); // no target yet
    connect(ok_, &QPushButton::clicked, this, &ConvertDialog::RunConvert);

    panel_ = new SsaSettingsPanel(ctx_, this);
    panel_->hide();
    row->addWidget(panel_);
}

void ConvertDialog::ChooseTarget(zv::SubtitleFormat format)
{
    // Frames meet times only through MicroDvd; otherwise the rate is not asked.
    fps_->setEnabled(source_ == F::MicroDvd || format == F::MicroDvd);
    // The film's rate is only worth reading where it is used.
    avi_->setEnabled(fps_->isEnabled());
    ok_->setEnabled(true);
    if (target_ == F::Ssa && format != F::Ssa)
        panel_->Store();
    target_ = format;
    const bool panelWasShown = panel_->isVisible();
    panel_->setVisible(format == F::Ssa);
    if (isVisible() && panel_->isVisible() != panelWasShown) {
        // The dialog grows (or shrinks) by the panel on both sides alike, and
        // stays on the screen.
        const int centre = frameGeometry().center().x();
        layout()->activate();
        move(centre - frameGeometry().width() / 2, pos().y());
        KeepOnScreen(this);
    }
    for (std::size_t i = 0; i < targets_.size(); ++i)
        targets_[i]->setChecked(static_cast<F>(i + 1) == format);
}

void ConvertDialog::AskAviInfo()
{
    const QString rate = RunAviInfoDialog(ctx_, this, QString());
    if (!rate.isEmpty())
        fps_->setText(rate);
}

void ConvertDialog::reject()
{
    if (target_ == F::Ssa)
        panel_->Store();
    target_ = F::None;
    QDialog::reject();
}

void ConvertDialog::RunConvert()
{
    if (target_ == F::None)
        return;
    zv::SsaStyleSettings style;
    if (target_ == F::Ssa)
        style = panel_->Values();
    const zv::SubtitleFormat target = target_;
    // The dialog is gone before the writer starts; the progress window takes over.
    const auto started = [&] {
        if (target == F::Ssa)
            panel_->Store();
        accept();
    };
    outcome_ = zv::ConvertFile(ctx_, source_, target, zv::FrameRateFromText(EncodeText(fps_->text())), style,
                               ctx_.workspace.WorkingCopy, writeOptions_, zv::Owner::Dialog, started);
}

} // namespace zv::app
