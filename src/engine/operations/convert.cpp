#include "engine/operations/convert.h"

#include "engine/config/decimal_text.h"
#include "engine/io/file_io.h"
#include "engine/formats/format_handler.h"
#include "engine/formats/ssa.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/stamp_line.h"
#include "engine/standard_file.h"
#include "engine/config/setting_names.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zv {

namespace {

// A number field as the header will carry it.
std::string BoundedNumber(const std::string& text, const std::string& fallback, long lowest, long highest)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] < '0' || text[first] > '9')
        return fallback;
    return std::to_string(std::clamp(ParseLong(text.substr(first, 9)), lowest, highest));
}

} // namespace

SsaStyleSettings SsaStyleSettings::Bounded() const
{
    const SsaStyleSettings d;
    SsaStyleSettings b;
    b.fontName.clear();
    for (char c : fontName)
        if (c != ',' && c != '\r' && c != '\n')
            b.fontName += c;
    if (b.fontName.find_first_not_of(' ') == std::string::npos)
        b.fontName = d.fontName;
    b.fontSize = BoundedNumber(fontSize, d.fontSize, 1, 999);
    b.outline = BoundedNumber(outline, d.outline, 0, 99);
    b.shadow = BoundedNumber(shadow, d.shadow, 0, 99);
    b.playResY = BoundedNumber(playResY, d.playResY, 1, 9999);
    b.bottomMargin = BoundedNumber(bottomMargin, d.bottomMargin, 0, 9999);
    b.borderStyle = BoundedNumber(borderStyle, d.borderStyle, 0, 9);
    return b;
}

SsaStyleSettings SsaStyleSettings::Load(SettingsStore& settings)
{
    SsaStyleSettings style;
    const std::string font = settings.ReadSetting(key::SsaFontName);
    if (font.size() < 3)
        return Defaults();
    style.fontName = font;
    style.fontSize = settings.ReadSetting(key::SsaFontSize);
    style.outline = settings.ReadSetting(key::SsaOutline);
    style.shadow = settings.ReadSetting(key::SsaShadow);
    style.playResY = settings.ReadSetting(key::SsaPlayResY);
    style.bottomMargin = settings.ReadSetting(key::SsaBottomMargin);
    style.borderStyle = settings.ReadSetting(key::SsaBorder);
    return style.Bounded();
}

void SsaStyleSettings::Save(SettingsStore& settings) const
{
    const SsaStyleSettings b = Bounded();
    settings.WriteSetting(key::SsaFontName, b.fontName);
    settings.WriteSetting(key::SsaFontSize, b.fontSize);
    settings.WriteSetting(key::SsaOutline, b.outline);
    settings.WriteSetting(key::SsaShadow, b.shadow);
    settings.WriteSetting(key::SsaPlayResY, b.playResY);
    settings.WriteSetting(key::SsaBottomMargin, b.bottomMargin);
    settings.WriteSetting(key::SsaBorder, b.borderStyle);
}

std::string SsaHeaderText(const SsaStyleSettings& unsafe)
{
    const SsaStyleSettings style = unsafe.Bounded();
    const long size = ParseLong(style.fontSize);
    const long border = ParseLong(style.borderStyle);
    const long outline = ParseLong(style.outline);
    const long shadow = ParseLong(style.shadow);
    const long margin = ParseLong(style.bottomMargin);
    std::string text = "[Script info]\r\nPlayResY: " + std::to_string(ParseLong(style.playResY)) + "\r\n\r\n";
    text += kSsaStylesBlock;
    text += SsaStyleLine("NORMAL", 0, style.fontName, size, border, outline, shadow, margin);
    text += SsaStyleLine("ITALIC", 1, style.fontName, size, border, outline, shadow, margin);
    text += kSsaEventsBlock;
    return text;
}

bool WriteSsaHeader(Context& ctx, const SsaStyleSettings& style)
{
    if (!AtomicWriteFile(ctx.workspace.HeaderFile, SsaHeaderText(style))) {
        ctx.CannotOpen();
        return false;
    }
    return true;
}

double FrameRateFromText(std::string_view text)
{
    return ReadDecimal(text);
}

std::optional<WriteOptions> ConfirmConversion(Context& ctx, SubtitleFormat source, SubtitleFormat target,
                                              double fps, TimePrecision precision, Owner owner)
{
    if (HasEndTimes(source) && !HasEndTimes(target) && ctx.Asks(key::AskWhenLosing)) {
        if (ctx.AskBeforeDiscarding(72, 71, Buttons::YesNo, Icon::Exclamation, owner) != Answer::Yes)
            return std::nullopt;
    }
    WriteOptions options;
    options.precision = precision;
    if (source != SubtitleFormat::MicroDvd && target != SubtitleFormat::MicroDvd)
        return options;
    // The writer counts in float: a rate that is 0 or infinite there would
    // turn every time into nonsense.
    const float rate = std::isfinite(fps) && std::fabs(fps) <= std::numeric_limits<float>::max()
                           ? static_cast<float>(fps)
                           : 0.0f;
    if (!(rate > 0.0f) || !std::isfinite(rate)) {
        ctx.Tell(74, 73, Buttons::Ok, Icon::Stop, owner);
        return std::nullopt;
    }
    options.fps = rate;
    return options;
}

Outcome RunConversion(Context& ctx, SubtitleFormat source, SubtitleFormat target, const SsaStyleSettings& style,
                      const std::string& targetPath, const WriteOptions& options)
{
    const std::string standardFile = ctx.workspace.SourceStandardFile;
    AutoStampLine(ctx, standardFile, source == SubtitleFormat::MicroDvd ? 1 : 0, options);
    auto handler = MakeFormatHandler(ctx, target);
    if (!handler)
        return Outcome{};
    Outcome written;
    const auto write = [&](const std::string& part) {
        written = handler->WriteSubtitleFile(standardFile, part, 0, 1, 0, options);
        return written.done ? 0 : -1;
    };
    const auto placed = [&](int result) {
        written.done = result == 0;
        return written;
    };
    if (target != SubtitleFormat::Ssa)
        return placed(WriteReplacing(ctx, targetPath, write));

    // The converted script's header goes through the HeaderFile, which also
    // holds the open file's own header (SubViewer1 and SubViewer2 keep one);
    // later commands on the open file still need that one.
    const std::string& headerFile = ctx.workspace.HeaderFile;
    std::string openFilesHeader;
    const bool hadHeader = FileExists(headerFile) && ReadWholeFile(headerFile, openFilesHeader);
    handler->hasHeader = WriteSsaHeader(ctx, style) ? 1 : 0;
    const int result = WriteReplacing(ctx, targetPath, write);
    if (hadHeader)
        AtomicWriteFile(headerFile, openFilesHeader);
    else
        RemoveFile(headerFile);
    return placed(result);
}

std::optional<Outcome> ConvertFile(Context& ctx, SubtitleFormat source, SubtitleFormat target, double fps,
                                   const SsaStyleSettings& style, const std::string& targetPath,
                                   const WriteOptions& options, Owner owner, const std::function<void()>& started)
{
    std::optional<WriteOptions> checked = ConfirmConversion(ctx, source, target, fps, options.precision, owner);
    if (!checked)
        return std::nullopt;
    checked->encodeStamp = options.encodeStamp;
    checked->precision = options.precision;
    if (started)
        started();
    return RunConversion(ctx, source, target, style, targetPath, *checked);
}

} // namespace zv
