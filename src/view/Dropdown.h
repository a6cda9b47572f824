#pragma once

// The value chooser of the panels: a combo box over a string model whose rows
// stand for values, with an optional separator row and an optional row that
// opens a free-entry field in which the user types a value of their own
// behind an italic placeholder. It reports the chosen value, not the row.

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSharedPointer>
#include <QStringListModel>
#include <QValidator>
#include <QVariant>
#include <QWidget>

// The rows and the values they stand for; roles as DropdownMenu uses them.
class AbstractDropdownModel : public QStringListModel
{
    Q_OBJECT
public:
    using QStringListModel::QStringListModel;

    // The row drawn as a separator (it cannot be chosen); -1 for none.
    virtual int separatorRow() const = 0;
    // The row that opens the free-entry field.
    virtual int customValueRow() const;
    // The row that holds `value`, or -1 when the value is not accepted.
    virtual int rowOfValue(const QVariant& value) const = 0;
    virtual QVariant valueOfRow(int row) const = 0;
    // The row kept current while the free-entry field is open.
    virtual int editingRow() const = 0;
    // Takes a value typed by the user, so that a row can stand for it.
    virtual void setCustomValue(const QVariant& value) = 0;

    // Role 32 (Qt::UserRole) answers separatorRow() for every index.
    QVariant data(const QModelIndex& index, int role) const override = 0;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
};

// The free-entry field: shows the placeholder in italics until the first
// accepted printable key, and again when everything typed is erased.
class DropdownLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    DropdownLineEdit(QWidget* parent, const QString& placeholder);
    ~DropdownLineEdit() override;

    // Italic or normal font for the parent widget (through its style sheet).
    void setPlaceholderStyle(bool italic);
    void showPlaceholder();
    bool isEditing() const { return m_isEditing; }

protected:
    bool event(QEvent* event) override;

private slots:
    void onTextChanged(const QString& text);

private:
    bool m_isEditing = false;
    QString m_placeholder;
};

// Takes the keyboard focus from its combo box when the user presses the
// mouse elsewhere.
class MouseObserver : public QObject
{
    Q_OBJECT
public:
    MouseObserver(QObject* parent, QPointer<QComboBox> comboBox);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QComboBox> m_comboBox;
};

class DropdownMenu : public QWidget
{
    Q_OBJECT
public:
    DropdownMenu(QWidget* parent, const QString& placeholder, QSharedPointer<QValidator> validator);

    virtual QVariant currentValue() const;
    void setModel(AbstractDropdownModel* model);
    void setCurrentValue(const QVariant& value);
    bool isEditable() const;
    // Hands the value to the model's setCustomValue.
    void setCustomValue(const QVariant& value);
    QComboBox* comboBox() const { return m_comboBox; }

signals:
    void currentValueChanged(QVariant value);

public slots:
    void onActivated(int row);
    void onCurrentIndexChanged(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Back to the plain list without reporting a value.
    void leaveFreeEntry();

    QPointer<QComboBox> m_comboBox;
    QPointer<AbstractDropdownModel> m_model;
    QSharedPointer<QValidator> m_validator;
    int m_lastIndex = -1;
    QString m_placeholder;
};
