#pragma once

// Plays the Photoshop host of one round trip: writes a request for a picture
// through PSDataStructure, listens on the host's local server, starts the
// editor (or waits for one started by hand), and reads the answer back.

#include <QByteArray>
#include <QImage>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

namespace NAVIK_tarl1 {
class PSDataStructure;
}

struct HostSimulatorOptions
{
    QString imagePath;          // the picture to send, any format Qt reads
    int depth = 8;              // bits per channel sent: 8 or 16
    QString exchangePath;       // P; empty: a file in a temporary folder
    bool showUI = true;
    QString pluginDataPath;     // block sent with the request, replaced by the one returned
    QString programPath;        // the editor to start; empty: wait for one
    QStringList programArguments;
    QString resultPath;         // where the returned picture is saved
    int timeoutSeconds = 0;     // 0: wait as long as it takes
    bool hostGone = false;      // plays a host that died: nobody listens, nothing is read back
    QString damage;             // "height" or "depth": a request whose numbers lie about its pixels
};

// How a round trip ended: the simulator's exit status. A host that is gone
// reads nothing back: its status is NothingReturned when the editor ended with
// exit code 3, RoundTripFailed otherwise.
enum HostSimulatorStatus {
    ResultReturned = 0,
    RoundTripFailed = 1,
    UsageError = 2,
    NothingReturned = 3,
};

// The raw layout of the exchange: rows of width pixels of three interleaved
// channels, 8 or 16 bits each in the machine's byte order, without padding.
// 16-bit samples run from 0 to 32768, as the host keeps them; the pictures on
// this side use the full 16-bit range.
QByteArray packPixels(const QImage& image, int depth);
QImage unpackPixels(const char* pixels, int width, int height, int depth);

class HostSimulator : public QObject
{
    Q_OBJECT

public:
    explicit HostSimulator(HostSimulatorOptions options);

    HostSimulatorStatus run();

private:
    bool writeRequest(NAVIK_tarl1::PSDataStructure& record, const QByteArray& pixels, const QSize& size);
    bool listen();
    // Until the editor has answered: the started program has ended, or an
    // editor started by hand has rewritten P and then connected.
    bool waitForAnswer(const QString& requestPath);
    HostSimulatorStatus readAnswer(NAVIK_tarl1::PSDataStructure& record);
    // Starts the editor and waits for its end without listening.
    HostSimulatorStatus waitForEditorWithoutHost(const QString& requestPath);

    HostSimulatorOptions m_options;
    QLocalServer m_server;
};
