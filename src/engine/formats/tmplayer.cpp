// TmPlayer (hh:mm:ss:text) and TmPlayerShort (h:mm:ss:text): one subtitle per
// line, a start time in whole seconds and no end. The two differ only in the
// number of hour digits, so one handler serves both.
#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

namespace zv {

namespace {

class TmPlayerFormatter final : public RecordFormatter {
public:
    explicit TmPlayerFormatter(bool shortForm) : short_(shortForm) {}
    bool Format(const WriterRecord& r, std::string& out) override
    {
        ClockTime t;
        if (!SplitTenths(r.start, short_ ? 9 : 99, t))
            return false;
        AppendClock(out, t, !short_);
        out += ':';
        out += r.text;
        return true;
    }

private:
    bool short_;
};

class TmPlayerHandler final : public FormatHandler {
public:
    TmPlayerHandler(Context& ctx, bool shortForm)
        : FormatHandler(ctx, shortForm ? SubtitleFormat::TmPlayerShort : SubtitleFormat::TmPlayer),
          hourDigits_(shortForm ? 1 : 2)
    {
    }

    int ReadSubtitleFile(const std::string& source, const std::string& standardFile) override
    {
        ReaderFiles files(ctx_, source, standardFile, false);
        if (!files.ok())
            return -1;
        const std::size_t h = hourDigits_;
        std::string_view line;
        while (files.Next(line)) {
            if (line.size() < 3)
                continue;
            const bool time = DigitAt(line, 0) && (h == 1 || DigitAt(line, 1)) && CharAt(line, h, ':') &&
                        DigitAt(line, h + 1) && DigitAt(line, h + 2) && CharAt(line, h + 3, ':') &&
                        DigitAt(line, h + 4) && DigitAt(line, h + 5);
            if (!time)
                return files.BadLine(line);
            const long start = TenthsFromHms(NumberAt(line, 0, h - 1), NumberAt(line, h + 1, h + 2),
                                             NumberAt(line, h + 4, h + 5));
            if (start > kMaxStandardNumber)
                return files.BadLine(line);
            // The character after the seconds separates the text and is not
            // tested. A line that ends there still gives a whole record.
            const std::size_t textStart = h + 7;
            if (WithoutLineEnd(line).size() <= textStart)
                files.WriteRecord(start, 0, "\r\n");
            else
                files.WriteRecord(start, 0, line.substr(textStart));
        }
        return files.Finish();
    }

    Outcome WriteSubtitleFile(const std::string& source, const std::string& target, int deleteSource, int convertMode,
                              int firstEntryIndex, const WriteOptions& options) override
    {
        (void)firstEntryIndex;
        TmPlayerFormatter formatter(hourDigits_ == 1);
        return RunWriter(*this, formatter, source, target, deleteSource, convertMode, options);
    }

private:
    std::size_t hourDigits_;
};

} // namespace

std::unique_ptr<FormatHandler> MakeTmPlayerHandler(Context& ctx)
{
    return std::make_unique<TmPlayerHandler>(ctx, false);
}

std::unique_ptr<FormatHandler> MakeTmPlayerShortHandler(Context& ctx)
{
    return std::make_unique<TmPlayerHandler>(ctx, true);
}

} // namespace zv
