#pragma once

// The list of the pictures opened most recently, most recent first: the
// submenu of "Recent images" and the start page's source. It is read from the
// settings when built and written back when destroyed; on the very first
// start it lists the sample pictures.

#include "mainwindow/IRecentFilesProviderInterface.h"

#include <QMenu>
#include <QStringList>

class QAction;
class QSignalMapper;

class CRecentFiles : public QMenu, public IRecentFilesProviderInterface
{
    Q_OBJECT
public:
    CRecentFiles(QWidget* messageParent, QWidget* parent);
    ~CRecentFiles() override;

    // The action that carries the menu; the menu is rebuilt.
    void setMenuAction(QAction* action);
    // A file that was just opened goes first; an entry already listed moves
    // up, otherwise the oldest of eight entries gives way.
    void addFile(const QString& path);
    // Forgets every entry, stored ones too.
    void clear();
    // "<n>.  <name>", the file name's stem elided so that the extension
    // always shows; empty for an index out of range.
    QString getEntryText(int index) const;

    // IRecentFilesProviderInterface
    const QStringList* recentFiles() const override;
    QObject* object() override;
    bool openRecentFile(const QString& path) override;
    void removeRecentFile(int index) override;

Q_SIGNALS:
    void openFile(QString path);
    void recentFileClicked(int index);

private Q_SLOTS:
    void onRecentFileClicked(int index);

private:
    void loadRecentFiles();
    void updateMenu();

    QStringList m_recentFiles;
    QAction* m_menuAction = nullptr;
    QSignalMapper* m_signalMapper = nullptr;
    QWidget* m_messageParent = nullptr;
    int m_margin = 45;
};
