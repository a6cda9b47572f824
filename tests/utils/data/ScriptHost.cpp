// Plays the program's part in a script run, as the main window will: a window
// of controls published to scripts as "window", a parentless object published
// as "service" (as the program's singletons are), the script started when the
// window is first shown, and the window closed when the test has finished.
//
//     ScriptHost <script>
//
// Exit status 0 after a passed test; 3 when the script engine deleted the
// published service object. A failed test kills the process (SIGKILL).
#include "utils/CScripting.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace NAVIK_tarl1;

namespace {

template <typename T, typename... Arguments>
T* addNamed(QWidget& window, const char* name, Arguments&&... arguments)
{
    auto* item = new T(std::forward<Arguments>(arguments)..., &window);
    item->setObjectName(QLatin1String(name));
    if constexpr (std::is_base_of_v<QWidget, T>)
        window.layout()->addWidget(item);
    return item;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const std::shared_ptr<CScripting> scripting = CScripting::getInstance();
    scripting->setPathToScript(QString::fromLocal8Bit(argv[1]));

    QWidget window;
    window.setObjectName(QStringLiteral("window"));
    window.setLayout(new QVBoxLayout);
    auto* input = addNamed<QLineEdit>(window, "input");
    auto* output = addNamed<QLineEdit>(window, "output");
    auto* copy = addNamed<QPushButton>(window, "copy", QStringLiteral("Copy"));
    QObject::connect(copy, &QPushButton::clicked, [input, output] { output->setText(input->text()); });
    addNamed<QLineEdit>(window, "typed");
    addNamed<QCheckBox>(window, "option", QStringLiteral("Option"));
    addNamed<QSlider>(window, "slider", Qt::Horizontal);
    addNamed<QAction>(window, "toggle", QStringLiteral("Toggle"))->setCheckable(true);
    addNamed<QAction>(window, "disabledAction", QStringLiteral("Disabled"))->setEnabled(false);
    // A picture larger than its view that the left button drags along
    // (each pixel's red and green are its x and y, modulo 256).
    QImage picture(600, 400, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, 0));
    QGraphicsScene scene;
    scene.addPixmap(QPixmap::fromImage(picture));
    auto* canvas = addNamed<QGraphicsView>(window, "canvas", &scene);
    canvas->setFixedSize(200, 150);
    canvas->setFrameShape(QFrame::NoFrame);
    canvas->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    canvas->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    canvas->setDragMode(QGraphicsView::ScrollHandDrag);

    QObject::connect(scripting.get(), &CScripting::createUndoCommandForSlider,
                     [&scripting](const QString& name) { scripting->log(QStringLiteral("undo step for ") + name); });
    QObject::connect(scripting.get(), &CScripting::testFinished, &window, &QWidget::close);
    scripting->makeObjectScriptable(QStringLiteral("window"), &window);
    QPointer<QObject> service = new QObject;
    service->setObjectName(QStringLiteral("service"));
    scripting->makeObjectScriptable(QStringLiteral("service"), service);
    // gc() for the scripts that check what the collector leaves alone. Asked
    // for after the publications, so that, as in the program, the objects are
    // published before the engine exists and reach it when it is made.
    scripting->engine()->installExtensions(QJSEngine::GarbageCollectionExtension);

    window.show();
    scripting->startScript();
    const int result = application.exec();
    if (!service)
        return 3;
    delete service;
    return result;
}
