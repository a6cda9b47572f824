#pragma once

// The crop ratio chooser: a combo box over AspectRatioModel that paints the
// separator row as an etched line and turns into a W/H field when the user
// picks "Add Custom...".

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QWidget>

class AspectRatioModel;
class QComboBox;

class AspectRatioEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit AspectRatioEdit(QWidget* parent = nullptr);
    ~AspectRatioEdit() override;

    void showHint();
    void setItalic(bool italic);
    bool isEditing() const;

protected:
    bool event(QEvent* event) override;

private Q_SLOTS:
    void onTextChanged(const QString& text);

private:
    struct Data;
    Data* d;
};

class AspectRatioDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit AspectRatioDelegate(QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Ends a custom entry when the user clicks anywhere but in the W/H field.
class AspectRationCBMouseObserver : public QObject
{
    Q_OBJECT
public:
    AspectRationCBMouseObserver(QObject* parent, const QPointer<QComboBox>& combo);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QComboBox> combo;
};

class AspectRatioComboBox : public QWidget
{
    Q_OBJECT
public:
    explicit AspectRatioComboBox(QWidget* parent = nullptr);
    ~AspectRatioComboBox() override;

    void setCurrentAspectRatio(qreal ratio);
    Q_INVOKABLE void setCurrentAspectRatioAndEmitSignal(qreal ratio);
    qreal currentAspectRatio() const;
    void blockComboSignals(bool block);
    void applyFocusOrder();

    QComboBox* comboBox() const;
    AspectRatioModel* model() const;
    int lastIndex() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void aspectRatioChanged(qreal ratio);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void onActivated(int row);
    void onCurrentIndexChanged(int row);

private:
    void fitListToRows();

    struct Data;
    Data* d;
};
