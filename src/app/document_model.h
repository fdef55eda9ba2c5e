// The lines of one file as a document window shows them: the file's bytes and
// where each line starts, decoded only when a line is drawn. A list of a
// million lines thus costs the file's size and one offset a line, and opens
// in the time it takes to read the file.
#pragma once

#include "qt/text_codec.h"

#include <QAbstractListModel>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::app {

class DocumentModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Lines longer than this many characters are shown cut.
    static constexpr int kShownLineLength = 199;

    explicit DocumentModel(QObject* parent = nullptr);

    // Shows the lines of path, in the given encoding (empty: UTF-8 when
    // valid, else the installation's code page), after a blank entry; a last
    // line without a line break is shown too. percent, when set, hears how
    // much has been read. False when the file cannot be read: nothing is
    // shown then.
    bool Load(const std::string& path, const std::string& encoding, const std::function<void(int)>& percent = {});

    // Row 0 is the blank entry, row n the file's line n.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QString LineText(int row) const;

private:
    std::string_view LineBytes(int row) const;

    std::string bytes_;
    // Where each line starts, then where the last one ends.
    std::vector<std::uint64_t> starts_;
    mutable std::optional<qt::TextDecoder> decoder_;
};

} // namespace zv::app
