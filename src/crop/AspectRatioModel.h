#pragma once

// The list of crop aspect ratios: presets, a separator, the entry that opens
// the custom-ratio editor, and the ratios the user typed (newest first, kept
// in the settings store). Values: -1 unconstrained, 0 the image's own ratio,
// a positive value width / height (landscape), -2 the two marker rows.

#include <QPair>
#include <QStringListModel>

class AspectRatioModel : public QStringListModel
{
    Q_OBJECT
public:
    enum Roles {
        SeparatorRowRole = Qt::UserRole + 1,
        AddCustomRowRole = Qt::UserRole + 2
    };

    explicit AspectRatioModel(QObject* parent = nullptr);
    ~AspectRatioModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static QPair<QString, qreal> parseRatio(const QString& text);
    int indexOfRatio(qreal ratio) const;
    int indexOfRatioText(const QString& text) const;
    qreal ratioAt(int row) const;
    int addCustomRowIndex() const;
    void removeCustomRatio(int row = -1);
    static QString ratioPattern();
    static int gcd(int a, int b);

private:
    struct Data;
    Data* d;
};
