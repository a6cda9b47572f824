#include "utils/CBaseDialog.h"

#include "utils/CScripting.h"

#include <QTimer>

namespace NAVIK_tarl1 {

namespace {

// Lets the dialog finish appearing before a script acts on it.
const int kNotificationDelayMs = 100;

} // namespace

CBaseDialog::CBaseDialog(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
}

CBaseDialog::~CBaseDialog() = default;

void CBaseDialog::sendNotification()
{
    CScripting::getInstance()->sendSignal(this);
}

QString CBaseDialog::getObjectName() const
{
    return objectName();
}

void CBaseDialog::showEvent(QShowEvent* event)
{
    // Published once, under the name the dialog has now, script or not.
    if (m_firstShow) {
        CScripting::getInstance()->makeObjectScriptable(objectName(), this);
        m_firstShow = false;
    }
    QDialog::showEvent(event);
    // Tied to the dialog: one destroyed before the delay sends nothing.
    QTimer::singleShot(kNotificationDelayMs, this, &CBaseDialog::sendNotification);
}

} // namespace NAVIK_tarl1
