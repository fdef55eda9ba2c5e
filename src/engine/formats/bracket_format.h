// MicroDvd ({start}{end}text) and Mpl2 ([start][end]text) differ only in their
// brackets and units, so both read and write through this one handler.
#pragma once

#include "engine/format_handler.h"

#include <string_view>

namespace zv {

// A MicroDvd frame-rate line, {1}{1}23.976: a number and nothing else as the
// text of the file's first line, shown by no player.
bool IsFrameRateLine(std::string_view line);

class BracketFormatHandler : public FormatHandler {
public:
    BracketFormatHandler(Context& ctx, SubtitleFormat format, char open, char close);
    int ReadSubtitleFile(const std::string& source, const std::string& standardFile) override;
    // Join's second file: its own frame-rate line is left out.
    int ReadSecondSubtitleFile(const std::string& source, const std::string& standardFile) override;
    Outcome WriteSubtitleFile(const std::string& source, const std::string& target, int deleteSource, int convertMode,
                              int firstEntryIndex, const WriteOptions& options) override;

private:
    int Read(const std::string& source, const std::string& standardFile, bool keepFrameRateLine);
    char open_;
    char close_;
};

} // namespace zv
