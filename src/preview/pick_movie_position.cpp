// The entry points of the movie preview.
#include "preview/pick_movie_position.h"

#include "preview/preview_window.h"

#include <QWidget>

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

void SetPreviewTexts(const char* const* texts, int count)
{
    if (texts)
        zv::preview::SetWords(texts, count);
}
