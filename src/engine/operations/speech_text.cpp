#include "engine/operations/speech_text.h"

#include <algorithm>
#include <array>
#include <string>

namespace zv {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Lowered(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The line without formatting, blanks around it and the dash that marks a
// second speaker.
std::string Bare(std::string_view line)
{
    std::string out;
    char closing = 0;
    for (char c : line) {
        if (closing) {
            if (c == closing)
                closing = 0;
            continue;
        }
        if (c == '<')
            closing = '>';
        else if (c == '{')
            closing = '}';
        else
            out += c;
    }
    const auto isTrimmed = [](char c) { return IsBlank(c) || c == '-'; };
    const auto first = std::find_if_not(out.begin(), out.end(), isTrimmed);
    const auto last = std::find_if_not(out.rbegin(), out.rend(), [](char c) { return IsBlank(c); }).base();
    return first < last ? std::string(first, last) : std::string();
}

constexpr std::string_view kNotes[] = {"\xE2\x99\xAA", "\xE2\x99\xAB"}; // ♪ ♫ in UTF-8

bool IsSong(std::string_view line)
{
    // "# la la" and "la la #", but not "#1 on the list".
    if (line == "#" || line.starts_with("# ") || line.ends_with(" #"))
        return true;
    return std::any_of(std::begin(kNotes), std::end(kNotes),
                       [&](std::string_view note) { return line.starts_with(note) || line.ends_with(note); });
}

bool IsCredit(std::string_view line)
{
    const std::string lower = Lowered(line);
    constexpr std::string_view kAddresses[] = {"://", "www.", ".com", ".org", ".net"};
    for (std::string_view a : kAddresses)
        if (lower.find(a) != std::string::npos)
            return true;
    // A credit opens with what was done and names who did it.
    constexpr std::string_view kOpeners[] = {
        "subtitle", "subbed", "sync", "resync", "ripped", "caption", "transcri", "translat", "correct", "encoded",
        "napisy", "t\xC5\x82umacz", "przek\xC5\x82" "ad", "synchro", "korekt", "dopasowa"};
    const bool opens = std::any_of(std::begin(kOpeners), std::end(kOpeners),
                                   [&](std::string_view o) { return lower.starts_with(o); });
    return opens && (lower.find(" by ") != std::string::npos || lower.find(':') != std::string::npos);
}

// Sounds named in capitals, with no sentence punctuation: "DOOR SLAMS",
// "NARRATOR:". A shouted line ends like a sentence ("GET OUT!").
bool IsCapitalTag(std::string_view line)
{
    int letters = 0;
    for (char c : line) {
        if (c >= 'a' && c <= 'z')
            return false;
        if (c == '.' || c == '!' || c == '?' || c == ',' || c == '\'')
            return false;
        if (c >= 'A' && c <= 'Z')
            ++letters;
    }
    return letters >= 3;
}

SubtitleKind KindOfLine(std::string_view text)
{
    const std::string line = Bare(text);
    if (line.empty())
        return SubtitleKind::Empty;
    // What stays outside the sounds in brackets: "[JOHN] Hello" speaks,
    // "[door slams] (MUSIC)" does not.
    std::string rest;
    char closing = 0;
    for (char c : line) {
        if (closing) {
            if (c == closing)
                closing = 0;
        } else if (c == '[' || c == '(') {
            closing = c == '[' ? ']' : ')';
        } else {
            rest += c;
        }
    }
    if (Bare(rest).empty())
        return SubtitleKind::SoundTag;
    if (IsSong(line))
        return SubtitleKind::Song;
    if (IsCredit(line))
        return SubtitleKind::Credit;
    if (IsCapitalTag(rest))
        return SubtitleKind::SoundTag;
    return SubtitleKind::Speech;
}

} // namespace

SubtitleKind KindOfSubtitle(std::string_view text)
{
    SubtitleKind kind = SubtitleKind::Empty;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t bar = std::min(text.find('|', from), text.size());
        const SubtitleKind line = KindOfLine(text.substr(from, bar - from));
        if (line == SubtitleKind::Speech)
            return line;
        if (kind == SubtitleKind::Empty)
            kind = line;
        from = bar + 1;
    }
    return kind;
}

} // namespace zv
