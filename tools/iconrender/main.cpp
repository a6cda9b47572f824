// Renders the program's images from their SVG sources.
//
//   quillet-iconrender <manifest> <svg folder> <output folder> <qrc file>
//
// The manifest lists image families; every state of a button is rendered from
// one glyph drawn in "currentColor", recoloured and laid on the plate of that
// state, so that all buttons share one set of colours and plates. The
// accent colour (#82aad7) in a source follows the state too (grey when
// disabled). Writes the PNG files and a resource collection file naming them.
//
// Manifest lines (a line starting with # is a comment):
//   @look   <name> plate=<plate> glyph=<#rgb> [accent=<#rgb>] [shadow=0|1]
//   @family <name> <suffix>=<look> ...        ("-" stands for no suffix)
//   <family> <output base> <source.svg> <W>x<H> [glyph=<px>|full] [at=left] [color=<#rgb>]
//   noise <output base> - <W>x<H> seed=<n> amount=<alpha>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QMap>
#include <QPainter>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>
#include <optional>

namespace {

const QString kAccent = QStringLiteral("#82aad7");

struct Look
{
    QString plate = QStringLiteral("none");
    QString glyph = QStringLiteral("#d4d4d4");
    QString accent = kAccent;
    bool shadow = false;
};

struct Member
{
    QString suffix;
    QString look;
};

struct Job
{
    QString family;
    QString base;
    QString source;
    QSize size;
    QHash<QString, QString> options;
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "quillet-iconrender: %s\n", qPrintable(message));
    std::exit(1);
}

QHash<QString, QString> parseOptions(const QStringList& words, int from)
{
    QHash<QString, QString> options;
    for (int i = from; i < words.size(); ++i) {
        const qsizetype equals = words.at(i).indexOf(QLatin1Char('='));
        if (equals <= 0)
            fail(QStringLiteral("option without value: ") + words.at(i));
        options.insert(words.at(i).left(equals), words.at(i).mid(equals + 1));
    }
    return options;
}

QSize parseSize(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    if (parts.size() != 2 || parts[0].toInt() <= 0 || parts[1].toInt() <= 0)
        fail(QStringLiteral("bad size: ") + text);
    return QSize(parts[0].toInt(), parts[1].toInt());
}

// ------------------------------------------------------------------ plates

void fillRounded(QPainter& painter, const QRectF& rect, qreal radius, const QBrush& fill,
                 const QColor& border)
{
    painter.setPen(border.isValid() ? QPen(border, 1.0) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

QLinearGradient vertical(const QRectF& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    return gradient;
}

// A thin line under the top edge: a light one gives raised plates their
// bevel, a dark one sinks a pressed plate.
void topLine(QPainter& painter, const QRectF& rect, qreal radius, const QColor& colour)
{
    painter.setPen(QPen(colour, 1.0));
    painter.drawLine(QPointF(rect.left() + radius, rect.top() + 1.5),
                     QPointF(rect.right() - radius, rect.top() + 1.5));
}

void drawPlate(QPainter& painter, const QString& plate, const QRectF& rect)
{
    const qreal radius = 4.0;
    if (plate == QLatin1String("none"))
        return;
    if (plate == QLatin1String("button") || plate == QLatin1String("button-focus")) {
        fillRounded(painter, rect, radius, vertical(rect, QColor("#525252"), QColor("#3b3b3b")),
                    QColor("#1c1c1c"));
        topLine(painter, rect, radius, QColor(255, 255, 255, 26));
        if (plate == QLatin1String("button-focus"))
            fillRounded(painter, rect.adjusted(1, 1, -1, -1), radius - 1, Qt::NoBrush, QColor(kAccent));
    } else if (plate == QLatin1String("button-hover")) {
        fillRounded(painter, rect, radius, vertical(rect, QColor("#5f5f5f"), QColor("#474747")),
                    QColor("#1c1c1c"));
        topLine(painter, rect, radius, QColor(255, 255, 255, 34));
    } else if (plate == QLatin1String("button-pressed")) {
        fillRounded(painter, rect, radius, vertical(rect, QColor("#2b2b2b"), QColor("#363636")),
                    QColor("#141414"));
        topLine(painter, rect, radius, QColor(0, 0, 0, 70));
    } else if (plate == QLatin1String("button-disabled")) {
        fillRounded(painter, rect, radius, QColor("#474747"), QColor("#333333"));
    } else if (plate == QLatin1String("bar-hover")) {
        fillRounded(painter, rect, radius, QColor(255, 255, 255, 20), QColor(255, 255, 255, 30));
    } else if (plate == QLatin1String("bar-pressed")) {
        fillRounded(painter, rect, radius, QColor(0, 0, 0, 80), QColor(0, 0, 0, 120));
    } else {
        fail(QStringLiteral("unknown plate: ") + plate);
    }
}

// ------------------------------------------------------------------ glyphs

QByteArray recoloured(const QByteArray& svg, const QString& glyph, const QString& accent)
{
    QByteArray text = svg;
    text.replace("currentColor", glyph.toLatin1());
    text.replace(kAccent.toLatin1(), accent.toLatin1());
    return text;
}

void drawSvg(QPainter& painter, const QByteArray& svg, const QRectF& target, const QString& name)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        fail(QStringLiteral("invalid SVG: ") + name);
    renderer.render(&painter, target);
}

// Where the glyph goes: the whole image for single images and small glyphs,
// else a square of "glyph" pixels (24 by default) in the middle, or at the
// left edge with at=left (a plate that carries a text beside its glyph).
QRectF glyphBox(const Job& job)
{
    const QSize size = job.size;
    const QString glyph = job.options.value(QStringLiteral("glyph"));
    const bool small = qMin(size.width(), size.height()) < 30;
    if (glyph == QLatin1String("full") || (glyph.isEmpty() && (job.family == QLatin1String("one") || small)))
        return QRectF(QPointF(0, 0), size);
    const int side = glyph.isEmpty() ? 24 : glyph.toInt();
    // Whole pixels keep one-pixel strokes sharp.
    const int top = (size.height() - side) / 2;
    const int left = job.options.value(QStringLiteral("at")) == QLatin1String("left") ? top + 2
                                                                                     : (size.width() - side) / 2;
    return QRectF(left, top, side, side);
}

QImage renderMember(const Job& job, const QByteArray& svg, const Look& look)
{
    QImage image(job.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawPlate(painter, look.plate, QRectF(QPointF(0, 0), job.size));

    const QString glyph = job.options.value(QStringLiteral("color"), look.glyph);
    const QRectF box = glyphBox(job);
    if (look.shadow) {
        // A soft dark copy one pixel lower lifts the glyph off its plate.
        painter.setOpacity(0.5);
        drawSvg(painter, recoloured(svg, QStringLiteral("#000000"), QStringLiteral("#000000")),
                box.translated(0, 1), job.source);
        painter.setOpacity(1.0);
    }
    drawSvg(painter, recoloured(svg, glyph, look.accent), box, job.source);
    return image;
}

QImage renderNoise(const Job& job)
{
    QRandomGenerator random(job.options.value(QStringLiteral("seed"), QStringLiteral("1")).toUInt());
    const int amount = job.options.value(QStringLiteral("amount"), QStringLiteral("10")).toInt();
    QImage image(job.size, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const bool light = random.bounded(2) == 1;
            const int alpha = random.bounded(amount + 1);
            line[x] = light ? qRgba(255, 255, 255, alpha) : qRgba(0, 0, 0, alpha);
        }
    }
    return image;
}

// ------------------------------------------------------------------ manifest

struct Manifest
{
    QMap<QString, Look> looks;
    QMap<QString, QList<Member>> families;
    QList<Job> jobs;
};

Look parseLook(const QHash<QString, QString>& options)
{
    Look look;
    look.plate = options.value(QStringLiteral("plate"), look.plate);
    look.glyph = options.value(QStringLiteral("glyph"), look.glyph);
    look.accent = options.value(QStringLiteral("accent"), look.accent);
    look.shadow = options.value(QStringLiteral("shadow")) == QLatin1String("1");
    return look;
}

Manifest readManifest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read ") + path);
    Manifest manifest;
    manifest.looks.insert(QStringLiteral("plain"), Look());
    manifest.families.insert(QStringLiteral("one"), {{QString(), QStringLiteral("plain")}});
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (words[0] == QLatin1String("@look") && words.size() >= 2) {
            manifest.looks.insert(words[1], parseLook(parseOptions(words, 2)));
        } else if (words[0] == QLatin1String("@family") && words.size() >= 3) {
            QList<Member> members;
            for (const auto& [suffix, look] : parseOptions(words, 2).asKeyValueRange()) {
                if (!manifest.looks.contains(look))
                    fail(QStringLiteral("unknown look %1 on line %2").arg(look).arg(lineNumber));
                members.append({suffix == QLatin1String("-") ? QString() : suffix, look});
            }
            manifest.families.insert(words[1], members);
        } else if (words.size() >= 4) {
            if (words[0] != QLatin1String("noise") && !manifest.families.contains(words[0]))
                fail(QStringLiteral("unknown family %1 on line %2").arg(words[0]).arg(lineNumber));
            manifest.jobs.append({words[0], words[1], words[2], parseSize(words[3]), parseOptions(words, 4)});
        } else {
            fail(QStringLiteral("cannot read line %1").arg(lineNumber));
        }
    }
    return manifest;
}

void writePng(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    if (!image.save(path, "PNG"))
        fail(QStringLiteral("cannot write ") + path);
}

QByteArray readSource(const QString& folder, const QString& name)
{
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read ") + file.fileName());
    return file.readAll();
}

// Renders every member of every job; returns the resource names written.
QStringList renderAll(const Manifest& manifest, const QString& svgFolder, const QString& outFolder)
{
    QStringList written;
    for (const Job& job : manifest.jobs) {
        if (job.family == QLatin1String("noise")) {
            writePng(renderNoise(job), outFolder + QLatin1Char('/') + job.base + QStringLiteral(".png"));
            written << job.base + QStringLiteral(".png");
            continue;
        }
        const QByteArray svg = readSource(svgFolder, job.source);
        for (const Member& member : manifest.families.value(job.family)) {
            const QString name = job.base + member.suffix + QStringLiteral(".png");
            writePng(renderMember(job, svg, manifest.looks.value(member.look)),
                     outFolder + QLatin1Char('/') + name);
            written << name;
        }
    }
    return written;
}

void writeCollection(const QStringList& names, const QString& outFolder, const QString& qrcPath)
{
    QSaveFile file(qrcPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        fail(QStringLiteral("cannot write ") + qrcPath);
    QTextStream out(&file);
    out << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/icons\">\n";
    for (const QString& name : names)
        out << "  <file alias=\"" << name.toHtmlEscaped() << "\">"
            << QDir(outFolder).absoluteFilePath(name).toHtmlEscaped() << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    out.flush();
    if (!file.commit())
        fail(QStringLiteral("cannot write ") + qrcPath);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        fail(QStringLiteral("usage: quillet-iconrender <manifest> <svg folder> <output folder> <qrc file>"));

    const Manifest manifest = readManifest(args[1]);
    QStringList names = renderAll(manifest, args[2], args[3]);
    if (names.size() != QSet<QString>(names.begin(), names.end()).size())
        fail(QStringLiteral("an image is listed twice"));
    writeCollection(names, args[3], args[4]);
    return 0;
}
