// Every operation of the program on what a reader made of the bytes: move,
// synchronize, synchronize against a timed file (the same bytes, moved), sort, lengthen (both ways), split, join, stamp-line and a
// conversion into each other format, with amounts, answers and settings drawn
// from the input. Each result must be readable again by its format's reader.
#include "fuzz/fuzz_harness.h"
#include "fuzz/standard_file_check.h"

#include "engine/operations/convert.h"
#include "engine/io/file_io.h"
#include "engine/formats/format_handler.h"
#include "engine/operations/autosync.h"
#include "engine/operations/join.h"
#include "engine/operations/lengthen.h"
#include "engine/operations/move_time.h"
#include "engine/operations/repair.h"
#include "engine/operations/split.h"
#include "engine/operations/stamp_line.h"
#include "engine/operations/synchronize.h"
#include "engine/standard_file.h"

namespace zv::fuzz {

namespace {

class Run {
public:
    Run(Context& ctx, FormatHandler& handler, Choices& choices, const std::string& copy)
        : ctx_(ctx), ws_(ctx.workspace), handler_(handler), choices_(choices), copy_(copy)
    {
    }

    void All()
    {
        MoveTime();
        Synchronize();
        AutoSync();
        Sort();
        Lengthen();
        Split();
        Join();
        Stamp();
        Convert();
    }

private:
    // Before each command, as the frame has it: the open file's
    // StandardFile, nothing shown on the right.
    void Fresh()
    {
        RemoveFile(ws_.WorkingCopy);
        RemoveFile(ws_.SecondWorkingCopy);
        (void)CheckedRecords(ws_.SourceStandardFile, "the open file");
    }

    // A complete result is read back as the frame would list it; Split's
    // second part beside the first.
    void Shown(const Outcome& outcome, std::string_view what, SubtitleFormat format, bool twoParts = false)
    {
        if (!outcome.done)
            return;
        (void)ReadBack(ctx_, format, ws_.WorkingCopy, what);
        if (twoParts)
            (void)ReadBack(ctx_, format, ws_.SecondWorkingCopy, std::string(what) + ", second part");
    }
    void Shown(const Outcome& outcome, std::string_view what) { Shown(outcome, what, handler_.format()); }

    void MoveTime()
    {
        Fresh();
        Shown(RunMoveTime(ctx_, handler_, choices_.Amount(), options_), "move time");
    }

    void Synchronize()
    {
        Fresh();
        StandardRecordList records;
        const long count = LoadStandardRecords(ctx_, records, ws_.SourceStandardFile);
        if (count < 2)
            return;
        const long old1 = records[static_cast<std::size_t>(choices_.Below(count))]->start;
        const long old2 = records[static_cast<std::size_t>(choices_.Below(count))]->start;
        const long new1 = old1 + choices_.Amount();
        const long new2 = choices_.Flip() ? old2 + choices_.Amount() : choices_.Amount();
        records.clear();
        if (CheckReferencePoints(ctx_, old1, new1, new2, old2) != SyncCheck::Go)
            return;
        (void)ReferenceRatio(old1, new1, new2, old2);
        Shown(RunSynchronize(ctx_, handler_, old1, new1, new2, old2, options_), "synchronize");
    }

    // The bytes read once more as the timed file, moved by an amount drawn
    // from them: the search, the refusal and the points it hands on. The
    // search costs far more than any other command, so only some runs make it.
    void AutoSync()
    {
        if (choices_.Below(8) != 0)
            return;
        Fresh();
        StandardRecordList records;
        StandardRecordList reference;
        if (LoadStandardRecords(ctx_, records, ws_.SourceStandardFile) < 0 ||
            LoadReferenceRecords(ctx_, copy_, handler_.format(), reference) < 0)
            return;
        const double units = handler_.isFrameBased == 1 ? 25.0 : 10.0;
        std::vector<SpeechSpan> timed = SpeechOf(reference, units);
        const double offset = static_cast<double>(choices_.Amount()) / units;
        for (SpeechSpan& s : timed)
            s = {s.start + offset, s.end + offset};
        reference.clear();
        const TimeMapFinding finding = FindTimeMap(SpeechOf(records, units), timed);
        if (!finding.trusted) {
            TellTimedFileDoesNotFit(ctx_, finding, Owner::None);
            return;
        }
        const SyncPoints points =
            PlanAutoSync(finding, records, units, handler_.isFrameBased == 1, false).points;
        records.clear();
        if (CheckReferencePoints(ctx_, points.old1, points.new1, points.new2, points.old2) != SyncCheck::Go)
            return;
        Shown(RunSynchronize(ctx_, handler_, points.old1, points.new1, points.new2, points.old2, options_),
              "autosync");
    }

    void Sort()
    {
        Fresh();
        Shown(RunSortRecords(ctx_, handler_, options_), "sort");
    }

    void Lengthen()
    {
        Fresh();
        Shown(RunLengthenDefault(ctx_, handler_, options_), "lengthen");
        Fresh();
        LengthenSettings settings;
        static constexpr float kPerCharacter[] = {0.0f, 0.5f, 3.0f, 1e9f};
        settings.perCharacter = kPerCharacter[choices_.Below(4)];
        settings.base = static_cast<int>(choices_.Below(100));
        settings.joinAllowed = choices_.Flip() ? 1 : 0;
        settings.maxRows = static_cast<int>(choices_.Below(5));
        settings.maxCharacters = static_cast<int>(choices_.Below(120));
        Shown(RunLengthenAdvanced(ctx_, handler_, settings, options_), "lengthen, advanced");
    }

    void Split()
    {
        Fresh();
        const long lines = 1 + choices_.Below(40);
        const long n = SplitPointForLine(handler_, lines, copy_);
        if (n < 0)
            return;
        const long shift = choices_.Flip() ? BoundaryStart(ctx_, n) : choices_.Below(10'000'001);
        Shown(RunSplit(ctx_, handler_, n, shift, options_), "split", handler_.format(), true);
    }

    void Join()
    {
        Fresh();
        // The same file as the second one, as a user uniting two copies.
        if (handler_.ReadSecondSubtitleFile(copy_, ws_.SecondStandardFile) != 0)
            return;
        const long offset = choices_.Flip() ? JoinBoundaryStart(ctx_) : choices_.Amount();
        Shown(RunJoin(ctx_, handler_, offset, options_), "join");
        RemoveFile(ws_.SecondStandardFile);
    }

    void Stamp()
    {
        Fresh();
        const auto place = static_cast<StampPlace>(choices_.Below(4));
        Outcome stamped = RunStampLine(ctx_, handler_, place, "Zentavo", "| [1][1] 0:00:00:", options_);
        // The frame shows a result only when a stamp went in.
        stamped.done = stamped.done && stamped.changed > 0;
        Shown(stamped, "stamp-line");
    }

    void Convert()
    {
        static constexpr double kRates[] = {25.0, 23.976, 29.97, 1.0, 0.001, 1e6};
        for (int code = 1; code <= 8; ++code) {
            const auto target = static_cast<SubtitleFormat>(code);
            if (target == handler_.format())
                continue;
            Fresh();
            // The desktop program shows a conversion's result as the WorkingCopy too.
            const std::optional<Outcome> outcome =
                ConvertFile(ctx_, handler_.format(), target, kRates[choices_.Below(6)], SsaStyleSettings::Defaults(),
                            ws_.WorkingCopy, options_, Owner::None);
            if (outcome)
                Shown(*outcome, "convert into " + std::string(FormatName(target)), target);
        }
    }

    Context& ctx_;
    const Workspace& ws_;
    FormatHandler& handler_;
    Choices& choices_;
    const std::string& copy_;
    // As the command line writes: no frame rate, stamps as typed.
    const WriteOptions options_{};
};

} // namespace

int FuzzOperations(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Choices choices(bytes);
    Harness& h = Harness::Get();
    Context& ctx = h.Begin(bytes, &choices);
    const InputFile* input = h.Take(InputMode::Text);
    if (!input)
        return 0;
    SubtitleFormat format = DetectFormat(ctx, Owner::None, input->copy);
    // Bytes no format claims still go to a reader: some readers take more
    // than detection recognises.
    if (format == SubtitleFormat::None)
        format = static_cast<SubtitleFormat>(1 + choices.Below(8));
    bool readOk = false;
    auto handler = OpenFormatHandler(ctx, format, input->copy, readOk);
    if (!handler || !readOk)
        return 0;
    Run(ctx, *handler, choices, input->copy).All();
    return 0;
}

} // namespace zv::fuzz
