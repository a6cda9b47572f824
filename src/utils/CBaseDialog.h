#pragma once

// The base of every dialog of the program. It makes the dialog reachable from
// a running test script: on its first show the dialog becomes a global of the
// script engine under its object name, and 100 ms after every show the
// harness hands it to the script through CScripting::resendSignal.
// Subclasses that override showEvent call this one.

#include "utils/UtilsGlobal.h"

#include <QDialog>
#include <QString>

class QShowEvent;

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CBaseDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CBaseDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~CBaseDialog() override;

public Q_SLOTS:
    // Hands the dialog to the script harness.
    void sendNotification();

public:
    // Lets a script ask a dialog for its name.
    Q_INVOKABLE QString getObjectName() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_firstShow = true;
};

} // namespace NAVIK_tarl1
