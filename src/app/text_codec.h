// Subtitle lines and language texts are bytes; they are shown as UTF-8 when
// they are valid UTF-8, else in the Windows code page of the installation's
// language (1250 for Polish, 1252 otherwise). Files are never re-encoded.
#pragma once

#include <QString>

#include <string_view>

namespace zv::app {

// Installer Language 1045 selects Windows-1250, anything else Windows-1252.
void SetInstallerLanguage(int languageId);
QString DecodeText(std::string_view bytes);
// The inverse, for texts the user types that the engine stores as bytes.
std::string EncodeText(const QString& text);

} // namespace zv::app
