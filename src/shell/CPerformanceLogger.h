#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QSize>
#include <QString>
#include <QTimer>

#include <memory>

namespace NAVIK_tarl1 {

// Measures, for automated performance tests, the time from the start of a user
// action to the end of the last image processing it caused, and writes the
// measurements as an XML report. Test scripts reach it as "performanceLogger".
//
// An action passes once three quiet seconds follow a processing finish; its
// time runs from startUserAction to that last finish. Starting another action
// first records the earlier one as failed.
//
// It also keeps the life times of registered objects, written by
// saveTaskActivity. Everything runs on the main thread.
class CPerformanceLogger : public QObject
{
    Q_OBJECT
public:
    static std::shared_ptr<CPerformanceLogger> instance();
    ~CPerformanceLogger() override;

    // Shown in every later report element.
    void setPictureName(const QString& name);
    void setPictureSize(const QSize& size);

    void registerObject(const QString& label, const QObject* object);
    // Appends "<text>(<ms since registration>)" to the object's label.
    void markObjectTime(const QObject* object, const QString& text);
    // Records "<label> live time: <ms>" as an activity line and forgets the object.
    void unregisterObject(const QObject* object);

    Q_INVOKABLE void saveTaskActivity(const QString& path);
    Q_INVOKABLE void startUserAction(const QString& name);
    // Records an action measured elsewhere as passed with the given time.
    Q_INVOKABLE void addUserAction(const QString& name, int time);
    Q_INVOKABLE void saveReport(const QString& path);

public Q_SLOTS:
    void onProcessingStarted();
    void onProcessingFiniched();

protected:
    CPerformanceLogger();
    // The clock all measurements read; tests put their own in its place.
    virtual QDateTime currentTime() const;

private Q_SLOTS:
    void onActionTimer();

private:
    using TimedName = QPair<QString, QDateTime>;

    void appendTest(const QString& name, bool passed, const QString& time);
    qint64 msecsSince(const QDateTime& start) const;

    QMap<const QObject*, TimedName> m_objects;
    TimedName m_currentAction;
    TimedName m_lastFinish;
    QTimer m_actionTimer;
    QList<QString> m_activityLines;
    QList<QString> m_reportLines;
    QSize m_pictureSize;
    QString m_pictureName;
};

} // namespace NAVIK_tarl1
