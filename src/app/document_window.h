// The four document windows: read-only lists of the lines of one file, with
// the context menu of the commands that apply to them.
#pragma once

#include <QListView>
#include <QMdiSubWindow>

#include <functional>
#include <string>

class QMenu;

namespace zv::app {

class DocumentModel;
class Frame;

enum class DocumentKind { Source = 0, SecondSource = 1, Destination = 2, SecondDestination = 3 };

// "MdiSourceDocument", "MdiSource2Document", "MdiDestinationDocument", "MdiDestination2Document".
QString DocumentClassName(DocumentKind kind);

// The list of a document window (objectName "1"): one row a line, drawn from a
// DocumentModel, with the row calls of a plain list widget.
class DocumentList : public QListView {
    Q_OBJECT
public:
    DocumentList(QWidget* parent, std::function<void(const QPoint&)> menu);

    DocumentModel* lines() const { return lines_; }
    int count() const;
    int currentRow() const;
    // Makes row the current and only selected row, as a click on it does.
    void setCurrentRow(int row);
    // The text row shows.
    QString text(int row) const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    DocumentModel* lines_;
    std::function<void(const QPoint&)> menu_;
};

class DocumentWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    // Shows the lines of path; the title is built from titleText and fileName.
    DocumentWindow(Frame& frame, DocumentKind kind, const QString& title, const std::string& path);

    DocumentKind kind() const { return kind_; }
    DocumentList* list() const { return list_; }
    // Shows the file's lines again (a new result in the same window).
    void Refill(const std::string& path);

    // The context menu for the window's current state; the caller owns it.
    QMenu* BuildContextMenu();
    // A command from the context menu: Close here, the rest to the frame.
    void HandleCommand(int command);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowContextMenu(const QPoint& globalPos);
    void FillDocumentList(const std::string& path);

    Frame& frame_;
    DocumentKind kind_;
    DocumentList* list_;
};

} // namespace zv::app
