#pragma once

// The program run as a user or a host runs it: a child process with a home,
// configuration and temporary folder of its own, the files it is given, and
// what it leaves behind (exit code, settings, log).

#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

inline const QString kProgram = QStringLiteral(QUILLET_BUILD_DIR "/bin/Quillet");
inline const QString kHostSimulator = QStringLiteral(QUILLET_BUILD_DIR "/tools/bin/host-simulator");
inline constexpr int kRunTimeoutMs = 120000;

// The folders of one user, the files a run is given, and the run itself.
class Sandbox
{
public:
    Sandbox()
    {
        for (const char* folder : {"home/Documents", "config", "tmp"})
            QDir(m_root.path()).mkpath(QLatin1String(folder));
    }

    QString root() const { return m_root.path(); }
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    QString home() const { return path(QStringLiteral("home")); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        // Also where the Photoshop host's local server lives, so runs do not meet.
        environment.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (auto it = m_environment.cbegin(); it != m_environment.cend(); ++it)
            environment.insert(it.key(), it.value());
        return environment;
    }
    // A variable of the environment of every later run.
    void setEnvironment(const QString& name, const QString& value) { m_environment.insert(name, value); }

    // The exit code as main returned it (the system keeps its low byte).
    int run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(m_root.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool finished = process.waitForFinished(kRunTimeoutMs);
        m_output = QString::fromLocal8Bit(process.readAll());
        if (!finished) {
            process.kill();
            process.waitForFinished();
        }
        if (!finished || process.exitStatus() != QProcess::NormalExit)
            return -1000;
        return static_cast<signed char>(process.exitCode());
    }
    int runProgram(const QStringList& arguments) { return run(kProgram, arguments); }
    const QString& output() const { return m_output; }

    // The settings file, read and written as the program's store (an INI file).
    QString settingsPath() const { return path(QStringLiteral("config/Navik Labs/tarl1/Data.plist")); }
    QVariant setting(const QString& key) const { return QSettings(settingsPath(), QSettings::IniFormat).value(key); }
    void setSetting(const QString& key, const QVariant& value)
    {
        QSettings settings(settingsPath(), QSettings::IniFormat);
        settings.setValue(key, value);
    }

    QString logPath() const { return path(QStringLiteral("home/Documents/Navik Quillet/log/NavikLogger.log")); }
    QStringList logLines() const { return QString::fromUtf8(readFile(logPath())).split(QLatin1Char('\n')); }
    // Index of the first log line, from `from` on, that ends with `text`; -1 when none.
    int logLine(const QString& text, int from = 0) const
    {
        const QStringList lines = logLines();
        for (int i = from; i < lines.size(); ++i)
            if (lines.at(i).endsWith(text))
                return i;
        return -1;
    }

    // An empty test: it passes, and the window closes shortly after.
    QString script()
    {
        const QString file = path(QStringLiteral("empty.js"));
        if (!QFile::exists(file))
            writeFile(file, "scripting.startTest.connect(function () {});\n");
        return QStringLiteral("--script=") + file;
    }
    // The test `name`.js with that text; the argument that runs it. Its
    // report is reportOf(name).
    QString script(const QString& name, const QByteArray& text)
    {
        const QString file = path(name + QStringLiteral(".js"));
        writeFile(file, text);
        return QStringLiteral("--script=") + file;
    }
    QString reportOf(const QString& name) const
    {
        return QString::fromUtf8(readFile(path(name + QStringLiteral("Report.txt"))));
    }

    // Small files for the command line: a photograph, a picture of a type the
    // program does not open, and a damaged photograph.
    QString picture(const QString& name)
    {
        const QString file = path(name);
        if (QFile::exists(file))
            return file;
        if (name.endsWith(QLatin1String(".broken.jpg"))) {
            writeFile(file, QByteArray(4096, '\x5a'));
            return file;
        }
        QImage image(96, 64, QImage::Format_RGB888);
        image.fill(QColor(40, 120, 200));
        image.save(file);
        return file;
    }

    // Replaces the placeholders {jpeg}, {png} and {broken} by such files.
    QStringList withFiles(const QStringList& arguments)
    {
        QStringList result;
        for (QString argument : arguments) {
            argument.replace(QLatin1String("{jpeg}"), picture(QStringLiteral("photo.jpg")));
            argument.replace(QLatin1String("{png}"), picture(QStringLiteral("picture.png")));
            argument.replace(QLatin1String("{broken}"), picture(QStringLiteral("photo.broken.jpg")));
            result.append(argument);
        }
        return result;
    }

private:
    QTemporaryDir m_root;
    QString m_output;
    QMap<QString, QString> m_environment;
};

// A JPEG of that size, a gradient, with the EXIF orientation tag (none for 0).
inline QByteArray photograph(const QSize& size, int orientation = 0)
{
    QImage image(size, QImage::Format_RGB888);
    // A gradient: the picture has something to show.
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, QColor(x * 255 / size.width(), y * 255 / size.height(), 90));
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 90);
    }
    if (orientation == 0)
        return jpeg;
    // An APP1 segment right after the SOI: "Exif", a big-endian TIFF header
    // and one IFD with the orientation as its only entry.
    QByteArray exif("\xff\xe1\x00\x22", 4); // the marker, the length (34)
    exif += QByteArray("Exif\0\0", 6);
    exif += QByteArray("MM\x00\x2a\x00\x00\x00\x08", 8);       // big-endian, the IFD at 8
    exif += QByteArray("\x00\x01", 2);                         // one entry:
    exif += QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01", 8); // orientation, one SHORT
    exif += char(0);
    exif += char(orientation);
    exif += QByteArray(6, '\0'); // the value's padding, no next IFD
    return jpeg.insert(2, exif);
}

// The first line of a test script: its arguments as the object ARGS.
inline QString scriptArguments(const QJsonObject& values)
{
    return QStringLiteral("var ARGS = %1;\n")
        .arg(QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)));
}

// The script file `path` of the tests' data folder after the main roads'
// helpers (mainroads/common.js) and the run's ARGS; the argument that runs
// it as the test `name`, whose report is sandbox.reportOf(name).
inline QString scriptWithHelpers(Sandbox& sandbox, const QString& name, const QString& path, const QJsonObject& args)
{
    const QString data = QStringLiteral(QUILLET_TEST_DATA_DIR "/");
    return sandbox.script(name,
                          scriptArguments(args).toUtf8() + readFile(data + QStringLiteral("mainroads/common.js"))
                              + readFile(data + path));
}

// The report's lines that start with `prefix` and a space, without them.
inline QStringList reportLines(const Sandbox& sandbox, const QString& name, const QString& prefix)
{
    QStringList lines;
    for (const QString& line : sandbox.reportOf(name).split(QLatin1Char('\n')))
        if (line.startsWith(prefix + QLatin1Char(' ')))
            lines.append(line.mid(prefix.size() + 1));
    return lines;
}

// The lines of a report that begin with `word`, without it, keyed by their
// second word.
inline QMap<QString, QString> keyedReportLines(const QString& report, const QString& word)
{
    QMap<QString, QString> lines;
    const QRegularExpression pattern(QStringLiteral("^%1 (\\S+) (.*)$").arg(word), QRegularExpression::MultilineOption);
    for (auto match = pattern.globalMatch(report); match.hasNext();) {
        const QRegularExpressionMatch line = match.next();
        lines.insert(line.captured(1), line.captured(2));
    }
    return lines;
}
