#include "qt/qt_host.h"

#include "qt/progress_window.h"
#include "qt/text_codec.h"
#include "qt/unattended.h"
#include "engine/host/editor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <cstdlib>

namespace zv::qt {

namespace {

QMessageBox::Icon BoxIcon(zv::Icon icon)
{
    switch (icon) {
    case zv::Icon::Stop:
        return QMessageBox::Critical;
    case zv::Icon::Exclamation:
        return QMessageBox::Warning;
    case zv::Icon::Question:
        return QMessageBox::Question;
    case zv::Icon::Information:
        return QMessageBox::Information;
    case zv::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ButtonOf(zv::Answer answer)
{
    switch (answer) {
    case zv::Answer::Ok: return QMessageBox::Ok;
    case zv::Answer::Cancel: return QMessageBox::Cancel;
    case zv::Answer::Yes: return QMessageBox::Yes;
    case zv::Answer::No: return QMessageBox::No;
    case zv::Answer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

// The buttons of the set, the first one the default as the user knows it.
QMessageBox::StandardButtons BoxButtons(zv::Buttons buttons, QMessageBox::StandardButton& defaultButton)
{
    switch (buttons) {
    case zv::Buttons::OkCancel:
        defaultButton = QMessageBox::Ok;
        return QMessageBox::Ok | QMessageBox::Cancel;
    case zv::Buttons::YesNo:
        defaultButton = QMessageBox::Yes;
        return QMessageBox::Yes | QMessageBox::No;
    case zv::Buttons::RetryCancel:
        defaultButton = QMessageBox::Retry;
        return QMessageBox::Retry | QMessageBox::Cancel;
    case zv::Buttons::Ok:
        break;
    }
    defaultButton = QMessageBox::Ok;
    return QMessageBox::Ok;
}

// Escape or the close box picks the set's way out.
zv::Answer AnswerOf(int button, zv::Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return zv::Answer::Ok;
    case QMessageBox::Yes:
        return zv::Answer::Yes;
    case QMessageBox::No:
        return zv::Answer::No;
    case QMessageBox::Retry:
        return zv::Answer::Retry;
    case QMessageBox::Cancel:
        return zv::Answer::Cancel;
    default:
        break;
    }
    switch (buttons) {
    case zv::Buttons::Ok:
        return zv::Answer::Ok;
    case zv::Buttons::YesNo:
        return zv::Answer::No;
    case zv::Buttons::OkCancel:
    case zv::Buttons::RetryCancel:
        break;
    }
    return zv::Answer::Cancel;
}

bool Showing(const QWidget* w)
{
    return w && w->isVisible();
}

} // namespace

void QtHost::SetFrame(QWidget* frame)
{
    frame_ = frame;
}

void QtHost::PushDialog(QWidget* dialog)
{
    dialogs_.emplace_back(dialog);
}

void QtHost::PopDialog(QWidget* dialog)
{
    const auto it = std::find(dialogs_.rbegin(), dialogs_.rend(), dialog);
    if (it != dialogs_.rend())
        dialogs_.erase(std::next(it).base());
    // Dialogs deleted without popping leave null entries behind.
    std::erase_if(dialogs_, [](const QPointer<QWidget>& d) { return d.isNull(); });
}

QWidget* QtHost::TopDialog() const
{
    // A dialog that already closed (OK runs the command after closing) cannot
    // own a box any more; the one below it or the frame takes over.
    for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it)
        if (Showing(*it))
            return *it;
    return nullptr;
}

ProgressDialog* QtHost::CurrentProgressWindow() const
{
    ProgressDialog* newest = nullptr;
    for (auto it = progressWindows_.rbegin(); it != progressWindows_.rend(); ++it) {
        if (!*it)
            continue;
        if ((*it)->PassRunning())
            return *it;
        if (!newest)
            newest = *it;
    }
    return newest;
}

QWidget* QtHost::OwnerWidget(zv::Owner owner) const
{
    switch (owner) {
    case zv::Owner::None:
        return nullptr;
    case zv::Owner::Progress:
        if (ProgressDialog* p = CurrentProgressWindow())
            return p;
        [[fallthrough]];
    case zv::Owner::Dialog:
        if (QWidget* d = TopDialog())
            return d;
        [[fallthrough]];
    case zv::Owner::Frame:
        break;
    }
    return frame_;
}

zv::Answer QtHost::Message(const std::string& text, const std::string& caption, zv::Buttons buttons,
                           zv::Icon icon, zv::Owner owner)
{
    return Show({DecodeText(text), DecodeText(caption), buttons, icon, owner, false});
}

zv::Answer QtHost::AskBeforeDiscarding(const std::string& text, const std::string& caption, zv::Buttons buttons,
                                       zv::Icon icon, zv::Owner owner)
{
    return Show({DecodeText(text), DecodeText(caption), buttons, icon, owner, true});
}

zv::Answer QtHost::Show(const MessageRequest& request)
{
    if (hook_) {
        if (const auto answer = hook_(request))
            return *answer;
    }
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    const auto set = BoxButtons(request.buttons, defaultButton);
    // Enter must not throw work away: it gives what an unattended run answers.
    if (request.safeDefault)
        defaultButton = ButtonOf(SafeAnswer(request.buttons));
    QMessageBox box(BoxIcon(request.icon), request.caption, request.text, set, OwnerWidget(request.owner));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return AnswerOf(box.exec(), request.buttons);
}

void QtHost::Beep()
{
    QApplication::beep();
}

std::shared_ptr<zv::ProgressWindow> QtHost::StartProgressWindow()
{
    std::erase_if(progressWindows_, [](const QPointer<ProgressDialog>& p) { return p.isNull(); });
    auto* dialog = new ProgressDialog(texts_, frame_);
    progressWindows_.emplace_back(dialog);
    dialog->show();
    dialog->raise();
    // Up and painted before the pass starts to work.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return std::make_shared<QtProgressWindow>(dialog);
}

void QtHost::OpenForEditing(const std::string& path)
{
    const auto command = zv::GraphicalEditorCommand(path, std::getenv("VISUAL"), std::getenv("EDITOR"));
    if (!command.empty()) {
        QStringList arguments;
        for (std::size_t i = 1; i < command.size(); ++i)
            arguments << QFile::decodeName(QByteArray::fromStdString(command[i]));
        if (QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(command.front())), arguments))
            return;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)))))
        return;
    // Neither an editor nor the desktop could take the file.
    if (texts_) {
        Message(texts_->LookupText(420) + "\n" + path, texts_->LookupText(52), zv::Buttons::Ok,
                zv::Icon::Exclamation, zv::Owner::Dialog);
    }
}

DialogOwnerScope::DialogOwnerScope(zv::Host& host, QWidget* dialog)
    : host_(dynamic_cast<QtHost*>(&host)), dialog_(dialog)
{
    if (host_)
        host_->PushDialog(dialog_);
}

DialogOwnerScope::~DialogOwnerScope()
{
    if (host_)
        host_->PopDialog(dialog_);
}

} // namespace zv::qt
