// The skeleton all eight writers share: the options' frame rate, files
// opened (or the kept header copied first), the progress window in convert
// mode, one record at a time through the format's own formatter, the question
// on records the format cannot hold, and the completion.
#pragma once

#include "engine/formats/format_handler.h"
#include "engine/time_units.h"

#include <string>
#include <string_view>

namespace zv {

// One record as the writer hands it to a format, times already converted.
struct WriterRecord {
    long start = 0;
    long end = 0;
    std::string_view text; // from column 16, with its line end
    long index = 0;        // position among the records of this run, from 0
};

class RecordFormatter {
public:
    virtual ~RecordFormatter() = default;
    // The unit of the StandardFile being written; the writer sets it.
    TimePrecision precision = TimePrecision::Tenths;
    // MicroDvd counts frames: the conversion goes from time to frames.
    virtual bool ConvertsToFrames() const { return false; }
    // Whether the handler's kept header (the HeaderFile) is used for the target.
    virtual bool UsesKeptHeader() const { return false; }
    // Formats whose every subtitle is written with an end: a record without
    // one (end 0) gets the end a player would give it instead of an end
    // before its start.
    virtual bool NeedsEnds() const { return false; }
    // The latest time such a format can write, in the StandardFile's units.
    virtual long LatestTime() const { return 0; }
    // Written at the top of a target without a kept header.
    virtual void WriteFixedHeader(std::string& out) { (void)out; }
    // Appends the record to out; false when the format cannot hold it.
    virtual bool Format(const WriterRecord& record, std::string& out) = 0;
    // Written after the last record of a completed run.
    virtual void WriteFooter(std::string& out) { (void)out; }
};

// Runs the skeleton with the given formatter; the outcome is that of
// FormatHandler::WriteSubtitleFile.
Outcome RunWriter(FormatHandler& handler, RecordFormatter& formatter, const std::string& source,
                  const std::string& target, int deleteSource, int convertMode, const WriteOptions& options);

// A whole number in decimal, as "%ld" writes it.
void AppendNumber(std::string& out, long value);

// A time split into what the time formats write; the fraction counts units
// of the format's last digit (hundredths for two digits).
struct ClockTime {
    long hours = 0;
    long minutes = 0;
    long seconds = 0;
    long fraction = 0;
};
// The latest time, in the units of precision, that a format with
// fractionDigits digits after its seconds writes with at most hourLimit hours.
long LatestClockTime(long hourLimit, TimePrecision precision, std::size_t fractionDigits);
// Splits a time for a format with fractionDigits digits after the seconds (0
// for whole seconds). Tenths give their digit, the rest of the fraction
// zeros, and whole seconds cut the tenths off, as every release wrote them;
// milliseconds go to the nearest unit the format writes. False when the
// format cannot write the value: it is negative or its hours exceed hourLimit.
bool SplitClock(long value, TimePrecision precision, std::size_t fractionDigits, long hourLimit, ClockTime& time);
// "hh:mm:ss", or "h:mm:ss" (the hours as many digits as they need) when the
// hours are not padded.
void AppendClock(std::string& out, const ClockTime& time, bool padHours);
// The clock, the separator and the fraction in the given number of digits
// ("00:00:01,500" for SubRip's three).
void AppendClockFraction(std::string& out, const ClockTime& time, bool padHours, char separator,
                         std::size_t fractionDigits);

} // namespace zv
