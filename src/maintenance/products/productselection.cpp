#include "maintenance/products/productselection.h"

#include "maintenance/selectionlistmodel.h"

namespace ProductSelection {

namespace {
const QString Base = QStringLiteral(
    "Select a.MarcaProd, a.ModeloProd, a.Importado, a.CodEANUPC From Produto a Where 1 = 1");
}

QString orderClause(Order order)
{
    switch (order) {
    case Order::None: return {};
    case Order::Brand: return QStringLiteral("Order by a.MarcaProd");
    case Order::Model: return QStringLiteral("Order by a.ModeloProd");
    case Order::Imported: return QStringLiteral("Order by a.Importado");
    case Order::EanUpc: return QStringLiteral("Order by a.CodEANUPC NULLS FIRST");
    }
    return {};
}

SelectionSql::Statement statement(const Filter &f, Order order)
{
    SelectionSql::Statement s;
    s.sql = Base;
    if (!f.brand.isEmpty()) {
        s.sql += QStringLiteral(" AND (UCase(a.MarcaProd) like :par_Text1") + SelectionSql::Escape +
            QStringLiteral(") ");
        s.params.insert(QStringLiteral("par_Text1"), SelectionSql::contains(f.brand.toUpper()));
    }
    if (!f.model.isEmpty()) {
        s.sql += QStringLiteral(" AND (UCase(a.ModeloProd) like :par_text2") + SelectionSql::Escape +
            QStringLiteral(") ");
        s.params.insert(QStringLiteral("par_text2"), SelectionSql::contains(f.model.toUpper()));
    }
    if (!f.eanUpc.isEmpty()) {
        s.sql += QStringLiteral(" AND (a.CodEANUPC = :par_text3) ");
        s.params.insert(QStringLiteral("par_text3"), f.eanUpc);
    }
    if (f.origin != Origin::Any)
        s.sql += QStringLiteral(" AND (a.Importado =") +
            (f.origin == Origin::Imported ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral(") ");
    s.orderBy = orderClause(order);
    return s;
}

SelectionSql::Statement only(const SelectedProduct &key)
{
    SelectionSql::Statement s;
    s.sql = Base +
        QStringLiteral(" AND (a.MarcaProd = :par_Marca) AND (a.ModeloProd = :par_Modelo) "
                       " AND (a.Importado = :par_Importado) ");
    s.params.insert(QStringLiteral("par_Marca"), key.marcaProd);
    s.params.insert(QStringLiteral("par_Modelo"), key.modeloProd);
    s.params.insert(QStringLiteral("par_Importado"), key.importado);
    return s;
}

SelectedProduct rowOf(const SelectionListModel &m, int row)
{
    SelectedProduct p;
    p.marcaProd = m.value(row, QStringLiteral("MarcaProd")).toString();
    p.modeloProd = m.value(row, QStringLiteral("ModeloProd")).toString();
    p.importado = m.value(row, QStringLiteral("Importado")).toInt();
    p.codEanUpc = m.value(row, QStringLiteral("CodEANUPC")).toString();
    return p;
}

}
