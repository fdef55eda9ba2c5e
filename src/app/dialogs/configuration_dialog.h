// The Configuration dialog (151): the options and confirmations pages, whose
// boxes map one to one onto settings, and the language page.
#pragma once

#include "app/dialogs/dialog_parts.h"

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QTabWidget;

namespace zv::app {

// How a box's tick is stored.
enum class TickRule {
    EmptyMeansOn,  // ticked: the empty text; cleared: "1"
    OneMeansOn,    // ticked when it begins with "1"; written "1" or empty
    StampAuto,     // the stamp-line's rule: a non-zero number is on
    UpdateChecks,  // the update checker's rule: a number 0 ("0" or empty) is on
};

struct OptionBox {
    const char* id;
    int text;
    const char* setting;
    TickRule rule;
};

// A page of check boxes. It shows the stored ticks each time it is shown
// and writes only the boxes the user changed, so a value another program
// changed meanwhile is not put back.
class CheckBoxPage : public QWidget {
    Q_OBJECT
public:
    CheckBoxPage(zv::Context& ctx, const char* resource, std::vector<OptionBox> boxes, QWidget* parent);

    // Ticks as stored; nothing changed.
    void Reload();
    // Writes the changed boxes, in table order ("save changes", 1112).
    void SaveChanges();
    // Whether a tick differs from what was stored.
    bool changed() const;
    // The step when the page is left (another tab, or the dialog ends):
    // changes are saved on Yes to the question. Without the question they
    // are kept only when the user closes with OK (keep), else dropped.
    void Leave(bool keep);

private:
    zv::Context& ctx_;
    std::vector<OptionBox> boxes_;
    std::vector<QCheckBox*> checks_;
    std::vector<bool> stored_;
    QWidget* save_ = nullptr; // 1112
};

// The language page: the current file, the files beside it, and another one
// chosen from anywhere. Its choices are stored at once.
class LanguagePage : public QWidget {
    Q_OBJECT
public:
    LanguagePage(zv::Context& ctx, QWidget* parent);
    void Reload();

private:
    void UseSelected();
    void LoadAnother();
    void BringDialogToFront();

    zv::Context& ctx_;
    QLabel* current_ = nullptr;    // 1032
    QListWidget* files_ = nullptr; // 1116
};

class ConfigurationDialog : public CommandDialog {
    Q_OBJECT
public:
    ConfigurationDialog(zv::Context& ctx, QWidget* parent);

    static const std::vector<OptionBox>& OptionsPage();
    static const std::vector<OptionBox>& ConfirmationsPage();

    QTabWidget* tabs() const { return tabs_; }
    void done(int result) override;

private:
    void PageChanged(int index);
    void LeavePage(int index, bool keep);

    QTabWidget* tabs_ = nullptr; // 1111
    int shown_ = 0;
};

} // namespace zv::app
