// The settings store: text values under one key. On disk the key is a small
// human-readable file per user; writes are atomic and read-modify-write is
// locked, so the desktop program and the update checker never lose each
// other's values.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace zv {

class Host;

// Values are read back at most this long, as the key always did.
inline constexpr std::size_t kMaxSettingLength = 259;

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string ReadSetting(const std::string& name) = 0;
    virtual void WriteSetting(const std::string& name, const std::string& text) = 0;
    virtual void DeleteSetting(const std::string& name) = 0;
    // Whether the value exists at all (an empty value exists).
    virtual bool HasSetting(const std::string& name) = 0;
    void RenameSetting(const std::string& oldName, const std::string& newName);
    long ReadNumber(const std::string& name);
};

// Which sentence ends the fatal message: writes say "installation", the other
// operations keep the old misspelling users have seen for years.
enum class CorruptedForm { Write, Other, Short };

// Shows the "registry is corrupted" message and ends the process with code 0.
[[noreturn]] void RegistryCorruptedExit(Host& host, CorruptedForm form);
std::string RegistryCorruptedText(CorruptedForm form);

// The key file of this user: $ZENTAVO_REGISTRY, else
// $XDG_CONFIG_HOME/Pelmarik/Zentavo.reg (~/.config when unset).
std::string DefaultKeyPath();

class KeyFileSettings final : public SettingsStore {
public:
    KeyFileSettings(std::string path, Host& host) : path_(std::move(path)), host_(host) {}
    std::string ReadSetting(const std::string& name) override;
    void WriteSetting(const std::string& name, const std::string& text) override;
    void DeleteSetting(const std::string& name) override;
    bool HasSetting(const std::string& name) override;
    const std::string& path() const { return path_; }
    bool KeyExists() const;

    // Creates the key with the given values unless it exists already.
    // Returns true when the key was created.
    static bool CreateKey(const std::string& path, const std::map<std::string, std::string>& values);

private:
    std::optional<std::map<std::string, std::string>> Load() const;
    bool Modify(const std::string& name, const std::optional<std::string>& value);
    std::string path_;
    Host& host_;
};

// Settings that live only as long as the process: the command line and the
// tests use it.
class MemorySettings final : public SettingsStore {
public:
    std::string ReadSetting(const std::string& name) override;
    void WriteSetting(const std::string& name, const std::string& text) override;
    void DeleteSetting(const std::string& name) override;
    bool HasSetting(const std::string& name) override;

private:
    std::mutex mutex_;
    std::map<std::string, std::string> values_;
};

// Key file text, one value per line: "NAME"="VALUE" with \\ \" \n \r escapes.
std::string SerializeKey(const std::map<std::string, std::string>& values);
std::map<std::string, std::string> ParseKey(const std::string& text);

} // namespace zv
