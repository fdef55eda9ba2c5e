// The program's side of the movie preview: our own library, loaded when the
// user first asks for it and kept loaded from then on.
#pragma once

#include "engine/context.h"
#include "engine/config/language.h"

#include <QString>

#include <vector>

class QWidget;

namespace zv::app {

// The library's file name.
inline constexpr const char* kPreviewLibraryName = "libzentavo-preview.so";

// Where the library is looked for: $ZENTAVO_PREVIEW_LIBRARY when set, else
// the lib/zentavo folder beside the program's bin folder, else the folder
// the installation put it in.
QString PreviewLibraryPath();

// The preview's words, from these language texts, for the next pick.
void SetPreviewTexts(const zv::LanguageTexts& texts);

// Lets the user pick the moment of a subtitle (its text in UTF-8) in the
// movie. Non-zero when a position was picked; then tenths and frame hold it.
// A library that cannot be loaded or lacks the function is told ("Can't load",
// the file tried and the loader's reason); a position outside 0 to 9,999,999
// counts as none picked.
int FetchMoviePosition(zv::Context& ctx, const QString& subtitleText, QWidget* owner, int& tenths, int& frame);

// One subtitle to check over the film, in milliseconds of the film.
struct CheckedSubtitle {
    long startMs = 0;
    long endMs = 0;
    QString text;
};

// Shows the film with these subtitles over its picture, each at its own
// time, until the user closes the window; it opens at the first one. A
// library that cannot be loaded is told as for a pick.
void ShowMovieWithSubtitles(zv::Context& ctx, const QString& movie, const std::vector<CheckedSubtitle>& subtitles,
                            QWidget* owner);

} // namespace zv::app
