#pragma once
#include "maintenance/selectionresults.h"

#include <QVariantList>
#include <optional>

class Database;
class Messenger;

// A company registered on the spot ("Inclusão de Empresa"), as typed.
struct NewCompany
{
    QString codigoPais;
    QString nomePais; // tells a Brazilian company from a foreign one
    bool naturalPerson = false;
    QString taxId; // the CNPJ (legal entity) or CPF (natural person), separators allowed
    QString name; // RazSocialEmp, or NomPessoaFisica of a natural person
    QString nomFantasia; // legal entities only
    QString endLogr, endNum, endCompl, endCep, endBairro, endCidade, siglaUf, telefone, fax, email;
};

namespace CompanyInclusion {

inline const QString Brasil = QStringLiteral("Brasil");
bool isBrazil(const QString &countryName);

// Where a refused company needs correcting.
enum class Field { None, Country, TaxId, Name, Cep };

// Checks the company in the order the user is told about it (country, the
// person's CPF and name, a foreign company's name, a Brazilian company's CNPJ
// and CEP, then the check digits), showing the first refusal through the
// messenger. True when it may be written.
bool check(Messenger &messenger, const NewCompany &company, Field *refusedField = nullptr);
// The company's key: a person's CPF digits, a foreign company's trimmed name,
// a Brazilian company's CNPJ digits.
CompanyKey keyOf(const NewCompany &company);
// The EMPRESA columns a company sets (all but the audit columns), and their
// values for the company as it is written: CNPJ and CPF as digits, blank
// texts as null, the fields of the other person type null.
const QStringList &columns();
QVariantList columnValues(const NewCompany &company);
// The digits of a typed CNPJ, CPF or CEP.
QString digitsOf(const QString &text);

// Checks the company, shows the reason of a refusal through the messenger,
// and writes the EMPRESA row in one transaction. The key of the new company,
// or nothing when it was refused (nothing is written then). CNPJ and CPF are
// kept as their digits, the form the import and the filters use.
std::optional<CompanyKey> save(Database &db, Messenger &messenger, const NewCompany &company, const QString &userCode,
                               Field *refusedField = nullptr);

}
