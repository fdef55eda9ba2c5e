// Reads a film's sound track and tells where people speak. The sound is
// decoded to mono at a low rate and streamed through the detector; only the
// 10 ms signal is kept, so a film of any length fits in memory. Two workers
// decode the two halves of a long film side by side.
#pragma once

#include "media/media_status.h"
#include "media/speech_signal.h"
#include "media/voice_detector.h"

#include <atomic>
#include <functional>
#include <string>

namespace zv::media {

struct SpeechOptions {
    int track = 0; // a sound track's number from 1, as ListAudioTracks gives it; 0 for the first
    SpeechDetector detector = SpeechDetector::Spectral;
    int workers = 2; // decoders side by side; 1 reads the film from start to end
    // Called on the caller's thread as the run advances (0-100, each percent
    // once at most); returning false cancels the run.
    std::function<bool(int percent)> progress;
    // Another thread may set this to cancel the run; checked often.
    const std::atomic<bool>* cancel = nullptr;
};

struct SpeechReading {
    MediaStatus status = MediaStatus::Ok;
    std::string message;    // plain English detail when status is not Ok
    SpeechSignal signal;    // empty unless HasResult(status)
    int track = 0;          // the track read, numbered from 1
    double duration = 0;    // the track's length as the file gives it, seconds (0 when unknown)
    double decoded = 0;     // seconds of sound that decoded
};

// Ok, or Damaged with the part that decoded (decoded against duration says
// how much); otherwise no signal.
SpeechReading ReadSpeech(const std::string& path, const SpeechOptions& options = {});

} // namespace zv::media
