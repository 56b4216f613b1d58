#pragma once
#include "db/dberror.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// Approval of certificates for the next remittance: a certificate that is
// complete and not yet approved gets Aprovado = true and one STATUS_C "APR"
// event. The shell's page "AprovaCertificados" and "corvane-cli aprovar"
// both approve through here.
namespace CertificateApproval {

struct CertificateKey
{
    QString sigla;
    QString numCertif;
};

struct Candidate
{
    QString sigla;
    QString numCertif;
    QString status;
    QDateTime statusDate;
};

struct Approval
{
    QString sigla;
    QString numCertif;
    int seqEvento = 0; // of its "APR" row
};

// The box shown when an approval fails (everything rolled back).
inline const QString ErrorText =
    QStringLiteral("Erro na aprovação de certificados !!! As alterações não foram efetuadas.");
inline const QString ErrorCaption = QStringLiteral("Erro");

// Which certificates count as still to be approved. The page offers the
// complete ones not approved. The batch tool also takes a complete one that
// is marked approved but has no "APR" event: the TXT import marks complete
// certificates approved without writing one, and such a certificate, once
// sent, must not look as if it had never been approved.
enum class Scope { Unapproved, AlsoApprovedWithoutEvent };

// The candidate list (complete, not approved), ordered by certificate.
QString candidatesSql(Scope scope = Scope::Unapproved);
QList<Candidate> candidates(Database &db, Scope scope = Scope::Unapproved);
// The candidates with these numbers (a number may name one certificate per
// certifier); numbers that name no candidate go to missing, in order.
QList<CertificateKey> candidatesByNumber(Database &db, const QStringList &numbers, QStringList *missing,
                                         Scope scope = Scope::Unapproved);

// Raised by approve() when a certificate given is not (or no longer) a
// candidate; nothing is approved then.
class NotCandidates : public AppError
{
public:
    explicit NotCandidates(const QList<CertificateKey> &keys);
    const QList<CertificateKey> &keys() const { return m_keys; }

private:
    QList<CertificateKey> m_keys;
};

// Approves the certificates in one transaction (the caller's, when one is
// open): Aprovado = true and a STATUS_C "APR" row each ("Historico gerado
// pelo sistema", HistoricoSis "2", the certificate's current status, status
// date and time of writing now, UsuResp user). A key given twice counts
// once. Any failure (engine, full event table, a key that is not a
// candidate of the scope) raises and leaves every certificate as it was.
QList<Approval> approve(Database &db, const QList<CertificateKey> &keys, const QString &user,
                        Scope scope = Scope::Unapproved);

}
