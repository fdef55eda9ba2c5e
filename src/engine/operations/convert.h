// Convert: the open file's StandardFile written in another format.
#pragma once

#include "engine/context.h"
#include "engine/formats/format.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

// The seven style values a conversion into Ssa builds its header from.
struct SsaStyleSettings {
    std::string fontName = "Times New Roman CE";
    std::string fontSize = "28";
    std::string outline = "3";
    std::string shadow = "0";
    std::string playResY = "304";
    std::string bottomMargin = "10";
    std::string borderStyle = "1";

    static SsaStyleSettings Defaults() { return {}; }
    // The values made safe for a Style: line: the font name without commas or
    // line breaks (they would shift every field after it), each number within
    // what a player can use, an empty or wordy number back at its default.
    SsaStyleSettings Bounded() const;
    // The stored values; all defaults when the stored font name is shorter
    // than 3 characters.
    static SsaStyleSettings Load(SettingsStore& settings);
    void Save(SettingsStore& settings) const;
};

// The header of a converted Ssa script, built from the style values.
std::string SsaHeaderText(const SsaStyleSettings& style);
// Writes that header into the HeaderFile; false after the open-failure message.
bool WriteSsaHeader(Context& ctx, const SsaStyleSettings& style);

// The checks of Convert's OK while the dialog is still open: the question on
// a conversion that loses end times (unless _CNF_ASK_5 is set) and, when
// either side is MicroDvd, the frame rate fps as the caller read it (not a
// finite number above 0: text 74, caption 73). The rate checked is the rate
// the writer uses: on success the options hold fps as a float (none when no
// side counts frames), and the unit the open file was read in. Empty: the
// dialog stays open.
std::optional<WriteOptions> ConfirmConversion(Context& ctx, SubtitleFormat source, SubtitleFormat target, double fps,
                                              TimePrecision precision = TimePrecision::Tenths,
                                              Owner owner = Owner::Dialog);
// A frame rate as typed into a field (ReadDecimal): the whole text counts.
double FrameRateFromText(std::string_view typed);

// The rest of OK: automatic stamp-line on the SourceStandardFile, the target
// format's handler (Ssa: header from style), its writer in convert mode with
// options from the SourceStandardFile into targetPath. Returns the writer's outcome. The
// open file's own kept header is left as it was.
Outcome RunConversion(Context& ctx, SubtitleFormat source, SubtitleFormat target, const SsaStyleSettings& style,
                      const std::string& targetPath, const WriteOptions& options);

// Convert in one call, as the desktop's OK and the command line run it: the
// checks (ConfirmConversion, asked through the host and owned by owner), then
// started() (the dialog closes there, the progress window takes over) and the
// run with the options the checks give, the stamp encoder of options kept.
// Empty when a check refused: nothing ran and a dialog stays open.
std::optional<Outcome> ConvertFile(Context& ctx, SubtitleFormat source, SubtitleFormat target, double fps,
                                   const SsaStyleSettings& style, const std::string& targetPath,
                                   const WriteOptions& options, Owner owner,
                                   const std::function<void()>& started = {});

} // namespace zv
