#include "correction/CustomUndoCommands.h"

#include "utils/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// Steps of one key created closer together than this become one.
constexpr qint64 kMergeIntervalMs = 500;

} // namespace

CTimedCustomUndoCommnd::CTimedCustomUndoCommnd(const QString& text, const QString& key)
    : CTimedCustomUndoCommnd(text, key, QDateTime::currentDateTime())
{
}

CTimedCustomUndoCommnd::CTimedCustomUndoCommnd(const QString& text, const QString& key,
                                               const QDateTime& creationTime)
    : CUndoCommand(text)
    , m_creationTime(creationTime)
    , m_key(key)
{
}

bool CTimedCustomUndoCommnd::mergeWith(const QUndoCommand* other)
{
    const auto* newer = dynamic_cast<const CTimedCustomUndoCommnd*>(other);
    if (!newer || newer->m_key != m_key)
        return false;
    // A clock set back merges too.
    if (m_creationTime.msecsTo(newer->creationTime()) >= kMergeIntervalMs)
        return false;
    takeAfterStates(newer);
    return true;
}

QDateTime CTimedCustomUndoCommnd::creationTime() const
{
    return m_creationTime;
}

int CSliderCustomUndoCommnd::id() const
{
    return 2;
}

CGraphicsItemPosChangedByKeyEventCustomUndoCommand::CGraphicsItemPosChangedByKeyEventCustomUndoCommand(
    const QString& text, const QGraphicsItem* item)
    : CUndoCommand(text)
    , m_item(item)
{
}

int CGraphicsItemPosChangedByKeyEventCustomUndoCommand::id() const
{
    return 4;
}

bool CGraphicsItemPosChangedByKeyEventCustomUndoCommand::mergeWith(const QUndoCommand* other)
{
    const auto* newer = dynamic_cast<const CGraphicsItemPosChangedByKeyEventCustomUndoCommand*>(other);
    if (newer && newer->m_item == m_item) {
        takeAfterStates(newer);
        return true;
    }
    return CUndoCommand::mergeWith(other);
}

CCafDeleteUndoCommand::CCafDeleteUndoCommand(const QString& text, const QString& moduleName)
    : CCafDeleteUndoCommand(text, moduleName, calibrationModulesFolder())
{
}

CCafDeleteUndoCommand::CCafDeleteUndoCommand(const QString& text, const QString& moduleName,
                                             const QString& moduleFolder)
    : CUndoCommand(text)
    , m_moduleName(moduleName)
{
    // Without a folder the path would depend on the current folder.
    if (moduleFolder.isEmpty() || moduleName.isEmpty())
        return;
    const QString modulePath = moduleFolder + moduleName + QStringLiteral(".caf");
    if (!QFileInfo(modulePath).isFile())
        return;

    // Each step keeps its own backup, so two deletions of one module name
    // never share a copy.
    QTemporaryFile backup(QDir::temp().filePath(moduleName + QStringLiteral("-XXXXXX.caf")));
    backup.setAutoRemove(false);
    if (!backup.open()) {
        ASSERT(false);
        return;
    }
    const QString backupPath = backup.fileName();
    backup.close();
    QFile::remove(backupPath);
    if (!QFile::copy(modulePath, backupPath)) {
        ASSERT(false);
        QFile::remove(backupPath);
        return;
    }
    m_moduleFilePath = modulePath;
    m_backupPath = backupPath;
}

QString CCafDeleteUndoCommand::calibrationModulesFolder()
{
    return QString();
}

bool CCafDeleteUndoCommand::handlesFiles() const
{
    return !m_moduleFilePath.isEmpty() && !m_backupPath.isEmpty();
}

void CCafDeleteUndoCommand::undo()
{
    if (handlesFiles()) {
        QFile::remove(m_moduleFilePath);
        QFile::copy(m_backupPath, m_moduleFilePath);
    }
    CUndoCommand::undo();
}

void CCafDeleteUndoCommand::redo()
{
    if (handlesFiles())
        QFile::remove(m_moduleFilePath);
    CUndoCommand::redo();
}

int CCafDeleteUndoCommand::id() const
{
    return 5;
}

bool CCafDeleteUndoCommand::mergeWith(const QUndoCommand* other)
{
    const auto* newer = dynamic_cast<const CCafDeleteUndoCommand*>(other);
    if (newer && newer->m_moduleName == m_moduleName) {
        takeAfterStates(newer);
        return true;
    }
    return CUndoCommand::mergeWith(other);
}
