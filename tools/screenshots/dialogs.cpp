// Shows one of the library's dialogs as the program does, so that
// take-screenshots.sh can photograph it. Not part of the product.
//
//   quillet-dialogs about       the about box
//   quillet-dialogs question    the question asked before a modified picture is
//                               dropped, over a window dressed as the main window
//   quillet-dialogs update      the notice of a new version, in the language of
//                               the settings

#include "online/CCheckForUpdateDialog.h"
#include "shell/CustomWindowsStyle.h"
#include "utils/CLanguageManager.h"
#include "utils/CAboutDlg.h"
#include "utils/CMessageBox.h"
#include "utils/StyleSheets.h"
#include "utils/SharedConstants.h"

#include <QApplication>
#include <QMainWindow>
#include <QTextStream>

int main(int argc, char** argv)
{
    QApplication::setStyle(new CustomWindowsStyle);
    QApplication app(argc, argv);
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (which == QLatin1String("about")) {
        NAVIK_tarl1::CAboutDlg about(nullptr);
        about.myExec();
    } else if (which == QLatin1String("question")) {
        QMainWindow window;
        window.setWindowTitle(g_appTitle);
        NAVIK_tarl1::setCustomStyleSheet(&window, false, QString());
        window.resize(700, 500);
        window.show();
        NAVIK_tarl1::CMessageBox::saveDiscardCancelMessage(
            &window, g_appTitle, QStringLiteral("The picture has been modified. Do you want to save changes?"),
            QMessageBox::Save, NAVIK_tarl1::CMessageBox::ButtonsSaveLast);
    } else if (which == QLatin1String("update")) {
        NAVIK_tarl1::CLanguageManager::instance()->loadLanguageForApp();
        CCheckForUpdateDialog notice(nullptr,
                                     QStringLiteral("<p><b>Navik Quillet 1.1</b></p><ul><li>Straighter verticals on "
                                                    "wide-angle pictures.</li><li>Faster crop preview.</li>"
                                                    "<li><a href=\"https://www.example.invalid/notes\">All "
                                                    "changes</a></li></ul>"),
                                     QStringLiteral("1.1.0"));
        NAVIK_tarl1::setCustomStyleSheet(&notice, false, QString());
        notice.exec();
    } else {
        QTextStream(stderr) << "usage: quillet-dialogs about|question|update\n";
        return 2;
    }
    return 0;
}
