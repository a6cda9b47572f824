#pragma once

// A message block of a settings panel: a read-only transparent text whose
// height follows the text, and under it a painted link (icon and underlined
// text) that reacts to hovering and reports a click.

#include <QPixmap>
#include <QWidget>

#include <memory>

class QTextEdit;

class LinkPainter : public QWidget
{
    Q_OBJECT
public:
    explicit LinkPainter(QWidget* parent);
    ~LinkPainter() override;

    void setLink(const QPixmap& pixmap, const QPixmap& hoverPixmap, const QString& text);
    // The hover and click area, the widget's full height.
    QRect linkRect() const;
    bool isHovered() const;

Q_SIGNALS:
    void linkActivated();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;
    bool hasIcon() const;

    struct Data;
    std::unique_ptr<Data> m_data;
};

class CorrectionInfoWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CorrectionInfoWidget(QWidget* parent);
    ~CorrectionInfoWidget() override;

    void setText(const QString& text);
    void setLink(const QPixmap& pixmap, const QPixmap& hoverPixmap, const QString& text);
    // The message as plain text.
    QString text() const;

Q_SIGNALS:
    void linkActivated();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void adjustTextHeight();

    struct Data;
    std::unique_ptr<Data> m_data;
};
