#pragma once
#include "db/dberror.h"
#include "register/certificatekey.h"

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
inline const QString ErrorText = QStringLiteral(
    "Erro na aprovação de certificados !!! As alterações não foram efetuadas.");
inline const QString ErrorCaption = QStringLiteral("Erro");

// A certificate is still to be approved when it is complete and either not
// approved, or marked approved while the regulator cannot hold it
// (RegulatorHolding: no "APR" event, no replica row, not from an imported
// file), so its approval event was never written. The page and the batch
// tool offer exactly these.
// The candidate list, ordered by certificate.
QString candidatesSql();
QList<Candidate> candidates(Database &db);
// The candidates with these numbers (a number may name one certificate per
// certifier); numbers that name no candidate go to missing, in order.
QList<CertificateKey> candidatesByNumber(Database &db, const QStringList &numbers, QStringList *missing);

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
// candidate) raises and leaves every certificate as it was.
QList<Approval> approve(Database &db, const QList<CertificateKey> &keys, const QString &user);

}
