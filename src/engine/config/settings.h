// The settings store: text values under one key. On disk the key is a small
// human-readable file per user; writes are atomic and every change is a
// read-modify-write under one lock, so the desktop program and the update
// checker never lose each other's values.
#pragma once

#include "engine/time_units.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

class Host;
class LanguageTexts;

// Values are read back at most this long, as the key always did.
inline constexpr std::size_t kMaxSettingLength = 259;
// A key file larger than this is not a settings key; a change that would
// make it larger is refused.
inline constexpr std::size_t kMaxKeyFileSize = 1 << 20;
// The language text that says so.
inline constexpr int kTextKeyTooLarge = 426;

// Which sentence ends the fatal message: writes say "installation", the other
// operations keep the old misspelling users have seen for years.
enum class CorruptedForm { Write, Other, Short };
std::string RegistryCorruptedText(CorruptedForm form);

class SettingsStore {
public:
    // What a change makes of a value: its old text (null when missing) in,
    // the new text out, or nothing to delete it.
    using Change = std::function<std::optional<std::string>(const std::string* old)>;

    virtual ~SettingsStore() = default;
    virtual std::string ReadSetting(const std::string& name) = 0;
    // Whether the value exists at all (an empty value exists).
    virtual bool HasSetting(const std::string& name) = 0;
    // Reads the value and stores what change makes of it as one step that no
    // other program comes between. 0, or -1 when nothing was stored (the user
    // has been told why).
    int ModifySetting(const std::string& name, const Change& change)
    {
        return Apply(name, change, CorruptedForm::Write);
    }
    int WriteSetting(const std::string& name, const std::string& text);
    int DeleteSetting(const std::string& name);
    int RenameSetting(const std::string& oldName, const std::string& newName);
    // A decimal value (missing or empty reads as 0), held to the range of
    // an int so that sums and differences of two values cannot overflow.
    long ReadNumber(const std::string& name);
    // Adds delta to a decimal value (missing or empty reads as 0); a counter
    // stops at the ends of the int range instead of wrapping.
    int AddToNumber(const std::string& name, long delta);

protected:
    // ModifySetting; form is the fatal message's wording for this operation.
    virtual int Apply(const std::string& name, const Change& change, CorruptedForm form) = 0;
};


// The two values whose rule readers once disagreed on, read one way only.
// The stamp-line is added after every operation: STOPKA_AUTO reads as a
// non-zero number.
bool StampLineAutomatic(SettingsStore& settings);
// zentavo starts the update checker: _CNF_ASK_11 reads as 0 ("0" or empty).
bool UpdateChecksOn(SettingsStore& settings);
// The unit a file opened now is read in: milliseconds unless the user asked
// for the tenths of earlier releases.
TimePrecision StoredPrecision(SettingsStore& settings);

// The key file of this user: $ZENTAVO_REGISTRY, else
// $XDG_CONFIG_HOME/Pelmarik/Zentavo.reg (~/.config when unset).
std::string DefaultKeyPath();

class KeyFileSettings final : public SettingsStore {
public:
    // What the program does once the user has been told that the key is
    // missing or unusable; the desktop program ends there. When it returns,
    // the access fails (a read gives the empty text).
    using CorruptedHandler = std::function<void()>;

    KeyFileSettings(std::string path, Host& host, CorruptedHandler whenCorrupted = {},
                    std::chrono::milliseconds lockWait = std::chrono::seconds(3))
        : path_(std::move(path)), host_(host), whenCorrupted_(std::move(whenCorrupted)), lockWait_(lockWait)
    {
    }
    std::string ReadSetting(const std::string& name) override;
    bool HasSetting(const std::string& name) override;
    const std::string& path() const { return path_; }
    bool KeyExists() const;
    // Tells the user that the key is missing or unusable and hands over to
    // the program's handler.
    void RegistryCorruptedExit(CorruptedForm form);

    // Creates the key with the given values unless it exists already.
    // Returns true when the key was created.
    static bool CreateKey(const std::string& path, const std::map<std::string, std::string>& values);

    // Once the language file is loaded, refusals are told in its language.
    void UseTexts(const LanguageTexts* texts) { texts_ = texts; }

protected:
    int Apply(const std::string& name, const Change& change, CorruptedForm form) override;

private:
    // The key file's text; nothing when it is missing or no settings key.
    std::optional<std::string> Load() const;
    void CannotSave(const std::string& reason);
    std::string path_;
    Host& host_;
    CorruptedHandler whenCorrupted_;
    std::chrono::milliseconds lockWait_;
    const LanguageTexts* texts_ = nullptr;
    // One failure is told once, not at every value a command writes.
    std::string toldReason_;
};

// Settings that live only as long as the process: the command line and the
// tests use it.
class MemorySettings final : public SettingsStore {
public:
    std::string ReadSetting(const std::string& name) override;
    bool HasSetting(const std::string& name) override;

protected:
    int Apply(const std::string& name, const Change& change, CorruptedForm form) override;

private:
    std::mutex mutex_;
    std::map<std::string, std::string> values_;
};

// Key file text, one value per line: "NAME"="VALUE" with \\ \" \n \r escapes.
std::string SerializeKey(const std::map<std::string, std::string>& values);
std::map<std::string, std::string> ParseKey(std::string_view text);

} // namespace zv
