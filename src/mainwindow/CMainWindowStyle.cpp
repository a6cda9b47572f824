// Reloading the window's style sheets from the source tree, for a style
// author to see a change without rebuilding, and clearing a pane's layout.

#include "mainwindow/CMainWindow.h"

#include "utils/CLanguageManager.h"
#include "utils/CMessageBox.h"
#include "utils/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLayout>

using namespace NAVIK_tarl1;

namespace {

// The style files of the source tree this unit was built from.
QString styleFolder()
{
    const QString unitFolder = QFileInfo(QStringLiteral(__FILE__)).absolutePath();
    return unitFolder + QDir::separator() + QStringLiteral("..") + QDir::separator() + QStringLiteral("..")
        + QDir::separator() + QStringLiteral("resources") + QDir::separator() + QStringLiteral("qss")
        + QDir::separator();
}

// The file's bytes up to the first NUL.
QString readStyle(QFile& file)
{
    const QByteArray bytes = file.readAll();
    const int end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}

} // namespace

void auxDeleteAllNestedWidgets(QWidget* widget)
{
    QLayout* layout = widget->layout();
    if (!layout) {
        ASSERT(false);
        return;
    }
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* child = item->widget()) {
            child->hide();
            child->deleteLater();
        }
        delete item;
    }
    // A child that left the layout goes too: it would be drawn over the
    // next pane.
    for (QWidget* child : widget->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->deleteLater();
    }
}

void CMainWindow::onUpdate_qss()
{
    const QString folder = styleFolder();
    QFile custom(folder + QStringLiteral("custom.qss"));
    if (!custom.open(QIODevice::ReadOnly)) {
        CMessageBox::warning(this, tr("Warning"), tr("Error opening custom css file") + QStringLiteral(": ")
                                 + custom.fileName(),
                             QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }
    const QString customText = readStyle(custom);
    QFile mac(folder + QStringLiteral("mac.qss"));
    mac.open(QIODevice::ReadOnly);
    const QString macText = readStyle(mac);
    const bool japanese = CLanguageManager::instance()->currentLanguageAbbrv() == QLatin1String("ja");
    QFile extra(folder + (japanese ? QStringLiteral("extra-jp.qss") : QStringLiteral("extra-en.qss")));
    extra.open(QIODevice::ReadOnly);
    setStyleSheet(readStyle(extra) + customText + macText);
}
