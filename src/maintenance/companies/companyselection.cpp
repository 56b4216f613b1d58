#include "maintenance/companies/companyselection.h"

#include "maintenance/selectionlistmodel.h"

namespace CompanySelection {

namespace {
const QString Base = QStringLiteral(
    "select distinct a.CodigoPais, b.NomePais, a.IdEmpresa, a.CGC, a.RazSocialEmp, a.NomFantasia, a.TipoPessoa, "
    "a.NomPessoaFisica, a.CPF from empresa a, pais b where a.CodigoPais = b.CodigoPais ");
}

QString orderClause(Order order)
{
    switch (order) {
    case Order::None: return {};
    case Order::Country: return QStringLiteral("Order by b.NomePais NULLS FIRST");
    case Order::TaxId: return QStringLiteral("Order by a.CGC NULLS FIRST");
    case Order::LegalName: return QStringLiteral("Order by a.RazSocialEmp NULLS FIRST");
    case Order::TradeName: return QStringLiteral("Order by a.NomFantasia NULLS FIRST");
    }
    return {};
}

SelectionSql::Statement statement(const Filter &f, Order order)
{
    SelectionSql::Statement s;
    s.sql = Base;
    const bool person = f.kind == Kind::NaturalPerson;
    if (!f.country.isEmpty()) {
        s.sql += QStringLiteral(" AND (b.CodigoPais = :par_strp) ");
        s.params.insert(QStringLiteral("par_strp"), f.country);
    }
    if (f.kind == Kind::LegalEntity)
        s.sql += QStringLiteral(" and a.Tipopessoa='1'");
    else if (person)
        s.sql += QStringLiteral(" and a.Tipopessoa='2'");
    if (!f.taxId.isEmpty()) {
        s.sql += (person ? QStringLiteral(" AND (a.CPF like :par_text1")
                         : QStringLiteral(" AND (a.CGC like :par_text1")) +
            SelectionSql::Escape + QStringLiteral(") ");
        s.params.insert(QStringLiteral("par_text1"), SelectionSql::startsWith(f.taxId));
    }
    if (!f.name.isEmpty()) {
        s.sql += (person ? QStringLiteral(" AND (UCase(a.NomPessoaFisica) like :par_text2")
                         : QStringLiteral(" AND (UCase(a.NomFantasia) like :par_text2")) +
            SelectionSql::Escape + QStringLiteral(")");
        s.params.insert(QStringLiteral("par_text2"), SelectionSql::contains(f.name.toUpper()));
    }
    if (!f.legalName.isEmpty() && !person) {
        s.sql += QStringLiteral(" AND (UCase(a.RazSocialEmp) like :par_text3") + SelectionSql::Escape +
            QStringLiteral(") ");
        s.params.insert(QStringLiteral("par_text3"), SelectionSql::contains(f.legalName.toUpper()));
    }
    s.orderBy = orderClause(order);
    return s;
}

SelectionSql::Statement only(const CompanyKey &key)
{
    SelectionSql::Statement s;
    s.sql = Base + QStringLiteral(" AND (b.CodigoPais = :par_cod) AND (a.IdEmpresa = :par_IdEmpr) ");
    s.params.insert(QStringLiteral("par_cod"), key.codigoPais);
    s.params.insert(QStringLiteral("par_IdEmpr"), key.idEmpresa);
    return s;
}

SelectedCompany rowOf(const SelectionListModel &m, int row)
{
    auto v = [&](const char *field) { return m.value(row, QLatin1String(field)).toString(); };
    SelectedCompany c;
    c.codigoPais = v("CodigoPais");
    c.nomePais = v("NomePais");
    c.idEmpresa = v("IdEmpresa");
    c.cgc = v("CGC");
    c.razSocialEmp = v("RazSocialEmp");
    c.nomFantasia = v("NomFantasia");
    c.tipoPessoa = v("TipoPessoa");
    c.nomPessoaFisica = v("NomPessoaFisica");
    c.cpf = v("CPF");
    return c;
}

}
