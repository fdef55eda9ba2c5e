#include "qt/progress_window.h"

#include "qt/text_codec.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zv::qt {

namespace {

// Paints are let through at most this often; more would slow the pass down.
constexpr qint64 kRepaintMs = 30;

QString TextOr(const zv::LanguageTexts* texts, int number, const char* fallback)
{
    return texts ? DecodeText(texts->LookupText(number)) : QString::fromLatin1(fallback);
}

} // namespace

ProgressDialog::ProgressDialog(const zv::LanguageTexts* texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(TextOr(texts, 22, "Progress window.  Current status:  IDLE"));

    progressGroup_ = new QGroupBox(TextOr(texts, 17, "Progress..."), this);
    progressGroup_->setObjectName(QStringLiteral("1032"));
    bar_ = new QProgressBar(progressGroup_);
    bar_->setObjectName(QStringLiteral("1014"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->setAccessibleName(progressGroup_->title());
    auto* progressLayout = new QVBoxLayout(progressGroup_);
    progressLayout->addWidget(bar_);

    statusGroup_ = new QGroupBox(TextOr(texts, 18, "Status"), this);
    statusGroup_->setObjectName(QStringLiteral("1033"));
    status_ = new QLabel(TextOr(texts, 23, "Working...\nPlease wait..."), statusGroup_);
    status_->setObjectName(QStringLiteral("1016"));
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 4);
    auto* statusLayout = new QVBoxLayout(statusGroup_);
    statusLayout->addWidget(status_);

    ok_ = new QPushButton(TextOr(texts, 20, "OK"), this);
    ok_->setObjectName(QStringLiteral("1"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] { close(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progressGroup_);
    layout->addWidget(statusGroup_, 1);
    layout->addWidget(ok_);
    setMinimumWidth(380);
}

void ProgressDialog::SetOkEnabled(bool enabled)
{
    ok_->setEnabled(enabled);
    if (enabled)
        ok_->setFocus();
}

bool ProgressDialog::PassRunning() const
{
    return !ok_->isEnabled();
}

void ProgressDialog::End()
{
    ending_ = true;
    close();
}

void ProgressDialog::closeEvent(QCloseEvent* event)
{
    // While the pass runs only the pass itself may end the window.
    if (PassRunning() && !ending_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ProgressDialog::reject()
{
    if (PassRunning() && !ending_)
        return;
    QDialog::reject();
}

QtProgressWindow::QtProgressWindow(ProgressDialog* dialog) : dialog_(dialog) {}

QtProgressWindow::~QtProgressWindow()
{
    if (dialog_ && dialog_->PassRunning())
        dialog_->End();
}

void QtProgressWindow::Repaint()
{
    if (sinceRepaint_.isValid() && sinceRepaint_.elapsed() < kRepaintMs)
        return;
    // Paints only: user input waits until the pass has returned.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceRepaint_.restart();
}

void QtProgressWindow::SetCaption(const std::string& text)
{
    if (!dialog_)
        return;
    dialog_->setWindowTitle(DecodeText(text));
    Repaint();
}

void QtProgressWindow::SetGroupText(const std::string& text)
{
    if (!dialog_)
        return;
    dialog_->progressGroup()->setTitle(DecodeText(text));
    dialog_->bar()->setAccessibleName(dialog_->progressGroup()->title());
    Repaint();
}

void QtProgressWindow::SetPercent(int percent)
{
    if (!dialog_)
        return;
    // A value outside the range would be ignored by the bar and leave it stale.
    dialog_->bar()->setValue(std::clamp(percent, 0, 100));
    Repaint();
}

void QtProgressWindow::SetOkEnabled(bool enabled)
{
    if (dialog_)
        dialog_->SetOkEnabled(enabled);
}

void QtProgressWindow::SetStatusText(const std::string& text)
{
    if (!dialog_)
        return;
    dialog_->status()->setText(DecodeText(text));
    Repaint();
}

void QtProgressWindow::End()
{
    if (dialog_)
        dialog_->End();
}

} // namespace zv::qt
