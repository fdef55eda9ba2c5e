#include "engine/film/avi_info.h"

#include "engine/config/decimal_text.h"

#include <cstring>
#include <fstream>

namespace zv {

namespace {

constexpr std::size_t kMainHeaderSize = 56;
constexpr std::size_t kStreamHeaderSize = 48;
// A real header list has a few dozen chunks; a hostile file gets no more.
constexpr int kMostChunks = 4096;

std::uint32_t Le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool Is(const unsigned char* p, const char* fourcc)
{
    return std::memcmp(p, fourcc, 4) == 0;
}

class MemorySource : public ByteSource {
public:
    MemorySource(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, unsigned char* to, std::size_t n) override
    {
        if (offset > size_ || n > size_ - offset)
            return false;
        std::memcpy(to, data_ + offset, n);
        return true;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
};

class FileSource : public ByteSource {
public:
    explicit FileSource(const std::string& path) : in_(path, std::ios::binary)
    {
        if (in_) {
            in_.seekg(0, std::ios::end);
            const std::streamoff end = in_.tellg();
            size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        }
    }
    bool IsOpen() const { return static_cast<bool>(in_); }
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, unsigned char* to, std::size_t n) override
    {
        if (offset > size_ || n > size_ - offset)
            return false;
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(n));
        return static_cast<std::size_t>(in_.gcount()) == n;
    }

private:
    std::ifstream in_;
    std::uint64_t size_ = 0;
};

// One pass over the chunks of a list, [begin, end) in the file; every size is
// checked against that range in 64-bit arithmetic.
struct Walker {
    ByteSource& source;
    AviInfo& info;
    int visited = 0;
    bool haveMain = false;
    bool haveVideo = false;
    bool bad = false;

    // Calls visit(id, body offset, body size) for each chunk; a LIST's id is
    // its list type and its body starts after that type.
    template <class Visit>
    void Walk(std::uint64_t begin, std::uint64_t end, Visit visit)
    {
        std::uint64_t at = begin;
        while (!bad && end - at >= 8) {
            if (++visited > kMostChunks) {
                bad = true;
                return;
            }
            unsigned char head[12];
            if (!source.Read(at, head, 8)) {
                bad = true;
                return;
            }
            const std::uint64_t size = Le32(head + 4);
            const std::uint64_t body = at + 8;
            if (size > end - body) {
                bad = true; // a chunk larger than its parent
                return;
            }
            if (Is(head, "LIST")) {
                if (size < 4 || !source.Read(body, head + 8, 4)) {
                    bad = true;
                    return;
                }
                if (!visit(head + 8, true, body + 4, size - 4))
                    return;
            } else if (!visit(head, false, body, size)) {
                return;
            }
            at = body + size + (size & 1); // odd chunks are padded to even
        }
    }

    // The header list: the main header, then each stream list.
    void Header(std::uint64_t begin, std::uint64_t end)
    {
        Walk(begin, end, [&](const unsigned char* id, bool list, std::uint64_t body, std::uint64_t size) {
            if (!list && Is(id, "avih")) {
                unsigned char h[kMainHeaderSize];
                if (size < kMainHeaderSize || !source.Read(body, h, sizeof h)) {
                    bad = true;
                    return false;
                }
                info.maxBytesPerSecond = Le32(h + 4);
                info.streams = Le32(h + 24);
                info.width = Le32(h + 32);
                info.height = Le32(h + 36);
                haveMain = true;
            } else if (list && Is(id, "strl") && !haveVideo) {
                Stream(body, body + size);
            }
            return !bad;
        });
    }

    void Stream(std::uint64_t begin, std::uint64_t end)
    {
        Walk(begin, end, [&](const unsigned char* id, bool list, std::uint64_t body, std::uint64_t size) {
            if (list || !Is(id, "strh"))
                return true;
            unsigned char h[kStreamHeaderSize];
            if (size < kStreamHeaderSize || !source.Read(body, h, sizeof h)) {
                bad = true;
                return false;
            }
            if (Is(h, "vids")) {
                info.scale = Le32(h + 20);
                info.rate = Le32(h + 24);
                info.length = Le32(h + 32);
                haveVideo = true;
            }
            return false; // one stream header per stream list
        });
    }
};

} // namespace

bool ParseAviInfo(ByteSource& source, AviInfo& info)
{
    info = AviInfo{};
    unsigned char riff[12];
    if (source.Size() < 12 || !source.Read(0, riff, sizeof riff) || !Is(riff, "RIFF") || !Is(riff + 8, "AVI "))
        return false;
    info.fileType.assign(reinterpret_cast<const char*>(riff + 8), 4);
    while (!info.fileType.empty() && info.fileType.back() == ' ')
        info.fileType.pop_back();
    // A writer that never came back to fill in the size leaves it short or
    // 0; the file itself bounds the form then.
    const std::uint64_t declared = std::uint64_t{Le32(riff + 4)} + 8;
    const std::uint64_t end = declared > 12 && declared <= source.Size() ? declared : source.Size();

    Walker walker{source, info};
    bool sawHeader = false;
    walker.Walk(12, end, [&](const unsigned char* id, bool list, std::uint64_t body, std::uint64_t size) {
        if (!list || !Is(id, "hdrl"))
            return true;
        sawHeader = true;
        walker.Header(body, body + size);
        return false; // the movie data after it is not ours to read
    });
    return sawHeader && walker.haveMain && !walker.bad;
}

bool ParseAviInfo(const unsigned char* data, std::size_t size, AviInfo& info)
{
    MemorySource source(data, size);
    return ParseAviInfo(source, info);
}

std::string AviFramesPerSecond(const AviInfo& info)
{
    if (info.scale == 0 || info.rate == 0)
        return {};
    return FixedText(static_cast<double>(info.rate) / static_cast<double>(info.scale), 6);
}

bool LoadAviInfo(Context& ctx, const std::string& path, AviInfo& info, Owner owner)
{
    FileSource source(path);
    if (!source.IsOpen() || !ParseAviInfo(source, info)) {
        info = AviInfo{};
        ctx.Tell(254, 52, Buttons::Ok, Icon::Stop, owner);
        return false;
    }
    return true;
}

} // namespace zv
