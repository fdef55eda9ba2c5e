#include "app/text_codec.h"

#include <QStringDecoder>
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
    QStringEncoder encoder(name.constData());
    if (!encoder.isValid())
        return std::string(utf8);
    const QByteArray bytes = encoder.encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string EncodeText(const QString& text)
{
    // Plain ASCII and UTF-8 round-trip as UTF-8; that is what we store.
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace zv::app
