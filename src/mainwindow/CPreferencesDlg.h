#pragma once

// The preferences: interface language, grey of the view background, cell
// size of the grid overlay, the image-size display, consent to the usage
// statistics and the sending of crash reports, and the About box. Nothing is
// stored before Save; Cancel leaves every setting as it was. The main window
// opens it from its Preferences action and re-applies what depends on the
// settings afterwards.
//
// Pressing a slider within 99 ms of releasing either slider sets the pressed
// one to its default, so a double click on a handle snaps it back.

#include "utils/CBaseDialog.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <optional>

class CMainWindow;
class QPushButton;

namespace Ui {
class preferencesDlg;
}

class CPreferencesDlg : public NAVIK_tarl1::CBaseDialog
{
    Q_OBJECT
public:
    // The parent is the main window, which takes the new background on Save.
    explicit CPreferencesDlg(QWidget* parent);
    ~CPreferencesDlg() override;

    // Milliseconds of a steady clock, for the quick re-press of a slider;
    // by default the time since the dialog was made.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock);

Q_SIGNALS:
    void checkUpdates();

public Q_SLOTS:
    void on_aboutButton_clicked();
    void on_sendStatisticsLabel_linkActivated(const QString& link);
    // Save: stores every choice, then closes.
    void accept() override;
    void onColorSliderChanged(int value);
    void onStatisticsLabelClicked();
    void onSliderColorPressed();
    void onSliderColorReleased();
    void onSliderGridPressed();
    void onSliderGridReleased();

protected:
    // The statistics label acts as the text of its check box.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Centred, and as wide as its contents need, no more and no less.
    void showEvent(QShowEvent* event) override;

private:
    void styleColorPicker(int grey);
    void recordSliderRelease();
    bool isQuickRepress() const;

    std::unique_ptr<Ui::preferencesDlg> ui;
    CMainWindow* m_mainWindow = nullptr;
    int m_initialLanguageRow = -1;
    bool m_initialCrashReportChoice = false;
    QPushButton* pushButtonSave = nullptr;
    QPushButton* pushButtonCancel = nullptr;
    bool m_labelPressPending = false;
    QElapsedTimer m_sinceCreation;
    Clock m_clock;
    // When either slider was last released; none yet means no reset.
    std::optional<qint64> m_lastSliderRelease;
};
