// File paths cross between the engine (bytes) and Qt (text) in the file
// system's own encoding.
#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace zv::qt {

inline QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

inline std::string PathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace zv::qt
