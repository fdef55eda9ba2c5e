#include "app/dialogs/help_viewer.h"

#include "qt/qt_translations.h"
#include "qt/text_codec.h"
#include "qt/texts.h"
#include "engine/context.h"
#include "engine/config/setting_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

namespace zv::app {

namespace {

// One help window for the whole program, as there was one help engine.
QPointer<QTextBrowser>& Viewer()
{
    static QPointer<QTextBrowser> viewer;
    return viewer;
}

void TellMissing(QWidget* owner, const QString& helpFile, const QString& message)
{
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Zentavo"),
                                message + QLatin1Char('\n') + helpFile, QMessageBox::Ok, owner);
    box->setObjectName(QStringLiteral("HelpFileMissing"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace

QString LocalizedDocument(const QString& path, const QString& languageCode)
{
    // The code comes from a language file: only a plain code ("pl", "pt_BR")
    // names a translation, never a path.
    static const QRegularExpression plainCode(QStringLiteral("^[A-Za-z]{2,3}([_-][A-Za-z]{2,4})?$"));
    const QString code = languageCode.trimmed();
    const QFileInfo info(path);
    if (!plainCode.match(code).hasMatch() || code == QLatin1String("en") || info.suffix().isEmpty())
        return path;
    const QString translated =
        info.dir().filePath(info.completeBaseName() + QLatin1Char('.') + code + QLatin1Char('.') + info.suffix());
    return QFileInfo(translated).isFile() ? translated : path;
}

QString LocalizedDocument(const zv::Context& ctx, const QString& path)
{
    return LocalizedDocument(path, qt::Tr(ctx, qt::kTextQtLanguage));
}

QString HelpAnchor(const QString& keyword)
{
    QString anchor = keyword.trimmed().toLower();
    anchor.replace(QLatin1Char(' '), QLatin1Char('-'));
    return anchor;
}

void ShowHelp(QWidget* parent, const zv::Context& ctx, const QString& englishFile, const QString& keyword)
{
    QWidget* owner = parent ? parent->window() : nullptr;
    const QString helpFile = englishFile.isEmpty() ? englishFile : LocalizedDocument(ctx, englishFile);
    const QFileInfo info(helpFile);
    if (helpFile.isEmpty() || !info.isFile() || !info.isReadable()) {
        TellMissing(owner, helpFile, qt::Tr(ctx, qt::kTextHelpFileMissing));
        return;
    }

    // The window belongs to the window that asked: a modal dialog lets only its
    // own children take input, and a frame's help must not vanish with a dialog.
    QPointer<QTextBrowser>& viewer = Viewer();
    if (viewer && viewer->parentWidget() != owner) {
        viewer->close();
        delete viewer.data();
    }
    if (!viewer) {
        viewer = new QTextBrowser(owner);
        viewer->setWindowFlags(Qt::Window);
        viewer->setObjectName(QStringLiteral("HelpViewer"));
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->setOpenExternalLinks(true);
        viewer->resize(640, 520);
        QObject::connect(viewer.data(), &QTextBrowser::sourceChanged, viewer.data(), [] {
            if (QTextBrowser* v = Viewer()) {
                const QString title = v->documentTitle();
                v->setWindowTitle(title.isEmpty() ? QFileInfo(v->source().toLocalFile()).fileName() : title);
                v->setAccessibleName(v->windowTitle());
            }
        });
    }

    // Shown first: the anchor is scrolled to in the laid-out document.
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (!keyword.trimmed().isEmpty())
        url.setFragment(HelpAnchor(keyword));
    viewer->setSource(url);
    if (keyword.trimmed().isEmpty())
        viewer->verticalScrollBar()->setValue(0); // a reused window goes back to the contents
}

void ShowDialogHelp(QWidget* parent, zv::Context& ctx, const QString& keyword)
{
    ShowHelp(parent, ctx, QFile::decodeName(QByteArray::fromStdString(ctx.settings.ReadSetting(key::HelpFilePath))),
             keyword);
}

} // namespace zv::app
