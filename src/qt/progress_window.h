// The progress window of a long pass (template 105). The pass runs on the
// user-interface thread, so the window paints itself from inside the pass's
// own calls; it stays up with its summary until the user presses OK.
#pragma once

#include "engine/host/host.h"
#include "engine/config/language.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include <string>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace zv::qt {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    // texts may be null: the window then keeps its default texts.
    ProgressDialog(const zv::LanguageTexts* texts, QWidget* parent);

    void SetOkEnabled(bool enabled);
    // Whether the pass still runs (its OK is disabled until it completes).
    bool PassRunning() const;
    // Closes the window even while OK is disabled (a cancelled pass).
    void End();

    QProgressBar* bar() const { return bar_; }
    QLabel* status() const { return status_; }
    QGroupBox* progressGroup() const { return progressGroup_; }
    QPushButton* okButton() const { return ok_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QGroupBox* progressGroup_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QGroupBox* statusGroup_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool ending_ = false;
};

// What the engine holds for one pass. The window may be gone (closed by the
// user after an earlier completion); every call then does nothing.
class QtProgressWindow final : public zv::ProgressWindow {
public:
    explicit QtProgressWindow(ProgressDialog* dialog);
    // A pass that returns without completing or cancelling must not leave a
    // window behind that nobody can close.
    ~QtProgressWindow() override;

    void SetCaption(const std::string& text) override;
    void SetGroupText(const std::string& text) override;
    void SetPercent(int percent) override;
    void SetOkEnabled(bool enabled) override;
    void SetStatusText(const std::string& text) override;
    void End() override;

    ProgressDialog* dialog() const { return dialog_; }

private:
    // Lets pending paints through while the pass keeps the event loop busy.
    void Repaint();

    QPointer<ProgressDialog> dialog_;
    QElapsedTimer sinceRepaint_;
};

} // namespace zv::qt
