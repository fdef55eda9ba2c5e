#include "engine/formats/ssa.h"

#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <unordered_map>

namespace zv {

const char* const kSsaStylesBlock =
    "[V4 Styles]\r\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, TertiaryColour, "
    "BackColour, Bold, Italic, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, AlphaLevel, "
    "Encoding\r\n";
const char* const kSsaEventsBlock =
    "\r\n[Events]\r\nFormat: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";

std::string SsaStyleLine(std::string_view name, int italic, std::string_view font, long size, long border,
                         long outline, long shadow, long marginV)
{
    std::string line = "Style: ";
    line += name;
    line += ',';
    line += font;
    line += ',' + std::to_string(size) + ",16777215,65535,65535,0,1," + std::to_string(italic) + ',' +
            std::to_string(border) + ',' + std::to_string(outline) + ',' + std::to_string(shadow) + ",2,30,30," +
            std::to_string(marginV) + ",0,238\r\n";
    return line;
}

std::string SsaRecordText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 'N')) {
            out += " |";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {

constexpr std::string_view kDialogue = "Dialogue:";
constexpr std::string_view kMarked = "Marked=";

// h:mm:ss.cc with any number of hour digits; missing pieces count as 0. False
// when the time cannot be held by a StandardFile.
bool ReadTime(std::string_view field, TimePrecision precision, long& time)
{
    std::size_t i = 0;
    while (CharAt(field, i, ' '))
        ++i;
    long part[3] = {0, 0, 0};
    int parts = 0;
    for (; parts < 3; ++parts) {
        if (parts > 0) {
            if (!CharAt(field, i, ':'))
                break;
            ++i;
        }
        for (; DigitAt(field, i); ++i) {
            part[parts] = part[parts] * 10 + (field[i] - '0');
            if (part[parts] > kMaxStandardNumber)
                return false;
        }
    }
    long hundredths = 0;
    if (parts == 3 && CharAt(field, i, '.')) {
        ++i;
        for (int digits = 0; digits < 2 && DigitAt(field, i); ++digits, ++i)
            hundredths = hundredths * 10 + (field[i] - '0');
    }
    time = TimeFromHms(part[0], part[1], part[2], precision) + hundredths * UnitsPerSecond(precision) / 100;
    return time <= MaxStandardTime(precision);
}

// h:mm:ss.cc and the comma that ends the field.
void AppendTime(std::string& out, const ClockTime& t)
{
    AppendClockFraction(out, t, false, '.', 2);
    out += ',';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

class SsaFormatter final : public RecordFormatter {
public:
    SsaFormatter(const std::vector<SsaDialogueEntry>& entries, long firstEntryIndex)
        : entries_(entries), first_(firstEntryIndex), paired_(entries.size(), false)
    {
        for (std::size_t slot = 0; slot < entries_.size(); ++slot)
            waiting_[entries_[slot].recordText].push_back(slot);
    }

    bool UsesKeptHeader() const override { return true; }
    bool NeedsEnds() const override { return true; }
    long LatestTime() const override { return LatestClockTime(9, precision, 2); }
    void WriteFixedHeader(std::string& out) override
    {
        out += "[Script info]\r\nPlayResY: 304\r\n\r\n";
        out += kSsaStylesBlock;
        const std::string normal = SsaStyleLine("NORMAL", 0, "Times New Roman CE", 28, 1, 3, 5, 10);
        out += normal;
        out += SsaStyleLine("ITALIC", 1, "Times New Roman CE", 28, 1, 3, 5, 10);
        out += normal;
        out += kSsaEventsBlock;
    }
    bool Format(const WriterRecord& r, std::string& out) override
    {
        ClockTime start;
        ClockTime end;
        if (!SplitClock(r.start, precision, 2, 9, start) || !SplitClock(r.end, precision, 2, 9, end))
            return false;
        const SsaDialogueEntry* entry = Pair(r.index, WithoutLineEnd(r.text));
        if (!entry)
            out += "Dialogue: Marked=0,";
        else if (entry->form == SsaDialogueEntry::Form::Marked)
            out += "Dialogue: Marked=" + std::to_string(entry->number) + ',';
        else
            out += "Dialogue: " + std::to_string(entry->number) + ',';
        AppendTime(out, start);
        AppendTime(out, end);
        if (entry) {
            out += entry->middle;
            out += entry->text;
            return true;
        }
        out += "NORMAL,00,0000,0000,0000,,";
        for (char c : r.text) {
            if (c == '|')
                out += "\\n";
            else
                out += c;
        }
        return true;
    }

private:
    // The entry of the record's own slot when it still says the same; else the
    // first unused entry that does (records reordered, dropped or added by an
    // operation); else none.
    const SsaDialogueEntry* Pair(long index, std::string_view text)
    {
        const long slot = index + first_;
        if (slot >= 0 && static_cast<std::size_t>(slot) < entries_.size() && !paired_[slot] &&
            entries_[slot].recordText == text)
            return Take(static_cast<std::size_t>(slot));
        const auto found = waiting_.find(text);
        if (found == waiting_.end())
            return nullptr;
        std::deque<std::size_t>& queue = found->second;
        while (!queue.empty() && paired_[queue.front()])
            queue.pop_front();
        if (queue.empty())
            return nullptr;
        const std::size_t taken = queue.front();
        queue.pop_front();
        return Take(taken);
    }
    const SsaDialogueEntry* Take(std::size_t slot)
    {
        paired_[slot] = true;
        return &entries_[slot];
    }

    const std::vector<SsaDialogueEntry>& entries_;
    long first_;
    std::vector<bool> paired_;
    // Unpaired slots by record text, in slot order. The keys view the
    // entries' own strings, which outlive the run.
    std::unordered_map<std::string_view, std::deque<std::size_t>> waiting_;
};

} // namespace

bool ParseDialogueLine(std::string_view line, TimePrecision precision, long& start, long& end,
                       SsaDialogueEntry& entry, bool* negative)
{
    const std::string_view lineEnd = LineEndOf(line);
    std::string_view body = WithoutLineEnd(line);
    body.remove_prefix(std::min(body.size(), kDialogue.size()));

    constexpr int kTextComma = 9;
    std::size_t comma[kTextComma];
    int commas = 0;
    for (std::size_t i = 0; i < body.size() && commas < kTextComma; ++i)
        if (body[i] == ',')
            comma[commas++] = i;
    // Field k runs from after comma k-1 to comma k (or the end of the line).
    auto field = [&](int k) -> std::string_view {
        if (k > commas)
            return {};
        const std::size_t from = k == 0 ? 0 : comma[k - 1] + 1;
        const std::size_t to = k < commas ? comma[k] : body.size();
        return body.substr(from, to - from);
    };

    const std::string_view first = Trimmed(field(0));
    if (first.substr(0, kMarked.size()) == kMarked) {
        entry.form = SsaDialogueEntry::Form::Marked;
        entry.number = ParseLong(first.substr(kMarked.size()));
    } else {
        entry.form = SsaDialogueEntry::Form::Layer;
        entry.number = ParseLong(first);
    }
    start = 0;
    end = 0;
    if (!ReadTime(field(1), precision, start) || !ReadTime(field(2), precision, end))
        return false;
    if (negative)
        *negative = Trimmed(field(1)).starts_with('-') || Trimmed(field(2)).starts_with('-');

    if (commas == kTextComma) {
        entry.middle = body.substr(comma[2] + 1, comma[8] - comma[2]);
        entry.text = body.substr(comma[8] + 1);
    } else {
        // Too few fields for a text: whatever follows the End field is kept
        // as it stands and the text is empty.
        entry.middle = commas >= 3 ? body.substr(comma[2] + 1) : std::string_view();
        entry.text.clear();
    }
    entry.recordText = SsaRecordText(entry.text);
    entry.text += lineEnd;
    return true;
}

namespace {

struct SsaState final : FormatState {
    std::vector<SsaDialogueEntry> entries;
};

std::vector<SsaDialogueEntry>& EntriesOf(FormatHandler& handler)
{
    if (!handler.state)
        handler.state = std::make_unique<SsaState>();
    return static_cast<SsaState&>(*handler.state).entries;
}

int Read(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool append)
{
    std::vector<SsaDialogueEntry>& entries = EntriesOf(handler);
    if (!append)
        entries.clear();
    // The second file of Join never replaces the open file's header.
    ReaderFiles files(handler.context(), source, standardFile, !append);
    if (!files.ok())
        return -1;
    std::vector<SsaDialogueEntry> read;
    bool seenDialogue = false;
    std::string_view line;
    while (files.Next(line)) {
        // Some scripts indent every line.
        const std::string_view body = line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
        if (body.substr(0, kDialogue.size()) == kDialogue) {
            long start = 0;
            long end = 0;
            SsaDialogueEntry entry;
            bool negative = false;
            if (ParseDialogueLine(body, handler.precision, start, end, entry, &negative)) {
                handler.negativeTimes += negative ? 1 : 0;
                files.WriteRecord(start, end, entry.recordText + std::string(LineEndOf(line)));
                read.push_back(std::move(entry));
                seenDialogue = true;
                continue;
            }
        }
        // The header is everything before the first dialogue line; comments
        // and sections after it are not kept.
        if (!seenDialogue)
            files.WriteHeader(line);
    }
    const int result = files.Finish();
    if (result != 0)
        return result;
    entries.insert(entries.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
    handler.hasHeader = 1;
    return 0;
}

Outcome Write(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
              int convertMode, int firstEntryIndex, const WriteOptions& options)
{
    SsaFormatter formatter(EntriesOf(handler), firstEntryIndex);
    return RunWriter(handler, formatter, source, target, deleteSource, convertMode, options);
}

// "[Script" with "]" as the 13th byte; the five bytes between are not tested.
// Blanks before it are passed over; the "]" is tested when the bytes read
// reach it.
bool Detect(std::string_view area)
{
    constexpr std::size_t kBytesRead = 15;
    const std::size_t blanks = std::min(area.size(), area.find_first_not_of(" \t"));
    const std::string_view b = area.substr(blanks);
    return b.substr(0, 7) == "[Script" && (CharAt(b, 12, ']') || blanks + 12 >= kBytesRead);
}

} // namespace

const std::vector<SsaDialogueEntry>& SsaEntries(const FormatHandler& handler)
{
    static const std::vector<SsaDialogueEntry> none;
    return handler.state ? static_cast<const SsaState&>(*handler.state).entries : none;
}

const FormatDescriptor kSsaFormat = {
    .format = SubtitleFormat::Ssa,
    .name = "ssa",
    .label = "Dialogue:   (SSA)",
    .extension = "ssa",
    .linesPerSubtitle = 99,
    .isFrameBased = 0,
    .mayLengthen = 1,
    .hasEndTimes = true,
    .subtitleStart = "Dialog",
    .detect = Detect,
    .read = Read,
    .write = Write,
};

} // namespace zv
