#pragma once

// How texts of the application cross into the imaging framework, which takes
// 8-bit std::strings.

#include <QFile>
#include <QString>

#include <string>

// A dictionary key or a string value: the keys are plain ASCII.
inline std::string toNavikString(const QString& text)
{
    return text.toLatin1().toStdString();
}

// A file path in the file system's own encoding, so that names outside ASCII
// reach the file.
inline std::string toNavikPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}
