#pragma once

// The URLs of a drag or drop that name picture files the application opens:
// local paths, with native separators, of those whose name the application
// object accepts (a JPEG or TIFF suffix), in the order of the URLs. Built for
// one event and dropped with it.

#include <QList>
#include <QStringList>
#include <QUrl>

class CFilteredURLs
{
public:
    explicit CFilteredURLs(const QList<QUrl>& urls);

    const QStringList& acceptedFiles() const { return m_acceptedFiles; }
    // Whether at least one URL was accepted.
    bool isImage() const;

private:
    QStringList m_acceptedFiles;
    bool m_isImage = false;
    bool m_evaluated = false;
};
