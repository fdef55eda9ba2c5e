#include "engine/config/language.h"

#include "engine/io/file_io.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace zv {

namespace {

// Reads at most limit bytes: no more can ever become texts, and a wrongly
// chosen file (a film, a device) must not be read whole into memory.
bool ReadFilePrefix(const std::string& path, std::size_t limit, std::string& contents)
{
    contents.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char block[65536];
    while (contents.size() < limit) {
        const std::size_t want = std::min(sizeof block, limit - contents.size());
        const std::size_t got = std::fread(block, 1, want, f);
        contents.append(block, got);
        if (got < want)
            break;
    }
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace

std::string LanguageTexts::TextOfLine(std::string line)
{
    // The last two characters are the line end; an LF-only file loses the last
    // character of every text, as it always has.
    if (line.size() < 2)
        line.clear();
    else
        line.resize(line.size() - 2);
    std::string text;
    text.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == 'n' || line[i + 1] == 't')) {
            text += line[i + 1] == 'n' ? "\r\n" : " \t";
            ++i;
        } else {
            text += line[i];
        }
    }
    return text.size() > 5 ? text.substr(5) : std::string();
}

bool LanguageTexts::LoadOnce(const std::string& path)
{
    lines_.clear();
    std::string contents;
    if (!ReadFilePrefix(path, kLanguageLines * kLanguageLineBytes, contents))
        return false;
    std::size_t pos = 0;
    while (lines_.size() < static_cast<std::size_t>(kLanguageLines) && pos < contents.size()) {
        // A line ends at its line feed or once it holds 999 bytes; the rest of a
        // longer line is read as the next line. An unfinished last line (fewer
        // than 999 bytes and no line feed) is dropped.
        const std::size_t lf = contents.find('\n', pos);
        std::size_t end = lf == std::string::npos ? contents.size() : lf + 1;
        if (end - pos >= kLanguageLineBytes)
            end = pos + kLanguageLineBytes;
        else if (lf == std::string::npos)
            break;
        lines_.push_back(TextOfLine(contents.substr(pos, end - pos)));
        pos = end;
    }
    return true;
}

bool LanguageTexts::LoadLanguageFile(const std::string& path, const std::function<void()>& beforeRetry,
                                     std::chrono::milliseconds pause)
{
    for (;;) {
        if (LoadOnce(path)) {
            retries_ = 0;
            return true;
        }
        if (retries_ >= 11)
            return false;
        if (beforeRetry)
            beforeRetry();
        std::this_thread::sleep_for(pause);
        ++retries_;
    }
}

std::string LanguageTexts::LookupText(int number) const
{
    if (number < 1 || number > kLanguageLines - 1 || number > static_cast<int>(lines_.size()))
        return kMissingText;
    return lines_[static_cast<std::size_t>(number - 1)];
}

std::string FolderOfPath(const std::string& path)
{
    if (path.size() < 5)
        return {};
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FindLanguageFile(const std::string& name)
{
    std::string candidates[3];
    if (const char* dir = std::getenv("ZENTAVO_LANGUAGES"); dir && *dir)
        candidates[0] = std::string(dir) + "/" + name;
    candidates[1] = std::string(ZENTAVO_INSTALL_DATADIR) + "/languages/" + name;
    candidates[2] = std::string(ZENTAVO_RESOURCE_DIR) + "/languages/" + name;
    for (const auto& c : candidates)
        if (!c.empty() && FileExists(c))
            return c;
    return {};
}

} // namespace zv
