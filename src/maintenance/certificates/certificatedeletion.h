#pragma once
#include "db/dberror.h"
#include "maintenance/certificates/certificate.h"

#include <QStringList>

class Database;
class Messenger;

// Removing a certificate with everything attached to it. Only a certificate
// the regulator cannot hold may go: one approved, accepted in a remittance or
// imported from a TXT file can only be suspended or cancelled.
namespace CertificateDeletion {

inline const QString Caption = QStringLiteral("Exclusão do Certificado.");
inline const QString JaAprovado = QStringLiteral(
    "Este certificado já foi aprovado para envio para o Quelora e não pode ser deletado.");
inline const QString Confirma = QStringLiteral("Confirma a exclusão do Certificado ?");
inline const QString Cancelada = QStringLiteral("Exclusão cancelada!");
inline const QString Falhou = QStringLiteral(
    "Erro na exclusão do certificado do Banco de Dados !!! As deleção não foi efetuada.");

// The tables that hold rows of a certificate, in the order they are emptied:
// the normative documents' events and the documents, the items' events, the
// items and last the certificate itself. EMPRESA and PRODUTO are not among
// them: companies and products stay for other certificates.
const QStringList &tables();

// Raised by deleteAll() when the regulator may hold the certificate
// (RegulatorHolding); nothing is deleted then.
class Held : public AppError
{
public:
    Held()
        : AppError(JaAprovado)
    { }
};

// Deletes the certificate's rows from every table of tables() in one
// transaction, after checking inside it that the regulator cannot hold the
// certificate (raises Held); nothing is deleted when any statement fails
// (raises DbError). Answers the number of rows removed.
int deleteAll(Database &db, const CertificateKey &key);

// The whole deletion as the user asks for it: refuses a certificate the
// regulator may hold, asks for confirmation, deletes, and tells every outcome
// through the messenger. True when the certificate is gone.
bool run(Database &db, Messenger &messenger, const CertificateKey &key);

}
