// Whether a subtitle is someone speaking. Lines for the hard of hearing
// ("[door slams]", "(MUSIC)"), songs between note signs and a release's
// credits are on screen while nobody talks, so they only blur the pattern of
// speech and silence that lines two timings up.
#pragma once

#include <string_view>

namespace zv {

enum class SubtitleKind {
    Speech,
    Empty,    // nothing but formatting and blanks
    SoundTag, // "[door slams]", "(MUSIC)", "DOOR SLAMS"
    Song,     // "♪ la la la ♪", "# la la la #"
    Credit,   // "Subtitles by ...", "synced by ...", addresses
};

// The kind of a subtitle's text as a StandardFile record holds it: lines
// separated by '|', formatting in <> or {} and the line end allowed. A
// subtitle is speech when any one of its lines is; otherwise it has the kind
// of its first line that is not blank.
SubtitleKind KindOfSubtitle(std::string_view text);

inline bool IsSpeech(std::string_view text) { return KindOfSubtitle(text) == SubtitleKind::Speech; }

} // namespace zv
