#include "utils/CScripting.h"

#include "utils/CSettings.h"
#include "utils/SharedConstants.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <csignal>
#include <cstring>
#include <functional>
#include <unistd.h>

namespace NAVIK_tarl1 {

std::shared_ptr<CScripting> CScripting::sp_instance;

namespace {

const char kReportSuffix[] = "Report.txt";
const int kStartDelayMs = 100;
// Lets the program settle after a passed test before testFinished.
const int kSettlingMs = 3000;
const int kWaitStepSleepMs = 10;
// Two images count as equal below this mean difference, in percent.
const double kEqualImagesPercent = 0.5;
const qint64 kFileBlockSize = 512;

// Receives the exceptions that the script's signal handlers throw. The
// engine would only print them; the harness fails the test instead.
class HookGuard : public QObject
{
    Q_OBJECT
public:
    HookGuard(QObject* parent, std::function<void(const QJSValue&)> onException)
        : QObject(parent)
        , m_onException(std::move(onException))
    {
    }

    Q_INVOKABLE void hookThrew(const QJSValue& exception) { m_onException(exception); }

private:
    std::function<void(const QJSValue&)> m_onException;
};

// Wraps every function a script connects to a signal (`signal.connect(f)`
// and `signal.connect(receiver, f)`) so that an exception it throws reaches
// the guard; disconnect finds the same wrapper again.
const char kGuardHandlersProgram[] = R"(
(function (guard) {
    var wrappers = new Map();
    function wrapped(handler) {
        if (typeof handler !== "function")
            return handler;
        var wrapper = wrappers.get(handler);
        if (wrapper === undefined) {
            wrapper = function () {
                try {
                    return handler.apply(this, arguments);
                } catch (exception) {
                    guard.hookThrew(exception);
                }
            };
            wrappers.set(handler, wrapper);
        }
        return wrapper;
    }
    function withWrappedHandler(original) {
        return function (receiverOrHandler, handler) {
            if (arguments.length < 2)
                return original.call(this, wrapped(receiverOrHandler));
            return original.call(this, receiverOrHandler, wrapped(handler));
        };
    }
    Function.prototype.connect = withWrappedHandler(Function.prototype.connect);
    Function.prototype.disconnect = withWrappedHandler(Function.prototype.disconnect);
})
)";

QMetaMethod hookSignal(CScripting::jsSignal signal)
{
    switch (signal) {
    case CScripting::jsSignal::initializeTest:
        return QMetaMethod::fromSignal(&CScripting::initializeTest);
    case CScripting::jsSignal::startTest:
        return QMetaMethod::fromSignal(&CScripting::startTest);
    case CScripting::jsSignal::cleanupTest:
        return QMetaMethod::fromSignal(&CScripting::cleanupTest);
    }
    return QMetaMethod();
}

// The script text is the file's bytes up to the first NUL, read as Latin-1.
QString scriptText(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}

// The line of the innermost frame of an evaluation's stack trace, whose
// entries read "function:line:column:file".
int lineOfStackTrace(const QStringList& trace)
{
    return trace.isEmpty() ? 0 : trace.constFirst().section(QLatin1Char(':'), 1, 1).toInt();
}

template <typename T>
T* findDescendant(QObject* parent, const QString& name)
{
    if (!parent || name.isEmpty())
        return nullptr;
    return parent->findChild<T*>(name);
}

QImage as32BitImage(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image;
    default:
        return image.convertToFormat(QImage::Format_ARGB32);
    }
}

// Mean absolute difference of the red, green and blue channels, in percent
// of full scale; alpha does not count. Both images have the same size.
double differencePercent(const QImage& a, const QImage& b)
{
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            sum += std::abs(qRed(rowA[x]) - qRed(rowB[x])) / 255.0;
            sum += std::abs(qGreen(rowA[x]) - qGreen(rowB[x])) / 255.0;
            sum += std::abs(qBlue(rowA[x]) - qBlue(rowB[x])) / 255.0;
        }
    }
    return sum * 100.0 / (double(a.width()) * a.height() * 3.0);
}

bool sameBlocks(QFile& a, QFile& b)
{
    char blockA[kFileBlockSize];
    char blockB[kFileBlockSize];
    while (!a.atEnd() && !b.atEnd()) {
        const qint64 readA = a.read(blockA, kFileBlockSize);
        const qint64 readB = b.read(blockB, kFileBlockSize);
        if (readA < 0 || readA != readB || std::memcmp(blockA, blockB, size_t(readA)) != 0)
            return false;
    }
    return true;
}

} // namespace

std::shared_ptr<CScripting> CScripting::getInstance()
{
    if (!sp_instance)
        sp_instance.reset(new CScripting());
    return sp_instance;
}

CScripting::CScripting() = default;

CScripting::~CScripting()
{
    closeReport();
}

void CScripting::installHookGuard()
{
    auto* guard = new HookGuard(this, [this](const QJSValue& exception) {
        // Only an Error object knows its line.
        failOnException(exception, exception.property(QStringLiteral("lineNumber")).toInt());
    });
    QJSEngine::setObjectOwnership(guard, QJSEngine::CppOwnership);
    m_engine->evaluate(QString::fromLatin1(kGuardHandlersProgram)).call({m_engine->newQObject(guard)});
}

void CScripting::setPathToScript(const QString& path)
{
    QFile scriptFile(path);
    if (!scriptFile.open(QIODevice::ReadOnly))
        return;
    m_script = scriptText(scriptFile.readAll());
    if (m_script.isEmpty())
        return;

    closeReport();
    const QFileInfo scriptInfo(path);
    m_testName = scriptInfo.completeBaseName();
    const QString reportPath =
        scriptInfo.path() + QDir::separator() + m_testName + QLatin1String(kReportSuffix);
    QFile::remove(reportPath);
    m_reportFile.setFileName(reportPath);
    if (!m_reportFile.open(QIODevice::WriteOnly | QIODevice::Text))
        return; // The run goes on; every report write is dropped.
    m_reportStream.setDevice(&m_reportFile);
    writeReportLine(QStringLiteral("Build number: ") + QStringLiteral(QUILLET_VERSION_STRING));
    writeReportLine(QStringLiteral("Product name: ") + g_appTitle);
}

void CScripting::startScript()
{
    if (isScriptingMode())
        QTimer::singleShot(kStartDelayMs, this, &CScripting::run);
}

bool CScripting::isScriptingMode() const
{
    return !m_script.isEmpty();
}

void CScripting::makeObjectScriptable(const QString& name, QObject* object)
{
    // Without this the engine would own (and collect) any object that has no
    // parent, such as the singletons, while C++ still holds it.
    if (object)
        QJSEngine::setObjectOwnership(object, QJSEngine::CppOwnership);
    if (!m_engine) {
        m_unpublished.insert(name, object);
        return;
    }
    m_engine->globalObject().setProperty(name, m_engine->newQObject(object));
}

QJSEngine* CScripting::engine()
{
    if (!m_engine) {
        m_engine = std::make_unique<QJSEngine>();
        // print() and console, as script authors know them.
        m_engine->installExtensions(QJSEngine::ConsoleExtension);
        installHookGuard();
        for (auto published = m_unpublished.cbegin(); published != m_unpublished.cend(); ++published)
            makeObjectScriptable(published.key(), published.value());
        m_unpublished.clear();
    }
    return m_engine.get();
}

void CScripting::invokeSignalForScript(jsSignal signal)
{
    const QMetaMethod method = hookSignal(signal);
    if (!isSignalConnected(method))
        return;
    const QString name = QString::fromLatin1(method.name());
    writeReportLine(QStringLiteral("[%1] start of execute").arg(name));
    method.invoke(this, Qt::DirectConnection);
    writeReportLine(QStringLiteral("[%1] finish of execute").arg(name));
}

QString CScripting::testName() const
{
    return m_testName;
}

void CScripting::run()
{
    makeObjectScriptable(QStringLiteral("scripting"), this);
    QStringList stackTrace;
    const QJSValue result = engine()->evaluate(m_script, QString(), 1, &stackTrace);
    if (!stackTrace.isEmpty())
        failOnException(result, lineOfStackTrace(stackTrace));

    // A hook that throws fails the test at once (see the hook guard).
    invokeSignalForScript(jsSignal::initializeTest);
    invokeSignalForScript(jsSignal::startTest);
    runCleanupHookOnce();
    writeReportLine(QStringLiteral("PASS"));

    wait(kSettlingMs);
    Q_EMIT testFinished();
}

void CScripting::failOnException(const QJSValue& exception, int line)
{
    fail(QStringList{tr("uncaught exception at line"), QString::number(line), QStringLiteral("("),
                     exception.toString(), QStringLiteral(")")}
             .join(QLatin1Char(' ')));
}

bool CScripting::isEqualImages(const QString& pathA, const QString& pathB)
{
    const QImage imageA(pathA);
    const QImage imageB(pathB);
    if (imageA.isNull() || imageB.isNull()) {
        writeReportLine(QStringLiteral("Image doesn't exist!\n"));
        return false;
    }
    if (imageA.size() != imageB.size()) {
        writeReportLine(QStringLiteral("Error, pictures must have identical dimensions!\n"));
        return false;
    }
    const double percent = differencePercent(as32BitImage(imageA), as32BitImage(imageB));
    writeReportLine(QStringLiteral("The difference of the two pictures is %1 !").arg(QString::number(percent)));
    return percent < kEqualImagesPercent;
}

void CScripting::test()
{
}

void CScripting::shortcut(QWidget* widget, QChar key, int modifiers)
{
    if (!widget)
        return;
    QTest::keyClick(widget, key.toLatin1(), Qt::KeyboardModifiers(modifiers));
}

void CScripting::sendSignal(QObject* object)
{
    Q_EMIT resendSignal(object);
}

void CScripting::log(const QString& text)
{
    writeReportLine(text);
}

void CScripting::compare(const QVariant& actual, const QVariant& expected)
{
    if (actual != expected)
        fail(QStringLiteral("fail reason: compare actual (%1) != expected (%2)")
                 .arg(actual.toString(), expected.toString()));
}

void CScripting::wait(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, qMax(milliseconds, 0));
        QThread::msleep(kWaitStepSleepMs);
    } while (timer.elapsed() < milliseconds);
}

void CScripting::fail(const QString& reason)
{
    runCleanupHookOnce();
    if (!reason.isEmpty())
        writeReportLine(reason);
    writeReportLine(QStringLiteral("FAIL"));
    // SIGKILL: no handler, no clean-up, no exit code; the report is already flushed.
    ::kill(::getpid(), SIGKILL);
    for (;;)
        ::pause();
}

void CScripting::runCleanupHookOnce()
{
    if (m_cleanupHookStarted)
        return;
    m_cleanupHookStarted = true;
    invokeSignalForScript(jsSignal::cleanupTest);
}

void CScripting::setLineEditText(QObject* parent, const QString& name, const QString& text)
{
    if (auto* edit = findDescendant<QLineEdit>(parent, name))
        edit->setText(text);
}

QString CScripting::getLineEditText(QObject* parent, const QString& name)
{
    const auto* edit = findDescendant<QLineEdit>(parent, name);
    return edit ? edit->text() : QString();
}

void CScripting::clickButton(QObject* parent, const QString& name)
{
    auto* button = findDescendant<QAbstractButton>(parent, name);
    if (!button)
        return;
    button->click();
    if (auto* widget = qobject_cast<QWidget*>(parent))
        widget->repaint();
}

void CScripting::triggerAction(QObject* parent, const QString& name)
{
    if (auto* action = findDescendant<QAction>(parent, name))
        action->trigger();
}

void CScripting::setItemChecked(QObject* parent, const QString& name, bool checked)
{
    if (auto* button = findDescendant<QAbstractButton>(parent, name))
        button->setChecked(checked);
    else if (auto* action = findDescendant<QAction>(parent, name))
        action->setChecked(checked);
}

bool CScripting::isItemChecked(QObject* parent, const QString& name)
{
    if (const auto* button = findDescendant<QAbstractButton>(parent, name))
        return button->isChecked();
    if (const auto* action = findDescendant<QAction>(parent, name))
        return action->isChecked();
    return false;
}

bool CScripting::isItemEnabled(QObject* parent, const QString& name)
{
    if (const auto* widget = findDescendant<QWidget>(parent, name))
        return widget->isEnabled();
    if (const auto* action = findDescendant<QAction>(parent, name))
        return action->isEnabled();
    return false;
}

void CScripting::setSlider(QObject* parent, const QString& name, int value)
{
    auto* slider = findDescendant<QAbstractSlider>(parent, name);
    if (!slider)
        return;
    slider->setValue(value);
    Q_EMIT createUndoCommandForSlider(name);
}

int CScripting::getSliderValue(QObject* parent, const QString& name)
{
    const auto* slider = findDescendant<QAbstractSlider>(parent, name);
    return slider ? slider->value() : 0;
}

QObject* CScripting::getSubObject(QObject* parent, const QString& name)
{
    QObject* object = findDescendant<QObject>(parent, name);
    // An object returned to a script is never the engine's to delete.
    if (object)
        QJSEngine::setObjectOwnership(object, QJSEngine::CppOwnership);
    return object;
}

namespace {

// The steps of a drag between its press and its release.
const int kDragSteps = 4;

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& position, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    // What the event posted (repaints, deferred updates) is done before the
    // hand moves on.
    QCoreApplication::processEvents();
}

} // namespace

bool CScripting::drag(QObject* parent, const QString& name, int x1, int y1, int x2, int y2)
{
    return pressMouse(parent, name, x1, y1) && moveMouse(parent, name, x2, y2) && releaseMouse(parent, name, x2, y2);
}

namespace {

// The widget of that name, or the viewport of a scroll area (a graphics
// view), which takes its mouse events; `point` is mapped from the widget's
// coordinates to the target's.
QWidget* mouseTarget(QObject* parent, const QString& name, QPoint& point)
{
    auto* widget = findDescendant<QWidget>(parent, name);
    if (!widget)
        return nullptr;
    QWidget* target = widget;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        target = area->viewport();
    point = target->mapFrom(widget, point);
    return target;
}

} // namespace

bool CScripting::pressMouse(QObject* parent, const QString& name, int x, int y)
{
    return sendButton(parent, name, QPoint(x, y), QEvent::MouseButtonPress);
}

bool CScripting::moveMouse(QObject* parent, const QString& name, int x, int y)
{
    QPoint to(x, y);
    QWidget* target = mouseTarget(parent, name, to);
    if (!target)
        return false;
    const QPoint from = m_dragPoint;
    for (int step = 1; step <= kDragSteps; ++step)
        sendMouse(target, QEvent::MouseMove, from + (to - from) * step / kDragSteps, Qt::NoButton, Qt::LeftButton);
    m_dragPoint = to;
    return true;
}

bool CScripting::releaseMouse(QObject* parent, const QString& name, int x, int y)
{
    return sendButton(parent, name, QPoint(x, y), QEvent::MouseButtonRelease);
}

bool CScripting::sendButton(QObject* parent, const QString& name, QPoint point, QEvent::Type type)
{
    QWidget* target = mouseTarget(parent, name, point);
    if (!target)
        return false;
    const bool press = type == QEvent::MouseButtonPress;
    sendMouse(target, type, point, Qt::LeftButton, press ? Qt::LeftButton : Qt::NoButton);
    m_dragPoint = point;
    return true;
}

QVariant CScripting::getScrollValues(QObject* parent, const QString& name)
{
    const auto* area = findDescendant<QAbstractScrollArea>(parent, name);
    if (!area)
        return {};
    return QVariantMap{{QStringLiteral("x"), area->horizontalScrollBar()->value()},
                       {QStringLiteral("y"), area->verticalScrollBar()->value()}};
}

bool CScripting::grabWidget(QObject* parent, const QString& name, const QString& path)
{
    auto* widget = findDescendant<QWidget>(parent, name);
    return widget && widget->grab().save(path);
}

namespace {

// The width the widget needs to show its text whole: for a combo box, its
// width less its text field's plus the current text's (its size hint is that
// of its longest item); else its size hint.
int neededWidth(QWidget* widget, const QString& text)
{
    auto* combo = qobject_cast<QComboBox*>(widget);
    if (!combo)
        return widget->sizeHint().width();
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.currentText = text;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    return combo->width() - field.width() + combo->fontMetrics().horizontalAdvance(text);
}

// A line edit draws its text inside its frame, its text margins and a
// further two pixels on each side.
int lineEditNeededWidth(QLineEdit* edit, const QString& text)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    const int room = contents.width() - margins.left() - margins.right() - 4;
    return edit->width() - room + edit->fontMetrics().horizontalAdvance(text);
}

// The rows of a combo box's list as it opens: each enabled row's text with
// the width the list gives it and the width the row asks for. The list is
// opened for the measure and closed again.
QVariantList comboRows(QComboBox* combo, const QString& path)
{
    QVariantList rows;
    QAbstractItemView* view = combo->view();
    if (!view || combo->count() == 0)
        return rows;
    const bool wasShown = view->isVisible();
    if (!wasShown)
        combo->showPopup();
    for (int row = 0; row < combo->count(); ++row) {
        const QModelIndex index = combo->model()->index(row, combo->modelColumn(), combo->rootModelIndex());
        const QString text = combo->itemText(row);
        if (text.isEmpty() || !(combo->model()->flags(index) & Qt::ItemIsEnabled))
            continue;
        const int width = qMin(view->visualRect(index).width(), view->viewport()->width());
        rows.append(QVariantMap{{QStringLiteral("path"), path + QStringLiteral("/row#") + QString::number(row)},
                                {QStringLiteral("text"), text},
                                {QStringLiteral("width"), width},
                                {QStringLiteral("needed"), view->sizeHintForIndex(index).width()},
                                {QStringLiteral("wrap"), false}});
    }
    if (!wasShown)
        combo->hidePopup();
    return rows;
}

} // namespace

QVariantList CScripting::getShownTexts(QObject* parent)
{
    QVariantList texts;
    std::function<void(QObject*, const QString&)> walk = [&](QObject* object, const QString& path) {
        QString text;
        auto* widget = qobject_cast<QWidget*>(object);
        bool wrap = false;
        if (auto* label = qobject_cast<QLabel*>(object)) {
            if (label->textFormat() != Qt::RichText && !Qt::mightBeRichText(label->text()))
                text = label->text();
            wrap = label->wordWrap();
        } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
            text = button->text();
        } else if (qobject_cast<QComboBox*>(object)) {
            text = static_cast<QComboBox*>(object)->currentText();
        } else if (auto* edit = qobject_cast<QLineEdit*>(object)) {
            text = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
        } else if (auto* action = qobject_cast<QAction*>(object)) {
            if (!action->isSeparator() && action->isVisible())
                text = action->text();
        }
        if (!text.isEmpty() && (!widget || widget->isVisible())) {
            QVariantMap entry{{QStringLiteral("path"), path}, {QStringLiteral("text"), text}};
            if (widget) {
                auto* edit = qobject_cast<QLineEdit*>(widget);
                entry.insert(QStringLiteral("width"), widget->width());
                entry.insert(QStringLiteral("needed"),
                             edit ? lineEditNeededWidth(edit, text) : neededWidth(widget, text));
                entry.insert(QStringLiteral("wrap"), wrap);
            }
            texts.append(entry);
        }
        // The rows of a shown combo box's list, which opens at its width.
        if (auto* combo = qobject_cast<QComboBox*>(object); combo && combo->isVisible())
            texts.append(comboRows(combo, path));
        // Hidden widgets show nothing of their own or their children's; a
        // menu, hidden until opened, still shows its actions.
        if (widget && !widget->isVisible() && widget != parent && !widget->inherits("QMenu"))
            return;
        const QObjectList children = object->children();
        for (int i = 0; i < children.size(); ++i)
            walk(children.at(i), path + QLatin1Char('/') + children.at(i)->objectName() + QLatin1Char('#')
                                     + QString::number(i));
    };
    if (parent)
        walk(parent, parent->objectName());
    return texts;
}

QVariantList CScripting::getMenuEntries(QObject* parent)
{
    QVariantList entries;
    if (!parent)
        return entries;
    QList<QWidget*> menus;
    for (QMenuBar* bar : parent->findChildren<QMenuBar*>())
        menus.append(bar);
    for (QMenu* menu : parent->findChildren<QMenu*>())
        menus.append(menu);
    for (QWidget* menu : menus) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible() || action->text().isEmpty())
                continue;
            entries.append(
                QVariantMap{{QStringLiteral("menu"), menu->objectName()}, {QStringLiteral("text"), action->text()}});
        }
    }
    return entries;
}

bool CScripting::removeFile(const QString& path)
{
    return QFile::remove(path);
}

bool CScripting::isFileExist(const QString& path)
{
    return QFile::exists(path);
}

bool CScripting::copyFile(const QString& from, const QString& to)
{
    return QFile::copy(from, to);
}

bool CScripting::isEqualFiles(const QString& pathA, const QString& pathB)
{
    if (pathA.isEmpty() || pathB.isEmpty())
        return false;
    QFile fileA(pathA);
    QFile fileB(pathB);
    if (!fileA.open(QIODevice::ReadOnly) || !fileB.open(QIODevice::ReadOnly))
        return false;
    if (fileA.size() != fileB.size())
        return false;
    return sameBlocks(fileA, fileB);
}

void CScripting::addShownMessageBox(const QString& text)
{
    m_shownMessageBoxes.append(text);
}

bool CScripting::isMessageBoxShown(const QString& text, int index)
{
    if (index == -1)
        return m_shownMessageBoxes.contains(text);
    return index >= 0 && index < m_shownMessageBoxes.size() && m_shownMessageBoxes.at(index) == text;
}

bool CScripting::isMessageBoxShown(const QString& text)
{
    return isMessageBoxShown(text, -1);
}

void CScripting::addShownMessageReason(const QString& reason)
{
    m_shownMessageReasons.append(reason);
}

bool CScripting::isMessageReasonShown(const QString& reason)
{
    return m_shownMessageReasons.contains(reason);
}

QString CScripting::platformName()
{
    // The name the test scripts were written against, on every platform.
    return QStringLiteral("mac_os_x");
}

QVariant CScripting::getSettingValue(const QString& key)
{
    return CSettings().value(key);
}

bool CScripting::hasSettingKey(const QString& key)
{
    return CSettings().contains(key);
}

void CScripting::setSettingValue(const QString& key, const QVariant& value)
{
    CSettings().setValue(key, value);
}

void CScripting::removeSettingKey(const QString& key)
{
    CSettings().remove(key);
}

void CScripting::closeReport()
{
    m_reportStream.setDevice(nullptr);
    m_testName.clear();
    if (m_reportFile.isOpen())
        m_reportFile.close();
}

void CScripting::writeReportLine(const QString& line)
{
    if (!m_reportStream.device())
        return;
    m_reportStream << line << '\n';
    m_reportStream.flush();
}

} // namespace NAVIK_tarl1

#include "CScripting.moc"
