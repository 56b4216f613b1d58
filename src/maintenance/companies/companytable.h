#pragma once
#include "maintenance/certificates/certificate.h"
#include "maintenance/companies/companyinclusion.h"
#include "maintenance/selectionsql.h"

#include <QList>
#include <optional>

class Database;
class Messenger;

// The company table (EMPRESA) as its maintenance panel keeps it: inclusion,
// edit and deletion of companies that certificates refer to.
namespace CompanyTable {

inline const QString JaExiste = QStringLiteral("Esta empresa já existe !!!. Cancele a Operação.");
inline const QString ConfirmaExclusao = QStringLiteral("Confirma a exclusão da Empresa?");
inline const QString Relacionado = QStringLiteral(
    "Este registro não pode ser apagado. Ele já está relacionado a algum certificado!!!");
inline const QString JustificativaAlteracao = QStringLiteral("Dados da Empresa Alterados");
inline const QString ChaveEmUso = QStringLiteral(
    "Esta empresa já está relacionada a certificados ou ao Quelora: o País, o CNPJ, o CPF e a Razão Social de "
    "empresa estrangeira, que a identificam, não podem ser alterados. As alterações não foram efetuadas.");

// What an edit may not change.
struct Locks
{
    bool used = false; // some certificate refers to the company
    bool country = false; // country, CNPJ and CPF: the company's key
    bool taxId = false;
    bool legalName = false; // a foreign company's name is its key
};

// The company grid: every company in key order, with its country's name
// (CodigoPais, IdEmpresa, CGC, CPF, TipoPessoa, RazSocialEmp,
// NomPessoaFisica, NomFantasia, NomePais).
SelectionSql::Statement listStatement();
// The company's position in that list; -1 when it is not there.
int rowOf(const Database &db, const CompanyKey &key);

// The certificates that refer to the company (as a company of the
// certificate or as the company of one of its items), in key order.
QList<CertificateKey> certificatesOf(const Database &db, const CompanyKey &key);
bool isUsed(const Database &db, const CompanyKey &key);
// Some row holds the company's key: a certificate, an event, a service
// document or the regulator's replica. Such a key never changes.
bool keyIsHeld(const Database &db, const CompanyKey &key);
// The locks of an edit of the stored company (the person type is always
// locked on an edit). Raises DbError.
Locks editLocks(Database &db, const CompanyKey &key);

// The company as stored, in the shape the panel edits. Nothing when absent.
std::optional<NewCompany> load(Database &db, const CompanyKey &key);

// Saves a company typed on the panel: a new one when `editing` is empty,
// else the changed one of that key. Checks the company (reasons shown
// through the messenger, the field to correct in `refusedField`), refuses a
// key that another company has, keeps the stored key unless the value it is
// derived from was retyped (and refuses that change while keyIsHeld), writes
// the row and, when a company that
// certificates use was changed, clears their approval and records an "ALT"
// event on each: all in one transaction. Answers the company's key, or
// nothing when refused or failed (nothing is written then).
std::optional<CompanyKey> save(Database &db, Messenger &messenger, const NewCompany &typed,
                               const std::optional<CompanyKey> &editing, const QString &userCode,
                               CompanyInclusion::Field *refusedField = nullptr);

// Asks for confirmation and deletes the company unless a certificate refers
// to it. True when it was deleted.
bool remove(Database &db, Messenger &messenger, const CompanyKey &key);

}
