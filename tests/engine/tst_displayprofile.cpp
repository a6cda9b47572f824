// The display's colour profile: asked of the desktop once, not for every
// render request, and again when the screens change.

#include "EngineTestSupport.h"

#include "engine/CProcessEngine.h"
#include "engine/DisplayProfile.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

class TestDisplayProfile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void askedOnceForManyRequests();
    void askedAgainWhenTheScreensChange();
    void noProfileMeansSRGB();

private:
    int m_lookups = 0;
    QByteArray m_profile;
};

void TestDisplayProfile::init()
{
    m_lookups = 0;
    m_profile = QByteArray("a display profile", 17);
    setDisplayProfileLookup([this](long displayId, QByteArray& profile) {
        ++m_lookups;
        profile = m_profile;
        return displayId >= 0 && !m_profile.isEmpty();
    });
}

void TestDisplayProfile::cleanup()
{
    setDisplayProfileLookup({});
}

void TestDisplayProfile::askedOnceForManyRequests()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(120, 80)));
    for (int i = 0; i < 5; ++i) {
        engine.forceProcessImage();
        engine.processHiResImage(false, "left", QRect(0, 0, 60, 40));
        engine.processLoupeRect(true, QRect(0, 0, 20, 20));
    }
    QVERIFY(waitUntilEngineIdle(engine));
    QCOMPARE(m_lookups, 1);

    // The renders read the profile from its file.
    const QString path = displayProfileForOutput();
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    QCOMPARE(file.readAll(), m_profile);
    QCOMPARE(m_lookups, 1);
}

void TestDisplayProfile::askedAgainWhenTheScreensChange()
{
    displayProfileForOutput();
    QCOMPARE(m_lookups, 1);

    // Another profile on another primary screen.
    m_profile = QByteArray("another profile");
    emit qGuiApp->primaryScreenChanged(QGuiApplication::primaryScreen());
    const QString second = displayProfileForOutput();
    QCOMPARE(m_lookups, 2);
    QFile file(second);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), m_profile);
    displayProfileForOutput();
    QCOMPARE(m_lookups, 2);

    // The desktop published another profile.
    forgetDisplayProfile();
    displayProfileForOutput();
    QCOMPARE(m_lookups, 3);
}

void TestDisplayProfile::noProfileMeansSRGB()
{
    m_profile.clear();
    QCOMPARE(displayProfileForOutput(), QStringLiteral("sRGB"));
    QCOMPARE(displayProfileForOutput(), QStringLiteral("sRGB"));
    QCOMPARE(m_lookups, 1);
}

QTEST_MAIN(TestDisplayProfile)
#include "tst_displayprofile.moc"
