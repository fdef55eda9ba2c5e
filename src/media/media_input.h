// One opened film: FFmpeg's demuxer context with the checks every reader
// makes first. Internal to the library.
#pragma once

#include "media/audio_tracks.h"
#include "media/media_status.h"

#include <memory>
#include <string>
#include <vector>

struct AVFormatContext;

namespace zv::media {

struct FormatCloser {
    void operator()(AVFormatContext* ic) const;
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;

struct OpenedMedia {
    MediaStatus status = MediaStatus::Ok;
    std::string message;
    FormatPtr ic;
    std::vector<AudioTrack> tracks;
    double duration = 0;  // seconds, 0 when unknown
    double startTime = 0; // the film's first moment, seconds; times count from it
};

// Opens path and lists its sound tracks; status NoAudio when it has none.
OpenedMedia OpenMedia(const std::string& path);

// The message for an FFmpeg error code.
std::string AvErrorText(int code);

} // namespace zv::media
