#include "app/movie_preview.h"

#include "engine/io/file_io.h"
#include "preview/pick_movie_position.h"
#include "preview/preview_texts.h"
#include "qt/text_codec.h"
#include "qt/texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLibrary>

#include <algorithm>
#include <climits>
#include <vector>

namespace zv::app {

using qt::DecodeText;
using qt::kTextNoFile;

namespace {

std::vector<QByteArray> previewTexts; // UTF-8, in the library's order

constexpr int kLargestPosition = 9'999'999;

// Loaded once and never unloaded: Qt Multimedia keeps threads and plugin
// state that do not survive the library going away under them. A library
// that failed is tried again at the next pick (it may have been installed
// meanwhile); why it failed goes to reason.
struct PreviewFunctions {
    preview::PickMoviePositionFunction pick = nullptr;
    preview::ShowMovieWithSubtitlesFunction show = nullptr; // absent from an older library
};

PreviewFunctions LoadPreview(const zv::Context& ctx, const QString& path, std::string& reason)
{
    static preview::PickMoviePositionFunction pick = nullptr;
    static preview::SetPreviewTextsFunction giveTexts = nullptr;
    static preview::ShowMovieWithSubtitlesFunction show = nullptr;
    if (!pick) {
        // The loader would wait for ever on a pipe.
        if (zv::IsStreamOrDevice(QFile::encodeName(path).toStdString())) {
            reason = ctx.Text(kTextNoFile);
            return {};
        }
        QLibrary library(path);
        if (!library.load()) {
            reason = library.errorString().toStdString();
            return {};
        }
        // QLibrary leaves the library loaded when it goes out of scope.
        pick =
            reinterpret_cast<preview::PickMoviePositionFunction>(library.resolve(preview::kPickMoviePositionSymbol));
        if (!pick) {
            // the loader's words; QLibrary has none here
            reason = std::string("undefined symbol: ") + preview::kPickMoviePositionSymbol;
            return {};
        }
        giveTexts =
            reinterpret_cast<preview::SetPreviewTextsFunction>(library.resolve(preview::kSetPreviewTextsSymbol));
        show = reinterpret_cast<preview::ShowMovieWithSubtitlesFunction>(
            library.resolve(preview::kShowMovieWithSubtitlesSymbol));
    }
    if (giveTexts && !previewTexts.empty()) {
        std::vector<const char*> texts;
        for (const QByteArray& text : previewTexts)
            texts.push_back(text.constData());
        giveTexts(texts.data(), static_cast<int>(texts.size()));
    }
    return {pick, show};
}

void TellCannotLoad(zv::Context& ctx, const QString& path, const std::string& reason)
{
    // The program goes on without the preview: an error, not a fatal one.
    ctx.host.Message("Can't load " + path.toStdString() + "\n\n" + reason, ctx.Text(52), zv::Buttons::Ok,
                     zv::Icon::Stop, zv::Owner::None);
}

} // namespace

void SetPreviewTexts(const zv::LanguageTexts& texts)
{
    previewTexts.clear();
    for (int number : zv::preview::kPreviewTextNumbers)
        previewTexts.push_back(DecodeText(texts.LookupText(number)).toUtf8());
}

QString PreviewLibraryPath()
{
    const QString given = qEnvironmentVariable("ZENTAVO_PREVIEW_LIBRARY");
    if (!given.isEmpty())
        return given;
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(ZENTAVO_PREVIEW_BESIDE_PROGRAM));
    if (QFileInfo::exists(beside))
        return QDir::cleanPath(beside);
    return QStringLiteral(ZENTAVO_PREVIEW_INSTALLED);
}

int FetchMoviePosition(zv::Context& ctx, const QString& subtitleText, QWidget* owner, int& tenths, int& frame)
{
    const QString path = PreviewLibraryPath();
    std::string reason;
    const preview::PickMoviePositionFunction pick = LoadPreview(ctx, path, reason).pick;
    if (!pick) {
        TellCannotLoad(ctx, path, reason);
        return 0;
    }
    // The contract's 999 characters at most, cut on a whole character.
    QString text = subtitleText;
    QByteArray utf8 = text.toUtf8();
    while (utf8.size() > 999) {
        text.chop(1);
        utf8 = text.toUtf8();
    }
    int pickedTenths = 0;
    int pickedFrame = 0;
    if (pick(utf8.constData(), owner, &pickedTenths, &pickedFrame) == 0)
        return 0;
    auto fits = [](int value) { return value >= 0 && value <= kLargestPosition; };
    if (!fits(pickedTenths) || !fits(pickedFrame))
        return 0;
    tenths = pickedTenths;
    frame = pickedFrame;
    return 1;
}

void ShowMovieWithSubtitles(zv::Context& ctx, const QString& movie, const std::vector<CheckedSubtitle>& subtitles,
                            QWidget* owner)
{
    const QString path = PreviewLibraryPath();
    std::string reason;
    const PreviewFunctions preview = LoadPreview(ctx, path, reason);
    if (!preview.show) {
        if (reason.empty())
            reason = std::string("undefined symbol: ") + preview::kShowMovieWithSubtitlesSymbol;
        TellCannotLoad(ctx, path, reason);
        return;
    }
    std::vector<QByteArray> texts;
    texts.reserve(subtitles.size());
    std::vector<ZvShownSubtitle> shown;
    shown.reserve(subtitles.size());
    const auto toInt = [](long ms) { return static_cast<int>(std::clamp<long>(ms, 0, INT_MAX)); };
    for (const CheckedSubtitle& s : subtitles) {
        texts.push_back(s.text.toUtf8());
        shown.push_back({toInt(s.startMs), toInt(s.endMs), texts.back().constData()});
    }
    const int first = shown.empty() ? 0 : shown.front().startMs;
    preview.show(QFile::encodeName(movie).constData(), shown.data(), static_cast<int>(shown.size()), first, owner);
}

} // namespace zv::app
