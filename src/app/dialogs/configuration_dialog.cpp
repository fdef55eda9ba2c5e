#include "app/dialogs/configuration_dialog.h"

#include "qt/language_setup.h"
#include "qt/paths.h"
#include "qt/texts.h"
#include "engine/config/language.h"
#include "engine/config/setting_names.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace zv::app {

using qt::ChangeLanguage;
using qt::InstallationValues;
using qt::LoadInstallationValues;
using qt::PathBytes;
using qt::PathText;
using qt::Tr;

namespace {

// The language page lists the first 21 files it finds, as it always did.
constexpr int kListedLanguageFiles = 21;

bool StoredTick(zv::SettingsStore& settings, const OptionBox& box)
{
    switch (box.rule) {
    case TickRule::EmptyMeansOn: return settings.ReadSetting(box.setting).empty();
    case TickRule::OneMeansOn: return settings.ReadSetting(box.setting).rfind('1', 0) == 0;
    case TickRule::StampAuto: return zv::StampLineAutomatic(settings);
    case TickRule::UpdateChecks: return zv::UpdateChecksOn(settings);
    }
    return false;
}

std::string StoredValue(TickRule rule, bool ticked)
{
    switch (rule) {
    case TickRule::EmptyMeansOn:
    case TickRule::UpdateChecks: return ticked ? "" : "1";
    case TickRule::OneMeansOn:
    case TickRule::StampAuto: return ticked ? "1" : "";
    }
    return {};
}

} // namespace

CheckBoxPage::CheckBoxPage(zv::Context& ctx, const char* resource, std::vector<OptionBox> boxes, QWidget* parent)
    : QWidget(parent), ctx_(ctx), boxes_(std::move(boxes))
{
    setObjectName(QString::fromLatin1(resource));
    auto* column = new QVBoxLayout(this);
    QGroupBox* group = Group(this, "1045", Tr(ctx_, 272));
    auto* ticks = new QVBoxLayout(group);
    for (const OptionBox& box : boxes_) {
        auto* check = new QCheckBox(Tr(ctx_, box.text), group);
        check->setObjectName(QString::fromLatin1(box.id));
        ticks->addWidget(check);
        checks_.push_back(check);
        connect(check, &QCheckBox::toggled, this, [this] { save_->setEnabled(changed()); });
    }
    column->addWidget(group);
    auto* save = new QPushButton(Tr(ctx_, 282), this);
    save->setObjectName(QStringLiteral("1112"));
    connect(save, &QPushButton::clicked, this, &CheckBoxPage::SaveChanges);
    save_ = save;
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(save);
    column->addLayout(row);
    column->addStretch(1);
    Reload();
}

void CheckBoxPage::Reload()
{
    stored_.clear();
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        stored_.push_back(StoredTick(ctx_.settings, boxes_[i]));
        const QSignalBlocker quiet(checks_[i]);
        checks_[i]->setChecked(stored_.back());
    }
    save_->setEnabled(false);
}

bool CheckBoxPage::changed() const
{
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (checks_[i]->isChecked() != stored_[i])
            return true;
    return false;
}

void CheckBoxPage::SaveChanges()
{
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const bool ticked = checks_[i]->isChecked();
        if (ticked == stored_[i])
            continue;
        ctx_.settings.WriteSetting(boxes_[i].setting, StoredValue(boxes_[i].rule, ticked));
        stored_[i] = ticked;
    }
    save_->setEnabled(false);
}

void CheckBoxPage::Leave(bool keep)
{
    if (changed()) {
        if (ctx_.Asks(key::AskWhenLeavingPage)) {
            if (ctx_.Tell(284, 283, zv::Buttons::YesNo, zv::Icon::Exclamation, zv::Owner::Dialog) == zv::Answer::Yes)
                SaveChanges();
            if (QWidget* dialog = window()) {
                dialog->raise();
                dialog->activateWindow();
            }
        } else if (keep) {
            SaveChanges();
        }
    }
    // What was not saved is forgotten; the page shows the stored ticks again.
    Reload();
}

LanguagePage::LanguagePage(zv::Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("153"));
    auto* column = new QVBoxLayout(this);
    QGroupBox* currentGroup = Group(this, "1097", Tr(ctx_, 288));
    current_ = new QLabel(currentGroup);
    current_->setObjectName(QStringLiteral("1032"));
    current_->setTextFormat(Qt::PlainText);
    current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    current_->setAccessibleName(currentGroup->title());
    (new QVBoxLayout(currentGroup))->addWidget(current_);
    column->addWidget(currentGroup);

    QGroupBox* filesGroup = Group(this, "1098", Tr(ctx_, 289));
    files_ = new QListWidget(filesGroup);
    files_->setObjectName(QStringLiteral("1116"));
    files_->setAccessibleName(filesGroup->title());
    files_->setSortingEnabled(true);
    auto* filesColumn = new QVBoxLayout(filesGroup);
    filesColumn->addWidget(files_);
    auto* use = new QPushButton(Tr(ctx_, 290), filesGroup);
    use->setObjectName(QStringLiteral("1112"));
    auto* another = new QPushButton(Tr(ctx_, 291), filesGroup);
    another->setObjectName(QStringLiteral("1114"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(use);
    buttons->addWidget(another);
    buttons->addStretch(1);
    filesColumn->addLayout(buttons);
    column->addWidget(filesGroup);
    connect(use, &QPushButton::clicked, this, &LanguagePage::UseSelected);
    connect(files_, &QListWidget::itemDoubleClicked, this, &LanguagePage::UseSelected);
    connect(another, &QPushButton::clicked, this, &LanguagePage::LoadAnother);
    Reload();
}

void LanguagePage::Reload()
{
    const std::string language = ctx_.settings.ReadSetting(key::Language);
    current_->setText(PathText(language));
    files_->clear();
    // Without a folder in the setting, the installation's own languages are offered.
    std::string folder = zv::FolderOfPath(language);
    if (folder.empty())
        folder = ctx_.settings.ReadSetting(key::InstallDir) + "/languages/";
    const QStringList names =
        QDir(PathText(folder)).entryList({QStringLiteral("*.lan")}, QDir::Files | QDir::Readable, QDir::Name);
    files_->addItems(names.mid(0, kListedLanguageFiles));
}

void LanguagePage::UseSelected()
{
    const QListWidgetItem* item = files_->currentItem();
    if (!item || !item->isSelected())
        return;
    const std::string language = ctx_.settings.ReadSetting(key::Language);
    std::string folder = zv::FolderOfPath(language);
    if (folder.empty())
        folder = ctx_.settings.ReadSetting(key::InstallDir) + "/languages/";
    const std::string chosen = folder + PathBytes(item->text());
    if (chosen == language)
        return;
    ctx_.settings.WriteSetting(key::Language, chosen);
    ctx_.Tell(106, 107, zv::Buttons::Ok, zv::Icon::Information, zv::Owner::Dialog);
    current_->setText(PathText(chosen));
    BringDialogToFront();
}

void LanguagePage::LoadAnother()
{
    InstallationValues values = LoadInstallationValues(ctx_.settings);
    if (!ChangeLanguage(ctx_, window(), values)) {
        // No language file is left at all: the program cannot go on.
        QCoreApplication::exit(0);
        return;
    }
    current_->setText(PathText(ctx_.settings.ReadSetting(key::Language)));
    BringDialogToFront();
}

void LanguagePage::BringDialogToFront()
{
    if (QWidget* dialog = window()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

const std::vector<OptionBox>& ConfigurationDialog::OptionsPage()
{
    static const std::vector<OptionBox> boxes = {
        {"1055", 279, key::ShowInfoAfterOpen, TickRule::EmptyMeansOn},
        {"1057", 280, key::ShowSplash, TickRule::EmptyMeansOn},
        {"1058", 281, key::IdleEffect, TickRule::OneMeansOn},
        {"1059", 355, key::CheckLineEnds, TickRule::EmptyMeansOn},
        {"1060", 159, key::CheckForUpdates, TickRule::UpdateChecks},
        {"1061", 360, key::ShowTipAtStart, TickRule::EmptyMeansOn},
        {"1062", 383, key::StampAuto, TickRule::StampAuto},
        {"1063", 436, key::TenthsOnly, TickRule::EmptyMeansOn},
    };
    return boxes;
}

const std::vector<OptionBox>& ConfigurationDialog::ConfirmationsPage()
{
    static const std::vector<OptionBox> boxes = {
        {"1050", 273, key::AskBeforeExit, TickRule::EmptyMeansOn},
        {"1051", 274, key::AskBeforeOpen, TickRule::EmptyMeansOn},
        {"1052", 275, key::AskBeforeClosingResult, TickRule::EmptyMeansOn},
        {"1053", 276, key::AskWhenSkipping, TickRule::EmptyMeansOn},
        {"1054", 277, key::AskWhenLosing, TickRule::EmptyMeansOn},
        {"1056", 278, key::AskWhenLeavingPage, TickRule::EmptyMeansOn},
    };
    return boxes;
}

ConfigurationDialog::ConfigurationDialog(zv::Context& ctx, QWidget* parent)
    : CommandDialog(ctx, parent, "151", 266, QStringLiteral("CONFIGURATION command"))
{
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("1111"));
    tabs_->addTab(new CheckBoxPage(ctx_, "185", OptionsPage(), tabs_), Tr(ctx_, 160));
    tabs_->addTab(new CheckBoxPage(ctx_, "152", ConfirmationsPage(), tabs_), Tr(ctx_, 267));
    tabs_->addTab(new LanguagePage(ctx_, tabs_), Tr(ctx_, 268));
    layout_->addWidget(tabs_);
    connect(tabs_, &QTabWidget::currentChanged, this, &ConfigurationDialog::PageChanged);

    auto* ok = new QPushButton(Tr(ctx_, 20), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    layout_->addLayout(row);
}

void ConfigurationDialog::LeavePage(int index, bool keep)
{
    if (auto* page = qobject_cast<CheckBoxPage*>(tabs_->widget(index)))
        page->Leave(keep);
}

void ConfigurationDialog::PageChanged(int index)
{
    LeavePage(shown_, false);
    shown_ = index;
    // A page shows what is stored now: another page or program may have changed it.
    if (auto* page = qobject_cast<CheckBoxPage*>(tabs_->widget(index)))
        page->Reload();
    else if (auto* language = qobject_cast<LanguagePage*>(tabs_->widget(index)))
        language->Reload();
}

void ConfigurationDialog::done(int result)
{
    LeavePage(tabs_->currentIndex(), result == QDialog::Accepted);
    CommandDialog::done(result);
}

} // namespace zv::app
