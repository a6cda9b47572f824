#pragma once

// The column of correction panels in the main window's "Correction" palette:
// one collapsible panel per correction module, in module order, packed at the
// top. It keeps every panel as wide as itself, reports the panels' total
// height for the palette to size itself, gives the focus to the first
// numbered control (property "settingsFocusNumber") when shown, and builds
// the Tab chain over all numbered controls of all panels.

#include "correction/ICorrectionModuleInterface.h"

#include <QMap>
#include <QPointer>
#include <QWidget>

#include <memory>

class FocusController;
class ICorrectionModuleHost;

namespace Ui {
class settingsWidget;
}

class CSettingsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CSettingsWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~CSettingsWidget() override;

    // One panel per available module, in list order (the host's list is
    // sorted by module order); called once.
    void addCorrectionModules(const QList<ICorrectionModuleInterfacePtr>& modules, ICorrectionModuleHost* host);
    FocusController* focusController() const { return m_focusController; }

Q_SIGNALS:
    // The panels' summed height plus 2.
    void heightIsChanged(int height);

public Q_SLOTS:
    void onChildWidgetHeightIsChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The numbered descendants by number; of two with one number the later
    // in a depth-first walk wins.
    QMap<int, QWidget*> numberedControls() const;

    std::unique_ptr<Ui::settingsWidget> m_ui;
    FocusController* m_focusController = nullptr;
};
