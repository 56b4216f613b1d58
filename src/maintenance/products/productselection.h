#pragma once
#include "maintenance/selectionresults.h"
#include "maintenance/selectionsql.h"

class SelectionListModel;

// The product selection: every product of PRODUTO, narrowed by the filled
// filter fields.
namespace ProductSelection {

enum class Origin { Any, Imported, National };

struct Filter
{
    QString brand; // anywhere in MarcaProd
    QString model; // anywhere in ModeloProd
    QString eanUpc; // the exact code
    Origin origin = Origin::Any;
};

enum class Order { None, Brand, Model, Imported, EanUpc };

// Columns: MarcaProd, ModeloProd, Importado, CodEANUPC.
SelectionSql::Statement statement(const Filter &filter, Order order = Order::None);
// Only the given product (the one just registered).
SelectionSql::Statement only(const SelectedProduct &key);
QString orderClause(Order order);

SelectedProduct rowOf(const SelectionListModel &model, int row);

}
