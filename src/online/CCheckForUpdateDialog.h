#pragma once

// The notice of a new version: its release notes, and the answers "Remind me
// later" (rejected) and "Update" (accepted, the default button). The notes
// come from the service: they show as rich text that fetches nothing, and
// only their http and https links open, in the browser.

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
