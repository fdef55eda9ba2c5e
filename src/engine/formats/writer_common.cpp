#include "engine/formats/writer_common.h"

#include "engine/io/file_io.h"
#include "engine/host/progress.h"
#include "engine/standard_file.h"
#include "engine/config/setting_names.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>

namespace zv {

namespace {

// The pieces below are written into a small array and appended at once: a
// writer appends them for every record.
constexpr std::size_t kNumberRoom = 24;

char* WriteNumber(char* at, long value)
{
    return std::to_chars(at, at + kNumberRoom, value).ptr;
}

char* WritePadded(char* at, long value)
{
    if (value >= 0 && value < 10) {
        *at++ = '0';
        *at++ = static_cast<char>('0' + value);
        return at;
    }
    return WriteNumber(at, value);
}

// Room for the longest clock: two numbers of any size, two of two digits.
constexpr std::size_t kClockRoom = 2 * kNumberRoom + 8;

char* WriteClock(char* at, const ClockTime& time, bool padHours)
{
    at = padHours ? WritePadded(at, time.hours) : WriteNumber(at, time.hours);
    *at++ = ':';
    at = WritePadded(at, time.minutes);
    *at++ = ':';
    return WritePadded(at, time.seconds);
}

} // namespace

void AppendNumber(std::string& out, long value)
{
    char digits[kNumberRoom];
    out.append(digits, WriteNumber(digits, value));
}

namespace {

constexpr long PowerOfTen(std::size_t digits)
{
    long value = 1;
    for (std::size_t d = 0; d < digits; ++d)
        value *= 10;
    return value;
}

} // namespace

long LatestClockTime(long hourLimit, TimePrecision precision, std::size_t fractionDigits)
{
    if (precision == TimePrecision::Tenths)
        return hourLimit * 36000 + 35999;
    // The last unit the format writes before the hour past the limit.
    const long perSecond = UnitsPerSecond(precision);
    const long step = std::max(1L, perSecond / PowerOfTen(fractionDigits));
    return (hourLimit + 1) * 3600 * perSecond - step;
}

bool SplitClock(long value, TimePrecision precision, std::size_t fractionDigits, long hourLimit, ClockTime& time)
{
    if (value < 0)
        return false;
    if (precision == TimePrecision::Tenths) {
        const long tenths = HmsFromTenths(value, time.hours, time.minutes, time.seconds);
        time.fraction = fractionDigits > 0 ? tenths * PowerOfTen(fractionDigits - 1) : 0;
        return time.hours <= hourLimit;
    }
    const long perSecond = PowerOfTen(fractionDigits);
    const long units = UnitsPerSecond(precision);
    // Nearest unit of the format, half up.
    const long total = (value / units) * perSecond + ((value % units) * perSecond * 2 + units) / (2 * units);
    time.fraction = total % perSecond;
    long seconds = total / perSecond;
    time.hours = seconds / 3600;
    seconds %= 3600;
    time.minutes = seconds / 60;
    time.seconds = seconds % 60;
    return time.hours <= hourLimit;
}

void AppendClock(std::string& out, const ClockTime& time, bool padHours)
{
    char clock[kClockRoom];
    out.append(clock, WriteClock(clock, time, padHours));
}

void AppendClockFraction(std::string& out, const ClockTime& time, bool padHours, char separator,
                         std::size_t fractionDigits)
{
    char clock[kClockRoom + 1 + kNumberRoom];
    char* end = WriteClock(clock, time, padHours);
    *end++ = separator;
    // Zero-padded to its digits: 45 hundredths of three digits is "045".
    long scale = PowerOfTen(fractionDigits > 0 ? fractionDigits - 1 : 0);
    for (; scale > 1 && time.fraction < scale; scale /= 10)
        *end++ = '0';
    end = WriteNumber(end, time.fraction);
    out.append(clock, end);
}

namespace {

long Convert(long value, float fps, bool toFrames, TimePrecision precision)
{
    const double rate = static_cast<double>(fps);
    double converted = 0;
    if (precision == TimePrecision::Tenths)
        converted = toFrames ? static_cast<double>(value) * rate * 0.1 : static_cast<double>(value) / rate * 10.0;
    else
        converted = toFrames ? static_cast<double>(value) * rate / 1000.0 : static_cast<double>(value) / rate * 1000.0;
    // An absurd frame rate must not make the cast undefined; values this far
    // out are refused by every time format's record check anyway.
    constexpr double kFar = 1e15;
    if (!(converted > -kFar))
        return static_cast<long>(-kFar);
    if (!(converted < kFar))
        return static_cast<long>(kFar);
    return static_cast<long>(WholeTime(converted, precision));
}

// How long a subtitle without an end stays when no later one follows it, in tenths.
constexpr long kShownWithoutNext = 30;

// The end a player gives a subtitle that has none: it stays until the next
// one starts (nextStart, when a later one follows) or else a few seconds.
long EndForMissing(long start, const long* nextStart, long latest, TimePrecision precision)
{
    const long end = nextStart && *nextStart > start ? *nextStart : start + FromTenths(kShownWithoutNext, precision);
    return std::min(end, latest);
}

} // namespace

Outcome RunWriter(FormatHandler& handler, RecordFormatter& formatter, const std::string& source,
                  const std::string& target, int deleteSource, int convertMode, const WriteOptions& options)
{
    Context& ctx = handler.context();
    const std::optional<float>& fps = options.fps;
    Outcome outcome;
    const std::string question = ctx.Text(64);

    LineReader in;
    OutputFile out;
    bool opened = in.Open(source);
    if (opened) {
        if (formatter.UsesKeptHeader() && handler.hasHeader == 1)
            opened = CopyFileOver(ctx.workspace.HeaderFile, target) && out.Open(target, OutputFile::Mode::Append);
        else
            opened = out.Open(target);
    }
    if (!opened) {
        ctx.CannotOpen();
        in.Close();
        out.Close();
        RemoveFile(ctx.workspace.OutputStandardFile);
        return outcome;
    }

    std::unique_ptr<ProgressPass> progress;
    if (convertMode) {
        progress = std::make_unique<ProgressPass>(ctx);
    }
    const std::int64_t size = FileSize(source);
    handler.inputSize = size > 0 ? static_cast<std::uint64_t>(size) : 0;

    std::string buffer;
    if (!(formatter.UsesKeptHeader() && handler.hasHeader == 1))
        formatter.WriteFixedHeader(buffer);

    const bool convert = convertMode && fps.has_value();
    formatter.precision = options.precision;
    long index = 0;
    // Reads the next record with its times converted. The text is copied:
    // the record is written only once the one after it is known.
    const auto next = [&](WriterRecord& record, std::string& text) {
        std::string_view line;
        if (!in.Next(line))
            return false;
        const RecordFields f = ParseRecordLine(line);
        record.start = f.start;
        record.end = f.end;
        text.assign(f.text);
        record.index = index++;
        if (convert) {
            record.start = Convert(record.start, *fps, formatter.ConvertsToFrames(), options.precision);
            if (record.end > 0)
                record.end = Convert(record.end, *fps, formatter.ConvertsToFrames(), options.precision);
        }
        return true;
    };
    bool asked = false;
    WriterRecord record;
    WriterRecord following;
    std::string text;
    std::string followingText;
    for (bool more = next(record, text); more; std::swap(record, following), std::swap(text, followingText)) {
        more = next(following, followingText);
        record.text = text;
        if (formatter.NeedsEnds() && record.end == 0)
            record.end = EndForMissing(record.start, more ? &following.start : nullptr, formatter.LatestTime(),
                                       options.precision);
        if (!formatter.Format(record, buffer)) {
            ++outcome.dropped;
            if (!asked && ctx.Asks(key::AskWhenSkipping)) {
                asked = true;
                const Answer a = ctx.host.AskBeforeDiscarding(question, ctx.Text(44), Buttons::OkCancel,
                                                              Icon::Exclamation,
                                                              progress ? Owner::Progress : Owner::None);
                if (a != Answer::Ok) {
                    out.Write(buffer);
                    out.Close();
                    in.Close();
                    if (progress)
                        progress->Cancel();
                    return outcome;
                }
            }
            asked = true;
        }
        if (buffer.size() >= (1u << 16)) {
            out.Write(buffer);
            buffer.clear();
        }
        if (progress)
            progress->Percent(in.BytesRead(), handler.inputSize);
    }
    formatter.WriteFooter(buffer);
    out.Write(buffer);
    const bool written = out.Close();
    in.Close();
    if (!written) {
        ctx.CannotWrite(out.error(), progress ? Owner::Progress : Owner::None);
        if (progress)
            progress->Cancel();
        return outcome;
    }
    if (deleteSource)
        RemoveFile(source);
    if (progress) {
        outcome.summary = ctx.Text(25);
        progress->Complete(outcome.summary);
    }
    outcome.done = true;
    return outcome;
}

} // namespace zv
