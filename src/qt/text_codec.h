// Subtitle lines and language texts are bytes; they are shown as UTF-8 when
// they are valid UTF-8, else in the Windows code page of the installation's
// language (1250 for Polish, 1252 otherwise). Files are never re-encoded.
#pragma once

#include <QString>
#include <QStringDecoder>

#include <string>
#include <string_view>

namespace zv::qt {

// Installer Language 1045 selects Windows-1250, anything else Windows-1252.
void SetInstallerLanguage(int languageId);
QString DecodeText(std::string_view bytes);
// The inverse, for texts the user types that the engine stores as bytes.
std::string EncodeText(const QString& text);

// A subtitle file's bytes in the file's own encoding, named as the engine's
// DetectEncoding names it; an empty or unknown name decodes as above.
QString DecodeText(std::string_view bytes, const std::string& encoding);
// Decodes many texts of one encoding (the lines of one file) through the
// same converters: opening a converter costs far more than decoding a line.
// Decode(bytes) gives what DecodeText(bytes, encoding) gives.
class TextDecoder {
public:
    explicit TextDecoder(const std::string& encoding);
    QString Decode(std::string_view bytes);

private:
    QStringDecoder named_;    // the file's encoding; invalid when unknown
    QStringDecoder utf8_;     // without a known encoding: UTF-8 when valid,
    QStringDecoder codePage_; // else the installation's code page
};

// A typed text as bytes of that encoding, for writing into such a file;
// characters the encoding lacks become "?". Empty name: UTF-8.
std::string EncodeText(const QString& text, const std::string& encoding);

} // namespace zv::qt
