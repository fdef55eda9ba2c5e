#include "app/dialogs/subtitle_info_dialog.h"

#include "qt/paths.h"
#include "qt/texts.h"
#include "engine/io/file_io.h"
#include "engine/formats/format_handler.h"
#include "engine/config/setting_names.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <fstream>

namespace zv::app {

using qt::PathText;
using qt::Tr;

namespace {

// "Subtitles with negative times (read as 0):"
constexpr int kNegativeTimes = 441;

// The format of a listed file without a word to the user: the counts are
// taken when the dialog opens, the messages belong to a selection.
zv::SubtitleFormat QuietFormat(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    char first[15] = {};
    in.read(first, sizeof first);
    return zv::DetectFormatOfBytes(std::string_view(first, static_cast<std::size_t>(in.gcount())));
}

} // namespace

SubtitleInfoDialog::SubtitleInfoDialog(zv::Context& ctx, const std::vector<Document>& documents, QWidget* parent)
    : CommandDialog(ctx, parent, "154", 308, QStringLiteral("GET INFORMATION SUBTITLE FILES command"))
{
    QGroupBox* files = Group(this, "1097", Tr(ctx_, 309));
    list_ = new QListWidget(files);
    list_->setObjectName(QStringLiteral("1116"));
    list_->setAccessibleName(files->title());
    list_->setMinimumWidth(460);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    (new QVBoxLayout(files))->addWidget(list_);
    layout_->addWidget(files);

    QGroupBox* details = Group(this, "1098", Tr(ctx_, 310));
    auto* grid = new QGridLayout(details);
    auto value = [&](const char* labelId, int text, const char* valueId, int row, int column) {
        auto* label = new QLabel(Tr(ctx_, text), details);
        label->setObjectName(QString::fromLatin1(labelId));
        auto* v = new QLabel(details);
        v->setObjectName(QString::fromLatin1(valueId));
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        v->setAccessibleName(label->text());
        grid->addWidget(label, row, column);
        grid->addWidget(v, row, column + 1);
        return v;
    };
    size_ = value("1101", 313, "1085", 0, 0);
    count_ = value("1102", 314, "1086", 0, 2);
    format_ = value("1106", 315, "1090", 1, 0);
    format_->setWordWrap(true);
    negative_ = value("1107", kNegativeTimes, "1091", 2, 0);
    negativeLabel_ = details->findChild<QLabel*>(QStringLiteral("1107"));
    negativeLabel_->hide();
    negative_->hide();
    layout_->addWidget(details);

    showAfterOpen_ = new QCheckBox(Tr(ctx_, 311), this);
    showAfterOpen_->setObjectName(QStringLiteral("1118"));
    showAfterOpen_->setChecked(ctx_.Asks(key::ShowInfoAfterOpen));
    layout_->addWidget(showAfterOpen_);

    auto* ok = new QPushButton(Tr(ctx_, 20), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout_->addWidget(ok);

    for (const Document& d : documents) {
        list_->addItem(Tr(ctx_, d.label) + QLatin1Char('\t') + PathText(d.path));
        documents_.push_back(d);
        // Each file by its own format: a SubRip result of a MicroDvd file
        // counts its time lines, not its frames' rule.
        const std::string& read = d.read.empty() ? d.path : d.read;
        counts_.push_back(zv::CountSubtitlesOfFile(ctx_, QuietFormat(read), read));
    }
    list_->setCurrentRow(-1);
    connect(list_, &QListWidget::currentRowChanged, this, &SubtitleInfoDialog::ShowSelected);
}

void SubtitleInfoDialog::ShowSelected(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= documents_.size())
        return;
    const Document& d = documents_[static_cast<std::size_t>(row)];
    const std::string& path = d.read.empty() ? d.path : d.read;
    const std::int64_t bytes = d.size >= 0 ? d.size : zv::FileSize(path);
    if (bytes < 0 || !zv::FileExists(path)) {
        ctx_.CannotOpen(zv::Owner::Dialog);
        return;
    }
    size_->setText(DecimalText(static_cast<double>(bytes) / 1024.0, 2) + QStringLiteral(" kb"));
    count_->setText(QString::number(counts_[static_cast<std::size_t>(row)]));
    const zv::SubtitleFormat format = zv::DetectFormat(ctx_, zv::Owner::Dialog, path);
    format_->setText(Tr(ctx_, 317 + zv::Code(format)));
    negative_->setText(QString::number(d.negativeTimes));
    negativeLabel_->setVisible(d.negativeTimes > 0);
    negative_->setVisible(d.negativeTimes > 0);
}

void SubtitleInfoDialog::done(int result)
{
    // OK, Cancel and Esc all keep the box's state.
    ctx_.settings.WriteSetting(key::ShowInfoAfterOpen, showAfterOpen_->isChecked() ? "" : "1");
    QDialog::done(result);
}

} // namespace zv::app
