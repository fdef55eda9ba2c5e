// The notice of a newer version (mode 1) or of an announcement (mode 2): the
// text from the site, the download page's button and the start-up check box.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QPlainTextEdit;

namespace zv::upgrade {

struct UpgradeContext;
class IconButton;

enum class NoticeMode { Version, Announcement };

class NewVersionNotice : public QDialog {
    Q_OBJECT
public:
    NewVersionNotice(UpgradeContext& ctx, const QString& text, NoticeMode mode, QWidget* parent = nullptr);

    bool checkBoxTicked() const;
    NoticeMode mode() const { return mode_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    UpgradeContext& ctx_;
    NoticeMode mode_;
    QPlainTextEdit* text_ = nullptr;
    QCheckBox* check_ = nullptr;
    IconButton* download_ = nullptr;
    IconButton* cancel_ = nullptr;
};

// Shows the notice until the user closes it; returns its check box's state
// (ticked: check again at start-up, and show this announcement again).
bool ShowNewVersionNotice(UpgradeContext& ctx, const QString& text, NoticeMode mode);

} // namespace zv::upgrade
