#pragma once
#include "maintenance/selectionsql.h"

#include <QList>
#include <QStringList>

// The read-only view of the regulator's tables: one statement per tab, each
// ordered by a column title click.
namespace QueloraTables {

enum class Tab { ClasseProdutos, ClasseServicos, Pais, PapelEmpresa, ClasseCertificado };

struct TabDefinition
{
    Tab tab;
    QString title; // the tab's caption
    QString objectName; // of its grid
    QStringList titles; // column titles, in the order of `fields`
    QStringList fields; // statement columns shown, one per title
    QString sql; // without ordering
    QString baseOrder; // the ordering before any click ("" for none)
};

const QList<TabDefinition> &tabs();
const TabDefinition &definition(Tab tab);

// The sorting that follows a click on column `column` of a tab: the same
// column again toggles between ascending and descending, another column
// starts ascending.
struct Sorting
{
    int column = -1; // -1: the base order
    bool descending = false;

    Sorting clicked(int column) const;
};

// The statement of a tab under a sorting: the clicked column's field
// replaces the base order.
SelectionSql::Statement statement(Tab tab, const Sorting &sorting = {});

}
