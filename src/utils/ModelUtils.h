#pragma once

// Item models made from lists of (label, value) pairs.

#include <QObject>
#include <QPair>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QString>
#include <QVariant>

namespace NAVIK_tarl1 {

// A model owned by `parent` with one item per pair, its value under `role`,
// none editable: one row each when `rows`, else one column each (with a
// second, unselectable item of the same text).
template<typename Container>
QStandardItemModel* createModel(const Container& pairs, int role, QObject* parent, bool rows)
{
    auto* model = new QStandardItemModel(parent);
    for (const QPair<QString, int>& pair : pairs) {
        auto* item = new QStandardItem(pair.first);
        item->setData(QVariant(pair.second), role);
        item->setEditable(false);
        if (rows) {
            model->appendRow(item);
        } else {
            auto* second = new QStandardItem(pair.first);
            second->setEditable(false);
            second->setSelectable(false);
            model->appendColumn({item, second});
        }
    }
    return model;
}

} // namespace NAVIK_tarl1
