#include "app/dialogs/avi_info_dialog.h"

#include "qt/file_dialogs.h"
#include "qt/paths.h"
#include "qt/texts.h"
#include "engine/film/avi_info.h"
#include "engine/config/setting_names.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMediaFormat>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>

#include <cmath>

namespace zv::app {

using qt::AskOpenFileName;
using qt::FilterName;
using qt::PathBytes;
using qt::PathText;
using qt::Tr;

namespace {

const QString kUnknown = QStringLiteral("\u2014");

// Value, label, label text; the frame rate is index 6.
struct Field {
    const char* value;
    const char* label;
    int text;
};
constexpr Field kFields[] = {
    {"1085", "1101", 244}, {"1086", "1102", 245}, {"1087", "1103", 246}, {"1088", "1104", 247}, {"1089", "1105", 248},
    {"1090", "1106", 249}, {"1091", "1108", 30},  {"1092", "1107", 250}, {"1093", nullptr, 0},
};
constexpr int kFps = 6;
constexpr int kFileType = 8;

QString Number(std::uint32_t value)
{
    return QString::number(value);
}

} // namespace

QString VideoFilter()
{
    return FilterName(142, "Video files") + QStringLiteral(" (*.avi *.mp4 *.m4v *.mkv *.webm *.mov);;") +
           FilterName(143, "AVI files") + QStringLiteral(" (*.avi);;") + FilterName(141, "All files") +
           QStringLiteral(" (*)");
}

bool IsAviFileName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("avi"), Qt::CaseInsensitive) == 0;
}

AviInfoDialog::AviInfoDialog(zv::Context& ctx, QWidget* parent, const QString& path)
    : CommandDialog(ctx, parent, "147", 253, QStringLiteral("GET INFORMATION ABOUT AVI FILE command"))
{
    QGroupBox* fileGroup = Group(this, "1097", Tr(ctx_, 8));
    path_ = new QLabel(fileGroup);
    path_->setObjectName(QStringLiteral("1045"));
    path_->setTextFormat(Qt::PlainText);
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    path_->setMinimumWidth(320);
    path_->setWordWrap(true);
    (new QVBoxLayout(fileGroup))->addWidget(path_);
    layout_->addWidget(fileGroup);

    auto* row = new QHBoxLayout;
    struct Loader {
        const char *group, *button, *icon;
        bool preview;
    };
    for (const Loader& l : {Loader{"1099", "1095", ":/icons/avi-preview.svg", true},
                            Loader{"1109", "1032", ":/icons/avi-info.svg", false}}) {
        QGroupBox* group = Group(this, l.group, Tr(ctx_, 242));
        auto* button = new QPushButton(QIcon(QString::fromLatin1(l.icon)), QString(), group);
        button->setObjectName(QString::fromLatin1(l.button));
        button->setIconSize(QSize(32, 32));
        button->setAutoDefault(false);
        button->setAccessibleName(group->title());
        connect(button, &QPushButton::clicked, this, [this, p = l.preview] { Choose(p); });
        (new QVBoxLayout(group))->addWidget(button);
        row->addWidget(group);
    }
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setFixedSize(160, 90);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->hide();
    row->addWidget(preview_);
    layout_->addLayout(row);

    QGroupBox* properties = Group(this, "1098", Tr(ctx_, 243));
    auto* grid = new QGridLayout(properties);
    for (int i = 0; i < kFileType; ++i) {
        auto* label = new QLabel(Tr(ctx_, kFields[i].text), properties);
        label->setObjectName(QString::fromLatin1(kFields[i].label));
        values_[i] = new QLabel(properties);
        values_[i]->setObjectName(QString::fromLatin1(kFields[i].value));
        values_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        values_[i]->setAccessibleName(label->text());
        grid->addWidget(label, i, 0);
        grid->addWidget(values_[i], i, 1);
    }
    layout_->addWidget(properties);
    QGroupBox* typeGroup = Group(this, "1100", Tr(ctx_, 241));
    values_[kFileType] = new QLabel(typeGroup);
    values_[kFileType]->setObjectName(QString::fromLatin1(kFields[kFileType].value));
    values_[kFileType]->setAccessibleName(typeGroup->title());
    (new QVBoxLayout(typeGroup))->addWidget(values_[kFileType]);
    layout_->addWidget(typeGroup);

    AddOkCancel(ctx_, this, layout_);
    connect(findChild<QPushButton*>(QStringLiteral("1")), &QPushButton::clicked, this, &QDialog::accept);

    if (!path.isEmpty())
        QTimer::singleShot(0, this, [this, path] { Load(path, false); });
}

void AviInfoDialog::Choose(bool preview)
{
    const QString last = PathText(ctx_.settings.ReadSetting(key::LastVideo));
    const auto chosen = AskOpenFileName(this, last, VideoFilter());
    raise();
    activateWindow();
    if (chosen && !chosen->isEmpty())
        Load(*chosen, preview);
}

bool AviInfoDialog::Load(const QString& path, bool preview)
{
    // The values shown are always the named file's: after a file that cannot
    // be read nothing is left of the one before, least of all a frame rate
    // for OK to hand on.
    path_->setText(path);
    for (QLabel* value : values_)
        value->clear();
    preview_->hide();
    if (!IsAviFileName(path))
        return LoadWithMultimedia(path, preview);
    zv::AviInfo info;
    if (!zv::LoadAviInfo(ctx_, PathBytes(path), info, zv::Owner::Dialog))
        return false;
    ctx_.settings.WriteSetting(key::LastVideo, PathBytes(path));
    const std::uint32_t numbers[] = {info.maxBytesPerSecond, info.streams, info.width, info.height,
                                     info.scale,             info.rate,    0,          info.length};
    for (int i = 0; i < kFileType; ++i)
        values_[i]->setText(Number(numbers[i]));
    values_[kFps]->setText(QString::fromStdString(zv::AviFramesPerSecond(info)));
    values_[kFileType]->setText(QString::fromStdString(info.fileType));
    if (preview)
        ShowPreview(path);
    return true;
}

bool AviInfoDialog::LoadWithMultimedia(const QString& path, bool preview)
{
    QMediaPlayer player;
    QEventLoop loop;
    bool loaded = false;
    connect(&player, &QMediaPlayer::mediaStatusChanged, &loop, [&](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia) {
            loaded = true;
            loop.quit();
        } else if (status == QMediaPlayer::InvalidMedia) {
            loop.quit();
        }
    });
    connect(&player, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kMetadataWaitMs, &loop, &QEventLoop::quit);
    player.setSource(QUrl::fromLocalFile(path));
    if (player.mediaStatus() != QMediaPlayer::LoadedMedia)
        loop.exec();
    else
        loaded = true;
    const QMediaMetaData meta = player.metaData();
    if (!loaded || !player.hasVideo()) {
        ctx_.Tell(254, 52, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Dialog);
        return false;
    }
    ctx_.settings.WriteSetting(key::LastVideo, PathBytes(path));

    const qreal fps = meta.value(QMediaMetaData::VideoFrameRate).toReal();
    const QSize size = meta.value(QMediaMetaData::Resolution).toSize();
    const qint64 ms = player.duration();
    const int bitRate = meta.value(QMediaMetaData::VideoBitRate).toInt() + meta.value(QMediaMetaData::AudioBitRate).toInt();
    const auto streams = player.videoTracks().size() + player.audioTracks().size();
    const bool knownRate = fps > 0 && std::isfinite(fps);
    values_[0]->setText(bitRate > 0 ? QString::number(bitRate / 8) : kUnknown);
    values_[1]->setText(streams > 0 ? QString::number(streams) : kUnknown);
    values_[2]->setText(size.isValid() ? QString::number(size.width()) : kUnknown);
    values_[3]->setText(size.isValid() ? QString::number(size.height()) : kUnknown);
    values_[4]->setText(kUnknown); // scale and rate are the AVI's own fraction
    values_[5]->setText(kUnknown);
    values_[kFps]->setText(knownRate ? DecimalText(fps) : QString());
    values_[7]->setText(knownRate && ms > 0 ? QString::number(std::llround(static_cast<double>(ms) * fps / 1000.0))
                                           : kUnknown);
    const QVariant format = meta.value(QMediaMetaData::FileFormat);
    const QString formatName =
        format.isValid() ? QMediaFormat::fileFormatName(format.value<QMediaFormat::FileFormat>()) : QString();
    values_[kFileType]->setText(formatName.isEmpty() ? QFileInfo(path).suffix().toUpper() : formatName);
    if (preview)
        ShowPreview(path);
    return true;
}

void AviInfoDialog::ShowPreview(const QString& path)
{
    // The first frame the player decodes, scaled into the preview box.
    QMediaPlayer player;
    QVideoSink sink;
    QEventLoop loop;
    QImage first;
    connect(&sink, &QVideoSink::videoFrameChanged, &loop, [&](const QVideoFrame& frame) {
        if (first.isNull() && frame.isValid()) {
            first = frame.toImage();
            loop.quit();
        }
    });
    connect(&player, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
    connect(&player, &QMediaPlayer::mediaStatusChanged, &loop, [&](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia || status == QMediaPlayer::EndOfMedia)
            loop.quit();
    });
    QTimer::singleShot(kMetadataWaitMs, &loop, &QEventLoop::quit);
    player.setVideoOutput(&sink);
    player.setSource(QUrl::fromLocalFile(path));
    player.play();
    loop.exec();
    player.stop();
    if (first.isNull()) {
        preview_->hide();
        return;
    }
    preview_->setPixmap(QPixmap::fromImage(first.scaled(preview_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    preview_->show();
}

void AviInfoDialog::accept()
{
    result_ = values_[kFps]->text();
    QDialog::accept();
}

void AviInfoDialog::reject()
{
    result_.clear();
    QDialog::reject();
}

QString RunAviInfoDialog(zv::Context& ctx, QWidget* owner, const QString& path)
{
    AviInfoDialog dialog(ctx, owner, path);
    dialog.exec();
    return dialog.result();
}

} // namespace zv::app
