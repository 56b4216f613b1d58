#pragma once
#include "maintenance/certificates/certificate.h"
#include "maintenance/selectionresults.h"
#include "maintenance/selectionsql.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QVariant>
#include <optional>

class Database;
class Messenger;

namespace CompanyLinkTexts {
inline const QString Required = QStringLiteral(
    "Existem campos obrigatórios em branco !!! Reveja a inclusão ou edição...");
inline const QString RequiredCaption = QStringLiteral("Campos em branco");
inline const QString Exists = QStringLiteral("Esta empresa já existe !!!. Cancele a Operação.");
inline const QString KeyViolation = QStringLiteral("Esta empresa já existe !!! Cancele a inclusão...");
inline const QString DuplicateCaption = QStringLiteral("Erro de chave duplicada");
inline const QString Approved = QStringLiteral(
    "Este registro não pode ser apagado do certificado, pois já foi aprovado para emissão para o Quelora.");
inline const QString Referenced = QStringLiteral(
    "Este registro não pode ser excluido do certificado, pois já foi referenciado a produto ou serviço.");
inline const QString DeleteCaption = QStringLiteral("Erro de deleção");
inline const QString ConfirmDelete = QStringLiteral("Confirma a exclusão da empresa ?");
}

// A company of a certificate (EMP_CERT) with what the tab shows of it from
// EMPRESA and PAPEL_EMP.
struct CompanyLink
{
    QString codigoPais;
    QString idEmpresa;
    QVariant idPapelEmp; // null until a role is chosen
    QString statusEmpresa;
    QDateTime dthEntEmpresa;
    QDateTime dthStatusEmpresa;

    QString tipoPessoa; // "1" legal entity, "2" natural person
    QString cgc;
    QString cpf;
    QString razSocialEmp;
    QString nomPessoaFisica;
    QString nomFantasia;
    QString papelEmp;

    CompanyKey key() const { return {codigoPais, idEmpresa}; }
    bool isNaturalPerson() const { return tipoPessoa == QLatin1String("2"); }
    QString displayName() const { return isNaturalPerson() ? nomPessoaFisica : razSocialEmp; }
    // The masked CNPJ, or the CPF in its display form.
    QString displayId() const;
    // Takes the company (key and what is shown of it) of a selection.
    void takeCompany(const SelectedCompany &company);
};

// A role of PAPEL_EMP.
struct CompanyRole
{
    int id = 0;
    QString name;
};

// The writes of the companies tab: adding and editing a company's link to
// a certificate, removing it, and its own status. Every write runs in one
// transaction, clears the certificate's approval and stores its
// completeness; problems are told through the messenger.
class CompanyLinks
{
public:
    CompanyLinks(Database &db, Messenger &messenger, const QString &userCode);

    // The grid: the certificate's companies with their names and roles.
    // Columns: CodigoPais, IdEmpresa, CGC, CPF, TipoPessoa, RazSocialEmp,
    // NomPessoaFisica, NomFantasia, PapelEmp, StatusEmpresa.
    static SelectionSql::Statement listStatement(const CertificateKey &certificate);
    static std::optional<CompanyLink> load(Database &db, const CertificateKey &certificate, const CompanyKey &company);
    static QList<CompanyRole> roles(Database &db);
    static bool hasCompanies(Database &db, const CertificateKey &certificate);

    // The checks of "Aplicar" before anything is written: required fields,
    // the link not there yet (inclusion), the entry date. Shows the first
    // problem and answers false.
    bool check(const CertificateKey &certificate, const QDateTime &issue, const CompanyLink &edited,
               const QString &entryBox, bool inclusion);
    // Writes the link. On a certificate the regulator may hold, `justification`
    // is what the user typed and goes into the "INC"/"ALT" event; on one
    // never approved an inclusion gets the system's "INC" and an edit no
    // event. Answers whether it was written.
    bool apply(const CertificateKey &certificate, bool approvedBefore, bool inclusion, const CompanyLink &edited,
               const QDate &entryDate, const std::optional<QString> &justification);

    // Whether the company may leave the certificate: the regulator cannot
    // hold the link (RegulatorHolding) and no product or service names it.
    // Shows the refusal.
    bool removalAllowed(const CertificateKey &certificate, const CompanyKey &company);
    // Removes the link and its events, checking removalAllowed() again in
    // its transaction.
    bool remove(const CertificateKey &certificate, const CompanyKey &company);

    // The company still has, in this certificate, an active service or an
    // active product type, lot or unit: suspending or cancelling it goes
    // through the cascade.
    static bool hasActiveItems(Database &db, const CertificateKey &certificate, const CompanyKey &company);
    // The company's own new status, with its event.
    bool changeStatus(const CertificateKey &certificate, const CompanyKey &company, const QString &letter,
                      const QString &justification, const QDate &statusDate);

private:
    Database &m_db;
    Messenger &m_msg;
    QString m_user;
};
