#include "shell/CPerformanceLogger.h"

#include "utils/Logger.h"

#include <QFile>
#include <QTextStream>

namespace NAVIK_tarl1 {

namespace {

// Quiet period after a processing finish before an action counts as done.
constexpr int kActionQuietMs = 3000;

const char kTestElement[] =
    "<Test Name=\"%1\">\n"
    "\t<Picture width=\"%2\" Height=\"%3\">%4</Picture>\n"
    "\t<Result>%5</Result>\n"
    "\t<Time>%6</Time>\n"
    "</Test>";

// Replaces the file at `path` with `text` in UTF-8.
void writeTextFile(const QString& path, const QString& text)
{
    QFile::remove(path);
    QFile file(path);
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Text);
    ASSERT(opened);
    if (!opened)
        return;
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    stream << text;
}

QString joinLines(const QList<QString>& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('\n');
    return text;
}

} // namespace

std::shared_ptr<CPerformanceLogger> CPerformanceLogger::instance()
{
    static const std::shared_ptr<CPerformanceLogger> theInstance(new CPerformanceLogger);
    return theInstance;
}

CPerformanceLogger::CPerformanceLogger()
    : m_actionTimer(this)
{
    m_actionTimer.setSingleShot(true);
    m_actionTimer.setInterval(kActionQuietMs);
    connect(&m_actionTimer, &QTimer::timeout, this, &CPerformanceLogger::onActionTimer);
}

CPerformanceLogger::~CPerformanceLogger()
{
    ASSERT(m_objects.isEmpty());
}

QDateTime CPerformanceLogger::currentTime() const
{
    return QDateTime::currentDateTimeUtc();
}

qint64 CPerformanceLogger::msecsSince(const QDateTime& start) const
{
    return start.msecsTo(currentTime());
}

void CPerformanceLogger::setPictureName(const QString& name)
{
    m_pictureName = name;
}

void CPerformanceLogger::setPictureSize(const QSize& size)
{
    m_pictureSize = size;
}

void CPerformanceLogger::registerObject(const QString& label, const QObject* object)
{
    m_objects.insert(object, {label, currentTime()});
}

void CPerformanceLogger::markObjectTime(const QObject* object, const QString& text)
{
    const auto entry = m_objects.find(object);
    ASSERT(entry != m_objects.end());
    if (entry == m_objects.end())
        return;
    entry->first += text + QLatin1Char('(') + QString::number(msecsSince(entry->second))
        + QLatin1Char(')');
}

void CPerformanceLogger::unregisterObject(const QObject* object)
{
    const auto entry = m_objects.find(object);
    ASSERT(entry != m_objects.end());
    if (entry == m_objects.end())
        return;
    m_activityLines.append(QStringLiteral("%1 live time: %2")
                               .arg(entry->first, QString::number(msecsSince(entry->second))));
    m_objects.erase(entry);
}

void CPerformanceLogger::appendTest(const QString& name, bool passed, const QString& time)
{
    // One substitution pass over escaped texts: a name holding "%2", "<" or
    // "&" (file paths do) stays as it is and the report stays well-formed XML.
    m_reportLines.append(QString::fromLatin1(kTestElement)
                             .arg(name.toHtmlEscaped(),
                                  QString::number(m_pictureSize.width()),
                                  QString::number(m_pictureSize.height()),
                                  m_pictureName.toHtmlEscaped(),
                                  passed ? QStringLiteral("passed") : QStringLiteral("failed"),
                                  time));
}

void CPerformanceLogger::startUserAction(const QString& name)
{
    if (!m_currentAction.first.isEmpty())
        appendTest(m_currentAction.first, false, QStringLiteral("unknown"));
    m_currentAction = {name, currentTime()};
    m_lastFinish = {};
}

void CPerformanceLogger::addUserAction(const QString& name, int time)
{
    appendTest(name, true, QString::number(time));
}

void CPerformanceLogger::onProcessingStarted()
{
    m_lastFinish = {};
}

void CPerformanceLogger::onProcessingFiniched()
{
    if (m_currentAction.first.isEmpty())
        return;
    m_actionTimer.start();
    m_lastFinish = {m_currentAction.first, currentTime()};
}

void CPerformanceLogger::onActionTimer()
{
    // A processing that started during the quiet period cleared the finish:
    // the action goes on until its next finish.
    if (m_lastFinish.first.isNull())
        return;
    ASSERT(m_lastFinish.first == m_currentAction.first);
    appendTest(m_currentAction.first, true,
               QString::number(m_currentAction.second.msecsTo(m_lastFinish.second)));
    m_lastFinish = {};
    m_currentAction = {};
}

void CPerformanceLogger::saveReport(const QString& path)
{
    writeTextFile(path,
                  QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                                 "<PerfomanceTestingReport BuildNumber=\"1.0.6.0\">\n")
                      + joinLines(m_reportLines)
                      + QStringLiteral("</PerfomanceTestingReport>"));
}

void CPerformanceLogger::saveTaskActivity(const QString& path)
{
    writeTextFile(path, joinLines(m_activityLines));
}

} // namespace NAVIK_tarl1
