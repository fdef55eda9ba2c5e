// The AVI information dialog (147): a video's stream properties and its frame
// rate, which OK hands back to whoever opened it. AVI files are read by the
// engine's RIFF reader; MP4, MKV, WebM and MOV files through Qt Multimedia's
// metadata, whose unknown fields show "—".
#pragma once

#include "app/dialogs/dialog_parts.h"

#include <QString>

class QLabel;

namespace zv::app {

class AviInfoDialog : public CommandDialog {
    Q_OBJECT
public:
    // path: a video to load at once, or empty.
    AviInfoDialog(zv::Context& ctx, QWidget* parent, const QString& path = QString());

    // The frame-rate text OK hands back: empty before a file is loaded, when
    // the file has no frame rate, or after Cancel.
    QString result() const { return result_; }
    // Loads a video into the fields; false after the message (fields empty).
    bool Load(const QString& path, bool preview);

    // How long Qt Multimedia may take to read a file's metadata.
    static constexpr int kMetadataWaitMs = 10000;

    void accept() override;
    void reject() override;

private:
    void Choose(bool preview);
    bool LoadWithMultimedia(const QString& path, bool preview);
    void ShowPreview(const QString& path);

    QLabel* path_ = nullptr; // 1045
    QLabel* values_[9] = {}; // 1085 to 1093
    QLabel* preview_ = nullptr;
    QString result_;
};

// Runs the dialog modally and returns its frame-rate text.
QString RunAviInfoDialog(zv::Context& ctx, QWidget* owner, const QString& path);

// Whether the file goes through the engine's AVI reader (by its name).
bool IsAviFileName(const QString& path);

// The file dialog's filter for films, all files last.
QString VideoFilter();

} // namespace zv::app
