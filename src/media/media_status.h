// What became of reading a film: the one value every media call returns
// beside its result. No exception leaves the library.
#pragma once

#include <string_view>

namespace zv::media {

enum class MediaStatus {
    Ok,
    CannotOpen,   // missing, unreadable, or not a regular file
    Empty,        // a file of no bytes
    NotMedia,     // nothing FFmpeg reads as sound or picture
    NoAudio,      // a film without a sound track
    NoSuchTrack,  // the track asked for is not there
    CannotDecode, // no decoder for the track's codec, or nothing of it decodes
    Damaged,      // part of the sound decoded; the result holds that part
    Cancelled,    // the caller stopped the run; no result
};

// Plain English for logs and the command line; the user-facing texts come
// from the language files.
std::string_view MediaStatusText(MediaStatus status);

// The number of the language files' text that tells the user about it (433
// takes the percent read as %d); 0 for Ok.
int MediaStatusTextNumber(MediaStatus status);

// Whether a result came with the call: Ok, or Damaged with what decoded.
constexpr bool HasResult(MediaStatus status)
{
    return status == MediaStatus::Ok || status == MediaStatus::Damaged;
}

} // namespace zv::media
