#include "app/dialogs/repair_dialog.h"

#include "qt/texts.h"
#include "engine/operations/repair.h"
#include "engine/config/setting_names.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace zv::app {

using qt::DecodeText;
using qt::EncodeText;
using qt::Tr;

namespace {

const QString kRepairHelp = QStringLiteral("REPAIR command");

// The message for a time per character that cannot be used.
constexpr int kBadPerCharacterText = 346;

// The values the settings dialog shows when nothing is stored; they change
// only at its OK and last for the program run.
zv::LengthenSettings& WorkingValues()
{
    static zv::LengthenSettings values;
    return values;
}

QLineEdit* NumberEdit(QWidget* parent, const char* id, const QString& pattern)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(id));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    return edit;
}

// A whole number the field holds; only digits can be typed, so an empty
// field is 0 and more digits than fit are held at the largest int.
int WholeNumber(const QLineEdit* edit)
{
    bool ok = false;
    const qlonglong value = edit->text().toLongLong(&ok);
    if (!ok)
        return edit->text().isEmpty() ? 0 : std::numeric_limits<int>::max();
    return static_cast<int>(std::min<qlonglong>(value, std::numeric_limits<int>::max()));
}

// A stored "TAK n" / "NIE n": the number's text and whether the check box is
// on. A text shorter than its prefix was never stored by us: nothing.
bool ReadFlagged(zv::SettingsStore& settings, const char* name, QString& text, bool& on)
{
    const std::string stored = settings.ReadSetting(name);
    if (stored.size() < 4)
        return false;
    text = DecodeText(stored.substr(4));
    on = stored[0] == 'T';
    return true;
}

} // namespace

ShortSubtitleSettings::ShortSubtitleSettings(zv::Context& ctx, QWidget* parent)
    : CommandDialog(ctx, parent, "184", 339, kRepairHelp)
{
    auto* grid = new QGridLayout;
    auto* baseLabel = new QLabel(Tr(ctx_, 341), this);
    baseLabel->setObjectName(QStringLiteral("1032"));
    auto* perCharacterLabel = new QLabel(Tr(ctx_, 342), this);
    perCharacterLabel->setObjectName(QStringLiteral("1033"));
    join_ = new QCheckBox(Tr(ctx_, 343), this);
    join_->setObjectName(QStringLiteral("1050"));
    limitCharacters_ = new QCheckBox(Tr(ctx_, 344), this);
    limitCharacters_->setObjectName(QStringLiteral("1051"));
    const QString digits = QStringLiteral("[0-9]{0,7}");
    base_ = NumberEdit(this, "1027", digits);
    perCharacter_ = NumberEdit(this, "1028", QStringLiteral("[0-9]{0,4}([.,][0-9]{0,4})?"));
    maxRows_ = NumberEdit(this, "1029", digits);
    maxCharacters_ = NumberEdit(this, "1030", digits);
    baseLabel->setBuddy(base_);
    perCharacterLabel->setBuddy(perCharacter_);
    grid->addWidget(baseLabel, 0, 0);
    grid->addWidget(base_, 0, 1);
    grid->addWidget(perCharacterLabel, 1, 0);
    grid->addWidget(perCharacter_, 1, 1);
    grid->addWidget(join_, 2, 0);
    grid->addWidget(maxRows_, 2, 1);
    grid->addWidget(limitCharacters_, 3, 0);
    grid->addWidget(maxCharacters_, 3, 1);
    layout_->addLayout(grid);

    auto* restore = new QPushButton(Tr(ctx_, 340), this);
    restore->setObjectName(QStringLiteral("1031"));
    connect(restore, &QPushButton::clicked, this, &ShortSubtitleSettings::FillDefaults);
    layout_->addWidget(restore, 0, Qt::AlignLeft);
    QPushButton* ok = AddOkCancel(ctx_, this, layout_);
    connect(ok, &QPushButton::clicked, this, &ShortSubtitleSettings::Accept);

    const zv::LengthenSettings& working = WorkingValues();
    zv::SettingsStore& settings = ctx_.settings;
    const std::string base = settings.ReadSetting(key::LengthenBase);
    base_->setText(base.empty() ? QString::number(working.base) : DecodeText(base));
    const std::string perCharacter = settings.ReadSetting(key::LengthenPerCharacter);
    perCharacter_->setText(perCharacter.empty() ? DecimalText(static_cast<double>(working.perCharacter), 1)
                                                : DecodeText(perCharacter));
    QString text;
    bool on = true;
    if (!ReadFlagged(settings, key::LengthenLines, text, on)) {
        text = QString::number(working.maxRows);
        on = true;
    }
    maxRows_->setText(text);
    join_->setChecked(on);
    if (!ReadFlagged(settings, key::LengthenMaxCharacters, text, on)) {
        text = QString::number(working.maxCharacters);
        on = true;
    }
    maxCharacters_->setText(text);
    limitCharacters_->setChecked(on);
}

const zv::LengthenSettings& ShortSubtitleSettings::values() const
{
    return WorkingValues();
}

void ShortSubtitleSettings::FillDefaults()
{
    const zv::LengthenSettings defaults;
    base_->setText(QString::number(defaults.base));
    perCharacter_->setText(DecimalText(static_cast<double>(defaults.perCharacter), 1));
    maxRows_->setText(QString::number(defaults.maxRows));
    maxCharacters_->setText(QString::number(defaults.maxCharacters));
    join_->setChecked(true);
    limitCharacters_->setChecked(true);
}

void ShortSubtitleSettings::Accept()
{
    const double perCharacter = ReadDecimal(perCharacter_->text());
    if (!zv::ValidPerCharacter(perCharacter) || perCharacter > 1e6) {
        ctx_.Tell(kBadPerCharacterText, 44, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Dialog);
        perCharacter_->setFocus();
        return;
    }
    zv::SettingsStore& settings = ctx_.settings;
    zv::LengthenSettings values;
    values.base = WholeNumber(base_);
    values.perCharacter = static_cast<float>(perCharacter);
    values.joinAllowed = join_->isChecked() ? 1 : 0;
    values.maxRows = join_->isChecked() ? WholeNumber(maxRows_) : 0;
    values.maxCharacters = limitCharacters_->isChecked() ? WholeNumber(maxCharacters_) : 0;
    settings.WriteSetting(key::LengthenBase, EncodeText(base_->text()));
    settings.WriteSetting(key::LengthenPerCharacter, EncodeText(perCharacter_->text()));
    settings.WriteSetting(key::LengthenLines,
                          (join_->isChecked() ? "TAK " : "NIE ") + EncodeText(maxRows_->text()));
    settings.WriteSetting(key::LengthenMaxCharacters,
                          (limitCharacters_->isChecked() ? "TAK " : "NIE ") + EncodeText(maxCharacters_->text()));
    WorkingValues() = values;
    accept();
}

RepairDialog::RepairDialog(zv::Context& ctx, zv::FormatHandler* handler, std::string sourcePath, QWidget* parent)
    : CommandDialog(ctx, parent, "115", 41, kRepairHelp), handler_(handler), sourcePath_(std::move(sourcePath))
{
    const bool fileOpen = handler_ != nullptr && !sourcePath_.empty();
    auto addGroup = [&](const char* id, int title) {
        QGroupBox* group = Group(this, id, Tr(ctx_, title));
        layout_->addWidget(group);
        return new QHBoxLayout(group);
    };
    auto addButton = [&](QHBoxLayout* row, const char* id, int text, void (RepairDialog::*run)()) {
        auto* button = new QPushButton(Tr(ctx_, text), this);
        button->setObjectName(QString::fromLatin1(id));
        button->setEnabled(fileOpen);
        connect(button, &QPushButton::clicked, this, run);
        row->addWidget(button);
    };
    addButton(addGroup("1041", 39), "1032", 42, &RepairDialog::RepairLineEnds);
    addButton(addGroup("1040", 40), "1033", 42, &RepairDialog::Sort);
    QHBoxLayout* lengthen = addGroup("1042", 337);
    addButton(lengthen, "1034", 338, &RepairDialog::LengthenDefault);
    addButton(lengthen, "1035", 339, &RepairDialog::AdvancedSettings);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel = buttons->addButton(Tr(ctx_, 21), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout_->addWidget(buttons);
}

// Each repair closes the dialog first; the progress window takes over and the
// frame shows the result when one is complete.
void RepairDialog::RepairLineEnds()
{
    accept();
    const long changes = zv::RepairLineEnds(ctx_, sourcePath_);
    // The repaired copy is a result to show only when a line end changed.
    zv::Outcome repaired;
    repaired.done = changes > 0;
    repaired.changed = changes;
    outcome_ = repaired;
}

void RepairDialog::Sort()
{
    accept();
    outcome_ = zv::RunSortRecords(ctx_, *handler_, writeOptions_);
}

void RepairDialog::LengthenDefault()
{
    accept();
    outcome_ = zv::RunLengthenDefault(ctx_, *handler_, writeOptions_);
}

void RepairDialog::AdvancedSettings()
{
    ShortSubtitleSettings settings(ctx_, this);
    if (settings.exec() != QDialog::Accepted) {
        raise();
        activateWindow();
        return;
    }
    const zv::LengthenSettings values = settings.values();
    accept();
    outcome_ = zv::RunLengthenAdvanced(ctx_, *handler_, values, writeOptions_);
}

} // namespace zv::app
