#pragma once

// The notice of a new version: its release notes, and the answers "Remind me
// later" (rejected) and "Update" (accepted, the default button).

#include "utils/CBaseDialog.h"

#include <memory>

namespace Ui {
class CheckForUpdateDialog;
}

class CCheckForUpdateDialog : public NAVIK_tarl1::CBaseDialog
{
    Q_OBJECT
public:
    CCheckForUpdateDialog(QWidget* parent, const QString& releaseNotes, const QString& newVersion);
    ~CCheckForUpdateDialog() override;

protected:
    // Gives Update the focus; the dialog is not handed to the script harness.
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::CheckForUpdateDialog> m_ui;
};
