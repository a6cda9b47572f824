#pragma once

// Whole files read and written by the tests for their fixtures.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's lines that are not empty.
inline QStringList readLines(const QString& path)
{
    return QString::fromUtf8(readFile(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Replaces the file's content; false unless every byte was written.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
