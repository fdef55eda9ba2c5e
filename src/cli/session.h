// One run of the command line: its private workspace, the language texts,
// settings that live only in memory, and the way results reach the user.
#pragma once

#include "cli/console_host.h"
#include "engine/context.h"
#include "engine/io/file_io.h"
#include "engine/formats/format.h"
#include "engine/formats/format_handler.h"
#include "engine/io/input_file.h"
#include "engine/io/save_result.h"
#include "engine/config/language.h"
#include "engine/config/settings.h"
#include "engine/time_units.h"
#include "engine/write_options.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zv::cli {

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // False when the private workspace could not be made (the user was told).
    bool Ready();

    // Reads a file the user named once into the workspace: the first one is
    // the source, a later one Join's second file. Text mode sets the
    // byte-order mark and LF line ends aside; the result is written back in
    // the source's style. Null after the message.
    const InputFile* Take(const std::string& path, InputMode mode = InputMode::Text);
    // The working copy of a file taken before.
    const std::string& Copy(const std::string& path) const;
    // The file's format, read from the bytes the reader gets; None after the
    // message.
    SubtitleFormat Detect(const std::string& path);
    // Reads the file's working copy into the SourceStandardFile with the
    // handler of its format; null after the message.
    std::unique_ptr<FormatHandler> Read(const std::string& path, SubtitleFormat format);
    // Detect, then Read.
    std::unique_ptr<FormatHandler> OpenSource(const std::string& path);

    // Hands a finished result (or the user's input, which stays where it is)
    // to the user: out replaced with it, or it is written to standard output
    // when out is "-" or missing. 0, or 1 after the message.
    int Deliver(const std::string& result, const std::optional<std::string>& out);
    // Two results, both put in place only when both were staged.
    int DeliverBoth(const std::string& first, const std::string& firstOut, const std::string& second,
                    const std::string& secondOut);
    // Whether two outputs are one file, however they are spelled.
    static bool SameOutput(const std::string& a, const std::string& b);
    // False after the message when out is a folder.
    bool WritableOutput(const std::string& out);

    // The one line that says how many records a run left out (only when some
    // were). Its own words: the language's texts each name one reason, while
    // a run may drop records for several (a start before zero, a time the
    // target format cannot hold).
    void ReportDropped(long count);
    // For a run that failed without a word of its own.
    int Failed(const std::string& why);

    // The unit files are read in: exact unless the run asked for --tenths.
    TimePrecision precision = TimePrecision::Milliseconds;
    // What every command of this run writes with.
    WriteOptions Options() const
    {
        WriteOptions options;
        options.precision = precision;
        return options;
    }

    ConsoleHost host;
    MemorySettings settings;
    LanguageTexts texts;
    Context ctx;

private:
    // Each false after the message.
    bool Stage(FileReplacement& replacement, const std::string& result, const std::optional<std::string>& out);
    bool Commit(FileReplacement& replacement, const std::optional<std::string>& out);
    bool Saved(const SaveOutcome& saved, const std::string& result, const std::optional<std::string>& out);
    void CannotWrite(const std::string& out, int error);
    // The style of the first input, which every result is written in.
    TextStyle SourceStyle() const;
    std::string runFolder_;
    std::deque<InputFile> inputs_; // stays where it is as files are added
};

} // namespace zv::cli
