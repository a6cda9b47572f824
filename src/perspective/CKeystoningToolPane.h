#pragma once

// The keystoning strip of the bottom bar while the tool is in use: the
// correction icon, the line colour swatch (in the eight-point mode one for
// the vertical and one for the horizontal lines), and Preview, Reset and
// Apply.

#include "correction/CBaseCorrectionSettings.h"

#include <QColor>
#include <QMap>
#include <QVariant>

class CKeystoningCorrection;
class QLabel;
class QPushButton;
class QStackedWidget;

class CKeystoningToolPane : public CBaseCorrectionToolPane
{
    Q_OBJECT
public:
    CKeystoningToolPane(QWidget* parent, CKeystoningCorrection* module);
    ~CKeystoningToolPane() override;

    void setCorrectionIcon(const QPixmap& pixmap);
    // Both the single swatch and the vertical-lines swatch.
    void showLineColor(const QColor& color);
    void showHorizontalLinesColor(const QColor& color);
    // 0: one line colour, 1: vertical and horizontal line colours; other
    // indexes are ignored.
    void setCurrentPage(int index);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // A colour chosen in the colour dialog, or an invalid one when cancelled.
    // Tests replace the dialog.
    using ColorPicker = std::function<QColor(QWidget* parent, const QColor& initial)>;
    static void setColorPicker(ColorPicker picker);

Q_SIGNALS:
    void horizontalColorChanged(QColor color);

public Q_SLOTS:
    void onSetPreviewButtonEnabled(bool enabled);
    void onSetPreviewButtonVisible(bool visible);
    void onSerializeToolPaneData(QMap<QString, QVariant>& data);
    void onDeserializeToolPaneData(QMap<QString, QVariant> data);

private:
    QColor pickColor(const QColor& initial);

    QLabel* m_correctionIcon = nullptr;
    QStackedWidget* m_stack = nullptr;
    QLabel* m_colorPicker = nullptr;
    QLabel* m_verticalColorPicker = nullptr;
    QLabel* m_horizontalColorPicker = nullptr;
    QPushButton* m_previewButton = nullptr;
    QPushButton* m_resetButton = nullptr;
    QPushButton* m_applyButton = nullptr;
    QColor m_lineColor;
    QColor m_horizontalColor;
};
