// The usage statistics: the report's element tree with and without consent,
// where and how it is posted, the daily and consent rules over several
// starts, the launch, picture and correction counters. Every report goes to
// a fake service on 127.0.0.1.

#include "FakeHttpService.h"

#include "engine/DefaultParameters.h"
#include "online/HardwareInfo.h"
#include "online/OrvaneStatisticSender.h"
#include "online/ServiceAddress.h"
#include "utils/CLanguageManager.h"
#include "utils/CSettings.h"

#include <Navik/Value.h>

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

using namespace NAVIK_tarl1;

Q_DECLARE_METATYPE(Navik::ValueArray)

namespace {

class FakeHardware : public IHardwareInfo
{
public:
    bool isAvailable() const override { return true; }
    bool isBusy() const override { return busy; }
    QString getPlatform() const override { return QStringLiteral("Linux"); }
    QString getVersion() const override { return QStringLiteral("Debian GNU/Linux 12 (bookworm)"); }
    QString getArchitecture() const override { return QStringLiteral("x86_64"); }
    QString getLanguage() const override { return QStringLiteral("en_US"); }
    QString getCpuModel() const override { return QStringLiteral("Test CPU <fast> & cool"); }
    float getCpuSpeed() const override { return 2.66f; }
    int getCpuCount() const override { return 8; }
    int getMemorySize() const override { return 16; }
    int getSwapSize() const override { return 2; }
    bool isOpenCLAvailable() const override { return false; }
    QList<HardwareGPUInfo> getGpuList() const override { return gpus; }
    QList<HardwareDisplayInfo> getDisplayList() const override { return displays; }

    bool busy = false;
    QList<HardwareGPUInfo> gpus{{QStringLiteral("Test GPU"), QStringLiteral("OpenCL 1.2"), 1024, 3}};
    QList<HardwareDisplayInfo> displays{{QStringLiteral("Wide"), 2560, 1440, 108.79f},
                                        {QStringLiteral("Side"), 1920, 1200, 94.0f}};
};

const QString kGroup = QStringLiteral("UsageStatistic/");

QVariant stat(const QString& key)
{
    return getSettingsValue(kGroup + key, QVariant());
}

void setStat(const QString& key, const QVariant& value)
{
    setSettingsValue(kGroup + key, value);
}

// One line per element: its name, its xsi:type and its text, indented by depth.
void describe(const QDomElement& element, int depth, QString& out)
{
    const QString type =
        element.attributeNS(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("type"));
    out += QString(depth * 2, QLatin1Char(' ')) + element.localName();
    if (!element.namespaceURI().isEmpty())
        out += QStringLiteral(" {") + element.namespaceURI() + QLatin1Char('}');
    if (!type.isEmpty())
        out += QStringLiteral(" [") + type + QLatin1Char(']');
    if (element.firstChildElement().isNull()) {
        QString text = element.text();
        if (element.localName() == QLatin1String("userID") && !QUuid::fromString(text).isNull())
            text = QStringLiteral("<uuid>");
        out += QStringLiteral(" = ") + text;
    }
    out += QLatin1Char('\n');
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        describe(child, depth + 1, out);
}

QString describeRequest(const QByteArray& xml)
{
    QDomDocument document;
    if (!document.setContent(xml, true))
        return QStringLiteral("not XML");
    const QDomElement method = document.documentElement().firstChildElement().firstChildElement();
    QString out;
    describe(method, 0, out);
    return out;
}

QByteArray okReply()
{
    return FakeHttpService::envelope("<SendOrvaneUserInfoResponse xmlns=\"http://statistics.navik-labs.invalid/Stat\"/>");
}

} // namespace

class TestStatisticSender : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void reportTree_data();
    void reportTree();
    void reportWithoutDevices();
    void dailyAndConsentRules_data();
    void dailyAndConsentRules();
    void consentAcrossStarts();
    void busyHardwareWaits();
    void launchAndPictureCounters();
    void correctionCounters_data();
    void correctionCounters();
    void correctionCountersFromTheEngineReset();

private:
    // Sends from a fresh sender (a fresh start) and waits for the service's
    // answer; false when nothing was sent.
    bool sendOnce(const QDateTime& now, bool fault = false);

    std::unique_ptr<FakeHttpService> m_service;
    bool m_fault = false;
};

void TestStatisticSender::initTestCase()
{
    // The languages the report names, as the program loads them.
    CLanguageManager::instance()->loadLanguageForApp();
}

void TestStatisticSender::init()
{
    CSettings settings;
    settings.clear();
    m_fault = false;
    m_service = std::make_unique<FakeHttpService>([this](const FakeRequest&) {
        FakeResponse response;
        response.status = m_fault ? 500 : 200;
        response.body = m_fault ? FakeHttpService::faultEnvelope("Server", "Not today") : okReply();
        return response;
    });
    qputenv(OnlineServices::kStatisticsServiceVariable, m_service->url());
}

bool TestStatisticSender::sendOnce(const QDateTime& now, bool fault)
{
    m_fault = fault;
    OrvaneStatisticSender sender(std::make_shared<FakeHardware>());
    sender.setClock([now] { return now; });
    QSignalSpy ready(&sender.transport(), &CSoapHttpTransport::responseReady);
    sender.sendStatistic();
    if (!sender.transport().networkReply())
        return false;
    [&] { QVERIFY(ready.wait(10000)); }();
    return true;
}

void TestStatisticSender::reportTree_data()
{
    QTest::addColumn<bool>("consent");
    QTest::addColumn<QString>("golden");
    QTest::newRow("consent") << true << QStringLiteral("statistics-consent.txt");
    QTest::newRow("no consent") << false << QStringLiteral("statistics-blank.txt");
}

void TestStatisticSender::reportTree()
{
    QFETCH(bool, consent);
    QFETCH(QString, golden);
    setStatisticSent(consent);
    setStat(QStringLiteral("version_of_product"), QStringLiteral("1.0.6.9434"));
    setStat(QStringLiteral("statistic.lr_launch_count"), 2);
    setStat(QStringLiteral("statistic.aperture_launch_count"), 1);
    setStat(QStringLiteral("statistic.single_launch_count"), 5);
    setStat(QStringLiteral("statistic.64_launch_count"), 8);
    setStat(QStringLiteral("statistic.single_image_count"), 4);
    setStat(QStringLiteral("statistic.ps_image_count"), QStringLiteral("not a number"));
    setStat(QStringLiteral("statistic.horizon_processed"), 3);
    setStat(QStringLiteral("statistic.8pts_keystoning_processed"), 1);
    setSettingsValue(QStringLiteral("crashCounter_PS"), 2);
    setSettingsValue(QStringLiteral("crashCounter_Standalone"), 1);

    QVERIFY(sendOnce(QDateTime(QDate(2026, 3, 1), QTime(12, 0))));
    QCOMPARE(m_service->requests().size(), 1);
    const FakeRequest& request = m_service->requests().first();
    QCOMPARE(request.path, QByteArray("/Information/WSStat.asmx"));
    QCOMPARE(request.headers.value("soapaction"),
             QByteArray("\"http://statistics.navik-labs.invalid/Stat/SendOrvaneUserInfo\""));
    QCOMPARE(request.headers.value("content-type"), QByteArray("text/xml;charset=utf-8"));

    const QString tree = describeRequest(request.body);
    QFile file(QStringLiteral(QUILLET_TEST_DATA_DIR "/") + golden);
    if (qEnvironmentVariableIsSet("QUILLET_WRITE_GOLDEN")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(tree.toUtf8());
    } else {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(tree, QString::fromUtf8(file.readAll()));
    }
}

void TestStatisticSender::reportWithoutDevices()
{
    setStatisticSent(true);
    auto hardware = std::make_shared<FakeHardware>();
    hardware->gpus.clear();
    hardware->displays.clear();
    OrvaneStatisticSender sender(hardware);
    QSignalSpy ready(&sender.transport(), &CSoapHttpTransport::responseReady);
    sender.sendStatistic();
    QVERIFY(ready.wait(10000));
    const QString tree = describeRequest(m_service->requests().first().body);
    QVERIFY(!tree.contains(QLatin1String("SYS_GPU_List")));
    QVERIFY(!tree.contains(QLatin1String("SYS_Display_List")));
    // No host installed: the host list is still there, empty.
    QVERIFY(tree.contains(QLatin1String("    QLT_Host_Version_List = \n")));
}

void TestStatisticSender::dailyAndConsentRules_data()
{
    QTest::addColumn<QString>("lastSend");     // hours before now, "none" or a bad text
    QTest::addColumn<QVariant>("sendDisabled"); // stored "sendDisabledStat", invalid when absent
    QTest::addColumn<bool>("consent");
    QTest::addColumn<bool>("fault");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<bool>("disabledAfter");

    QTest::newRow("first run, no consent") << "none" << QVariant() << false << false << true << false;
    QTest::newRow("first run, consent") << "none" << QVariant() << true << false << true << true;
    QTest::newRow("first run, fault") << "none" << QVariant() << false << true << true << true;
    QTest::newRow("23 hours ago") << "23" << QVariant(true) << true << false << false << true;
    QTest::newRow("24 hours ago") << "24" << QVariant(true) << true << false << true << true;
    QTest::newRow("in the future") << "-2" << QVariant(true) << true << false << false << true;
    QTest::newRow("unreadable date") << "yesterday" << QVariant(true) << true << false << true << true;
    QTest::newRow("blank answered, no consent") << "48" << QVariant(false) << false << false << false << false;
    QTest::newRow("blank answered, consent now") << "48" << QVariant(false) << true << false << true << true;
}

void TestStatisticSender::dailyAndConsentRules()
{
    QFETCH(QString, lastSend);
    QFETCH(QVariant, sendDisabled);
    QFETCH(bool, consent);
    QFETCH(bool, fault);
    QFETCH(bool, sent);
    QFETCH(bool, disabledAfter);

    const QDateTime now(QDate(2026, 3, 10), QTime(9, 30));
    QString stored;
    bool ok = false;
    const int hours = lastSend.toInt(&ok);
    if (ok)
        stored = now.addSecs(-3600 * hours).toString(Qt::ISODate);
    else if (lastSend != QLatin1String("none"))
        stored = lastSend;
    if (!stored.isEmpty())
        setStat(QStringLiteral("lastSendDate"), stored);
    if (sendDisabled.isValid())
        setStat(QStringLiteral("sendDisabledStat"), sendDisabled);
    setStatisticSent(consent);

    QCOMPARE(sendOnce(now, fault), sent);
    QCOMPARE(m_service->requests().size(), sent ? 1 : 0);
    // Every answer stamps the date, also a fault; nothing else does.
    QCOMPARE(stat(QStringLiteral("lastSendDate")).toString(), sent ? now.toString(Qt::ISODate) : stored);
    QCOMPARE(stat(QStringLiteral("sendDisabledStat")).toBool(), disabledAfter);
}

void TestStatisticSender::consentAcrossStarts()
{
    // A fresh installation whose user has not agreed: one blank report, then
    // silence until the user agrees.
    QDateTime day(QDate(2026, 5, 1), QTime(8, 0));
    setStatisticSent(false);
    QVERIFY(sendOnce(day));
    QVERIFY(describeRequest(m_service->requests().last().body).contains(QLatin1String("NAVIK_Feedback_Enabled [xsd:boolean] = false")));
    QVERIFY(!sendOnce(day.addDays(1)));
    QVERIFY(!sendOnce(day.addDays(30)));

    setStatisticSent(true);
    QVERIFY(sendOnce(day.addDays(31)));
    QVERIFY(describeRequest(m_service->requests().last().body).contains(QLatin1String("SYS_Platform [xsd:string] = Linux")));
    QVERIFY(stat(QStringLiteral("sendDisabledStat")).toBool());
    // Same day: nothing; the next day: a report again.
    QVERIFY(!sendOnce(day.addDays(31).addSecs(3600)));
    QVERIFY(sendOnce(day.addDays(32)));
    QCOMPARE(m_service->requests().size(), 3);
}

void TestStatisticSender::busyHardwareWaits()
{
    auto hardware = std::make_shared<FakeHardware>();
    hardware->busy = true;
    OrvaneStatisticSender sender(hardware);
    QSignalSpy ready(&sender.transport(), &CSoapHttpTransport::responseReady);
    sender.sendStatistic();
    QVERIFY(!sender.transport().networkReply());
    hardware->busy = false;
    // The retry comes by itself.
    QVERIFY(ready.wait(10000));
    QCOMPARE(m_service->requests().size(), 1);
}

void TestStatisticSender::launchAndPictureCounters()
{
    OrvaneStatisticSender sender(std::make_shared<FakeHardware>());
    // Another version's counters go before the first launch is counted;
    // the picture counters stay.
    setStat(QStringLiteral("version_of_product"), QStringLiteral("1.0.5.1"));
    setStat(QStringLiteral("statistic.ps_launch_count"), 9);
    setStat(QStringLiteral("statistic.32_launch_count"), 3);
    setStat(QStringLiteral("statistic.ps_image_count"), 6);
    setStat(QStringLiteral("statistic.rect_keystoning_processed"), 5);
    setSettingsValue(QStringLiteral("crashCounter_LR"), 4);

    sender.countLaunch(2);
    QCOMPARE(stat(QStringLiteral("version_of_product")).toString(), QStringLiteral("1.0.6.9434"));
    QCOMPARE(stat(QStringLiteral("statistic.ps_launch_count")).toInt(), 1);
    QCOMPARE(stat(QStringLiteral("statistic.64_launch_count")).toInt(), 1);
    QVERIFY(!stat(QStringLiteral("statistic.32_launch_count")).isValid());
    QCOMPARE(stat(QStringLiteral("statistic.ps_image_count")).toInt(), 6);
    QCOMPARE(stat(QStringLiteral("statistic.rect_keystoning_processed")).toInt(), 0);
    QVERIFY(!getSettingsValue(QStringLiteral("crashCounter_LR"), QVariant()).isValid());

    // Unknown modes count as standalone; the same version keeps counting.
    const struct { int mode; const char* launches; const char* images; } modes[] = {
        {1, "statistic.single_launch_count", "statistic.single_image_count"},
        {2, "statistic.ps_launch_count", "statistic.ps_image_count"},
        {3, "statistic.lr_launch_count", "statistic.lr_image_count"},
        {4, "statistic.aperture_launch_count", "statistic.aperture_image_count"},
        {0, "statistic.single_launch_count", "statistic.single_image_count"},
        {7, "statistic.single_launch_count", "statistic.single_image_count"},
    };
    for (const auto& row : modes) {
        const int launches = stat(QLatin1String(row.launches)).toInt();
        const int images = stat(QLatin1String(row.images)).toInt();
        sender.countLaunch(row.mode);
        CStatisticSender::countProcessedImage(row.mode);
        QCOMPARE(stat(QLatin1String(row.launches)).toInt(), launches + 1);
        QCOMPARE(stat(QLatin1String(row.images)).toInt(), images + 1);
    }
    QCOMPARE(stat(QStringLiteral("statistic.64_launch_count")).toInt(), 7);
}

namespace {

Navik::ValueArray moved(Navik::ValueArray points)
{
    Navik::ValueArray result;
    for (unsigned int i = 0; i < points.Count(); ++i)
        result.Append(i == 0 ? Navik::Value(points.GetValueAtIndex(0).AsDouble() + 0.01) : points.GetValueAtIndex(i));
    return result;
}

} // namespace

void TestStatisticSender::correctionCounters_data()
{
    QTest::addColumn<QVariantMap>("parameters");
    QTest::addColumn<bool>("exif");
    QTest::addColumn<QStringList>("counted");

    const auto keystoning = [](const char* mode, const Navik::ValueArray& points) {
        QVariantMap p{{"KeystoningActive", true}, {"KeystoningMode", mode}};
        p.insert(QStringLiteral("KeystoningPoints"), QVariant::fromValue(points));
        return p;
    };
    QTest::newRow("nothing") << QVariantMap() << false << QStringList();
    QTest::newRow("auto distortion") << QVariantMap{{"DistortionActive", true}, {"DistortionType", "Auto"}} << false
                                     << QStringList{"auto_distortion_processed"};
    QTest::newRow("AUTO in capitals") << QVariantMap{{"DistortionActive", true}, {"DistortionType", "AUTO"}} << false
                                      << QStringList{"auto_distortion_processed"};
    QTest::newRow("manual distortion") << QVariantMap{{"DistortionActive", true}, {"DistortionType", "Manual"}}
                                       << false << QStringList{"manual_distortion_processed"};
    QTest::newRow("empty distortion type") << QVariantMap{{"DistortionActive", true}, {"DistortionType", ""}} << false
                                           << QStringList();
    QTest::newRow("distortion off") << QVariantMap{{"DistortionActive", false}, {"DistortionType", "Auto"}} << false
                                    << QStringList();
    QTest::newRow("spherical") << QVariantMap{{"AnamorphosisActive", true}, {"AnamorphosisType", "Spherical"}}
                               << false << QStringList{"spherical_anamorphosis_processed"};
    QTest::newRow("cylindrical") << QVariantMap{{"AnamorphosisActive", true}, {"AnamorphosisType", "cylindrical"}}
                                 << false << QStringList{"cylindrical_anamorphosis_processed"};
    QTest::newRow("parallel at the default") << keystoning("Parallel", defaultVerticalKeystoningPoints()) << false
                                             << QStringList();
    QTest::newRow("parallel moved") << keystoning("Parallel", moved(defaultVerticalKeystoningPoints())) << false
                                    << QStringList{"vert_keystoning_processed"};
    QTest::newRow("rectangle at the horizontal default")
        << keystoning("Rectangle", defaultHorizontalKeystoningPoints()) << false << QStringList();
    QTest::newRow("rectangle at the vertical default")
        << keystoning("Rectangle", defaultVerticalKeystoningPoints()) << false << QStringList();
    QTest::newRow("rectangle moved") << keystoning("Rectangle", moved(defaultHorizontalKeystoningPoints())) << false
                                     << QStringList{"rect_keystoning_processed"};
    QTest::newRow("four lines at the default") << keystoning("FourLines", default8PointsKeystoningPoints()) << false
                                               << QStringList();
    QTest::newRow("four lines moved") << keystoning("FourLines", moved(default8PointsKeystoningPoints())) << false
                                      << QStringList{"8pts_keystoning_processed"};
    QVariantMap horizonOff{{"KeystoningActive", false}, {"KeystoningHorizon", 1.5}};
    QTest::newRow("horizon with keystoning off") << horizonOff << false << QStringList();
    QVariantMap horizon{{"KeystoningActive", true}, {"KeystoningHorizon", 1.5}};
    QTest::newRow("horizon") << horizon << false << QStringList{"horizon_processed"};
    QVariantMap crop{{"CropActive", true}, {"CropRect", "0 0 1 1"}};
    QTest::newRow("crop") << crop << false << QStringList{"manual_crop_processed"};
    QTest::newRow("crop without a rectangle") << QVariantMap{{"CropActive", true}} << false << QStringList();
    QTest::newRow("exif from another file") << QVariantMap() << true << QStringList{"auto_distortion_exif_asked"};
    QVariantMap several{{"DistortionActive", true}, {"DistortionType", "Auto"}, {"KeystoningActive", true},
                        {"KeystoningHorizon", 0.0}, {"CropActive", true}, {"CropRect", "r"}};
    QTest::newRow("auto distortion, horizon and crop")
        << several << false << QStringList{"auto_distortion_processed", "horizon_processed", "manual_crop_processed"};
    QVariantMap badPoints{{"KeystoningActive", true}, {"KeystoningMode", "Parallel"}, {"KeystoningPoints", "oops"}};
    QTest::newRow("points of another type") << badPoints << false << QStringList();
}

void TestStatisticSender::correctionCounters()
{
    QFETCH(QVariantMap, parameters);
    QFETCH(bool, exif);
    QFETCH(QStringList, counted);

    Navik::Dictionary dict;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        const std::string key = it.key().toStdString();
        const QVariant& value = it.value();
        if (value.userType() == qMetaTypeId<Navik::ValueArray>())
            dict.SetValueForKey(key, value.value<Navik::ValueArray>());
        else if (value.typeId() == QMetaType::Bool)
            dict.SetValueForKey(key, value.toBool());
        else if (value.typeId() == QMetaType::Double)
            dict.SetValueForKey(key, value.toDouble());
        else
            dict.SetValueForKey(key, value.toString().toStdString());
    }
    // One save, then a second: every rule that holds counts once per save.
    for (int save = 1; save <= 2; ++save) {
        updateCorrectionStatistics(dict, exif);
        for (const QString& key : OrvaneStatisticSender::correctionCounterKeys()) {
            const bool expected = counted.contains(key.mid(QStringLiteral("statistic.").size()));
            QCOMPARE(stat(key).toInt(), expected ? save : 0);
        }
    }
}

void TestStatisticSender::correctionCountersFromTheEngineReset()
{
    // A start with another version clears the twelve counters to 0 (kept as keys).
    setStat(QStringLiteral("version_of_product"), QStringLiteral("0.9"));
    for (const QString& key : OrvaneStatisticSender::correctionCounterKeys())
        setStat(key, 7);
    OrvaneStatisticSender sender(std::make_shared<FakeHardware>());
    sender.countLaunch(1);
    for (const QString& key : OrvaneStatisticSender::correctionCounterKeys()) {
        QVERIFY(stat(key).isValid());
        QCOMPARE(stat(key).toInt(), 0);
    }
    QCOMPARE(OrvaneStatisticSender::correctionCounterKeys().size(), 12);
}

QTEST_MAIN(TestStatisticSender)
#include "tst_statisticsender.moc"
