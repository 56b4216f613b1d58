#pragma once
#include "refupdate/refversion.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

// The history grids of the version windows: a handful of rows, read-only.
namespace VersionsGrid {

enum class Columns { History, Choice };

inline QString when(const QDateTime &t)
{
    return t.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

inline void fill(QStandardItemModel *model, const QList<RefVersion::Installation> &rows, Columns columns)
{
    model->clear();
    if (columns == Columns::History)
        model->setHorizontalHeaderLabels(
            {QStringLiteral("Data/Hora"), QStringLiteral("Versão Instalada"), QStringLiteral("Arquivo da Versão")});
    else
        model->setHorizontalHeaderLabels(
            {QStringLiteral("Versão"), QStringLiteral("Arquivo"), QStringLiteral("Data de Instalação")});
    for (const RefVersion::Installation &r : rows) {
        QList<QStandardItem *> items;
        if (columns == Columns::History)
            items = {new QStandardItem(when(r.when)), new QStandardItem(r.version), new QStandardItem(r.fileName)};
        else
            items = {new QStandardItem(r.version), new QStandardItem(r.fileName), new QStandardItem(when(r.when))};
        for (QStandardItem *i : items)
            i->setEditable(false);
        model->appendRow(items);
    }
}

inline QTableView *view(QWidget *parent, const char *name, QStandardItemModel *model)
{
    auto *v = new QTableView(parent);
    v->setObjectName(QLatin1String(name));
    v->setModel(model);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->horizontalHeader()->setStretchLastSection(true);
    v->verticalHeader()->setVisible(false);
    return v;
}

}
