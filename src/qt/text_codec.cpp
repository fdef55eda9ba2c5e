#include "qt/text_codec.h"

#include "engine/io/encoding.h"

#include <QStringDecoder>
#include <QList>

#include <atomic>

namespace zv::qt {

namespace {

std::atomic<int> installerLanguage{1033};

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
    return TextDecoder({}).Decode(bytes);
}

std::string EncodeText(const QString& text)
{
    // Plain ASCII and UTF-8 round-trip as UTF-8; that is what we store.
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString DecodeText(std::string_view bytes, const std::string& encoding)
{
    return TextDecoder(encoding).Decode(bytes);
}

TextDecoder::TextDecoder(const std::string& encoding)
{
    if (!encoding.empty())
        named_ = QStringDecoder(encoding.c_str(), QStringDecoder::Flag::Stateless);
    if (!named_.isValid()) {
        utf8_ = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        codePage_ = QStringDecoder(CodePage(), QStringDecoder::Flag::Stateless);
    }
}

QString TextDecoder::Decode(std::string_view bytes)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // Every text stands alone: nothing of the previous one carries over.
    if (named_.isValid()) {
        named_.resetState();
        return named_.decode(view);
    }
    utf8_.resetState();
    QString text = utf8_.decode(view);
    if (!utf8_.hasError())
        return text;
    if (!codePage_.isValid())
        return QString::fromLatin1(view);
    codePage_.resetState();
    return codePage_.decode(view);
}

std::string EncodeText(const QString& text, const std::string& encoding)
{
    // The command line writes typed texts into files through the same encoder.
    return zv::EncodeUtf8Text(EncodeText(text), encoding);
}

} // namespace zv::qt
