// convert: the file written in another format.
#include "cli/commands.h"

#include "engine/operations/convert.h"

namespace zv::cli {

namespace {

int RunConvert(Invocation& inv)
{
    const auto to = inv.args.Value("--to");
    if (!to)
        return inv.Usage("missing --to FMT");
    const SubtitleFormat target = FormatFromName(*to);
    if (target == SubtitleFormat::None)
        return inv.Usage("unknown format " + *to);

    Session& s = inv.session;
    if (!s.Ready())
        return kExitFailure;
    const SubtitleFormat source = s.Detect(inv.File());
    if (source == SubtitleFormat::None)
        return kExitFailure;
    if (source == target)
        return inv.Usage("the file is " + std::string(FormatName(source)) + " already");
    // The frame rate counts only where frames meet times.
    double fps = 25.0;
    if (source == SubtitleFormat::MicroDvd || target == SubtitleFormat::MicroDvd) {
        std::optional<double> rate;
        if (const int usage = inv.FrameRateOption(rate))
            return usage;
        fps = rate.value_or(fps);
    }

    auto handler = s.Read(inv.File(), source);
    if (!handler)
        return kExitFailure;
    const std::string& result = s.ctx.workspace.WorkingCopy;
    const std::optional<Outcome> outcome =
        ConvertFile(s.ctx, source, target, fps, SsaStyleSettings::Defaults(), result, s.Options(), Owner::None);
    if (!outcome)
        return inv.Usage("--fps: not a frame rate greater than 0: " + inv.args.Value("--fps").value_or(""));
    if (!outcome->done)
        return kExitFailure;
    s.ReportDropped(outcome->dropped);
    return s.Deliver(result, inv.Out());
}

constexpr OptionRule kOptions[] = {{"--to"}, {"--fps"}, {"-o"}};

constexpr Command kCommands[] = {
    {"convert", "convert FILE --to FMT [--fps F] [-o OUT]", kOptions, 1, RunConvert},
};

} // namespace

std::span<const Command> ConvertCommands()
{
    return kCommands;
}

} // namespace zv::cli
