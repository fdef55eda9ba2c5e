#include "app/text_codec.h"

#include <QStringDecoder>
#include <QList>
#include <QStringEncoder>

#include <atomic>

namespace zv::app {

namespace {

std::atomic<int> installerLanguage{1033};

bool IsValidUtf8(std::string_view bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

const char* CodePage()
{
    return installerLanguage.load() == 1045 ? "windows-1250" : "windows-1252";
}

} // namespace

void SetInstallerLanguage(int languageId)
{
    installerLanguage = languageId;
}

QString DecodeText(std::string_view bytes)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(view);
    QStringDecoder decoder(CodePage());
    if (!decoder.isValid())
        return QString::fromLatin1(view);
    return decoder.decode(view);
}

QString ShownEncodingOf(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? QStringLiteral("UTF-8") : QString::fromLatin1(CodePage());
}

std::string EncodeForFile(std::string_view utf8, const QString& encodingName)
{
    const QByteArray name = encodingName.isEmpty() ? QByteArrayLiteral("UTF-8") : encodingName.toLatin1();
    if (!QStringEncoder(name.constData()).isValid())
        return std::string(utf8);
    // One character at a time: one the code page lacks becomes a plain '?',
    // never the converter's control-character substitute.
    std::string out;
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QList<uint> characters = text.toUcs4();
    for (const uint code : characters) {
        const auto c = static_cast<char32_t>(code);
        // A fresh encoder each time: an error stays with the one that saw it.
        QStringEncoder encoder(name.constData(), QStringEncoder::Flag::Stateless);
        const QByteArray bytes = encoder.encode(QString::fromUcs4(&c, 1));
        if (encoder.hasError() || bytes.isEmpty() || (bytes == "\x1a" && c != 0x1A)) {
            out += '?';
        } else {
            out.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        }
    }
    return out;
}

std::string EncodeText(const QString& text)
{
    // Plain ASCII and UTF-8 round-trip as UTF-8; that is what we store.
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace zv::app
