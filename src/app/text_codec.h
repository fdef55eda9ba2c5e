// Subtitle lines and language texts are bytes; they are shown as UTF-8 when
// they are valid UTF-8, else in the Windows code page of the installation's
// language (1250 for Polish, 1252 otherwise). Files are never re-encoded.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace zv::app {

// Installer Language 1045 selects Windows-1250, anything else Windows-1252.
void SetInstallerLanguage(int languageId);
QString DecodeText(std::string_view bytes);
// The inverse, for texts the user types that the engine stores as bytes.
std::string EncodeText(const QString& text);

// The encoding a subtitle file's bytes are shown in: "UTF-8" when they are
// valid UTF-8, else the installation's Windows code page.
QString ShownEncodingOf(std::string_view bytes);
// UTF-8 text in the named encoding (an unknown name: UTF-8 as it is).
// Characters the encoding lacks become '?'.
std::string EncodeForFile(std::string_view utf8, const QString& encodingName);

} // namespace zv::app
