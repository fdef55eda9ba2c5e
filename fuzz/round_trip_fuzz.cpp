// Each format through its own writer and back through its own reader: what a
// reader made of the bytes is written as the same format (a save with no
// operation) and read again, and every record comes back as it was, or the
// writer counted it as left out.
#include "fuzz/fuzz_harness.h"
#include "fuzz/standard_file_check.h"

#include "engine/formats/format_handler.h"

#include <algorithm>

namespace zv::fuzz {

namespace {

// A SubRip block cannot hold an empty row (an empty line ends it), so the
// writer leaves out the empty rows a bar of the source's own text makes.
Record Comparable(SubtitleFormat format, Record r)
{
    if (format != SubtitleFormat::SubRip)
        return r;
    std::string rows;
    std::string_view rest = r.text;
    for (;;) {
        const std::size_t bar = rest.find('|');
        const std::string_view row = rest.substr(0, bar);
        if (!row.empty())
            rows += (rows.empty() ? "" : "|") + std::string(row);
        if (bar == std::string_view::npos)
            break;
        rest.remove_prefix(bar + 1);
    }
    r.text = rows;
    return r;
}

// A format that writes every end gives a record without one the end a
// player would: the next start when it is later, else three seconds on.
void ExpectShownEnds(SubtitleFormat format, std::vector<Record>& records)
{
    if (format != SubtitleFormat::SubRip && format != SubtitleFormat::SubViewer2 && format != SubtitleFormat::Ssa)
        return;
    const long latest = format == SubtitleFormat::Ssa ? 359999 : 3599999;
    for (std::size_t i = 0; i < records.size(); ++i) {
        Record& r = records[i];
        if (r.end != 0)
            continue;
        r.end = i + 1 < records.size() && records[i + 1].start > r.start ? records[i + 1].start : r.start + 30;
        r.end = std::min(r.end, latest);
    }
}

} // namespace

int FuzzRoundTrip(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Harness& h = Harness::Get();
    // Every question answered OK or Yes: nothing cancels a save here.
    Context& ctx = h.Begin(bytes, nullptr);
    const InputFile* input = h.Take(InputMode::Text);
    if (!input)
        return 0;
    const Workspace& ws = ctx.workspace;
    const std::string written = ws.folder + "/round-trip";
    for (int code = 1; code <= 8; ++code) {
        const auto format = static_cast<SubtitleFormat>(code);
        const std::string name(FormatName(format));
        bool readOk = false;
        auto handler = OpenFormatHandler(ctx, format, input->copy, readOk);
        if (!readOk)
            continue;
        const std::vector<Record> before = CheckedRecords(ws.SourceStandardFile, name + " reader");
        const Outcome outcome = handler->WriteSubtitleFile(ws.SourceStandardFile, written, 0, 0, 0, WriteOptions{});
        if (!outcome.done)
            Fail(name + ": the writer fails on what its reader made");
        const std::vector<Record> after = ReadBack(ctx, format, written, name + " round trip");
        const std::size_t dropped = static_cast<std::size_t>(outcome.dropped);
        if (after.size() + dropped != before.size())
            Fail(name + ": " + std::to_string(before.size()) + " records, " + std::to_string(after.size()) +
                 " read back, " + std::to_string(dropped) + " left out:\n" + ReadWhole(written));
        if (dropped != 0)
            continue;
        std::vector<Record> expected = before;
        ExpectShownEnds(format, expected);
        for (std::size_t i = 0; i < before.size(); ++i)
            if (Comparable(format, expected[i]) != after[i])
                Fail(name + ": record " + std::to_string(i + 1) + " " + Describe(before[i]) + " comes back as " +
                     Describe(after[i]) + ":\n" + ReadWhole(written));
    }
    return 0;
}

} // namespace zv::fuzz
