#include "engine/config/settings.h"

#include "engine/io/file_io.h"
#include "engine/host/host.h"
#include "engine/config/language.h"
#include "engine/config/setting_names.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>

namespace zv {

namespace {

const char* const kHomePage = "http://www.zentavo.example/";

constexpr long kLowestNumber = std::numeric_limits<int>::min();
constexpr long kHighestNumber = std::numeric_limits<int>::max();

// A stored number as plain decimal conversion reads it, held to the int range.
long NumberIn(const std::string& text)
{
    return std::clamp(std::strtol(text.c_str(), nullptr, 10), kLowestNumber, kHighestNumber);
}

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

// The key file as lines: a line that holds a value is known by its name;
// any other line (a comment, or one a hand edit broke) is kept as it stands.
class KeyText {
public:
    explicit KeyText(std::string_view text)
    {
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            Line line{std::string(text.substr(pos, end - pos)), false, {}, {}};
            std::size_t p = 0;
            const std::string& raw = line.raw;
            if (ReadQuoted(raw, p, line.name) && p < raw.size() && raw[p] == '=' && ReadQuoted(raw, ++p, line.value))
                line.isValue = true;
            lines_.push_back(std::move(line));
            pos = end + 1;
        }
    }

    std::string Text() const
    {
        std::string text;
        for (const Line& line : lines_) {
            text += line.raw;
            text += '\n';
        }
        return text;
    }

    // The last line of a name counts, as it always did.
    const std::string* Find(const std::string& name) const
    {
        for (auto it = lines_.rbegin(); it != lines_.rend(); ++it)
            if (it->isValue && it->name == name)
                return &it->value;
        return nullptr;
    }

    void Set(const std::string& name, const std::string& value)
    {
        Line line{ValueLine(name, value), true, name, value};
        for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
            if (it->isValue && it->name == name) {
                *it = std::move(line);
                return;
            }
        }
        lines_.push_back(std::move(line));
    }

    void Erase(const std::string& name)
    {
        std::erase_if(lines_, [&](const Line& line) { return line.isValue && line.name == name; });
    }

    std::map<std::string, std::string> Values() const
    {
        std::map<std::string, std::string> values;
        for (const Line& line : lines_)
            if (line.isValue)
                values[line.name] = line.value;
        return values;
    }

    static std::string ValueLine(const std::string& name, const std::string& value)
    {
        return '"' + Escape(name) + "\"=\"" + Escape(value) + '"';
    }

private:
    struct Line {
        std::string raw; // without its line feed
        bool isValue;
        std::string name;
        std::string value;
    };
    std::vector<Line> lines_;
};

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Serialises changes of the key between programs. The lock is held on the
// key's folder, so no lock file is ever created or left behind; a lock that
// another program keeps longer than the wait is not taken at all.
//
// The wait blocks in the kernel, so the lock goes to a waiting program as soon
// as it is free: retrying now and then lets eight busy programs starve the
// unlucky one. The blocking call runs in a helper thread that keeps the folder
// open; one that is given up on drops the lock as soon as it gets it.
class KeyLock {
public:
    KeyLock(const std::string& keyPath, std::chrono::milliseconds wait)
    {
        fd_ = ::open(FolderOf(keyPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            locked_ = true;
            return;
        }
        if (errno != EWOULDBLOCK) {
            error_ = errno;
            return;
        }
        auto waiter = std::make_shared<Waiter>();
        try {
            std::thread([waiter, fd = fd_] {
                int result = 0;
                while ((result = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
                }
                const int error = result == 0 ? 0 : errno;
                std::lock_guard hold(waiter->mutex);
                if (waiter->abandoned) {
                    ::close(fd); // drops the lock taken too late
                    return;
                }
                waiter->done = true;
                waiter->error = error;
                waiter->wake.notify_one();
            }).detach();
        } catch (const std::system_error& e) {
            error_ = e.code().value();
            return;
        }
        std::unique_lock hold(waiter->mutex);
        if (!waiter->wake.wait_for(hold, wait, [&] { return waiter->done; })) {
            waiter->abandoned = true;
            fd_ = -1; // the helper closes it
            error_ = EWOULDBLOCK;
            return;
        }
        locked_ = waiter->error == 0;
        error_ = waiter->error;
    }
    ~KeyLock() { Release(); }
    KeyLock(const KeyLock&) = delete;
    KeyLock& operator=(const KeyLock&) = delete;

    bool locked() const { return locked_; }
    int error() const { return error_; }
    void Release()
    {
        if (fd_ >= 0)
            ::close(fd_); // closing drops the lock
        fd_ = -1;
        locked_ = false;
    }

private:
    struct Waiter {
        std::mutex mutex;
        std::condition_variable wake;
        bool done = false;
        bool abandoned = false;
        int error = 0;
    };
    int fd_ = -1;
    bool locked_ = false;
    int error_ = 0;
};

} // namespace

int SettingsStore::WriteSetting(const std::string& name, const std::string& text)
{
    return Apply(name, [&](const std::string*) { return std::optional<std::string>(text); }, CorruptedForm::Write);
}

int SettingsStore::DeleteSetting(const std::string& name)
{
    return Apply(name, [](const std::string*) { return std::optional<std::string>(); }, CorruptedForm::Other);
}

int SettingsStore::RenameSetting(const std::string& oldName, const std::string& newName)
{
    const std::string copy = ReadSetting(oldName);
    if (WriteSetting(newName, copy) != 0)
        return -1;
    return DeleteSetting(oldName);
}

int SettingsStore::AddToNumber(const std::string& name, long delta)
{
    return ModifySetting(name, [delta](const std::string* old) {
        const long value = old ? NumberIn(old->substr(0, kMaxSettingLength)) : 0;
        const long sum = std::clamp(delta, kLowestNumber - value, kHighestNumber - value) + value;
        return std::optional<std::string>(std::to_string(sum));
    });
}

long SettingsStore::ReadNumber(const std::string& name)
{
    return NumberIn(ReadSetting(name));
}

bool StampLineAutomatic(SettingsStore& settings)
{
    return settings.ReadNumber(key::StampAuto) != 0;
}

bool UpdateChecksOn(SettingsStore& settings)
{
    return settings.ReadNumber(key::CheckForUpdates) == 0;
}

TimePrecision StoredPrecision(SettingsStore& settings)
{
    return settings.ReadSetting(key::TenthsOnly).empty() ? TimePrecision::Milliseconds : TimePrecision::Tenths;
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

void KeyFileSettings::RegistryCorruptedExit(CorruptedForm form)
{
    host_.Message(RegistryCorruptedText(form), "Can't run program.", Buttons::Ok, Icon::Stop, Owner::None);
    if (whenCorrupted_)
        whenCorrupted_();
}

void KeyFileSettings::CannotSave(const std::string& reason)
{
    if (reason == toldReason_)
        return;
    toldReason_ = reason;
    host_.Message("Zentavo could not save its settings in\n" + path_ + "\n\n" + reason, "Zentavo", Buttons::Ok,
                  Icon::Stop, Owner::None);
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
        text += KeyText::ValueLine(name, value);
        text += '\n';
    }
    return text;
}

std::map<std::string, std::string> ParseKey(std::string_view text)
{
    return KeyText(text).Values();
}

bool KeyFileSettings::KeyExists() const
{
    return FileExists(path_);
}

std::optional<std::string> KeyFileSettings::Load() const
{
    // Not blocking on a FIFO, and never reading a device or a huge file whole.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) <= kMaxKeyFileSize) {
        text.emplace();
        char block[8192];
        for (;;) {
            const ssize_t got = ::read(fd, block, sizeof block);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 || text->size() + static_cast<std::size_t>(std::max<ssize_t>(got, 0)) > kMaxKeyFileSize) {
                text.reset();
                break;
            }
            if (got == 0)
                break;
            text->append(block, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return text;
}

int KeyFileSettings::Apply(const std::string& name, const Change& change, CorruptedForm form)
{
    KeyLock lock(path_, lockWait_);
    if (!lock.locked()) {
        const int error = lock.error();
        lock.Release();
        if (!KeyExists()) {
            RegistryCorruptedExit(form);
            return -1;
        }
        CannotSave(error == EWOULDBLOCK ? "Another program is changing the settings; this change was not saved."
                                        : std::strerror(error));
        return -1;
    }
    const auto loaded = Load();
    if (!loaded) {
        lock.Release();
        RegistryCorruptedExit(form);
        return -1;
    }
    KeyText key(*loaded);
    const std::string* old = key.Find(name);
    const std::optional<std::string> value = change(old);
    if (value ? old && *old == *value : !old)
        return 0; // nothing changes
    if (value)
        key.Set(name, *value);
    else
        key.Erase(name);
    const std::string text = key.Text();
    // A key that loading would refuse ends every later start; the value keeps
    // what it held.
    if (text.size() > kMaxKeyFileSize) {
        lock.Release();
        CannotSave(texts_ && texts_->LineCount() >= kTextKeyTooLarge
                       ? texts_->LookupText(kTextKeyTooLarge)
                       : "A settings key holds at most 1 MiB, and this change would make it larger; the value "
                         "keeps what it held.");
        return -1;
    }
    errno = 0;
    if (!AtomicWriteFile(path_, text)) {
        const int error = errno;
        lock.Release();
        CannotSave(error != 0 ? std::strerror(error) : "The settings file could not be written.");
        return -1;
    }
    toldReason_.clear();
    return 0;
}

std::string KeyFileSettings::ReadSetting(const std::string& name)
{
    const auto text = Load();
    if (!text) {
        RegistryCorruptedExit(CorruptedForm::Other);
        return {};
    }
    const KeyText key(*text);
    const std::string* value = key.Find(name);
    return value ? value->substr(0, kMaxSettingLength) : std::string();
}

bool KeyFileSettings::HasSetting(const std::string& name)
{
    const auto text = Load();
    if (!text) {
        RegistryCorruptedExit(CorruptedForm::Other);
        return false;
    }
    return KeyText(*text).Find(name) != nullptr;
}

bool KeyFileSettings::CreateKey(const std::string& path, const std::map<std::string, std::string>& values)
{
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        // Create the folders on the way, as mkdir -p would.
        for (std::size_t p = path.find('/', 1); p != std::string::npos && p <= slash; p = path.find('/', p + 1))
            ::mkdir(path.substr(0, p).c_str(), 0700);
    }
    KeyLock lock(path, std::chrono::seconds(3));
    struct stat st {};
    if (!lock.locked() || ::lstat(path.c_str(), &st) == 0)
        return false;
    return AtomicWriteFile(path, SerializeKey(values));
}

std::string MemorySettings::ReadSetting(const std::string& name)
{
    std::lock_guard lock(mutex_);
    auto it = values_.find(name);
    return it == values_.end() ? std::string() : it->second.substr(0, kMaxSettingLength);
}

int MemorySettings::Apply(const std::string& name, const Change& change, CorruptedForm)
{
    std::lock_guard lock(mutex_);
    auto it = values_.find(name);
    const std::optional<std::string> value = change(it == values_.end() ? nullptr : &it->second);
    if (value)
        values_[name] = *value;
    else if (it != values_.end())
        values_.erase(it);
    return 0;
}

bool MemorySettings::HasSetting(const std::string& name)
{
    std::lock_guard lock(mutex_);
    return values_.count(name) != 0;
}

} // namespace zv
