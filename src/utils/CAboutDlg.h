#pragma once

// The about box: product name, version and build, the maker's links and the
// legal notices. Callers create it on the stack, run myExec() and let it go.

#include "utils/CBaseDialog.h"

#include <QString>

#include <memory>

class Ui_aboutDlg;

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CAboutDlg : public CBaseDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
    ~CAboutDlg() override;

    // Shows the box and returns once it is closed. The box is not modal:
    // the rest of the program stays usable meanwhile.
    void myExec();
    // Appends a blank and the name to the product-name line; an empty name
    // changes nothing.
    void updateProductName(const QString& name);

private:
    std::unique_ptr<Ui_aboutDlg> m_ui;
};

} // namespace NAVIK_tarl1
