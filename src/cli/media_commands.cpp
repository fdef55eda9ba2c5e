// audio-tracks: the sound tracks of a film, as the synchronizer would offer
// them.
#include "cli/commands.h"

#include "media/audio_tracks.h"

#include <cstdio>

namespace zv::cli {

namespace {

// One line per track: number, language ("-" when untagged), codec,
// channels, sample rate, then the title, which may hold spaces.
int RunAudioTracks(Invocation& inv)
{
    Session& s = inv.session;
    const media::TrackListing listing = media::ListAudioTracks(inv.File());
    if (listing.status != media::MediaStatus::Ok) {
        s.host.Print(s.texts.LookupText(media::MediaStatusTextNumber(listing.status)) + " (" + listing.message + ")");
        return kExitFailure;
    }
    for (const media::AudioTrack& t : listing.tracks)
        std::printf("%d %s %s %d %d%s%s\n", t.number, t.language.empty() ? "-" : t.language.c_str(), t.codec.c_str(),
                    t.channels, t.sampleRate, t.title.empty() ? "" : " ", t.title.c_str());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

constexpr Command kCommands[] = {
    {"audio-tracks", "audio-tracks MOVIE", {}, 1, RunAudioTracks},
};

} // namespace

std::span<const Command> MediaCommands()
{
    return kCommands;
}

} // namespace zv::cli
