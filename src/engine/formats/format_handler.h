// The handler of an open file: its format's descriptor and what the reader
// learnt of the file. The frame keeps the handler of the open file.
#pragma once

#include "engine/context.h"
#include "engine/formats/format.h"
#include "engine/time_units.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zv {

// What a format keeps of the open file besides its StandardFile and
// HeaderFile (Ssa: each dialogue line's own fields).
struct FormatState {
    virtual ~FormatState() = default;
};

class FormatHandler {
public:
    // The base construction: every field 0, workspace paths built anew.
    FormatHandler(Context& ctx, const FormatDescriptor& descriptor);
    FormatHandler(const FormatHandler&) = delete;
    FormatHandler& operator=(const FormatHandler&) = delete;

    // Writes the StandardFile source as this format into target; done on a
    // completed run, not when a file failed or the user cancelled (the user has
    // been told), with the records the format could not hold. In convert mode
    // the progress window runs and the options' frame rate is applied;
    // firstEntryIndex matters to Ssa only.
    Outcome WriteSubtitleFile(const std::string& source, const std::string& target, int deleteSource,
                              int convertMode, int firstEntryIndex, const WriteOptions& options)
    {
        return descriptor_.write(*this, source, target, deleteSource, convertMode, firstEntryIndex, options);
    }
    // Reads a subtitle file of this format into a StandardFile; 0 or -1.
    int ReadSubtitleFile(const std::string& source, const std::string& standardFile)
    {
        negativeTimes = 0;
        return descriptor_.read(*this, source, standardFile, false);
    }
    // Reads Join's second file. The open file's kept header stays as it is,
    // and formats that keep per-line data (Ssa) add the second file's to the
    // first's instead of replacing it.
    int ReadSecondSubtitleFile(const std::string& source, const std::string& standardFile)
    {
        const long opened = negativeTimes;
        const int result = descriptor_.read(*this, source, standardFile, true);
        negativeTimes = opened;
        return result;
    }
    // Subtitles that start within the first n lines of source; -1 after the
    // open-failure message. One-line formats return n.
    long SubtitleNumberAtLine(long n, const std::string& source) const;

    SubtitleFormat format() const { return descriptor_.format; }
    const FormatDescriptor& descriptor() const { return descriptor_; }
    Context& context() const { return ctx_; }

    // Sets the fields an open construction gives this format.
    void SetOpenFields();

    int linesPerSubtitle = 0;
    std::uint64_t inputSize = 0;
    int isFrameBased = 0;
    int mayLengthen = 0;
    int hasHeader = 0;
    // Records of the open file the reader found with a negative time, which
    // it read as 0 (Join's second file does not count).
    long negativeTimes = 0;
    // The unit the reader gives the StandardFile's times: the face chooses it
    // before reading, and every command on the file then uses the same.
    TimePrecision precision = TimePrecision::Tenths;
    // Owned by the format's reader and writer; empty until they make it.
    std::unique_ptr<FormatState> state;

private:
    Context& ctx_;
    const FormatDescriptor& descriptor_;
};

// Bare construction: nothing is read, every field stays 0.
std::unique_ptr<FormatHandler> MakeFormatHandler(Context& ctx, SubtitleFormat format);
// Open construction: reads path into the SourceStandardFile in the units of
// precision and sets the format's fields. readOk tells whether the reader succeeded (the frame closes
// the source window when it did not).
std::unique_ptr<FormatHandler> OpenFormatHandler(Context& ctx, SubtitleFormat format, const std::string& path,
                                                 bool& readOk, TimePrecision precision = TimePrecision::Tenths);

// Reads the open file's source again into the SourceStandardFile in the
// units of precision (the user changed "Keep exact times"). The reader works
// in the WorkingCopy, where a shown result lies: the result is kept. 0 or -1.
int ReadSourceAgain(FormatHandler& handler, const std::string& source, TimePrecision precision);

// The subtitle count the information command shows: lines that begin with a
// printable character plus one for one-line formats, the handler's count of
// subtitle starts otherwise.
long CountSubtitles(Context& ctx, const FormatHandler* handler, const std::string& path);

// The count of one file by the rule of its own format (a SubRip result of a
// MicroDvd file counts its time lines); an empty file has none.
long CountSubtitlesOfFile(Context& ctx, SubtitleFormat format, const std::string& path);

} // namespace zv
