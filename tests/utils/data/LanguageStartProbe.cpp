// Starts the languages as the program does (an application object, then
// loadLanguageForApp) and prints what the start chose, one "key=value" line
// each. The system language comes from the environment (LANGUAGE), which Qt
// reads once per process; hence a program of its own.
#include "utils/CLanguageManager.h"
#include "utils/CSettings.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace NAVIK_tarl1;

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    CLanguageManager* manager = CLanguageManager::instance();
    int changes = 0;
    QObject::connect(manager, &CLanguageManager::languageChanged, [&changes] { ++changes; });
    manager->loadLanguageForApp();

    const CSettings settings;
    QTextStream out(stdout);
    out << "stored=" << settings.value(QStringLiteral("NavikAppLanguage"), QStringLiteral("none")).toString()
        << "\nchanges=" << changes
        << "\nfirstTime=" << settings.value(QStringLiteral("NavikAppFirstTime"), QStringLiteral("none")).toString()
        << "\nabbreviation=" << manager->currentLanguageAbbrv()
        // Answered by the application catalog and by Qt's own catalog.
        << "\nlanguageName=" << QCoreApplication::translate("CLanguageManager", "language name")
        << "\nqtText=" << QCoreApplication::translate("QFileDialog", "Files of type:") << '\n';
    return 0;
}
