// The sound tracks of a film, as a player would offer them.
#pragma once

#include "media/media_status.h"

#include <string>
#include <vector>

namespace zv::media {

struct AudioTrack {
    int number = 0;       // from 1, in the file's order of sound tracks
    int streamIndex = 0;  // the container's own stream number
    std::string codec;    // FFmpeg's short codec name ("aac", "opus")
    int channels = 0;
    int sampleRate = 0;   // Hz
    std::string language; // the file's tag ("eng"), "" when there is none
    std::string title;    // "" when there is none
    double duration = 0;  // seconds; 0 when the file does not say
};

struct TrackListing {
    MediaStatus status = MediaStatus::Ok;
    std::string message; // plain English detail when status is not Ok
    std::vector<AudioTrack> tracks;
    double duration = 0; // the whole film's, seconds; 0 when unknown
};

// Lists a film's sound tracks. NoAudio when the film has none; the tracks
// list is empty whenever status is not Ok.
TrackListing ListAudioTracks(const std::string& path);

} // namespace zv::media
