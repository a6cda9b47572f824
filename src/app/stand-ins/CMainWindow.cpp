#include "app/stand-ins/CMainWindow.h"

#include "engine/ImageConversion.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "utils/CMessageBox.h"
#include "utils/CScripting.h"
#include "utils/SharedConstants.h"

#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>

#include <cstdlib>

using namespace NAVIK_tarl1;

namespace {

// Room left around the preview.
constexpr int kPreviewMargin = 16;

} // namespace

CMainWindow::CMainWindow(CBaseApplication* application, QWidget* parent)
    : CBaseMainWindow(application, parent)
    , m_picture(new QLabel(this))
{
    setWindowTitle(g_appTitle);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setStyleSheet(QStringLiteral("background: #3c3c3c;"));
    m_picture->setMinimumSize(320, 240);
    setCentralWidget(m_picture);
    // Where no window manager maximises the window, it still gets room.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableSize() * 2 / 3);
    connect(CBaseApplication::processEngine()->getQObject(), SIGNAL(loResResultImageProcessed(PixelDataPtr, QSize)),
            this, SLOT(onLoResResultImageProcessed(PixelDataPtr, QSize)));
}

CMainWindow::~CMainWindow() = default;

void CMainWindow::setupControlsState(bool)
{
    // The stand-in has no correction controls.
}

bool CMainWindow::openFile(const QString& path, const QString&)
{
    IProcessEngine* engine = CBaseApplication::processEngine();
    engine->resetBeforeOpen();
    return showOpenedPicture(engine->openFile(path), QFileInfo(path).fileName());
}

bool CMainWindow::openImage(NavikImagePtr image, const CWindowState&)
{
    IProcessEngine* engine = CBaseApplication::processEngine();
    engine->resetBeforeOpen();
    return showOpenedPicture(engine->openImage(std::move(image)), QString());
}

bool CMainWindow::openFilesInBatchMode(const QStringList&)
{
    CMessageBox::warning(this, g_appTitle,
                         QStringLiteral("Sorry but this application doesn't support opening multiply images"));
    return true;
}

bool CMainWindow::saveOldAndOpenNewFile(const QString& path)
{
    return openFile(path, QString());
}

void CMainWindow::addMakeCrashAction()
{
    auto* action = new QAction(QStringLiteral("Make Crash"), this);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_C));
    connect(action, &QAction::triggered, [] { std::abort(); });
    addAction(action);
}

bool CMainWindow::showOpenedPicture(bool opened, const QString& name)
{
    if (!opened) {
        CMessageBox::warning(this, g_appTitle, QStringLiteral("Sorry, file could not be opened"));
        return false;
    }
    setWindowTitle(name.isEmpty() ? g_appTitle : g_appTitle + QStringLiteral(" - ") + name);
    CBaseApplication::processEngine()->processLoResResultImage();
    return true;
}

void CMainWindow::showEvent(QShowEvent* event)
{
    CBaseMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    startTestScript();
}

void CMainWindow::startTestScript()
{
    const std::shared_ptr<CScripting> scripting = CScripting::getInstance();
    if (!scripting->isScriptingMode())
        return;
    scripting->makeObjectScriptable(QStringLiteral("mainWindow"), this);
    scripting->makeObjectScriptable(QStringLiteral("processEngine"),
                                    CBaseApplication::processEngine()->getQObject());
    connect(scripting.get(), &CScripting::testFinished, this, &QWidget::close);
    scripting->startScript();
}

void CMainWindow::resizeEvent(QResizeEvent* event)
{
    CBaseMainWindow::resizeEvent(event);
    updatePicture();
}

void CMainWindow::onLoResResultImageProcessed(PixelDataPtr pixels, QSize)
{
    // A copy: the image made over the buffer does not keep it alive.
    m_preview = QPixmap::fromImage(pixelDataToQImage(pixels).copy());
    updatePicture();
}

void CMainWindow::updatePicture()
{
    if (m_preview.isNull())
        return;
    const QSize room = m_picture->size() - QSize(kPreviewMargin, kPreviewMargin);
    m_picture->setPixmap(m_preview.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
