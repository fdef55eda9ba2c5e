// What every fuzz target shares: an engine context as the command line builds
// it (settings in memory, the English texts, a private workspace), a host that
// answers every question by the run's own choice, and the fuzzer's bytes
// taken in as a user's file is.
#pragma once

#include "engine/context.h"
#include "engine/formats/format.h"
#include "engine/io/input_file.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv::fuzz {

// Choices a run makes (amounts, answers, settings) drawn from the input
// itself, so one input always takes the same path and a crash replays.
class Choices {
public:
    explicit Choices(std::string_view bytes);
    std::uint64_t Next();
    // A number in 0..n-1.
    long Below(long n) { return n <= 0 ? 0 : static_cast<long>(Next() % static_cast<std::uint64_t>(n)); }
    bool Flip() { return (Next() & 1) != 0; }
    // A time amount: small, near the edges of a StandardFile field, or beyond them.
    long Amount();

private:
    std::uint64_t state_;
};

// Answers OK or Yes, or, when told so, the other button: the cancel and "no"
// paths of every pass get their turn.
class FuzzHost final : public Host {
public:
    Answer Message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                   Owner owner) override;
    std::shared_ptr<ProgressWindow> StartProgressWindow() override;

    Choices* choices = nullptr; // null: always OK or Yes
};

// One engine context for the whole fuzzing process, its workspace emptied
// before every input.
class Harness {
public:
    static Harness& Get();

    // Starts a run on these bytes: the workspace emptied, the settings back
    // to their defaults, the flags cleared, and the bytes written as the
    // user's file.
    Context& Begin(std::string_view bytes, Choices* choices);
    // Takes the user's file in as every command does; null when refused.
    const InputFile* Take(InputMode mode = InputMode::Text);
    // The user's file as a path (what Join's second file is read from).
    const std::string& UserFile() const { return userFile_; }

    Context& ctx() { return ctx_; }
    MemorySettings& settings() { return settings_; }

private:
    Harness();
    ~Harness();
    FuzzHost host_;
    MemorySettings settings_;
    LanguageTexts texts_;
    Context ctx_;
    std::string runFolder_;
    std::string userFile_;
    InputFile input_;
};

// Stops the process with the reason: the fuzzer keeps the input as a crash.
[[noreturn]] void Fail(const std::string& why);

// The bytes of a whole file; "" when it cannot be read.
std::string ReadWhole(const std::string& path);

using TargetFunction = int (*)(const std::uint8_t* data, std::size_t size);
struct Target {
    const char* name;
    TargetFunction run;
};
// Every target, by the name its fuzzer and its regression folder carry.
std::span<const Target> Targets();

int FuzzAviInfo(const std::uint8_t* data, std::size_t size);
int FuzzDetect(const std::uint8_t* data, std::size_t size);
int FuzzReaders(const std::uint8_t* data, std::size_t size);
int FuzzOperations(const std::uint8_t* data, std::size_t size);
int FuzzRoundTrip(const std::uint8_t* data, std::size_t size);

} // namespace zv::fuzz

namespace zv::fuzz {

// Reads a result file of format with a fresh handler of that format, as a
// user opening the saved file would, into the scratch StandardFile; the
// open file's kept header stays as it was. The records, or Fail when the
// reader refuses the file.
struct Record;
std::vector<Record> ReadBack(Context& ctx, SubtitleFormat format, const std::string& result, std::string_view what);

} // namespace zv::fuzz
