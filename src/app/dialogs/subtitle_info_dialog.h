// The Subtitle information dialog (154): size, subtitle count and format of
// each file the document windows hold, and the box that shows it after every
// Open.
#pragma once

#include "app/dialogs/dialog_parts.h"

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;

namespace zv::app {

class SubtitleInfoDialog : public CommandDialog {
    Q_OBJECT
public:
    struct Document {
        int label; // language text of the window's kind
        std::string path; // as listed
        // What the program read of it, when that is not path itself: an
        // opened file is described as it was read, whatever became of it on
        // disk since; its size is then the size of the user's file.
        std::string read = {};
        std::int64_t size = -1;
        // Records read with a negative time as 0 (the opened file's reader
        // tells them); their line shows only when there were some.
        long negativeTimes = 0;
    };
    SubtitleInfoDialog(zv::Context& ctx, const std::vector<Document>& documents, QWidget* parent);

    long count(int row) const { return counts_.at(static_cast<std::size_t>(row)); }

    void done(int result) override;

private:
    void ShowSelected(int row);

    std::vector<Document> documents_;
    std::vector<long> counts_;
    QListWidget* list_ = nullptr; // 1116
    QLabel* size_ = nullptr;      // 1085
    QLabel* count_ = nullptr;     // 1086
    QLabel* format_ = nullptr;    // 1090
    QLabel* negativeLabel_ = nullptr; // 1107
    QLabel* negative_ = nullptr;      // 1091
    QCheckBox* showAfterOpen_ = nullptr; // 1118
};

} // namespace zv::app
