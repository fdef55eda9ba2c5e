#include "app/document_model.h"

#include "engine/io/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace zv::app {

namespace {

// Read in pieces of this size, so that a large file shows its progress.
constexpr std::size_t kPiece = 4u << 20;

// Appends the start of every line that begins within [from, bytes.size()).
void FindLineStarts(const std::string& bytes, std::size_t from, std::vector<std::uint64_t>& starts)
{
    const char* const begin = bytes.data();
    const char* p = begin + from;
    const char* const end = begin + bytes.size();
    while (p < end) {
        const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!found)
            break;
        p = static_cast<const char*>(found) + 1;
        starts.push_back(static_cast<std::uint64_t>(p - begin));
    }
}

bool ReadLines(const std::string& path, std::string& bytes, std::vector<std::uint64_t>& starts,
               const std::function<void(int)>& percent)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const std::uint64_t size = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    // Room for the whole file and the read that meets its end: the buffer
    // is never moved (which would need twice the file's size for a moment).
    bytes.reserve(static_cast<std::size_t>(size) + 1);
    starts.push_back(0);
    bool ok = true;
    for (;;) {
        const std::size_t filled = bytes.size();
        const std::size_t room = bytes.capacity() - filled;
        const std::size_t piece = room > 0 ? std::min(room, kPiece) : kPiece;
        bytes.resize(filled + piece);
        const ssize_t n = ::read(fd, bytes.data() + filled, piece);
        if (n < 0 && errno == EINTR) {
            bytes.resize(filled);
            continue;
        }
        bytes.resize(filled + static_cast<std::size_t>(n > 0 ? n : 0));
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        FindLineStarts(bytes, filled, starts);
        if (percent && size > 0)
            percent(static_cast<int>(std::min<std::uint64_t>(bytes.size(), size) * 100 / size));
    }
    ::close(fd);
    // A last line without a line break ends where the file ends.
    if (ok && bytes.size() > starts.back())
        starts.push_back(bytes.size());
    return ok;
}

} // namespace

DocumentModel::DocumentModel(QObject* parent) : QAbstractListModel(parent) {}

bool DocumentModel::Load(const std::string& path, const std::string& encoding,
                         const std::function<void(int)>& percent)
{
    // The lines shown stay until the new ones are complete: the list may be
    // painted while the file is read.
    std::string bytes;
    std::vector<std::uint64_t> starts;
    const bool ok = ReadLines(path, bytes, starts, percent);
    if (!ok) {
        bytes.clear();
        bytes.shrink_to_fit();
        starts.clear();
    }
    beginResetModel();
    bytes_.swap(bytes);
    starts_.swap(starts);
    decoder_.emplace(encoding);
    endResetModel();
    return ok;
}

int DocumentModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || starts_.empty())
        return 0;
    const std::size_t lines = starts_.size() - 1;
    return static_cast<int>(std::min<std::size_t>(lines + 1, INT_MAX));
}

std::string_view DocumentModel::LineBytes(int row) const
{
    const auto n = static_cast<std::size_t>(row);
    return std::string_view(bytes_).substr(static_cast<std::size_t>(starts_[n - 1]),
                                           static_cast<std::size_t>(starts_[n] - starts_[n - 1]));
}

QString DocumentModel::LineText(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return QStringLiteral(" ");
    // A line far longer than what is shown is cut before decoding; four bytes
    // a character leave enough for the cut after it. The cut never splits a
    // UTF-8 character, which would make a UTF-8 line look like another code.
    std::string_view line = zv::WithoutLineEnd(LineBytes(row));
    if (std::size_t cut = 4 * kShownLineLength + 4; line.size() > cut) {
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        line = line.substr(0, cut);
    }
    return decoder_->Decode(line).left(kShownLineLength);
}

QVariant DocumentModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() != 0)
        return {};
    return LineText(index.row());
}

} // namespace zv::app
