#pragma once

// Undo steps that merge a burst of small changes into one step: slider moves
// of one value within 500 ms, arrow-key moves of one item, deletions of one
// calibration module; and the deletion of a calibration-module file that undo
// brings back.

#include "correction/CUndoCommand.h"

#include <QDateTime>

class QGraphicsItem;

// Absorbs a newer step of the same key created less than 500 ms after it.
class CTimedCustomUndoCommnd : public CUndoCommand
{
public:
    CTimedCustomUndoCommnd(const QString& text, const QString& key);
    // With the creation time given (tests).
    CTimedCustomUndoCommnd(const QString& text, const QString& key, const QDateTime& creationTime);

    bool mergeWith(const QUndoCommand* other) override;
    virtual QDateTime creationTime() const;
    QString key() const { return m_key; }

private:
    QDateTime m_creationTime;
    QString m_key;
};

class CSliderCustomUndoCommnd : public CTimedCustomUndoCommnd
{
public:
    using CTimedCustomUndoCommnd::CTimedCustomUndoCommnd;
    int id() const override;
};

// Absorbs a newer step that moved the same item by keys.
class CGraphicsItemPosChangedByKeyEventCustomUndoCommand : public CUndoCommand
{
public:
    // The item is only compared, never used.
    CGraphicsItemPosChangedByKeyEventCustomUndoCommand(const QString& text, const QGraphicsItem* item);

    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    const QGraphicsItem* m_item;
};

// Deletes a calibration module's file when pushed and brings it back from a
// backup copy on undo. Without a module folder, or when the file cannot be
// backed up, it touches no file and is a plain step.
class CCafDeleteUndoCommand : public CUndoCommand
{
public:
    CCafDeleteUndoCommand(const QString& text, const QString& moduleName);
    // With the folder of the module files given (ending in a separator).
    CCafDeleteUndoCommand(const QString& text, const QString& moduleName, const QString& moduleFolder);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    QString moduleFilePath() const { return m_moduleFilePath; }
    QString backupPath() const { return m_backupPath; }

    // The folder of the calibration-module files; none is known here.
    static QString calibrationModulesFolder();

private:
    bool handlesFiles() const;

    QString m_moduleName;
    QString m_moduleFilePath;
    QString m_backupPath;
};
