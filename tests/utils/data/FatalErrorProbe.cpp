// A program body that fails the way the argument says ("memory": out of
// memory, "no memory left": out of memory, and the next allocation fails
// too, "other": another exception, "none": no failure), run as the program
// runs its own. Every message box it shows is answered at once and
// written to standard output as "alert: <title>: <text>"; the outcome ends
// the output as "outcome: <n>".

#include "utils/CErrStrings.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

using namespace NAVIK_tarl1;

namespace {

// Allocations still to refuse: the alert of an out-of-memory failure finds
// none left.
std::atomic<int> s_refusedAllocations{0};

void answerMessageBoxes(QApplication& application)
{
    auto* timer = new QTimer(&application);
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            std::printf("alert: %s: %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
            std::fflush(stdout);
            box->done(QMessageBox::Ok);
        }
    });
    timer->start(10);
}

} // namespace

void* operator new(std::size_t size)
{
    if (s_refusedAllocations.load() > 0 && s_refusedAllocations.fetch_sub(1) > 0)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size > 0 ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

int main(int argc, char* argv[])
{
    const QByteArray failure = argc > 1 ? QByteArray(argv[1]) : QByteArray("none");
    const CErrStrings alerts;
    const FatalError fatal = runReportingFatalErrors(
        alerts,
        [&argc, argv] {
            auto application = std::make_unique<QApplication>(argc, argv);
            answerMessageBoxes(*application);
            return application;
        },
        [&failure](QApplication&) {
            if (failure == "memory")
                throw std::bad_alloc();
            if (failure == "no memory left") {
                s_refusedAllocations = 1;
                throw std::bad_alloc();
            }
            if (failure == "other")
                throw 42;
        });
    std::printf("outcome: %d\n", int(fatal));
    return 0;
}
