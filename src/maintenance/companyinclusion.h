#pragma once
#include "maintenance/selectionresults.h"

#include <optional>

class Database;
class Messenger;

// A company registered on the spot ("Inclusão de Empresa"), as typed.
struct NewCompany
{
    QString codigoPais;
    QString nomePais;       // tells a Brazilian company from a foreign one
    bool naturalPerson = false;
    QString taxId;          // the CNPJ (legal entity) or CPF (natural person), separators allowed
    QString name;           // RazSocialEmp, or NomPessoaFisica of a natural person
    QString nomFantasia;    // legal entities only
    QString endLogr, endNum, endCompl, endCep, endBairro, endCidade, siglaUf, telefone, fax, email;
};

namespace CompanyInclusion {

inline const QString Brasil = QStringLiteral("Brasil");
bool isBrazil(const QString &countryName);

// Where a refused company needs correcting.
enum class Field { None, Country, TaxId, Name, Cep };

// Checks the company, shows the reason of a refusal through the messenger,
// and writes the EMPRESA row in one transaction. The key of the new company,
// or nothing when it was refused (nothing is written then). CNPJ and CPF are
// kept as their digits, the form the import and the filters use.
std::optional<CompanyKey> save(Database &db, Messenger &messenger, const NewCompany &company,
                               const QString &userCode, Field *refusedField = nullptr);

}
