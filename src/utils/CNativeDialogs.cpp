#include "utils/CNativeDialogs.h"

#include "utils/CScripting.h"
#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"

#include <utility>

namespace NAVIK_tarl1 {

std::shared_ptr<CNativeDialogs> CNativeDialogs::s_spInstance;

namespace {

// The same reason for every kind of question.
const char kNoPredefinedValue[] = "getOpenFileName have't got predefined value";

bool inScriptMode()
{
    return CScripting::getInstance()->isScriptingMode();
}

// Hands out a predefined answer once; a missing one ends the test run.
template<typename Answer>
Answer takePredefined(Answer& slot)
{
    if (slot.isEmpty()) {
        ASSERT(!slot.isEmpty());
        CScripting::getInstance()->fail(QString::fromLatin1(kNoPredefinedValue));
    }
    return std::exchange(slot, Answer());
}

} // namespace

std::shared_ptr<CNativeDialogs> CNativeDialogs::getInstance()
{
    if (!s_spInstance)
        s_spInstance.reset(new CNativeDialogs());
    return s_spInstance;
}

QString CNativeDialogs::getOpenFileName(QWidget*, const QString& caption, const QString& directory,
                                        const QString& filter, QString*, QFileDialog::Options)
{
    if (inScriptMode())
        return takePredefined(m_openFileName);
    return MacOSNativeOpenPanel(caption, directory, filter);
}

QStringList CNativeDialogs::getOpenFileNames(QWidget* parent, const QString& caption,
                                             const QString& directory, const QString& filter,
                                             QString* selectedFilter, QFileDialog::Options)
{
    if (inScriptMode())
        return takePredefined(m_openFileNames);
    return QFileDialog::getOpenFileNames(parent, caption, directory, filter, selectedFilter);
}

QString CNativeDialogs::getSaveFileName(QWidget*, const QString& caption, const QString& directory,
                                        const QString& filter, QString* selectedFilter,
                                        QFileDialog::Options)
{
    if (inScriptMode())
        return takePredefined(m_saveFileName);
    return MacOSNativeSavePanel(caption, directory, filter, selectedFilter);
}

QString CNativeDialogs::getExistingDirectory(QWidget* parent, const QString& caption,
                                             const QString& directory, QFileDialog::Options)
{
    if (inScriptMode())
        return takePredefined(m_existingDirectory);
    // Folders only, whatever the caller asked for.
    return QFileDialog::getExistingDirectory(parent, caption, directory, QFileDialog::ShowDirsOnly);
}

void CNativeDialogs::setOpenFileName(const QString& path)
{
    m_openFileName = path;
}

void CNativeDialogs::setOpenFileNames(const QVariantList& paths)
{
    m_openFileNames.clear();
    for (const QVariant& path : paths)
        m_openFileNames << path.toString();
}

void CNativeDialogs::setSaveFileName(const QString& path)
{
    m_saveFileName = path;
}

void CNativeDialogs::setExistingDirectory(const QString& folder)
{
    m_existingDirectory = folder;
}

} // namespace NAVIK_tarl1
