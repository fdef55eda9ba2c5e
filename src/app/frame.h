// The main frame: owns the program's state (the open file, its handler, the
// result files and which of them are unsaved, the four document windows), lays out the toolbar
// strip, the document area and the status bar, and runs every command through
// one dispatcher.
#pragma once

#include "app/document_window.h"
#include "engine/context.h"
#include "engine/formats/format.h"
#include "engine/formats/format_handler.h"
#include "engine/io/input_file.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <map>
#include <memory>
#include <string>

class QAction;
class QMdiArea;
class QMenu;

namespace zv::qt {
class QtHost;
}

namespace zv::app {

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
    Frame(qt::QtHost& host, zv::SettingsStore& settings, const zv::LanguageTexts& texts, FrameOptions options);
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
    // After an operation dialog: the result, when done, in the destination
    // window and marked unsaved; otherwise nothing is.
    void ShowAfterOperation(bool done);
    // After Split's dialog: both results side by side, Save as only, both unsaved.
    void ShowSplitResults();

    // The results shown and not saved yet: what Open, closing a result
    // window and quitting ask about before they throw one away.
    struct UnsavedResults {
        bool first = false;  // the destination window's
        bool second = false; // the second destination's (Split)
        bool any() const { return first || second; }
    };
    const UnsavedResults& unsavedResults() const { return unsaved_; }

    // State that the document windows and the tests read.
    zv::Context& context() { return *ctx_; }
    zv::FormatHandler* handler() const { return handler_.get(); }
    // What every command dialog writes with: the stamp in the open file's encoding.
    zv::WriteOptions WriteOptionsForFile() const;
    zv::SubtitleFormat currentFormat() const { return currentFormat_; }
    int currentLine() const { return currentLine_; }
    const std::string& sourcePath() const { return sourcePath_; }
    const std::string& sourceTitle() const { return sourceTitle_; }
    const std::string& secondSourcePath() const { return secondSourcePath_; }
    // The encoding of the open file's text: detected when it was opened, or
    // the one the user chose for that file during this session. The bytes
    // are never re-encoded; the encoding decides how they are shown and how
    // a typed text is written into the file.
    const std::string& sourceEncoding() const { return sourceEncoding_; }
    // The encoding a document window shows its text in (results are in
    // their source's encoding).
    const std::string& EncodingOf(DocumentKind kind) const;
    // A typed text as bytes in the open file's encoding (a stamp-line's text).
    std::string EncodeForSource(const QString& text) const;
    const std::string& installDir() const { return options_.installDir; }
    DocumentWindow* document(DocumentKind kind) const { return documents_[static_cast<int>(kind)]; }
    bool Exists(DocumentKind kind) const { return document(kind) != nullptr; }
    QMdiArea* documentArea() const { return area_; }
    ToolbarStrip* toolbar() const { return toolbar_; }
    StatusBar* statusBarPart() const { return status_; }
    QAction* commandAction(int commandId) const;
    QMenu* recentFoldersMenu() const { return recentMenu_; }
    // Fills a menu with the encodings, the open file's checked.
    void AddEncodingChoices(QMenu* menu);
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
    // Convert's result is in another format than the open file: saving it
    // over the file would leave, say, MPL2 text in a ".srt" file.
    bool ResultInAnotherFormat() const;
    // The name Save as offers: the open file's, with the result format's
    // extension when that differs.
    QString ProposedResultName() const;
    // What a name typed without an extension gets: the result format's own.
    QString ResultExtension() const;
    // The user's choice for the file this session, else the detected one.
    std::string EncodingFor(const std::string& path, const std::string& input) const;

    void MoveTime();
    void Configuration();
    // The line indicator of the status bar: the subtitle number of the
    // selected line and back, or (right) the subtitle information.
    void LineIndicatorClicked(bool right);
    void ChooseEncoding(int index);
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

    qt::QtHost& host_;
    zv::SettingsStore& settings_;
    FrameOptions options_;
    std::unique_ptr<zv::Context> ctx_;
    std::unique_ptr<zv::FormatHandler> handler_;

    zv::SubtitleFormat currentFormat_ = zv::SubtitleFormat::None;
    // The format Convert wrote the shown result in; None while the result is
    // in the open file's format.
    zv::SubtitleFormat resultFormat_ = zv::SubtitleFormat::None;
    int currentLine_ = -99;
    bool showingSubtitleNumber_ = false;
    std::string sourcePath_;
    std::string sourceTitle_;
    std::string secondSourcePath_;
    std::string secondSourceTitle_;
    zv::TextStyle sourceStyle_;
    // Bytes read from the user's files when they were opened.
    std::uint64_t sourceSize_ = 0;
    std::uint64_t secondSourceSize_ = 0;
    std::string sourceEncoding_;
    std::string secondSourceEncoding_;
    std::string secondSourceWide_; // the second file's wide encoding, if it is one
    // The user's choices of encoding, by file, for this session.
    std::map<std::string, std::string> chosenEncodings_;
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
    QMenu* encodingMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    UnsavedResults unsaved_;
    bool shutDown_ = false;
};

} // namespace zv::app
