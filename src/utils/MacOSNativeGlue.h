#pragma once

// Window-system glue. The functions keep their MacOS-prefixed names because the
// utility library's interface names them so, and every caller reads the same
// on each platform; on Linux each function does its job through Qt (window flags and states, screens,
// QFileDialog, the freedesktop list of recently used files).
//
// A window id is a widget's winId(). Every function that takes one finds the
// widget and works on its top-level window; an id of 0 or an id that names no
// widget makes the function do nothing.

#include "utils/UtilsGlobal.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>
#include <map>

class QWidget;

// The two full-screen notifications the main window receives, in this order.
class CWindowFullScreenModeSwitchHandler_Abstract
{
public:
    virtual void fullScreenModeEntered() = 0;
    virtual void fullScreenModeExited() = 0;
};

// Reports the full-screen switches of one window to its handler. The handler
// is not owned and must outlive the delegate.
class NAVIK_UTILS_EXPORT MacOSNSWindowDelegate : public QObject
{
    Q_OBJECT
public:
    MacOSNSWindowDelegate(CWindowFullScreenModeSwitchHandler_Abstract* handler, QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_win;
    CWindowFullScreenModeSwitchHandler_Abstract* m_handler;
    bool m_wasFullScreen;
};

// Keeps a window above the others while the application is active and lets
// it drop back to the normal level while another application is in front.
class NAVIK_UTILS_EXPORT MacOSNSApplicationNotificationResponder : public QObject
{
    Q_OBJECT
public:
    explicit MacOSNSApplicationNotificationResponder(QWidget* window);
    void setWnd(QWidget* window);

private:
    void onApplicationStateChanged(Qt::ApplicationState state);

    QPointer<QWidget> m_win;
};

extern NAVIK_UTILS_EXPORT MacOSNSWindowDelegate* g_pMainWindowDelegate;
extern NAVIK_UTILS_EXPORT std::map<const QWidget*, MacOSNSApplicationNotificationResponder*>
    g_cNSAppNotificationResponderMap;

// Dots per inch of the primary screen; either pointer may be null.
NAVIK_UTILS_EXPORT void getScreenDpi(int* x, int* y);

NAVIK_UTILS_EXPORT bool MacOSIsFullScreenMode(long windowId);
NAVIK_UTILS_EXPORT void MacOSSetFullscreenCapable(long windowId,
                                                  CWindowFullScreenModeSwitchHandler_Abstract* handler);
NAVIK_UTILS_EXPORT void MacOSOnFullScreenModeSwitchHandlerDeleted();
NAVIK_UTILS_EXPORT void MacOSToggleFullScreenMode(long windowId);
NAVIK_UTILS_EXPORT void MacOSLaunchApplication(const char* path);
NAVIK_UTILS_EXPORT void MacOSSetClosingWindowEnabled(long windowId, bool enabled);
NAVIK_UTILS_EXPORT void MacOSBringToTop(long windowId, bool modal);
NAVIK_UTILS_EXPORT void MacOSBringToBottom(long windowId, bool modal);
NAVIK_UTILS_EXPORT void MacOSEndModalSession();
NAVIK_UTILS_EXPORT void MacOSSetBehaviorForExpose(long windowId);
NAVIK_UTILS_EXPORT void MacOSDeminituarize(long windowId);
// Index of the screen that holds the window; ok tells whether one was found.
NAVIK_UTILS_EXPORT long MacOSGetDisplayID(long windowId, bool& ok);
NAVIK_UTILS_EXPORT void MacOSSetupNSApplicationNotificationResponder(const QWidget& widget);
NAVIK_UTILS_EXPORT void MacOSRemoveNSApplicationNotificationResponder(const QWidget& widget);
NAVIK_UTILS_EXPORT void MacOSAddDocument(QString path);
NAVIK_UTILS_EXPORT void MacOSInitRecentDocuments();
NAVIK_UTILS_EXPORT QString MacOSNativeOpenPanel(const QString& title, const QString& directory,
                                                const QString& filter);
NAVIK_UTILS_EXPORT QString MacOSNativeSavePanel(const QString& title, const QString& directory,
                                                const QString& filter, QString* selectedFilter);
// Windows language number of the first preferred system language.
NAVIK_UTILS_EXPORT int MacOSGetSysLanguageNum();

namespace NAVIK_tarl1 {

// Dots per inch from a size in points and in millimetres. A display that
// reports no physical size (virtual displays do) gives the logical dots per
// inch instead.
NAVIK_UTILS_EXPORT void screenDpiFromSize(const QSize& points, const QSizeF& millimetres,
                                          qreal logicalDpiX, qreal logicalDpiY, int* x, int* y);

// Windows language number for a system language name such as "fr_FR" or
// "en-GB": French, German and Japanese as spoken in their home country give
// 1036, 1031 and 1041; every other language and region gives 1033.
NAVIK_UTILS_EXPORT int languageNumberForLocaleName(const QString& name);

// The file extensions a file-dialog filter allows, in order of appearance:
// the word after each dot ("Images (*.jpg *.tif)" gives jpg and tif).
NAVIK_UTILS_EXPORT QStringList allowedFileTypes(const QString& filter);

// The ICC profile the desktop publishes for a display (the X11 root window
// properties "_ICC_PROFILE", "_ICC_PROFILE_1", ...). False when the desktop
// publishes none or the display is unknown: colour management is not
// available and images are shown as sRGB.
NAVIK_UTILS_EXPORT bool getDisplayColorProfile(long displayId, QByteArray& iccProfile);

// Calls `changed` on the GUI thread whenever the desktop publishes, replaces
// or removes the colour profile of a display (those root window properties),
// for as long as `owner` lives. Only the X11 desktop tells; elsewhere
// `changed` is never called.
NAVIK_UTILS_EXPORT void watchDisplayColorProfiles(QObject* owner, std::function<void()> changed);

} // namespace NAVIK_tarl1
