// One run of the command line: its private workspace, the language texts,
// settings that live only in memory, and the way results reach the user.
#pragma once

#include "cli/console_host.h"
#include "engine/context.h"
#include "engine/format.h"
#include "engine/format_handler.h"
#include "engine/input_file.h"
#include "engine/language.h"
#include "engine/settings.h"

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

    // Hands a finished result of this run's workspace to the user: put in
    // place as out, or copied to standard output when there is no out. 0, or
    // 1 after the message.
    int Deliver(const std::string& result, const std::optional<std::string>& out);
    // The same for a file the user gave, handed on as it came.
    int DeliverCopy(const std::string& file, const std::optional<std::string>& out);
    // Two results, both put in place only when both were written.
    int DeliverBoth(const std::string& first, const std::string& firstOut, const std::string& second,
                    const std::string& secondOut);

    // The one line that says how many records a run left out (only when some
    // were). Its own words: the language's texts each name one reason, while
    // a run may drop records for several (a start before zero, a time the
    // target format cannot hold).
    void ReportDropped(long count);
    // For a run that failed without a word of its own.
    int Failed(const std::string& why);

    ConsoleHost host;
    MemorySettings settings;
    LanguageTexts texts;
    Context ctx;

private:
    // Moves (or copies) result to a fresh temporary beside out; the
    // temporary's path, or nothing after the message.
    std::optional<std::string> Stage(const std::string& result, const std::string& out, bool move);
    int Send(const std::string& result, const std::optional<std::string>& out, bool move);
    bool Commit(const std::string& temporary, const std::string& out);
    void CannotWrite(const std::string& out, int error);
    // The result in the source's style, "" after the message.
    std::string Styled(const std::string& result);
    std::string runFolder_;
    std::deque<InputFile> inputs_; // stays where it is as files are added
    std::vector<std::string> staged_;
};

} // namespace zv::cli
