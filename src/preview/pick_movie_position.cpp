// The entry points of the movie preview.
#include "preview/pick_movie_position.h"

#include "preview/preview_window.h"

#include <QFile>
#include <QWidget>

#include <algorithm>
#include <vector>

int PickMoviePosition(const char* text, void* owner, int* tenths, int* frame)
{
    if (!tenths || !frame)
        return 0;
    zv::preview::PreviewWindow window(QString::fromUtf8(text ? text : ""), static_cast<QWidget*>(owner));
    if (window.exec() != QDialog::Accepted)
        return 0;
    *tenths = window.PickedTenths();
    *frame = window.PickedFrame();
    return 1;
}

void ShowMovieWithSubtitles(const char* movie, const ZvShownSubtitle* subtitles, int count, int firstMs, void* owner)
{
    if (!movie)
        return;
    std::vector<zv::preview::TimedText> shown;
    for (int i = 0; subtitles && i < count; ++i)
        shown.push_back({subtitles[i].startMs, std::max(subtitles[i].endMs, subtitles[i].startMs),
                         QString::fromUtf8(subtitles[i].text ? subtitles[i].text : "")});
    zv::preview::PreviewWindow window(QString(), static_cast<QWidget*>(owner));
    window.CheckSubtitles(QFile::decodeName(movie), std::move(shown), firstMs);
    window.exec();
}

void SetPreviewTexts(const char* const* texts, int count)
{
    if (texts)
        zv::preview::SetWords(texts, count);
}
