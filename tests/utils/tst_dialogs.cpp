#include "utils/CAboutDlg.h"
#include "utils/CBaseDialog.h"
#include "utils/CScripting.h"
#include "utils/MacOSNativeGlue.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace NAVIK_tarl1;

class TestDialogs : public QObject
{
    Q_OBJECT

    static QLabel* label(QWidget* dialog, const char* name)
    {
        return dialog->findChild<QLabel*>(QLatin1String(name));
    }

private Q_SLOTS:
    void everyShowIsAnnouncedAfterADelay()
    {
        QSignalSpy announced(CScripting::getInstance().get(), &CScripting::resendSignal);
        CBaseDialog dialog(nullptr, Qt::WindowFlags());
        dialog.setObjectName("saveOptions");
        for (int show = 1; show <= 3; ++show) {
            dialog.show();
            QCOMPARE(announced.size(), show - 1); // not yet: 100 ms later
            QTRY_COMPARE(announced.size(), show);
            QCOMPARE(announced.last().first().value<QObject*>(), &dialog);
            dialog.hide();
        }
    }

    void aDialogGoneBeforeTheDelayIsNotAnnounced()
    {
        QSignalSpy announced(CScripting::getInstance().get(), &CScripting::resendSignal);
        auto* dialog = new CBaseDialog(nullptr, Qt::WindowFlags());
        dialog->show();
        delete dialog;
        QTest::qWait(300);
        QCOMPARE(announced.size(), 0);
    }

    void scriptsCanAskADialogItsName()
    {
        CBaseDialog dialog(nullptr, Qt::WindowFlags());
        dialog.setObjectName("preferencesDlg");
        QString name;
        QVERIFY(QMetaObject::invokeMethod(&dialog, "getObjectName", Q_RETURN_ARG(QString, name)));
        QCOMPARE(name, QStringLiteral("preferencesDlg"));
    }

    void aboutBoxTexts()
    {
        CAboutDlg about(nullptr);
        QCOMPARE(about.objectName(), QStringLiteral("aboutDlg"));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Navik Quillet"));
        QCOMPARE(label(&about, "label_1")->text(), QStringLiteral("Navik Quillet"));
        QCOMPARE(label(&about, "aboutLabel")->text(), QStringLiteral("Version 1.0.6 / Build 9434"));
        const QString legal = label(&about, "label_4")->text();
        QVERIFY(legal.contains("Navik Quillet"));
        QVERIFY(!legal.contains("%1"));
        QVERIFY(label(&about, "label_3")->text().contains("/intl/redirect/quill/navik_home\""));
        QVERIFY(label(&about, "label_6")->text().contains("/intl/redirect/quill/patents\""));
        QVERIFY(label(&about, "label_3")->openExternalLinks());
        QVERIFY(label(&about, "label_6")->openExternalLinks());
        QCOMPARE(label(&about, "label_3")->focusPolicy(), Qt::NoFocus);
        QCOMPARE(about.minimumSize(), QSize(555, 365));
        QCOMPARE(about.maximumSize(), QSize(555, 365));
        QVERIFY(!about.styleSheet().isEmpty());
    }

    void productNameGrowsOnlyByAName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("line");
        QTest::newRow("empty") << QString() << "Navik Quillet";
        QTest::newRow("a name") << "Pro" << "Navik Quillet Pro";
    }

    void productNameGrowsOnlyByAName()
    {
        QFETCH(QString, name);
        QFETCH(QString, line);
        CAboutDlg about(nullptr);
        about.updateProductName(name);
        QCOMPARE(label(&about, "label_1")->text(), line);
        QCOMPARE(about.windowTitle(), QStringLiteral("About Navik Quillet"));
    }

    void aboutBoxLeavesOtherWindowsUsableUntilClosed()
    {
        QPushButton other("Other window");
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QSignalSpy otherClicked(&other, &QPushButton::clicked);

        CAboutDlg about(nullptr);
        bool modal = true;
        bool responderAttached = false;
        QTimer::singleShot(200, &about, [&] {
            QTest::mouseClick(&other, Qt::LeftButton);
            modal = QApplication::activeModalWidget() != nullptr;
            responderAttached = g_cNSAppNotificationResponderMap.count(&about) == 1;
            about.findChild<QPushButton*>("buttonClose")->click();
        });
        about.myExec();
        QCOMPARE(otherClicked.size(), 1);
        QVERIFY(!modal);
        QVERIFY(responderAttached);
        QCOMPARE(g_cNSAppNotificationResponderMap.count(&about), 0u);
        QCOMPARE(about.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
