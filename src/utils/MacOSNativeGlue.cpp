#include "utils/MacOSNativeGlue.h"

#include "utils/Logger.h"
#include "utils/RecentDocuments.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDebug>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

MacOSNSWindowDelegate* g_pMainWindowDelegate = nullptr;
std::map<const QWidget*, MacOSNSApplicationNotificationResponder*> g_cNSAppNotificationResponderMap;

namespace {

// The top-level window of the widget with that id, or null.
QWidget* windowForId(long windowId)
{
    if (windowId == 0)
        return nullptr;
    QWidget* widget = QWidget::find(static_cast<WId>(windowId));
    return widget ? widget->window() : nullptr;
}

// Changes one window hint without re-creating the native window: QWidget's
// setWindowFlags() hides a visible window, which would make it blink.
void setWindowHint(QWidget* window, Qt::WindowType hint, bool on)
{
    const Qt::WindowFlags flags = window->windowFlags().setFlag(hint, on);
    if (flags == window->windowFlags())
        return;
    window->overrideWindowFlags(flags);
    if (QWindow* handle = window->windowHandle())
        handle->setFlags(flags);
}

// Modal panels float above ordinary windows; everything else stays at the
// normal level.
void setModalPanelLevel(QWidget* window, bool modal)
{
    setWindowHint(window, Qt::WindowStaysOnTopHint, modal);
}

// The dialogs open over the window the user works in, so that they are
// centred on it and take its style sheet.
QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

QString namePatterns(const QStringList& types)
{
    QStringList patterns;
    for (const QString& type : types)
        patterns << QStringLiteral("*.") + type;
    patterns.removeDuplicates();
    return patterns.join(QLatin1Char(' '));
}

// A folder argument that names a file which is not a folder proposes that
// file's name in its folder.
void splitProposedName(const QString& directory, QString& folder, QString& proposedName)
{
    folder = directory;
    proposedName.clear();
    if (QFileInfo(directory).isDir() || !directory.contains(QLatin1Char('/')))
        return;
    const qsizetype slash = directory.lastIndexOf(QLatin1Char('/'));
    proposedName = directory.mid(slash + 1);
    folder = directory.left(slash);
}

// The save panel. Qt's own keeps a new name longer than its folder takes
// without a word; this one hands it over, so that the save says why the file
// cannot be written, as it does for a folder path too long.
class SavePanel : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

protected:
    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && isNewNameTooLong(files.constFirst())) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }

private:
    static bool isNewNameTooLong(const QString& path)
    {
        const QFileInfo file(path);
        if (file.exists() || file.isSymLink())
            return false;
        const long longest = pathconf(QFile::encodeName(file.absolutePath()).constData(), _PC_NAME_MAX);
        return longest > 0 && QFile::encodeName(file.fileName()).size() > longest;
    }
};

QStringList nonEmptyFilterParts(const QString& filter)
{
    QStringList parts;
    for (const QString& part : filter.split(QLatin1Char(';')))
        if (!part.isEmpty())
            parts << part;
    return parts;
}

} // namespace

// ---------------------------------------------------------------- delegates

MacOSNSWindowDelegate::MacOSNSWindowDelegate(CWindowFullScreenModeSwitchHandler_Abstract* handler,
                                             QWidget* window)
    : m_win(window)
    , m_handler(handler)
    , m_wasFullScreen(window->isFullScreen())
{
    window->installEventFilter(this);
}

bool MacOSNSWindowDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_win && event->type() == QEvent::WindowStateChange) {
        const bool fullScreen = m_win->isFullScreen();
        if (fullScreen != m_wasFullScreen) {
            m_wasFullScreen = fullScreen;
            if (fullScreen)
                m_handler->fullScreenModeEntered();
            else
                m_handler->fullScreenModeExited();
        }
    }
    return QObject::eventFilter(watched, event);
}

MacOSNSApplicationNotificationResponder::MacOSNSApplicationNotificationResponder(QWidget* window)
    : m_win(window)
{
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            &MacOSNSApplicationNotificationResponder::onApplicationStateChanged);
}

void MacOSNSApplicationNotificationResponder::setWnd(QWidget* window)
{
    m_win = window;
}

void MacOSNSApplicationNotificationResponder::onApplicationStateChanged(Qt::ApplicationState state)
{
    if (!m_win)
        return;
    setWindowHint(m_win, Qt::WindowStaysOnTopHint, state == Qt::ApplicationActive);
}

// ---------------------------------------------------------------- screens

void getScreenDpi(int* x, int* y)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        // No display at all: the resolution Qt itself assumes then.
        NAVIK_tarl1::screenDpiFromSize(QSize(), QSizeF(), 96.0, 96.0, x, y);
        return;
    }
    NAVIK_tarl1::screenDpiFromSize(screen->size(), screen->physicalSize(),
                                   screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY(),
                                   x, y);
}

long MacOSGetDisplayID(long windowId, bool& ok)
{
    ok = false;
    QWidget* window = windowForId(windowId);
    if (!window || !window->screen())
        return 0;
    const qsizetype index = QGuiApplication::screens().indexOf(window->screen());
    if (index < 0)
        return 0;
    ok = true;
    return static_cast<long>(index);
}

// ---------------------------------------------------------------- full screen

bool MacOSIsFullScreenMode(long windowId)
{
    const QWidget* window = windowForId(windowId);
    return window && window->isFullScreen();
}

void MacOSOnFullScreenModeSwitchHandlerDeleted()
{
    delete g_pMainWindowDelegate;
    g_pMainWindowDelegate = nullptr;
}

void MacOSSetFullscreenCapable(long windowId, CWindowFullScreenModeSwitchHandler_Abstract* handler)
{
    MacOSOnFullScreenModeSwitchHandlerDeleted();
    QWidget* window = windowForId(windowId);
    // Every top-level window may go full screen on X11 and Wayland; only the
    // notifications need setting up.
    if (!window || !handler)
        return;
    g_pMainWindowDelegate = new MacOSNSWindowDelegate(handler, window);
}

void MacOSToggleFullScreenMode(long windowId)
{
    if (QWidget* window = windowForId(windowId))
        window->setWindowState(window->windowState() ^ Qt::WindowFullScreen);
}

// ---------------------------------------------------------------- windows

void MacOSLaunchApplication(const char* path)
{
    if (path)
        QProcess::startDetached(QString::fromUtf8(path), QStringList());
}

void MacOSSetClosingWindowEnabled(long windowId, bool enabled)
{
    QWidget* window = windowForId(windowId);
    if (!window)
        return;
    // Without the customize hint the window manager decides on the buttons
    // by itself and ignores the close-button hint.
    setWindowHint(window, Qt::CustomizeWindowHint, true);
    setWindowHint(window, Qt::WindowTitleHint, true);
    setWindowHint(window, Qt::WindowSystemMenuHint, true);
    setWindowHint(window, Qt::WindowCloseButtonHint, enabled);
}

void MacOSBringToTop(long windowId, bool modal)
{
    QWidget* window = windowForId(windowId);
    if (!window)
        return;
    setModalPanelLevel(window, modal);
    window->raise();
}

void MacOSBringToBottom(long windowId, bool modal)
{
    QWidget* window = windowForId(windowId);
    if (!window)
        return;
    setModalPanelLevel(window, modal);
    window->lower();
}

void MacOSEndModalSession()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else if (modal)
        modal->close();
}

void MacOSSetBehaviorForExpose(long windowId)
{
    // Window managers on Linux keep every top-level window in the workspace
    // switcher and overview already; there is nothing to switch on.
    Q_UNUSED(windowId);
}

void MacOSDeminituarize(long windowId)
{
    QWidget* window = windowForId(windowId);
    if (!window || !window->isMinimized())
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
}

// ---------------------------------------------------------------- activation

void MacOSSetupNSApplicationNotificationResponder(const QWidget& widget)
{
    QWidget* window = const_cast<QWidget&>(widget).window();
    const auto found = g_cNSAppNotificationResponderMap.find(&widget);
    if (found != g_cNSAppNotificationResponderMap.end()) {
        found->second->setWnd(window);
        return;
    }
    auto* responder = new MacOSNSApplicationNotificationResponder(window);
    g_cNSAppNotificationResponderMap.emplace(&widget, responder);
    // A widget destroyed without being detached would leave a dangling key
    // behind, which a later widget at the same address would inherit.
    QObject::connect(&widget, &QObject::destroyed, responder,
                     [key = &widget]() { MacOSRemoveNSApplicationNotificationResponder(*key); });
}

void MacOSRemoveNSApplicationNotificationResponder(const QWidget& widget)
{
    const auto found = g_cNSAppNotificationResponderMap.find(&widget);
    if (found == g_cNSAppNotificationResponderMap.end())
        return;
    delete found->second;
    g_cNSAppNotificationResponderMap.erase(found);
}

// ---------------------------------------------------------------- documents

void MacOSAddDocument(QString path)
{
    NAVIK_tarl1::addRecentDocument(path);
    LOG_MESSAGE('D', "macos add document path: " << path);
}

void MacOSInitRecentDocuments()
{
    // The list of recently used files lives in a file that is read and
    // written on each addition; nothing has to exist beforehand.
}

// ---------------------------------------------------------------- panels

QString MacOSNativeOpenPanel(const QString& title, const QString& directory, const QString& filter)
{
    LOG_MESSAGE('D', "MacOSNativeOpenPanel");
    QCoreApplication::processEvents();

    QFileDialog dialog(dialogParent(), title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QString folder = QFileInfo(directory).absoluteFilePath();
    LOG_MESSAGE('D', "url: " << folder);
    dialog.setDirectory(folder);
    const QStringList types = NAVIK_tarl1::allowedFileTypes(filter);
    if (!types.isEmpty()) {
        // Every type of the filter is allowed at once; a filter of one entry
        // keeps its name beside them ("Image files (*.jpg ...)").
        QString shown = namePatterns(types);
        const QStringList parts = nonEmptyFilterParts(filter);
        const QString name = parts.size() == 1 ? parts.first().section(QLatin1Char('('), 0, 0).trimmed() : QString();
        if (!name.isEmpty() && parts.first().contains(QLatin1Char('(')))
            shown = name + QStringLiteral(" (") + shown + QLatin1Char(')');
        dialog.setNameFilter(shown);
    }

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().size() != 1)
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString MacOSNativeSavePanel(const QString& title, const QString& directory, const QString& filter,
                             QString* selectedFilter)
{
    QCoreApplication::processEvents();
    LOG_MESSAGE('D', "NacOSNativeSavePanel: dir: " << directory << " filter: " << filter);

    SavePanel dialog(dialogParent(), title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);

    QString folder;
    QString proposedName;
    splitProposedName(directory, folder, proposedName);
    folder = QFileInfo(folder).absoluteFilePath();
    LOG_MESSAGE('D', "url path: " << folder);
    dialog.setDirectory(folder);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);

    LOG_MESSAGE('D', "nsSelectedFilter: " << (selectedFilter ? *selectedFilter : QStringLiteral("nil")));
    const QStringList parts = nonEmptyFilterParts(filter);
    int selectedIndex = 0;
    for (int i = 0; i < parts.size(); ++i)
        if (selectedFilter && parts.at(i) == *selectedFilter)
            selectedIndex = i;

    // A name typed without an extension gets the first one of the chosen filter.
    const auto applyFilter = [&dialog](const QString& part) {
        dialog.setDefaultSuffix(NAVIK_tarl1::allowedFileTypes(part).value(0));
    };
    if (!parts.isEmpty()) {
        dialog.setNameFilters(parts);
        dialog.selectNameFilter(parts.at(selectedIndex));
        applyFilter(parts.at(selectedIndex));
    }
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, applyFilter);

    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return accepted ? dialog.selectedFiles().constFirst() : QString();
}

// ---------------------------------------------------------------- language

int MacOSGetSysLanguageNum()
{
    const QStringList languages = QLocale::system().uiLanguages();
    if (languages.isEmpty())
        return 1033;
    return NAVIK_tarl1::languageNumberForLocaleName(languages.constFirst());
}

namespace NAVIK_tarl1 {

void screenDpiFromSize(const QSize& points, const QSizeF& millimetres, qreal logicalDpiX,
                       qreal logicalDpiY, int* x, int* y)
{
    // 25.4 as the single-precision constant the resolution has always been
    // computed with.
    const double millimetresPerInch = static_cast<double>(25.4f);
    const auto dpi = [millimetresPerInch](int pointsLength, qreal millimetreLength, qreal fallback) {
        if (!(millimetreLength > 0.0))
            return static_cast<int>(fallback);
        return static_cast<int>(pointsLength / millimetreLength * millimetresPerInch);
    };
    if (x)
        *x = dpi(points.width(), millimetres.width(), logicalDpiX);
    if (y)
        *y = dpi(points.height(), millimetres.height(), logicalDpiY);
}

int languageNumberForLocaleName(const QString& name)
{
    // A language counts only as spoken in its home country, the form a
    // system without a region setting reports ("fr" is French of France).
    static const struct
    {
        QLocale::Language language;
        int number;
    } known[] = {{QLocale::French, 1036}, {QLocale::German, 1031}, {QLocale::Japanese, 1041}};

    const QLocale locale(name);
    for (const auto& entry : known) {
        if (locale.language() == entry.language
            && locale.territory() == QLocale(entry.language).territory())
            return entry.number;
    }
    LOG_MESSAGE('D', "language: " << name);
    return 1033;
}

QStringList allowedFileTypes(const QString& filter)
{
    static const QRegularExpression extension(QStringLiteral("\\.(\\w+)"));
    QStringList types;
    for (const QRegularExpressionMatch& match : extension.globalMatch(filter))
        types << match.captured(1);
    return types;
}

bool getDisplayColorProfile(long displayId, QByteArray& iccProfile)
{
    iccProfile.clear();
    // Only a desktop on X11 publishes profiles this way. Other platforms may
    // still answer the X11 interface (offscreen does) but without a connection.
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb") || displayId < 0)
        return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return false;

    const QByteArray atomName = displayId == 0
        ? QByteArrayLiteral("_ICC_PROFILE")
        : QByteArrayLiteral("_ICC_PROFILE_") + QByteArray::number(displayId);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 1, atomName.size(), atomName.constData()),
                              nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;

    // Profiles are a few kilobytes; 16 MB is far beyond any real one.
    const uint32_t maxWords = 4 * 1024 * 1024;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, screen->root, atom->atom,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, maxWords),
                               nullptr),
        &std::free);
    if (!property)
        return false;
    const int length = xcb_get_property_value_length(property.get());
    if (length <= 0)
        return false;
    iccProfile = QByteArray(static_cast<const char*>(xcb_get_property_value(property.get())), length);
    return true;
}

namespace {

// Watches the root window's profile properties for one owner.
class CDisplayProfileWatcher : public QObject, public QAbstractNativeEventFilter
{
public:
    CDisplayProfileWatcher(QObject* owner, xcb_connection_t* connection, xcb_window_t root,
                           std::function<void()> changed)
        : QObject(owner), m_root(root), m_changed(std::move(changed))
    {
        // The atoms of the first displays, asked together: one round trip.
        constexpr int watchedDisplays = 8;
        std::vector<xcb_intern_atom_cookie_t> cookies;
        for (int display = 0; display < watchedDisplays; ++display) {
            const QByteArray name = display == 0 ? QByteArrayLiteral("_ICC_PROFILE")
                                                 : QByteArrayLiteral("_ICC_PROFILE_") + QByteArray::number(display);
            cookies.push_back(xcb_intern_atom(connection, 0, name.size(), name.constData()));
        }
        for (const xcb_intern_atom_cookie_t& cookie : cookies) {
            const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
                xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
            if (reply && reply->atom != XCB_ATOM_NONE)
                m_atoms.push_back(reply->atom);
        }
        // Property changes of the root window reach this client only when it
        // asked for them; keep whatever else it asked for.
        const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, root), nullptr),
            &std::free);
        if (attributes && !(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
            const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(connection);
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~CDisplayProfileWatcher() override
    {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t" || !message)
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
        if (notify->window == m_root && std::find(m_atoms.begin(), m_atoms.end(), notify->atom) != m_atoms.end())
            m_changed();
        return false;
    }

private:
    xcb_window_t m_root;
    std::vector<xcb_atom_t> m_atoms;
    std::function<void()> m_changed;
};

} // namespace

void watchDisplayColorProfiles(QObject* owner, std::function<void()> changed)
{
    if (!owner || !changed || !qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    new CDisplayProfileWatcher(owner, connection, screen->root, std::move(changed));
}

} // namespace NAVIK_tarl1
