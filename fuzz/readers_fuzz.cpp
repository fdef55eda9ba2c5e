// Every reader on the same bytes, whatever format they seem to be: a reader
// refuses a file or leaves a sound StandardFile, and the counts of the
// information command and of Split never fail on a file that was read.
#include "fuzz/fuzz_harness.h"
#include "fuzz/standard_file_check.h"

#include "engine/formats/format_handler.h"

namespace zv::fuzz {

namespace {

constexpr SubtitleFormat kFormats[] = {
    SubtitleFormat::TmPlayer, SubtitleFormat::TmPlayerShort, SubtitleFormat::MicroDvd,   SubtitleFormat::Mpl2,
    SubtitleFormat::SubRip,   SubtitleFormat::SubViewer1,    SubtitleFormat::Ssa,        SubtitleFormat::SubViewer2,
};

} // namespace

int FuzzReaders(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Choices choices(bytes);
    Harness& h = Harness::Get();
    Context& ctx = h.Begin(bytes, &choices);
    const InputFile* input = h.Take(InputMode::Text);
    if (!input)
        return 0;
    const Workspace& ws = ctx.workspace;
    for (const SubtitleFormat format : kFormats) {
        const std::string name(FormatName(format));
        bool readOk = false;
        auto handler = OpenFormatHandler(ctx, format, input->copy, readOk);
        if (!handler)
            Fail("no handler for " + name);
        if (!readOk)
            continue;
        (void)CheckedRecords(ws.SourceStandardFile, name + " reader");
        if (CountSubtitles(ctx, handler.get(), input->copy) < 0)
            Fail(name + ": no subtitle count");
        if (handler->SubtitleNumberAtLine(choices.Below(64), input->copy) < 0)
            Fail(name + ": no subtitle number for a line");
        // Join's second file goes through the reader's other way in.
        if (handler->ReadSecondSubtitleFile(input->copy, ws.SecondStandardFile) != 0)
            Fail(name + ": the file read as the open one is refused as the second one");
        (void)CheckedRecords(ws.SecondStandardFile, name + " reader, second file");
    }
    return 0;
}

} // namespace zv::fuzz
