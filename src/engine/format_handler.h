// One handler per subtitle format: its reader, its writer and what it knows
// about the format. The frame keeps the handler of the open file.
#pragma once

#include "engine/context.h"
#include "engine/format.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zv {

class FormatHandler {
public:
    // The base construction: every field 0, workspace paths built anew.
    FormatHandler(Context& ctx, SubtitleFormat format);
    virtual ~FormatHandler() = default;
    FormatHandler(const FormatHandler&) = delete;
    FormatHandler& operator=(const FormatHandler&) = delete;

    // Writes the StandardFile source as this format into target; done on a
    // completed run, not when a file failed or the user cancelled (the user has
    // been told), with the records the format could not hold. In convert mode
    // the progress window runs and the options' frame rate is applied;
    // firstEntryIndex matters to Ssa only.
    virtual Outcome WriteSubtitleFile(const std::string& source, const std::string& target, int deleteSource,
                                      int convertMode, int firstEntryIndex, const WriteOptions& options) = 0;
    // Reads a subtitle file of this format into a StandardFile; 0 or -1.
    virtual int ReadSubtitleFile(const std::string& source, const std::string& standardFile) = 0;
    // Reads Join's second file. The open file's kept header stays as it is,
    // and formats that keep per-line data (Ssa) add the second file's to the
    // first's instead of replacing it.
    virtual int ReadSecondSubtitleFile(const std::string& source, const std::string& standardFile)
    {
        readingSecond_ = true;
        const int result = ReadSubtitleFile(source, standardFile);
        readingSecond_ = false;
        return result;
    }
    // Subtitles that start within the first n lines of source; -1 after the
    // open-failure message. One-line formats return n.
    virtual long SubtitleNumberAtLine(long n, const std::string& source) const;

    SubtitleFormat format() const { return format_; }
    Context& context() const { return ctx_; }

    // Sets the fields an open construction gives this format.
    void SetOpenFields();

    int linesPerSubtitle = 0;
    std::uint64_t inputSize = 0;
    int isFrameBased = 0;
    int mayLengthen = 0;
    int hasHeader = 0;

protected:
    Context& ctx_;
    // Set while Join's second file is read: the header is not the one to keep.
    bool readingSecond_ = false;

private:
    SubtitleFormat format_;
};

// Bare construction: nothing is read, every field stays 0.
std::unique_ptr<FormatHandler> MakeFormatHandler(Context& ctx, SubtitleFormat format);
// Open construction: reads path into the SourceStandardFile and sets the
// format's fields. readOk tells whether the reader succeeded (the frame closes
// the source window when it did not).
std::unique_ptr<FormatHandler> OpenFormatHandler(Context& ctx, SubtitleFormat format, const std::string& path,
                                                 bool& readOk);

// The subtitle count the information command shows: lines that begin with a
// printable character plus one for one-line formats, the handler's count of
// subtitle starts otherwise.
long CountSubtitles(Context& ctx, const FormatHandler* handler, const std::string& path);

// The count of one file by the rule of its own format (a SubRip result of a
// MicroDvd file counts its time lines); an empty file has none.
long CountSubtitlesOfFile(Context& ctx, SubtitleFormat format, const std::string& path);

} // namespace zv
