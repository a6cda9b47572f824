#include "app/StartupTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace {

QElapsedTimer s_clock;

class FirstShowWatcher : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto* window = qobject_cast<QMainWindow*>(watched);
        if (!window || !window->isWindow())
            return false;
        std::fprintf(stderr, "startup: main window shown %lld ms after the application object's construction\n",
                     static_cast<long long>(s_clock.elapsed()));
        std::fflush(stderr);
        qApp->removeEventFilter(this);
        // Closed once the start has run its course, as the user would.
        QTimer::singleShot(0, window, [guard = QPointer<QMainWindow>(window)] {
            if (guard)
                guard->close();
        });
        deleteLater();
        return false;
    }
};

} // namespace

namespace StartupTiming {

void markApplicationConstruction()
{
    s_clock.start();
}

void watch(QApplication& application)
{
    if (!qEnvironmentVariableIsSet("QUILLET_STARTUP_TIMING"))
        return;
    application.installEventFilter(new FirstShowWatcher(&application));
}

} // namespace StartupTiming
