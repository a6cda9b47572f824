#pragma once

// What the start page asks of the recent-files list: the list itself, opening
// one of its files and dropping an entry it could not read.

#include <QString>
#include <QStringList>

class QObject;

class IRecentFilesProviderInterface
{
public:
    // The provider's own list, most recent first; it stays valid while the
    // provider lives and shows every later change.
    virtual const QStringList* recentFiles() const = 0;
    // Opens the file when it exists; otherwise warns and returns false.
    virtual bool openRecentFile(const QString& path) = 0;
    // Removes the entry at `index`; an index out of range removes nothing.
    virtual void removeRecentFile(int index) = 0;
    // The provider itself, for connecting its signals.
    virtual QObject* object() = 0;
};
