// Language texts: every text the user sees is a numbered line of a *.lan file.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace zv {

inline constexpr int kLanguageLines = 2000;
inline constexpr std::size_t kLanguageLineBytes = 999;
inline constexpr const char* kMissingText =
    "Strange ERROR - langage file does NOT contain line that ZV request !";

class LanguageTexts {
public:
    // Reads the file into the table. A file that cannot be opened is tried
    // again, up to 12 times in all with a beep and a 200 ms pause between
    // tries (the file may be on a slow or just-mounted drive). False when the
    // file stays unreadable.
    bool LoadLanguageFile(const std::string& path,
                          const std::function<void()>& beforeRetry = {},
                          std::chrono::milliseconds pause = std::chrono::milliseconds(200));
    // Reads the file once, without retries.
    bool LoadOnce(const std::string& path);
    // Text number n (1-based), or the fixed text for a missing line.
    std::string LookupText(int number) const;
    void FreeLanguageFile() { lines_.clear(); }
    int LineCount() const { return static_cast<int>(lines_.size()); }

    // Turns one raw line (with its line end) into its text.
    static std::string TextOfLine(std::string line);

private:
    std::vector<std::string> lines_;
    int retries_ = 0; // lives as long as the table, back to 0 after a good open
};

// The folder part of a path with its final separator; "" for paths shorter
// than 5 characters or without a separator.
std::string FolderOfPath(const std::string& path);

// Where the language files are found without settings: $ZENTAVO_LANGUAGES,
// the installed data folder, or the source tree's resources.
std::string FindLanguageFile(const std::string& name);

} // namespace zv
