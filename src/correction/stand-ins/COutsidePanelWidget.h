#pragma once

// Stand-in for the correction panel frame of the image views until they are
// built: a plain frame that names itself after its module, shows the
// module's title and settings panel, and asks the undo controller for a step
// when its signal says so.

#include "correction/ICorrectionModuleInterface.h"

#include <QFrame>

class ICorrectionModuleHost;
class QLabel;

class COutsidePanelWidget : public QFrame
{
    Q_OBJECT
public:
    COutsidePanelWidget(QWidget* parent, Qt::WindowFlags flags);

    void setCorrectionModule(ICorrectionModuleInterfacePtr module, ICorrectionModuleHost* host);

Q_SIGNALS:
    void onCreateUndoCommand(QString text);

private:
    ICorrectionModuleInterfacePtr m_module;
    QLabel* m_title;
};
