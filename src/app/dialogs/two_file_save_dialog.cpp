#include "app/dialogs/two_file_save_dialog.h"

#include "qt/file_dialogs.h"
#include "qt/texts.h"
#include "engine/io/file_io.h"
#include "engine/io/save_result.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>


namespace zv::app {

using qt::AskSaveFileName;
using qt::Tr;

namespace {

std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

TwoFileSaveDialog::TwoFileSaveDialog(zv::Context& ctx, const QString& initialFolder, QWidget* parent,
                                     zv::TextStyle style, const QString& extension)
    : QDialog(parent), ctx_(ctx), style_(style), folder_(initialFolder), extension_(extension),
      ownerScope_(ctx.host, this)
{
    setObjectName(QStringLiteral("142"));
    setModal(true);
    setWindowTitle(Tr(ctx_, 201));
    auto* layout = new QVBoxLayout(this);

    struct Ids {
        const char *group, *check, *path, *change;
        int title;
    };
    const Ids ids[2] = {{"1053", "1050", "1052", "1031", 202}, {"1054", "1051", "1055", "1032", 203}};
    for (int i = 0; i < 2; ++i) {
        Part& part = part_[i];
        auto* group = new QGroupBox(Tr(ctx_, ids[i].title), this);
        group->setObjectName(QString::fromLatin1(ids[i].group));
        part.check = new PlainCheckBox(group);
        part.check->setObjectName(QString::fromLatin1(ids[i].check));
        part.check->setAccessibleName(group->title());
        part.path = new QLabel(group);
        part.path->setObjectName(QString::fromLatin1(ids[i].path));
        part.path->setTextFormat(Qt::PlainText);
        part.path->setMinimumWidth(320);
        part.path->setAccessibleName(group->title());
        part.change = new QPushButton(Tr(ctx_, 204), group);
        part.change->setObjectName(QString::fromLatin1(ids[i].change));
        auto* row = new QHBoxLayout(group);
        row->addWidget(part.check);
        row->addWidget(part.path, 1);
        row->addWidget(part.change);
        layout->addWidget(group);
        connect(part.check, &QCheckBox::clicked, this, [this, i] { ToggleMark(i); });
        connect(part.change, &QPushButton::clicked, this, [this, i] { ChangeName(i); });
    }

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(Tr(ctx_, 20), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("1"));
    ok_->setEnabled(false);
    QPushButton* cancel = buttons->addButton(Tr(ctx_, 21), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    connect(ok_, &QPushButton::clicked, this, &TwoFileSaveDialog::Save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TwoFileSaveDialog::ChangeName(int index)
{
    Part& part = part_[index];
    for (Part& p : part_)
        p.change->setEnabled(false);
    const auto chosen = AskSaveFileName(this, part.target, folder_, extension_);
    for (Part& p : part_)
        p.change->setEnabled(true);
    // A cancelled choice keeps what was there: taking whatever name the file
    // dialog last held could hand this result the other result's name.
    if (chosen && !chosen->isEmpty()) {
        part.target = *chosen;
        part.path->setText(part.target);
        part.marked = false;
        ToggleMark(index);
    }
    raise();
    activateWindow();
}

void TwoFileSaveDialog::ToggleMark(int index)
{
    Part& part = part_[index];
    if (part.target.isEmpty())
        return;
    part.marked = !part.marked;
    part.check->setChecked(part.marked);
    ok_->setEnabled(part_[0].marked || part_[1].marked);
}

bool TwoFileSaveDialog::SaveCopy(const std::string& result, const QString& target)
{
    const std::string targetBytes = Bytes(target);
    const zv::SaveOutcome saved = zv::SaveResult(ctx_, result, style_, targetBytes);
    if (saved.saved)
        return true;
    // With the system's reason: a full disk says so.
    ctx_.host.Message(saved.errorText, targetBytes, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::None);
    return false;
}

void TwoFileSaveDialog::Save()
{
    Part& first = part_[0];
    Part& second = part_[1];
    if (first.marked && second.marked && zv::SameFile(Bytes(first.target), Bytes(second.target))) {
        ctx_.Tell(205, 48, zv::Buttons::Ok, zv::Icon::Exclamation, zv::Owner::Dialog);
        return;
    }
    if (second.marked) {
        if (!SaveCopy(ctx_.workspace.SecondWorkingCopy, second.target)) {
            reject();
            return;
        }
        secondSaved_ = true;
    }
    if (first.marked) {
        if (!SaveCopy(ctx_.workspace.WorkingCopy, first.target)) {
            reject();
            return;
        }
        firstSaved_ = true;
    }
    accept();
}

} // namespace zv::app
