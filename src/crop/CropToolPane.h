#pragma once

// The crop tool pane (grid switch, mask opacity, reset, apply) and its mask
// opacity slider.

#include "correction/CBaseCorrectionSettings.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSlider;
class ICorrectionModuleHost;

class CropOverlayOpacitySlider : public QWidget
{
    Q_OBJECT

public:
    explicit CropOverlayOpacitySlider(QWidget* parent);
    ~CropOverlayOpacitySlider() override;

    // The stored mask opacity, 100 when none is stored or it is no number.
    static int savedValue();

    void setValue(int value);
    int value() const;
    QString toolTipText() const;
    QSlider* slider() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void valueChanged(int value);

private slots:
    void onValueChanged(int value);

private:
    QPointer<QSlider>* m_slider;
};

class Ui_CCropToolPane
{
public:
    QHBoxLayout* horizontalLayout = nullptr;
    QLabel* correctionIcon = nullptr;
    QFrame* verticalLine = nullptr;
    QCheckBox* checkBoxShowGrid = nullptr;
    QLabel* label = nullptr;
    CropOverlayOpacitySlider* slBackgroundOpacity = nullptr;
    QPushButton* resetButton = nullptr;
    QPushButton* applyButton = nullptr;

    void setupUi(QFrame* pane);
    void retranslateUi(QFrame* pane);
};

class CCropToolPane : public CBaseCorrectionToolPane
{
    Q_OBJECT

public:
    CCropToolPane(QWidget* parent, ICorrectionModuleHost* host, QString moduleName);

    void restoreShowGrid();
    const Ui_CCropToolPane& ui() const { return m_ui; }

public slots:
    void setShowGrid(bool show);

signals:
    void showGrid(bool show);
    void backgroundOpacityChanged(int value);

private:
    Ui_CCropToolPane m_ui;
};
