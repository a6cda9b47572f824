#include "utils/CErrStrings.h"

#include "utils/SharedConstants.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <unistd.h>

#include <new>

namespace NAVIK_tarl1 {

namespace {

void writeToStandardError(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, size_t(left));
        if (written <= 0)
            return;
        data += written;
        left -= written;
    }
}

bool hasWindowSystem()
{
    const auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    return application && application->thread() == QThread::currentThread();
}

} // namespace

CErrStrings::CErrStrings()
{
    Retranslate();
}

CErrStrings::~CErrStrings() = default;

void CErrStrings::Retranslate()
{
    m_texts[Title] = QObject::tr("Error");
    m_texts[SmallFreeSpace] = QObject::tr("Mac free space drive message");
    m_texts[OutOfMemory] = QObject::tr("Out of memory. Program will be closed.");
    m_texts[OutOfMemoryInHost] =
        QObject::tr("%1 has run out of memory. The application may now become unstable. Please close "
                    "%2 and Photoshop, quit all other programs running, and try again.")
            .arg(g_appTitle)
            .arg(g_appTitle);
    m_texts[UnhandledException] = QObject::tr("Unhandled exception. Program will be closed.");

    ClearData();
    for (int text = 0; text < TextCount; ++text)
        m_nativeTexts[text] = m_texts[text].toUtf8();
}

void CErrStrings::ClearData()
{
    for (QByteArray& native : m_nativeTexts)
        native = QByteArray();
}

void CErrStrings::ShowSmallFreeSpaceDialog() const
{
    showAlert(SmallFreeSpace);
}

void CErrStrings::ShowOutOfMemoryDialog() const
{
    showAlert(OutOfMemory);
}

void CErrStrings::ShowOutOfMemoryInPhotoshopDialog() const
{
    showAlert(OutOfMemoryInHost);
}

void CErrStrings::ShowUnhandledExceptionDialog() const
{
    showAlert(UnhandledException);
}

void CErrStrings::showAlert(Text message) const
{
    if (m_nativeTexts[Title].isNull() || m_nativeTexts[message].isNull())
        return;
    if (hasWindowSystem()) {
        // The texts are shared, not copied: the box allocates only its
        // widgets. Where even those find no memory, the text goes to the
        // standard error as without a window system.
        try {
            QMessageBox alert(QMessageBox::Critical, m_texts[Title], m_texts[message], QMessageBox::Ok);
            alert.exec();
            return;
        } catch (const std::bad_alloc&) {
        }
    }
    writeToStandardError(m_nativeTexts[Title]);
    writeToStandardError(QByteArrayLiteral(": "));
    writeToStandardError(m_nativeTexts[message]);
    writeToStandardError(QByteArrayLiteral("\n"));
}

FatalError runReportingFatalErrors(const CErrStrings& alerts,
                                   const std::function<std::unique_ptr<QApplication>()>& start,
                                   const std::function<void(QApplication&)>& run)
{
    // Outside the try: the alert needs the application object, which the
    // unwinding would otherwise have taken.
    std::unique_ptr<QApplication> application;
    FatalError fatal = FatalError::None;
    try {
        application = start();
        if (application)
            run(*application);
    } catch (const std::bad_alloc&) {
        fatal = FatalError::OutOfMemory;
    } catch (...) {
        fatal = FatalError::UnhandledException;
    }
    if (fatal == FatalError::OutOfMemory)
        alerts.ShowOutOfMemoryDialog();
    else if (fatal == FatalError::UnhandledException)
        alerts.ShowUnhandledExceptionDialog();
    return fatal;
}

} // namespace NAVIK_tarl1
