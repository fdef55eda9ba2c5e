// The main frame: owns the program's state (the open file, its handler, the
// result files and flags, the four document windows), lays out the toolbar
// strip, the document area and the status bar, and runs every command through
// one dispatcher.
#pragma once

#include "app/document_window.h"
#include "engine/context.h"
#include "engine/format.h"
#include "engine/format_handler.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <map>
#include <memory>
#include <string>

class QAction;
class QMdiArea;
class QMenu;

namespace zv::app {

class QtHost;
class StatusBar;
class ToolbarStrip;

struct FrameOptions {
    std::string installDir;      // the settings value PATH
    std::string windowTitle;     // "Zentavo " and the version
    std::string workspaceFolder; // where the result and workspace files live
};

class Frame : public QMainWindow {
    Q_OBJECT
public:
    Frame(QtHost& host, zv::SettingsStore& settings, const zv::LanguageTexts& texts, FrameOptions options);
    ~Frame() override;

    // Every command of the program arrives here.
    void Dispatch(int commandId, int param = 0);
    // Runs the command once the current one has returned, as a posted command would.
    void Post(int commandId, int param = 0);
    // Opens a file handed over by a drop (only the toolbar strip accepts drops).
    void OpenDroppedFile(const QString& path);

    // operations, save: 1 on, 0 off, -99 unchanged (see the .cpp for the groups).
    void UpdateCommandStates(int operations, int save);
    void EnableToolbar(bool on);
    // After an operation dialog: the result, if one is complete, in the destination window.
    void ShowAfterOperation();
    // After Split's dialog: both results side by side, Save as only.
    void ShowSplitResults();

    // State that the document windows and the tests read.
    zv::Context& context() { return *ctx_; }
    zv::FormatHandler* handler() const { return handler_.get(); }
    zv::SubtitleFormat currentFormat() const { return currentFormat_; }
    int currentLine() const { return currentLine_; }
    const std::string& sourcePath() const { return sourcePath_; }
    const std::string& sourceTitle() const { return sourceTitle_; }
    const std::string& secondSourcePath() const { return secondSourcePath_; }
    const std::string& installDir() const { return options_.installDir; }
    DocumentWindow* document(DocumentKind kind) const { return documents_[static_cast<int>(kind)]; }
    bool Exists(DocumentKind kind) const { return document(kind) != nullptr; }
    QMdiArea* documentArea() const { return area_; }
    ToolbarStrip* toolbar() const { return toolbar_; }
    StatusBar* statusBarPart() const { return status_; }
    QAction* commandAction(int commandId) const;
    QMenu* recentFoldersMenu() const { return recentMenu_; }
    // A result is on screen and not saved: running an operation now would
    // write over it.
    bool ResultShown() const { return Exists(DocumentKind::Destination) || Exists(DocumentKind::SecondDestination); }

    // Document window events.
    void SetCurrentLine(int line);
    bool DocumentMayClose(DocumentKind kind);
    void DocumentClosed(DocumentKind kind);
    QFont DocumentFont();

    // Tiles the document windows over the document area (every resize).
    void LayoutDocuments();
    void ShowHelpContents();

signals:
    // The frame has closed and cleaned up; the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Menus, accelerators and the recent-folders submenu (frame_menus.cpp).
    void BuildMenus();
    void BuildAccelerators();
    void RebuildRecentFolders();
    QAction* AddCommand(QMenu* menu, int commandId, int textNumber, bool enabled);
    void SetCommandEnabled(int commandId, bool enabled);

    // Opening and saving (open_save.cpp).
    void Open(int param);
    void Save();
    void SaveAs();
    void OpenRecentFolder(const char* setting);
    void RememberFolder(const std::string& folder);
    void UniteFirstStep();
    void UniteSecondStep();

    void MoveTime();
    void Convert();
    void AviInformation();
    void SubtitleInformation();
    void Synchronize();
    // Repair, Split, the stamp-line and Unite's common state (frame_operations.cpp).
    void Repair();
    void Split();
    void StampLine();
    // Only Unite on, menu entry and toolbar button alike: a second file waits.
    void EnableUniteOnly();
    // A stamp text (UTF-8) in the open file's own encoding.
    std::string StampTextForFile(const std::string& utf8) const;
    void Shutdown();
    DocumentWindow* CreateDocument(DocumentKind kind, const QRect& rect);
    void CloseDocument(DocumentKind kind);
    QRect LeftColumn(bool topHalf, bool half) const;
    QRect RightColumn(bool topHalf, bool half) const;
    QString DocumentTitle(DocumentKind kind) const;
    std::string DocumentFile(DocumentKind kind) const;

    QtHost& host_;
    zv::SettingsStore& settings_;
    FrameOptions options_;
    std::unique_ptr<zv::Context> ctx_;
    std::unique_ptr<zv::FormatHandler> handler_;

    zv::SubtitleFormat currentFormat_ = zv::SubtitleFormat::None;
    int currentLine_ = -99;
    std::string sourcePath_;
    std::string sourceTitle_;
    std::string secondSourcePath_;
    std::string secondSourceTitle_;
    // Open's path when it comes from a drop; the folder when it comes from a
    // recent-folder command. Neither touches sourcePath_ before a file is chosen.
    std::string givenPath_;
    std::string presetFolder_;

    std::array<QPointer<DocumentWindow>, 4> documents_;
    QMdiArea* area_ = nullptr;
    ToolbarStrip* toolbar_ = nullptr;
    StatusBar* status_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    bool shutDown_ = false;
};

} // namespace zv::app
