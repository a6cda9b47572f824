#pragma once

// The editable combo box of the zoom bar: "Fit to view" and the presets, the
// current zoom as "N %" or "Fit to view", and a typed percentage from 1 to
// 200. Letter keys become commands while it has the focus.

#include <QComboBox>
#include <QIntValidator>
#include <QString>

class QSlider;

// An integer validator that ignores percent signs and spaces.
class CIntValidator : public QIntValidator
{
    Q_OBJECT
public:
    using QIntValidator::QIntValidator;
    State validate(QString& input, int& pos) const override;
};

class CZoomComboBox : public QComboBox
{
    Q_OBJECT
public:
    // The preset values; 0 stands for the fit zoom.
    enum EZoomValues { Fit = 0, Zoom25 = 25, Zoom50 = 50, Zoom75 = 75, Zoom100 = 100, Zoom200 = 200 };

    CZoomComboBox(QSlider* slider, QWidget* parent = nullptr);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public Q_SLOTS:
    void setText(const QString& text);
    void onZoomComboChanged(int row);
    void onZoomComboTextChanged();
    void setZoomComboText(int zoom);
    void onZoomChanged(int zoom);
    void onMinZoomChanged();

Q_SIGNALS:
    void zoomChanged(int zoom);
    void fullScreenAction();
    void fastPreviewAction();
    void handToolAction();
    void toggleGridOverlayAction();
    void cropAction();
    void undoAction();
    void redoAction();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void setPresets(int fitZoom);

    QString m_fitToViewText;
    QString m_lastText;
    CIntValidator* m_validator;
    QSlider* m_slider;
};
