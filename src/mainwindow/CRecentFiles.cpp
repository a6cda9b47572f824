#include "mainwindow/CRecentFiles.h"

#include "utils/CMessageBox.h"
#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"
#include "utils/Utilities.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QSignalMapper>

using namespace NAVIK_tarl1;

namespace {

const QString kRecentFilesKey = QStringLiteral("recent-files");
// Present once the program has ended normally: samples are offered on the
// first start only.
const QString kSamplesOfferedKey = QStringLiteral("RecentFilesSampleImagesFirstStartup");
constexpr int kMaxMenuEntries = 8;
constexpr int kMaxEntryWidth = 400;

} // namespace

CRecentFiles::CRecentFiles(QWidget* messageParent, QWidget* parent) : QMenu(parent), m_messageParent(messageParent)
{
    m_signalMapper = new QSignalMapper(this);
    loadRecentFiles();
    connect(m_signalMapper, &QSignalMapper::mappedInt, this, &CRecentFiles::onRecentFileClicked);
}

CRecentFiles::~CRecentFiles()
{
    CSettings settings;
    settings.setValue(kRecentFilesKey, m_recentFiles);
    settings.setValue(kSamplesOfferedKey, QString());
}

void CRecentFiles::loadRecentFiles()
{
    CSettings settings;
    m_recentFiles = settings.value(kRecentFilesKey, QStringList()).toStringList();
    if (!m_recentFiles.isEmpty() || settings.contains(kSamplesOfferedKey))
        return;
    const QString folder = getSamplePicturesLocation();
    if (folder.isEmpty())
        return;
    const QStringList names = QDir(folder).entryList(
        {QStringLiteral("*.jpeg"), QStringLiteral("*.jpg"), QStringLiteral("*.tif"), QStringLiteral("*.tiff")},
        QDir::Files, QDir::NoSort);
    for (const QString& name : names.mid(0, kMaxMenuEntries))
        m_recentFiles.append(folder + name);
}

void CRecentFiles::setMenuAction(QAction* action)
{
    m_menuAction = action;
    updateMenu();
}

void CRecentFiles::addFile(const QString& path)
{
    const int index = int(m_recentFiles.indexOf(path));
    if (index >= 0) {
        m_recentFiles.move(index, 0);
    } else {
        if (m_recentFiles.size() >= kMaxMenuEntries)
            m_recentFiles.removeLast();
        m_recentFiles.prepend(path);
    }
    updateMenu();
}

void CRecentFiles::clear()
{
    CSettings().remove(kRecentFilesKey);
    m_recentFiles.clear();
    updateMenu();
}

void CRecentFiles::updateMenu()
{
    if (!m_menuAction)
        return;
    m_menuAction->setEnabled(!m_recentFiles.isEmpty());
    for (QAction* action : actions())
        m_signalMapper->removeMappings(action);
    QMenu::clear();
    for (int i = 0; i < m_recentFiles.size() && i < kMaxMenuEntries; ++i) {
        // A "&" of the file name is shown as itself, not as a shortcut mark.
        QAction* action = addAction(getEntryText(i).replace(QLatin1Char('&'), QStringLiteral("&&")));
        connect(action, &QAction::triggered, m_signalMapper, qOverload<>(&QSignalMapper::map));
        m_signalMapper->setMapping(action, i);
    }
}

QString CRecentFiles::getEntryText(int index) const
{
    if (index < 0 || index >= m_recentFiles.size())
        return {};
    const QString text = QStringLiteral("%1.  %2").arg(index + 1).arg(QFileInfo(m_recentFiles.at(index)).fileName());
    // The extension always shows; a long name loses the end of its stem.
    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    const QString head = text.left(dot);
    const QString tail = text.mid(dot);
    const QFontMetrics metrics(font());
    const int width = kMaxEntryWidth - m_margin - metrics.horizontalAdvance(tail);
    return metrics.elidedText(head, Qt::ElideRight, width) + tail;
}

const QStringList* CRecentFiles::recentFiles() const
{
    return &m_recentFiles;
}

QObject* CRecentFiles::object()
{
    return this;
}

bool CRecentFiles::openRecentFile(const QString& path)
{
    if (QFileInfo(path).exists()) {
        Q_EMIT openFile(path);
        return true;
    }
    ASSERT(m_messageParent);
    CMessageBox::warning(m_messageParent, g_appTitle,
                         tr("The selected image could not be found. Please check that the file was not moved "
                            "and that the disk is connected."),
                         QMessageBox::Ok, QMessageBox::NoButton);
    return false;
}

void CRecentFiles::removeRecentFile(int index)
{
    if (index >= 0 && index < m_recentFiles.size())
        m_recentFiles.removeAt(index);
    updateMenu();
}

void CRecentFiles::onRecentFileClicked(int index)
{
    if (index >= 0 && index < m_recentFiles.size())
        openRecentFile(m_recentFiles.at(index));
}
