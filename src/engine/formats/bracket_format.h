// MicroDvd ({start}{end}text) and Mpl2 ([start][end]text) differ only in their
// brackets and units, so both read and write through this one handler.
#pragma once

#include "engine/format_handler.h"

namespace zv {

class BracketFormatHandler : public FormatHandler {
public:
    BracketFormatHandler(Context& ctx, SubtitleFormat format, char open, char close);
    int ReadSubtitleFile(const std::string& source, const std::string& standardFile) override;
    int WriteSubtitleFile(const std::string& source, const std::string& target, int deleteSource, int convertMode,
                          int firstEntryIndex) override;

private:
    char open_;
    char close_;
};

} // namespace zv
