#include "engine/settings.h"

#include "engine/file_io.h"
#include "engine/host.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace zv {

namespace {

const char* const kHomePage = "http://www.zentavo.example/";

std::string Escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

// Reads one quoted string starting at text[pos] == '"'; pos ends after the
// closing quote. False when the string is not closed on its line.
bool ReadQuoted(const std::string& text, std::size_t& pos, std::string& out)
{
    out.clear();
    if (pos >= text.size() || text[pos] != '"')
        return false;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\n')
            return false;
        if (c == '\\' && pos + 1 < text.size()) {
            const char e = text[++pos];
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : e;
            continue;
        }
        out += c;
    }
    return false;
}

// Serialises read-modify-write of the key between processes.
class KeyLock {
public:
    explicit KeyLock(const std::string& keyPath)
    {
        fd_ = ::open((keyPath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            ::flock(fd_, LOCK_EX);
    }
    ~KeyLock()
    {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_UN);
            ::close(fd_);
        }
    }
    KeyLock(const KeyLock&) = delete;
    KeyLock& operator=(const KeyLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace

void SettingsStore::RenameSetting(const std::string& oldName, const std::string& newName)
{
    const std::string copy = ReadSetting(oldName);
    WriteSetting(newName, copy);
    DeleteSetting(oldName);
}

long SettingsStore::ReadNumber(const std::string& name)
{
    return std::strtol(ReadSetting(name).c_str(), nullptr, 10);
}

std::string RegistryCorruptedText(CorruptedForm form)
{
    std::string text = "Reinstall Zentavo - registry is corrupted !";
    if (form == CorruptedForm::Short)
        return text;
    text += "\n\nVisit ";
    text += kHomePage;
    text += form == CorruptedForm::Write ? " for installation package." : " for instalation package.";
    return text;
}

void RegistryCorruptedExit(Host& host, CorruptedForm form)
{
    host.Message(RegistryCorruptedText(form), "Can't run program.", Buttons::Ok, Icon::Stop, Owner::None);
    std::exit(0);
}

std::string DefaultKeyPath()
{
    if (const char* over = std::getenv("ZENTAVO_REGISTRY"); over && *over)
        return over;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string path = xdg && *xdg ? std::string(xdg) : home && *home ? std::string(home) + "/.config" : std::string(".");
    path.append("/Pelmarik/Zentavo.reg");
    return path;
}

std::string SerializeKey(const std::map<std::string, std::string>& values)
{
    std::string text = "; Zentavo settings key\n";
    for (const auto& [name, value] : values) {
        text += '"';
        text += Escape(name);
        text += "\"=\"";
        text += Escape(value);
        text += "\"\n";
    }
    return text;
}

std::map<std::string, std::string> ParseKey(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::size_t p = pos;
        std::string name, value;
        if (ReadQuoted(text, p, name) && p < end && text[p] == '=' && ReadQuoted(text, ++p, value) && p <= end)
            values[name] = value;
        pos = end + 1;
    }
    return values;
}

bool KeyFileSettings::KeyExists() const
{
    return FileExists(path_);
}

std::optional<std::map<std::string, std::string>> KeyFileSettings::Load() const
{
    std::string text;
    if (!ReadWholeFile(path_, text))
        return std::nullopt;
    return ParseKey(text);
}

bool KeyFileSettings::Modify(const std::string& name, const std::optional<std::string>& value)
{
    KeyLock lock(path_);
    auto values = Load();
    if (!values)
        return false;
    if (value)
        (*values)[name] = *value;
    else if (values->erase(name) == 0)
        return true;
    AtomicWriteFile(path_, SerializeKey(*values));
    return true;
}

std::string KeyFileSettings::ReadSetting(const std::string& name)
{
    auto values = Load();
    if (!values)
        RegistryCorruptedExit(host_, CorruptedForm::Other);
    auto it = values->find(name);
    if (it == values->end())
        return {};
    return it->second.substr(0, kMaxSettingLength);
}

bool KeyFileSettings::HasSetting(const std::string& name)
{
    auto values = Load();
    if (!values)
        RegistryCorruptedExit(host_, CorruptedForm::Other);
    return values->count(name) != 0;
}

void KeyFileSettings::WriteSetting(const std::string& name, const std::string& text)
{
    if (!Modify(name, text))
        RegistryCorruptedExit(host_, CorruptedForm::Write);
}

void KeyFileSettings::DeleteSetting(const std::string& name)
{
    if (!Modify(name, std::nullopt))
        RegistryCorruptedExit(host_, CorruptedForm::Other);
}

bool KeyFileSettings::CreateKey(const std::string& path, const std::map<std::string, std::string>& values)
{
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        // Create the folders on the way, as mkdir -p would.
        for (std::size_t p = path.find('/', 1); p != std::string::npos && p <= slash; p = path.find('/', p + 1))
            ::mkdir(path.substr(0, p).c_str(), 0700);
    }
    KeyLock lock(path);
    if (FileExists(path))
        return false;
    return AtomicWriteFile(path, SerializeKey(values));
}

std::string MemorySettings::ReadSetting(const std::string& name)
{
    std::lock_guard lock(mutex_);
    auto it = values_.find(name);
    return it == values_.end() ? std::string() : it->second.substr(0, kMaxSettingLength);
}

void MemorySettings::WriteSetting(const std::string& name, const std::string& text)
{
    std::lock_guard lock(mutex_);
    values_[name] = text;
}

void MemorySettings::DeleteSetting(const std::string& name)
{
    std::lock_guard lock(mutex_);
    values_.erase(name);
}

bool MemorySettings::HasSetting(const std::string& name)
{
    std::lock_guard lock(mutex_);
    return values_.count(name) != 0;
}

} // namespace zv
