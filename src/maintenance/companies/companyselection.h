#pragma once
#include "maintenance/selectionresults.h"
#include "maintenance/selectionsql.h"

class SelectionListModel;

// The company selection: every company of EMPRESA with its country name,
// narrowed by the filled filter fields.
namespace CompanySelection {

enum class Kind { Any, LegalEntity, NaturalPerson };

struct Filter
{
    QString country; // CodigoPais
    Kind kind = Kind::Any;
    QString taxId; // CNPJ digits, or CPF digits for natural persons: a prefix
    QString name; // NomFantasia, or NomPessoaFisica for natural persons: anywhere
    QString legalName; // RazSocialEmp: anywhere
};

// The column titles clicked to order the list.
enum class Order { None, Country, TaxId, LegalName, TradeName };

// Columns: CodigoPais, NomePais, IdEmpresa, CGC, RazSocialEmp, NomFantasia,
// TipoPessoa, NomPessoaFisica, CPF.
SelectionSql::Statement statement(const Filter &filter, Order order = Order::None);
// Only the given company (the one just registered).
SelectionSql::Statement only(const CompanyKey &key);
QString orderClause(Order order);

// The row of a list opened with one of the statements above.
SelectedCompany rowOf(const SelectionListModel &model, int row);

}
