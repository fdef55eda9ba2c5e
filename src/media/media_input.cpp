#include "media/media_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace zv::media {

void FormatCloser::operator()(AVFormatContext* ic) const
{
    avformat_close_input(&ic);
}

std::string AvErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

namespace {

std::string Tag(const AVDictionary* metadata, const char* key)
{
    const AVDictionaryEntry* e = av_dict_get(metadata, key, nullptr, 0);
    return e && e->value ? e->value : "";
}

double Seconds(std::int64_t value, AVRational base)
{
    return value == AV_NOPTS_VALUE ? 0.0 : static_cast<double>(value) * av_q2d(base);
}

// A stream a film is made of: sound or a picture. A text file FFmpeg reads
// as a terminal animation or as subtitles has none.
// Matroska keeps a track's length as a "DURATION" tag, HH:MM:SS.fraction.
double TaggedDuration(const AVDictionary* metadata)
{
    const std::string text = Tag(metadata, "DURATION");
    int h = 0;
    int m = 0;
    double s = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%lf", &h, &m, &s) != 3 || h < 0 || m < 0 || s < 0)
        return 0;
    return h * 3600.0 + m * 60.0 + s;
}

// MP4 has no title of its own per track; muxers put it in the handler's
// name, where others leave the handler's stock name.
std::string Title(const AVDictionary* metadata)
{
    std::string title = Tag(metadata, "title");
    if (title.empty()) {
        title = Tag(metadata, "handler_name");
        if (title == "SoundHandler" || title == "Sound Media Handler" || title == "Core Media Audio")
            title.clear();
    }
    return title;
}

bool IsFilmStream(const AVStream* st)
{
    const AVCodecParameters* par = st->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_AUDIO)
        return true;
    return par->codec_type == AVMEDIA_TYPE_VIDEO && par->codec_id != AV_CODEC_ID_ANSI &&
           par->codec_id != AV_CODEC_ID_NONE;
}

OpenedMedia Fail(MediaStatus status, std::string message)
{
    OpenedMedia m;
    m.status = status;
    m.message = std::move(message);
    return m;
}

} // namespace

OpenedMedia OpenMedia(const std::string& path)
{
    // The library reports through its values; FFmpeg's own log lines would
    // only clutter the command line's output.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st))
        return Fail(MediaStatus::CannotOpen, "not a readable file: " + path);
    if (fs::file_size(path, ec) == 0 && !ec)
        return Fail(MediaStatus::Empty, "the file is empty: " + path);

    AVFormatContext* raw = nullptr;
    if (const int r = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); r < 0) {
        if (r == AVERROR(EACCES) || r == AVERROR(ENOENT))
            return Fail(MediaStatus::CannotOpen, "cannot open " + path + ": " + AvErrorText(r));
        return Fail(MediaStatus::NotMedia, "not a film or sound file: " + path);
    }
    OpenedMedia m;
    m.ic.reset(raw);
    AVFormatContext* ic = raw;
    if (const int r = avformat_find_stream_info(ic, nullptr); r < 0)
        return Fail(MediaStatus::NotMedia, "not a film or sound file: " + path + ": " + AvErrorText(r));

    bool film = false;
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        const AVStream* s = ic->streams[i];
        film = film || IsFilmStream(s);
        if (s->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
            continue;
        AudioTrack t;
        t.number = static_cast<int>(m.tracks.size()) + 1;
        t.streamIndex = static_cast<int>(i);
        t.codec = avcodec_get_name(s->codecpar->codec_id);
        t.channels = s->codecpar->ch_layout.nb_channels;
        t.sampleRate = s->codecpar->sample_rate;
        t.language = Tag(s->metadata, "language");
        if (t.language == "und")
            t.language.clear();
        t.title = Title(s->metadata);
        t.duration = Seconds(s->duration, s->time_base);
        if (t.duration <= 0)
            t.duration = TaggedDuration(s->metadata);
        m.tracks.push_back(std::move(t));
    }
    if (!film)
        return Fail(MediaStatus::NotMedia, "not a film or sound file: " + path);
    m.duration = ic->duration == AV_NOPTS_VALUE ? 0.0 : static_cast<double>(ic->duration) / AV_TIME_BASE;
    m.startTime = ic->start_time == AV_NOPTS_VALUE ? 0.0 : static_cast<double>(ic->start_time) / AV_TIME_BASE;
    for (AudioTrack& t : m.tracks)
        if (t.duration <= 0)
            t.duration = m.duration;
    if (m.tracks.empty()) {
        m.status = MediaStatus::NoAudio;
        m.message = "the film has no sound track: " + path;
    }
    return m;
}

TrackListing ListAudioTracks(const std::string& path)
{
    OpenedMedia m = OpenMedia(path);
    TrackListing listing;
    listing.status = m.status;
    listing.message = std::move(m.message);
    listing.duration = m.duration;
    if (m.status == MediaStatus::Ok)
        listing.tracks = std::move(m.tracks);
    return listing;
}

std::string_view MediaStatusText(MediaStatus status)
{
    switch (status) {
    case MediaStatus::Ok: return "done";
    case MediaStatus::CannotOpen: return "the file cannot be opened";
    case MediaStatus::Empty: return "the file is empty";
    case MediaStatus::NotMedia: return "not a film or sound file";
    case MediaStatus::NoAudio: return "the film has no sound track";
    case MediaStatus::NoSuchTrack: return "there is no such sound track";
    case MediaStatus::CannotDecode: return "the sound track cannot be decoded";
    case MediaStatus::Damaged: return "the sound track is damaged; only part of it was read";
    case MediaStatus::Cancelled: return "cancelled";
    }
    return "unknown";
}

int MediaStatusTextNumber(MediaStatus status)
{
    switch (status) {
    case MediaStatus::Ok: return 0;
    case MediaStatus::CannotOpen: return 427;
    case MediaStatus::Empty: return 428;
    case MediaStatus::NotMedia: return 429;
    case MediaStatus::NoAudio: return 430;
    case MediaStatus::NoSuchTrack: return 431;
    case MediaStatus::CannotDecode: return 432;
    case MediaStatus::Damaged: return 433;
    case MediaStatus::Cancelled: return 434;
    }
    return 0;
}

} // namespace zv::media
