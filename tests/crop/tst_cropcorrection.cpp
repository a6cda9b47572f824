// The crop module against a recording engine and the real module host: the
// parameters it sends and their order, ratio texts, apply and resets, the
// constraint to the source image, the automatic rectangle and the saved state
// with its byte layout and its deferred restore.

#include "correction/CCorrectionModuleHost.h"
#include "crop/CCropCorrection.h"
#include "crop/CCropGraphicsRect.h"
#include "crop/CropGraphicsItems.h"
#include "utils/CSettings.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <bit>
#include <memory>

namespace {

// Records every dictionary as "dict key=value ..." and takes it as the
// engine's next input, as the real engine does.
class RecordingEngine : public FakeProcessEngine
{
public:
    bool addCEDictionaryParameters(NavikNS::Dictionary params) override
    {
        QStringList entries;
        for (const auto& [key, value] : params.Entries()) {
            QString text;
            switch (value.GetType()) {
            case Navik::Value::kTypeBool:
                text = value.AsBool() ? QStringLiteral("true") : QStringLiteral("false");
                break;
            case Navik::Value::kTypeInt:
                text = QString::number(value.AsInt()) + QStringLiteral("i");
                break;
            default:
                text = QString::number(value.AsDouble(), 'g', 17);
                break;
            }
            entries.append(QString::fromStdString(key) + QLatin1Char('=') + text);
        }
        calls.append(QStringLiteral("dict ") + entries.join(QLatin1Char(' ')));
        transformInParams.AddEntriesFromDictionary(params);
        return true;
    }
    QStringList dicts(const QString& key) const
    {
        QStringList found;
        for (const QString& call : calls) {
            if (call.startsWith(QStringLiteral("dict ")) && call.contains(key + QLatin1Char('=')))
                found.append(call);
        }
        return found;
    }
};

// A Qt 4.8 data stream written field by field: big-endian numbers, a string
// as its byte length and UTF-16 code units, a variant as its type id, a null
// flag and its value.
struct StreamBytes
{
    QByteArray data;

    StreamBytes& u32(quint32 value)
    {
        char field[4];
        qToBigEndian(value, field);
        data.append(field, 4);
        return *this;
    }
    StreamBytes& f64(double value)
    {
        char field[8];
        qToBigEndian(std::bit_cast<quint64>(value), field);
        data.append(field, 8);
        return *this;
    }
    StreamBytes& key(const QString& text)
    {
        u32(quint32(text.size() * 2));
        for (QChar c : text) {
            char field[2];
            qToBigEndian(c.unicode(), field);
            data.append(field, 2);
        }
        return *this;
    }
    StreamBytes& variantHeader(quint32 type)
    {
        u32(type);
        data.append('\0');
        return *this;
    }
    // One entry of a map of variants: the key, then the value.
    StreamBytes& entry(const QString& name, bool value)
    {
        key(name).variantHeader(1);
        data.append(char(value));
        return *this;
    }
    StreamBytes& entry(const QString& name, const QByteArray& value)
    {
        key(name).variantHeader(12).u32(quint32(value.size()));
        data.append(value);
        return *this;
    }
    StreamBytes& entry(const QString& name, const QPointF& value)
    {
        key(name).variantHeader(26);
        return f64(value.x()).f64(value.y());
    }
    static QByteArray rect(double left, double top, double right, double bottom)
    {
        return StreamBytes().f64(left).f64(top).f64(right).f64(bottom).data;
    }
};

} // namespace

class TestCropCorrection : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    RecordingEngine m_engine;
    std::unique_ptr<QGraphicsScene> m_before;
    std::unique_ptr<QGraphicsScene> m_after;
    std::unique_ptr<CCorrectionModuleHost> m_host;
    std::shared_ptr<CCropCorrection> m_module;

    void act(const QString& activity, const QString& argument = QString())
    {
        m_host->processModuleAction(QStringLiteral("Crop"), activity, argument);
    }
    QRectF sceneRect() const { return m_module->graphicsRect()->sceneCropRect(); }

private Q_SLOTS:
    void init()
    {
        NAVIK_tarl1::CSettings settings(nullptr);
        settings.clear();
        application()->engine = &m_engine;
        m_engine.calls.clear();
        m_engine.transformInParams = {};
        m_engine.transformInParams.SetValueForKey("CropRatio", -1); // the engine's seed is an int
        m_engine.transformInParams.SetValueForKey("CropAuto", true);
        m_engine.pictureLoaded = true;
        m_engine.imageSize = QSize(3000, 2000);
        m_engine.resultSize = QSize(900, 600);
        m_engine.cropRectAuto = QRectF();
        m_engine.shift = QPointF();
        m_before = std::make_unique<QGraphicsScene>(0, 0, 900, 600);
        m_after = std::make_unique<QGraphicsScene>(0, 0, 900, 600);
        m_host = std::make_unique<CCorrectionModuleHost>();
        m_host->initialize(m_before.get(), m_after.get());
        m_module = std::make_shared<CCropCorrection>(5);
        m_host->addCorrectionModule(m_module);
        m_engine.calls.clear();
    }
    void cleanup()
    {
        m_host.reset();
        m_module.reset();
        m_before.reset();
        m_after.reset();
        application()->engine = nullptr;
    }

    void toolActivationAndApply()
    {
        act(QStringLiteral("SpecificCorrectionActivated"));
        QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Crop"));
        QVERIFY(m_host->afterSceneItemGroup(QStringLiteral("Crop"))->isVisible());
        QVERIFY(m_engine.calls.contains(QStringLiteral("dict CropActive=false CropAuto=true")));

        // A user's drag turns the crop manual.
        emit m_module->graphicsRect()->points().at(0)->itemPosWillChanged(
            m_module->graphicsRect()->points().at(0), QPointF(90, 60), QPointF(90, 60));
        QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));
        QCOMPARE(sceneRect(), QRectF(90, 60, 810, 540));

        m_engine.calls.clear();
        act(QStringLiteral("CorrectionApplyed"));
        QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
        const int rectAt = m_engine.calls.indexOf(QStringLiteral("cropRect 0.1 0.1 0.9 0.9"));
        const int dictAt = m_engine.calls.indexOf(QStringLiteral("dict CropActive=true CropAuto=false"), rectAt);
        QVERIFY2(rectAt >= 0 && dictAt > rectAt, qPrintable(m_engine.calls.join(QLatin1Char('\n'))));
        QCOMPARE(m_module->manualCropRect().left, 0.1);
    }

    // A drag after the automatic crop starts from the automatic rectangle: the
    // three sides the corner does not hold stay where the engine put them,
    // also through the engine's answer to the switch to manual crop.
    void dragStartsFromTheAutomaticRectangle()
    {
        m_engine.cropRectAuto = QRectF(0.1, 0.2, 0.5, 0.5);
        emit m_engine.transformOutParamsChanged();
        act(QStringLiteral("SpecificCorrectionActivated"));
        CCropPoint* leftTop = m_module->graphicsRect()->points().at(0);
        emit leftTop->itemPosWillChanged(leftTop, QPointF(180, 180), QPointF(180, 180));
        QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));
        QCOMPARE(sceneRect(), QRectF(180, 180, 360, 240));

        m_engine.cropRectAuto = QRectF(0.05, 0.05, 0.9, 0.9);
        emit m_engine.transformOutParamsChanged();
        QCOMPARE(sceneRect(), QRectF(180, 180, 360, 240));

        m_engine.calls.clear();
        act(QStringLiteral("CorrectionApplyed"));
        QVERIFY2(m_engine.calls.contains(QStringLiteral("cropRect 0.2 0.3 0.4 0.4")),
                 qPrintable(m_engine.calls.join(QLatin1Char('\n'))));
    }

    void ratioTexts_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QVariant>("engineRatio");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<bool>("preserve");
        QTest::newRow("image ratio, landscape") << QSize(3000, 2000) << QVariant(-1) << "0" << "1.5" << true;
        QTest::newRow("image ratio, portrait") << QSize(2000, 3000) << QVariant(-1) << "0"
                                               << QString::number(2.0 / 3.0, 'g', 17) << true;
        QTest::newRow("portrait crop turns a preset") << QSize(3000, 2000) << QVariant(0.8) << "1.5"
                                                      << QString::number(1 / 1.5, 'g', 17) << false;
        QTest::newRow("landscape crop keeps it") << QSize(3000, 2000) << QVariant(1.25) << "1.5" << "1.5" << false;
        QTest::newRow("free crop, portrait image") << QSize(2000, 3000) << QVariant(-1) << "1.5"
                                                   << QString::number(1 / 1.5, 'g', 17) << false;
        QTest::newRow("same ratio sends nothing") << QSize(3000, 2000) << QVariant(1.5) << "1.5" << "" << false;
        QTest::newRow("same ratio held as an int") << QSize(3000, 2000) << QVariant(2) << "2" << "" << false;
        QTest::newRow("free held as an int") << QSize(3000, 2000) << QVariant(-1) << "-1" << "" << false;
        QTest::newRow("zero-height image") << QSize(3000, 0) << QVariant(-1) << "0" << "0" << true;
        QTest::newRow("not a number") << QSize(3000, 2000) << QVariant(-1) << "abc" << "" << false;
        QTest::newRow("infinite ratio ignored") << QSize(3000, 2000) << QVariant(-1) << "inf" << "" << false;
    }
    void ratioTexts()
    {
        QFETCH(QSize, image);
        QFETCH(QVariant, engineRatio);
        QFETCH(QString, text);
        QFETCH(QString, sent);
        QFETCH(bool, preserve);
        m_engine.imageSize = image;
        if (engineRatio.typeId() == QMetaType::Int)
            m_engine.transformInParams.SetValueForKey("CropRatio", engineRatio.toInt());
        else
            m_engine.transformInParams.SetValueForKey("CropRatio", engineRatio.toDouble());
        m_engine.calls.clear();
        m_module->touchAdditionalControl(text);
        const QStringList ratios = m_engine.dicts(QStringLiteral("CropRatio"));
        if (sent.isEmpty())
            QVERIFY2(ratios.isEmpty(), qPrintable(ratios.join(QLatin1Char('\n'))));
        else
            QCOMPARE(ratios, QStringList{QStringLiteral("dict CropRatio=") + sent});
        QCOMPARE(m_module->isPreserveImageRatio(), preserve);
    }

    void manualRatioRefitsTheRectangle()
    {
        act(QStringLiteral("SpecificCorrectionActivated"));
        act(QStringLiteral("AdditionalControlTouched"), QStringLiteral("manualCrop"));
        QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));
        m_module->touchAdditionalControl(QStringLiteral("1"));
        QCOMPARE(sceneRect(), QRectF(150, 0, 600, 600));
        // A refit updates the manual rectangle and reports nothing.
        QCOMPARE(m_module->manualCropRect().left, 150.0 / 900);
    }

    void invertCropRatio()
    {
        m_engine.transformInParams.SetValueForKey("CropRatio", 1.5);
        m_module->invertCropRatio();
        QCOMPARE(m_engine.dicts(QStringLiteral("CropRatio")),
                 QStringList{QStringLiteral("dict CropRatio=") + QString::number(double(float(1 / 1.5)), 'g', 17)});
        m_engine.calls.clear();
        m_engine.transformInParams.SetValueForKey("CropRatio", 0.0);
        m_module->invertCropRatio();
        QVERIFY(m_engine.calls.isEmpty());
    }

    void automaticRectangle_data()
    {
        QTest::addColumn<QRectF>("engineRect");
        QTest::addColumn<QRectF>("placed");
        QTest::newRow("inside") << QRectF(0.1, 0.2, 0.5, 0.5) << QRectF(90, 120, 450, 300);
        QTest::newRow("clamped") << QRectF(-0.1, 0.6, 0.5, 0.5) << QRectF(0, 360, 360, 240);
        QTest::newRow("empty") << QRectF(0.2, 0.2, 0, 0.5) << QRectF(0, 0, 900, 600);
        QTest::newRow("wholly outside") << QRectF(1.2, 1.3, 0.5, 0.5) << QRectF(0, 0, 900, 600);
    }
    void automaticRectangle()
    {
        QFETCH(QRectF, engineRect);
        QFETCH(QRectF, placed);
        m_engine.cropRectAuto = engineRect;
        emit m_engine.transformOutParamsChanged();
        QVERIFY(std::abs(sceneRect().x() - placed.x()) < 1e-6 && std::abs(sceneRect().width() - placed.width()) < 1e-6
                && std::abs(sceneRect().y() - placed.y()) < 1e-6
                && std::abs(sceneRect().height() - placed.height()) < 1e-6);
        // Placing the automatic rectangle is no user move.
        QCOMPARE(m_module->cropType(), QStringLiteral("autoCrop"));
    }

    // Under the constraint a manual crop that leaves the source image turns
    // automatic: when the constraint is chosen, and at an engine output while
    // the crop tool is current. The projection shifts the corrected image
    // `shift` pixels right of the source image.
    void constrainedCropLeavingTheImage_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<qreal>("shift");
        QTest::addColumn<QString>("type");
        QTest::newRow("chosen, inside") << "chosen" << 0.0 << "manualCrop";
        QTest::newRow("chosen, 5 px out") << "chosen" << 95.0 << "manualCrop";
        QTest::newRow("chosen, 10 px out") << "chosen" << 100.0 << "autoCrop";
        QTest::newRow("output, inside") << "output" << 0.0 << "manualCrop";
        QTest::newRow("output, 10 px out") << "output" << 100.0 << "autoCrop";
        QTest::newRow("output after apply, 10 px out") << "output after apply" << 100.0 << "manualCrop";
    }
    void constrainedCropLeavingTheImage()
    {
        QFETCH(QString, when);
        QFETCH(qreal, shift);
        QFETCH(QString, type);
        act(QStringLiteral("SpecificCorrectionActivated"));
        emit m_module->graphicsRect()->points().at(0)->itemPosWillChanged(
            m_module->graphicsRect()->points().at(0), QPointF(90, 60), QPointF(90, 60));
        QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));
        if (when == QLatin1String("chosen")) {
            m_engine.shift = QPointF(shift, 0);
            act(QStringLiteral("AdditionalControlTouched"), QStringLiteral("constrainToImage"));
        } else {
            act(QStringLiteral("AdditionalControlTouched"), QStringLiteral("constrainToImage"));
            QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));
            if (when == QLatin1String("output after apply"))
                act(QStringLiteral("CorrectionApplyed"));
            m_engine.shift = QPointF(shift, 0);
            emit m_engine.transformOutParamsChanged();
        }
        QCOMPARE(m_module->cropType(), type);
        QVERIFY(m_module->isConstrainToImage());
        QVERIFY(NAVIK_tarl1::CSettings(nullptr).value(QStringLiteral("CropCorrection/cropIsConstrainToImage")).toBool());
        // The manual rectangle is kept for a later manual crop.
        QCOMPARE(m_module->manualCropRect(), (CCropCorrection::NormalizedCropRect{0.1, 0.1, 1, 1}));
    }

    // A reset of a manual crop: without the constraint the rectangle spans
    // the image again; under it the crop turns automatic, through the host
    // while the crop tool is current, directly otherwise.
    void resetOfAManualCrop_data()
    {
        QTest::addColumn<bool>("constrained");
        QTest::addColumn<bool>("cropCurrent");
        QTest::addColumn<QString>("type");
        QTest::newRow("free") << false << true << "manualCrop";
        QTest::newRow("constrained, crop tool") << true << true << "autoCrop";
        QTest::newRow("constrained, tool applied") << true << false << "autoCrop";
    }
    void resetOfAManualCrop()
    {
        QFETCH(bool, constrained);
        QFETCH(bool, cropCurrent);
        QFETCH(QString, type);
        act(QStringLiteral("SpecificCorrectionActivated"));
        emit m_module->graphicsRect()->points().at(0)->itemPosWillChanged(
            m_module->graphicsRect()->points().at(0), QPointF(90, 60), QPointF(90, 60));
        if (constrained)
            act(QStringLiteral("AdditionalControlTouched"), QStringLiteral("constrainToImage"));
        if (!cropCurrent)
            act(QStringLiteral("CorrectionApplyed"));
        QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));
        QSignalSpy hostActions(m_host.get(), &CCorrectionModuleHost::correctionOrModuleStateIsChanged);
        m_module->resetCurrentCorrection();
        QCOMPARE(m_module->cropType(), type);
        QCOMPARE(hostActions.count(), constrained && cropCurrent ? 1 : 0);
        QCOMPARE(m_module->manualCropRect(), CCropCorrection::NormalizedCropRect());
        if (!constrained)
            QCOMPARE(sceneRect(), QRectF(0, 0, 900, 600));
    }

    void firstOutputAfterANewImage()
    {
        m_module->setModuleActive(true);
        {
            NAVIK_tarl1::CSettings settings(nullptr);
            settings.setValue(QStringLiteral("CropCorrection/cropIsEnable"), false);
            settings.setValue(QStringLiteral("CropCorrection/cropIsConstrainToImage"), true);
        }
        m_module->resetForNewImage();
        emit m_engine.transformOutParamsChanged();
        QVERIFY(!m_module->isModuleActive());
        QVERIFY(m_module->isConstrainToImage());
        // Later outputs report nothing.
        m_module->setModuleActive(true);
        m_module->touchAdditionalControl(QStringLiteral("freeToImage"));
        emit m_engine.transformOutParamsChanged();
        QVERIFY(m_module->isModuleActive());
        QVERIFY(!m_module->isConstrainToImage());
    }

    void resetRendersAChangedRectangle()
    {
        act(QStringLiteral("SpecificCorrectionActivated"));
        emit m_module->graphicsRect()->points().at(0)->itemPosWillChanged(
            m_module->graphicsRect()->points().at(0), QPointF(90, 60), QPointF(90, 60));
        act(QStringLiteral("CorrectionApplyed"));
        m_engine.calls.clear();
        act(QStringLiteral("ModuleReset"));
        QVERIFY2(m_engine.calls.contains(QStringLiteral("cropRect 0 0 1 1")), qPrintable(m_engine.calls.join('\n')));
        QVERIFY(m_engine.calls.contains(QStringLiteral("render")));
        QCOMPARE(m_module->manualCropRect(), CCropCorrection::NormalizedCropRect());
        // Nothing changed: no extra render.
        m_engine.calls.clear();
        act(QStringLiteral("ModuleReset"));
        QVERIFY(!m_engine.calls.contains(QStringLiteral("render")));
    }

    // The module's state is the program's one stream format: version 4.8,
    // greatest key first.
    void stateBlobLayout()
    {
        act(QStringLiteral("SpecificCorrectionActivated"));
        m_module->setModuleActive(true);
        m_module->touchAdditionalControl(QStringLiteral("constrainToImage"));
        emit m_module->graphicsRect()->points().at(0)->itemPosWillChanged(
            m_module->graphicsRect()->points().at(0), QPointF(90, 60), QPointF(90, 60));
        QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));
        CCropSizeLabel* label = nullptr;
        for (QGraphicsItem* item : m_after->items()) {
            if (auto* found = dynamic_cast<CCropSizeLabel*>(item))
                label = found;
        }
        QVERIFY(label);

        StreamBytes expected;
        expected.u32(13);
        expected.entry("overlayRect", m_module->overlay()->toByteArray());
        expected.entry("lastUsedManualCropRectIsInitialized", true);
        expected.entry("lastUsedManualCropRect", StreamBytes::rect(0.1, 0.1, 1, 1));
        expected.entry("lastUsedAutoCropRect", StreamBytes::rect(0, 0, 1, 1));
        expected.entry("ignoreCropRectMoving", false);
        expected.entry("delta", QPointF(0, 0));
        expected.entry("cropTypeIsAuto", false);
        expected.entry("cropSizeLabel", label->toByteArray());
        expected.entry("cropGraphicsRect", m_module->graphicsRect()->toByteArray());
        expected.entry("constrainToImage", true);
        expected.entry("beforeSceneItemVisibility", false);
        expected.entry("baseCorrection", QByteArray(1, '\1'));
        expected.entry("afterSceneItemVisibility", true);
        const QByteArray state = m_module->serialize();
        QCOMPARE(state.toHex(' '), expected.data.toHex(' '));

        // Read back into a module in another state.
        act(QStringLiteral("CorrectionApplyed"));
        act(QStringLiteral("AdditionalControlTouched"), QStringLiteral("autoCrop"));
        m_module->touchAdditionalControl(QStringLiteral("freeToImage"));
        m_module->deserialize(expected.data, false);
        QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));
        QVERIFY(m_module->isConstrainToImage());
        QCOMPARE(m_module->manualCropRect(), (CCropCorrection::NormalizedCropRect{0.1, 0.1, 1, 1}));
        QCOMPARE(sceneRect(), QRectF(90, 60, 810, 540));
    }

    // A host without scenes offers the module no item group: it builds no
    // items and still answers.
    void noScenes()
    {
        cleanup();
        application()->engine = &m_engine;
        m_host = std::make_unique<CCorrectionModuleHost>();
        m_module = std::make_shared<CCropCorrection>(5);
        m_host->addCorrectionModule(m_module);
        QVERIFY(!m_module->graphicsRect());
        m_module->setModuleActive(true);
        m_module->touchAdditionalControl(QStringLiteral("constrainToImage"));
        m_module->resetCurrentCorrection();
        emit m_engine.transformOutParamsChanged();
        const QByteArray state = m_module->serialize();
        m_module->deserialize(state, false);
        QCOMPARE(m_module->serialize(), state);
        QWidget parent;
        QVERIFY(m_module->createToolPaneWidget(&parent));
    }

    void stateBlobAndDeferredRestore()
    {
        const QByteArray initial = m_module->serialize();
        QDataStream stream(initial);
        QMap<QString, QVariant> map;
        stream >> map;
        QCOMPARE(map.size(), 13);
        QCOMPARE(map.value("cropTypeIsAuto").toBool(), true);
        QCOMPARE(map.value("lastUsedManualCropRectIsInitialized").toBool(), false);
        QCOMPARE(CCropCorrection::NormalizedCropRect::fromVariant(map.value("lastUsedManualCropRect")),
                 CCropCorrection::NormalizedCropRect());
        const CCropCorrection::NormalizedCropRect sample{0.1, 0.2, 0.9, 0.8};
        QCOMPARE(sample.toVariant().toByteArray().size(), 32);
        QCOMPARE(sample.toVariant().toByteArray().left(8).toHex(), QByteArray("3fb999999999999a"));

        act(QStringLiteral("SpecificCorrectionActivated"));
        emit m_module->graphicsRect()->points().at(0)->itemPosWillChanged(
            m_module->graphicsRect()->points().at(0), QPointF(90, 60), QPointF(90, 60));
        const QByteArray manual = m_module->serialize();
        QVERIFY(!m_module->isEqual(initial, manual));

        // Deferred: applied at the next output, before the automatic read-back.
        m_module->deserialize(initial, true);
        QCOMPARE(sceneRect(), QRectF(90, 60, 810, 540));
        emit m_engine.transformOutParamsChanged();
        QCOMPARE(sceneRect(), QRectF(0, 0, 900, 600));
        QCOMPARE(m_module->cropType(), QStringLiteral("autoCrop"));

        m_module->deserialize(manual, false);
        QCOMPARE(sceneRect(), QRectF(90, 60, 810, 540));
        QCOMPARE(m_module->cropType(), QStringLiteral("manualCrop"));

        // A new image drops a pending restore.
        m_module->deserialize(manual, true);
        m_module->resetForNewImage();
        emit m_engine.transformOutParamsChanged();
        QCOMPARE(sceneRect(), QRectF(0, 0, 900, 600));
        m_module->deserialize(QByteArray(), false);
        QCOMPARE(sceneRect(), QRectF(0, 0, 900, 600));
    }
};

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestCropCorrection test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cropcorrection.moc"
