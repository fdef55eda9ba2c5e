// Everything that looks at a file before a reader does: taking it in (mark,
// line ends, wide encodings), format detection, the counts of the information
// command, the encoding, and the line-end repair on the raw bytes.
#include "fuzz/fuzz_harness.h"

#include "engine/io/encoding.h"
#include "engine/formats/format.h"
#include "engine/formats/format_handler.h"
#include "engine/operations/repair.h"

namespace zv::fuzz {

int FuzzDetect(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Choices choices(bytes);
    Harness& h = Harness::Get();
    Context& ctx = h.Begin(bytes, &choices);
    (void)DetectEncoding(bytes);
    (void)WideEncodingOf(bytes);

    if (const InputFile* input = h.Take(InputMode::Text)) {
        if (input->size != size)
            Fail("taken " + std::to_string(input->size) + " bytes of " + std::to_string(size));
        const SubtitleFormat format = DetectFormat(ctx, Owner::None, input->copy);
        // Detection of a file and of its first bytes is one rule.
        const std::string head = ReadWhole(input->copy).substr(0, 15);
        if (format != DetectFormatOfBytes(head))
            Fail("the file and its first bytes are told apart");
        (void)CheckLineEnds(ctx, input->copy);
        (void)CountSubtitleLines(ctx, input->copy);
        if (CountSubtitlesOfFile(ctx, format, input->copy) < 0)
            Fail("no subtitle count for a file that was read");
        (void)DetectFileEncoding(input->copy);
    }

    if (const InputFile* input = h.Take(InputMode::Raw)) {
        if (RepairLineEnds(ctx, input->copy) < 0)
            return 0;
        // A repaired file has nothing left to repair.
        const std::string repaired = ReadWhole(ctx.workspace.WorkingCopy);
        const std::string again = ctx.workspace.folder + "/repaired";
        std::FILE* f = std::fopen(again.c_str(), "wb");
        if (!f || std::fwrite(repaired.data(), 1, repaired.size(), f) != repaired.size() || std::fclose(f) != 0)
            Fail("cannot write the repaired copy");
        if (const long changes = RepairLineEnds(ctx, again); changes != 0)
            Fail("a repaired file repaired again changes " + std::to_string(changes) + " lines");
    }
    return 0;
}

} // namespace zv::fuzz
