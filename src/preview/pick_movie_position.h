// The movie preview library's entry points. The program loads the library by
// name at run time and resolves these symbols; the library defines them. Both
// sides include this header, so a signature changed on one side no longer
// builds on the other. They are plain C symbols: no C++ type and no exception
// crosses the boundary.
#pragma once

#define ZENTAVO_PREVIEW_EXPORT __attribute__((visibility("default")))

extern "C" {

// Shows the preview window, modal over owner, and returns when the user has
// finished with it.
// - text: the chosen subtitle's text, NUL-terminated UTF-8 of at most 999
//   bytes (null counts as empty). Borrowed for the call only.
// - owner: the QWidget* the window is modal over, or null. Borrowed; the
//   window is gone before the call returns.
// - tenths, frame: receive the picked moment in tenths of a second and the
//   frame shown at that moment.
// Returns non-zero when a moment was picked; then both ints are set. Returns 0
// and leaves them untouched when the user gave up or a pointer is null.
ZENTAVO_PREVIEW_EXPORT int PickMoviePosition(const char* text, void* owner, int* tenths, int* frame);

// One subtitle shown over the film from start to end (milliseconds of the
// film; an end not after its start shows it for a moment only). text is
// NUL-terminated UTF-8 with "|" between its lines.
struct ZvShownSubtitle {
    int startMs;
    int endMs;
    const char* text;
};

// Shows the film at movie (the path's bytes as the file system has them) with these subtitles over the
// picture, each at its own time, modal over owner, until the user closes the
// window; it opens at firstMs. Everything is borrowed for the call only.
ZENTAVO_PREVIEW_EXPORT void ShowMovieWithSubtitles(const char* movie, const ZvShownSubtitle* subtitles, int count,
                                                   int firstMs, void* owner);

// Hands the library the preview's words for the picks that follow: count
// NUL-terminated UTF-8 strings in the order of zv::preview::PreviewText
// (preview/preview_texts.h). The library copies them; a missing or empty one
// keeps its English word. Null texts changes nothing.
ZENTAVO_PREVIEW_EXPORT void SetPreviewTexts(const char* const* texts, int count);

} // extern "C"

namespace zv::preview {

// What the program resolves the symbols to.
using PickMoviePositionFunction = decltype(&::PickMoviePosition);
using SetPreviewTextsFunction = decltype(&::SetPreviewTexts);
using ShowMovieWithSubtitlesFunction = decltype(&::ShowMovieWithSubtitles);

// The names to resolve.
inline constexpr const char* kPickMoviePositionSymbol = "PickMoviePosition";
inline constexpr const char* kSetPreviewTextsSymbol = "SetPreviewTexts";
inline constexpr const char* kShowMovieWithSubtitlesSymbol = "ShowMovieWithSubtitles";

} // namespace zv::preview
