// host-simulator: plays the Photoshop host for one round trip with the editor.
//
//   host-simulator --image photo.jpg --depth 16 --result back.png --program bin/Quillet
//
// writes the request for the picture, starts the editor with
// "--plugin-name=photoshop --process-image=<P>" (without --program it waits
// for an editor started by hand), reads the answer and saves the returned
// picture. Exit status: 0 a picture came back, 3 the editor returned none,
// 1 the round trip failed, 2 bad arguments. With --host-gone nobody listens and
// nothing is read back: 3 when the editor ended with exit code 3, else 1.

#include "HostSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

bool parseOptions(const QCoreApplication& application, HostSimulatorOptions& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays the Photoshop host for one round trip with the editor."));
    parser.addHelpOption();
    const QCommandLineOption image(QStringLiteral("image"), QStringLiteral("Picture to send."), QStringLiteral("file"));
    const QCommandLineOption depth(QStringLiteral("depth"), QStringLiteral("Bits per channel: 8 or 16."),
                                   QStringLiteral("bits"), QStringLiteral("8"));
    const QCommandLineOption exchange(QStringLiteral("exchange"),
                                      QStringLiteral("Base path of the exchange files (default: a temporary one)."),
                                      QStringLiteral("path"));
    const QCommandLineOption showUI(QStringLiteral("show-ui"), QStringLiteral("Whether the editor shows its window."),
                                    QStringLiteral("true|false"), QStringLiteral("true"));
    const QCommandLineOption pluginData(QStringLiteral("plugin-data"),
                                        QStringLiteral("File with the block sent with the request; receives the "
                                                       "block returned."),
                                        QStringLiteral("file"));
    const QCommandLineOption program(QStringLiteral("program"),
                                     QStringLiteral("Editor to start; arguments after -- are passed to it."),
                                     QStringLiteral("path"));
    const QCommandLineOption result(QStringLiteral("result"), QStringLiteral("Where the returned picture is saved."),
                                    QStringLiteral("file"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QStringLiteral("Longest wait for the answer."),
                                     QStringLiteral("seconds"), QStringLiteral("0"));
    const QCommandLineOption hostGone(QStringLiteral("host-gone"),
                                      QStringLiteral("Play a host that died: start the editor, do not listen, read "
                                                     "nothing back (needs --program)."));
    const QCommandLineOption damage(QStringLiteral("damage"),
                                    QStringLiteral("Send a request whose numbers lie about its pixels: one row more "
                                                   "(height) or 12-bit samples (depth)."),
                                    QStringLiteral("height|depth"));
    parser.addOptions({image, depth, exchange, showUI, pluginData, program, result, timeout, hostGone, damage});
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("Further arguments of the editor."),
                                 QStringLiteral("[-- arguments...]"));
    parser.process(application);

    options.imagePath = parser.value(image);
    options.depth = parser.value(depth).toInt();
    options.exchangePath = parser.value(exchange);
    options.showUI = parser.value(showUI).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    options.pluginDataPath = parser.value(pluginData);
    options.programPath = parser.value(program);
    options.programArguments = parser.positionalArguments();
    options.resultPath = parser.value(result);
    options.timeoutSeconds = parser.value(timeout).toInt();
    options.hostGone = parser.isSet(hostGone);
    options.damage = parser.value(damage);
    const bool damageKnown = options.damage.isEmpty() || options.damage == QLatin1String("height")
        || options.damage == QLatin1String("depth");
    if (options.imagePath.isEmpty() || (options.depth != 8 && options.depth != 16) || options.timeoutSeconds < 0
        || !damageKnown || (options.hostGone && options.programPath.isEmpty())) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    HostSimulatorOptions options;
    if (!parseOptions(application, options))
        return UsageError;
    HostSimulator simulator(std::move(options));
    return simulator.run();
}
