#include "crop/AspectRatioModel.h"

#include "utils/CSettings.h"
#include "utils/Logger.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

const QString g_customRatiosKey = QStringLiteral("CustomAspectRatioComboboxValues");
const QString g_nameKey = QStringLiteral("Name");
const QString g_valueKey = QStringLiteral("Value");
const int g_keptCustomRatios = 5;

// A custom ratio worth storing or loading: a name and a finite value above 0.
bool isUsableRatio(const QString& name, qreal value)
{
    return !name.isEmpty() && std::isfinite(value) && value > 0.0;
}

} // namespace

struct AspectRatioModel::Data
{
    QList<QPair<QString, qreal>> ratios;
    int firstCustomRow = -1;
    int separatorRow = -1;
};

AspectRatioModel::AspectRatioModel(QObject* parent)
    : QStringListModel(parent)
    , d(new Data)
{
    LOG_TRACE();
    d->ratios.append({tr("Unconstained (default)"), -1.0});
    d->ratios.append({tr("Preserve aspect ratio"), 0.0});
    d->ratios.append({QStringLiteral("16/9"), 16.0 / 9.0});
    d->ratios.append({QStringLiteral("5/4"), 5.0 / 4.0});
    d->ratios.append({QStringLiteral("5/2"), 5.0 / 2.0});
    d->ratios.append({QStringLiteral("2/1"), 2.0 / 1.0});
    d->ratios.append({QStringLiteral("3/2"), 3.0 / 2.0});
    d->ratios.append({QStringLiteral("4/3"), 4.0 / 3.0});
    d->ratios.append({QStringLiteral("1/1"), 1.0});
    d->ratios.append({QStringLiteral("--separator--"), -2.0});
    d->separatorRow = int(d->ratios.size()) - 1;
    d->ratios.append({tr("Add Custom..."), -2.0});
    d->firstCustomRow = int(d->ratios.size());

    // A damaged store must not hand the engine a ratio of 0, below 0 or NaN:
    // such rows are dropped here.
    // Nor may a stored size that claims millions of rows hold up the start:
    // only the rows the file holds are read.
    NAVIK_tarl1::CSettings settings(nullptr);
    const int size = settings.beginReadArray(g_customRatiosKey);
    QList<int> storedRows;
    for (const QString& group : settings.childGroups()) {
        bool ok = false;
        const int row = group.toInt(&ok) - 1;
        if (ok && row >= 0 && row < size)
            storedRows.append(row);
    }
    std::sort(storedRows.begin(), storedRows.end());
    for (const int i : std::as_const(storedRows)) {
        settings.setArrayIndex(i);
        const QString name = settings.value(g_nameKey).toString();
        bool ok = false;
        const qreal value = settings.value(g_valueKey).toDouble(&ok);
        if (ok && isUsableRatio(name, value))
            d->ratios.append({name, value});
        else
            LOG_MESSAGE('W', "Stored custom aspect ratio " << i << " skipped");
    }
    settings.endArray();
}

AspectRatioModel::~AspectRatioModel()
{
    if (d) {
        NAVIK_tarl1::CSettings settings(nullptr);
        settings.remove(g_customRatiosKey);
        settings.beginWriteArray(g_customRatiosKey);
        int written = 0;
        for (int row = d->firstCustomRow; row < d->ratios.size(); ++row) {
            const QPair<QString, qreal>& ratio = d->ratios.at(row);
            // A rejected text leaves an empty row; it is not worth keeping.
            if (!isUsableRatio(ratio.first, ratio.second))
                continue;
            settings.setArrayIndex(written++);
            settings.setValue(g_nameKey, ratio.first);
            settings.setValue(g_valueKey, double(ratio.second));
        }
        settings.endArray();
    }
    delete d;
    d = nullptr;
}

int AspectRatioModel::rowCount(const QModelIndex&) const
{
    return d ? int(d->ratios.size()) : 0;
}

QVariant AspectRatioModel::data(const QModelIndex& index, int role) const
{
    if (!d || !index.isValid() || index.row() >= rowCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return d->ratios.at(index.row()).first;
    case SeparatorRowRole:
        return d->separatorRow;
    case AddCustomRowRole:
        return d->firstCustomRow - 1;
    default:
        return QStringListModel::data(index, role);
    }
}

bool AspectRatioModel::setData(const QModelIndex& index, const QVariant& value, int)
{
    if (!d || !index.isValid() || !value.canConvert<QString>() || index.row() > rowCount())
        return false;
    // Only insertRows makes the row this writes to.
    if (d->firstCustomRow >= rowCount())
        return false;
    d->ratios[d->firstCustomRow] = parseRatio(value.toString());
    const QModelIndex changed = this->index(d->firstCustomRow, 0);
    Q_EMIT dataChanged(changed, changed);
    if (rowCount() >= d->firstCustomRow + g_keptCustomRatios + 1)
        removeRows(d->firstCustomRow + g_keptCustomRatios, 1, QModelIndex());
    return true;
}

bool AspectRatioModel::insertRows(int row, int, const QModelIndex& parent)
{
    if (!d || row != d->firstCustomRow)
        return false;
    beginInsertRows(parent, row, row);
    d->ratios.insert(row, {QString(), 0.0});
    endInsertRows();
    return true;
}

bool AspectRatioModel::removeRows(int row, int, const QModelIndex& parent)
{
    if (!d || row < 0 || row >= rowCount(QModelIndex()))
        return false;
    beginRemoveRows(parent, row, row);
    d->ratios.removeAt(row);
    endRemoveRows();
    return true;
}

Qt::ItemFlags AspectRatioModel::flags(const QModelIndex& index) const
{
    if (d && index.isValid() && index.row() == d->separatorRow)
        return Qt::NoItemFlags;
    return QStringListModel::flags(index);
}

QPair<QString, qreal> AspectRatioModel::parseRatio(const QString& text)
{
    const QPair<QString, qreal> none(QString(), 0.0);
    if (text.isEmpty())
        return none;
    static const QRegularExpression pattern(ratioPattern());
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return none;
    int w = match.captured(1).toInt();
    int h = match.captured(2).toInt();
    if (w == 0 || h == 0)
        return none;
    const int g = gcd(w, h);
    if (g != 1) {
        w /= g;
        h /= g;
    }
    int big = qMax(w, h);
    int small = qMin(w, h);
    if (double(big) / double(small) > 10.0) {
        big = 10;
        small = 1;
    }
    return {QString::number(big) + QLatin1Char('/') + QString::number(small), double(big) / double(small)};
}

int AspectRatioModel::indexOfRatio(qreal ratio) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (qFuzzyCompare(ratio, d->ratios.at(row).second))
            return row;
    }
    return -1;
}

int AspectRatioModel::indexOfRatioText(const QString& text) const
{
    const QPair<QString, qreal> parsed = parseRatio(text);
    return parsed.first.isEmpty() ? -1 : indexOfRatio(parsed.second);
}

qreal AspectRatioModel::ratioAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1.0;
    return d->ratios.at(row).second;
}

int AspectRatioModel::addCustomRowIndex() const
{
    return d ? d->firstCustomRow - 1 : -1;
}

void AspectRatioModel::removeCustomRatio(int row)
{
    if (!d)
        return;
    if (row == -1) {
        for (int r = rowCount() - 1; r >= d->firstCustomRow; --r)
            removeRows(r, 1, QModelIndex());
    } else if (row >= d->firstCustomRow && row < rowCount()) {
        removeRows(row, 1, QModelIndex());
    }
}

QString AspectRatioModel::ratioPattern()
{
    return QStringLiteral("^([1-9][0-9]{0,6})/([1-9][0-9]{0,6})$");
}

int AspectRatioModel::gcd(int a, int b)
{
    while (b != 0) {
        const int r = a % b;
        a = b;
        b = r;
    }
    return a;
}
