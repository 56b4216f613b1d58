#pragma once
#include "maintenance/certificates/certificate.h"

#include <QDate>
#include <optional>

class Database;
class Messenger;

namespace CertificateTexts {
inline const QString ConfigTampered = QStringLiteral(
    "Tabela de Configurações Locais adulterada. O módulo de inclusão de certificado não pode continuar.");
inline const QString SystemError = QStringLiteral("Erro de sistema");
inline const QString KeyRequired = QStringLiteral("Os campos Certificador e Número do Certificado são obrigatórios");
inline const QString InclusionError = QStringLiteral("Erro de Inclusão");
inline const QString Exists = QStringLiteral("Este certificado já existe !!!. Cancele a Operação.");
inline const QString DuplicateCaption = QStringLiteral("Erro de chave duplicada");
inline const QString ValidityRequired = QStringLiteral("Por favor informe a data de validade do certificado.");
inline const QString KeyViolation = QStringLiteral("Este certificado já existe !!! Cancele a inclusão...");
inline const QString WriteError = QStringLiteral(
    "Erro genérico de gravação no Banco de Dados !!! As alterações não foram efetuadas.");
inline const QString StatusWriteError = QStringLiteral(
    "Erro genérico de gravação no Banco de Dados !!! As alterações no status não foram efetuadas.");
inline const QString WriteCaption = QStringLiteral("Erro de gravação");
}

// The writes of the maintenance window to a certificate's own row: a new
// certificate, its general data and its status. Every operation runs in one
// transaction and tells its problems through the messenger.
class CertificateService
{
public:
    enum class Result { Saved, Refused, NeedsValidity, Failed };

    CertificateService(Database &db, Messenger &messenger, const QString &userCode);

    // The certifier a new certificate gets; nothing (and the "adulterada"
    // message) unless CONFIG_LOCAL holds exactly one row.
    std::optional<QString> newCertificateCertifier();
    // Registers a new certificate: status "A", neither complete nor
    // approved, its "INC" event dated on the issue date.
    Result saveNew(const Certificate &draft);

    // What opening a certificate needs to know.
    struct Opened
    {
        Certificate row;
        bool held = false; // the regulator may hold it (RegulatorHolding)
        bool numberLocked = false; // number and issue date
        bool classesLocked = false;
    };
    std::optional<Opened> open(const CertificateKey &key);
    // Number and issue date may change only while the regulator cannot hold
    // the certificate and nothing is attached to it.
    bool numberLocked(const CertificateKey &key, bool held);

    // The checks that come before the general data is written.
    Result checkGeneral(const CertificateKey &open, const Certificate &edited);
    // Writes the general data (clearing Aprovado); with a justification, also
    // the "ALT" event an approved certificate needs. The edited row's number
    // may differ from the open key's: the certificate's own history and
    // documents follow it.
    Result saveGeneral(const CertificateKey &open, const Certificate &edited,
                       const std::optional<QString> &altJustification);

    // Event code of a status letter ("S" → "SUS", "A" → "REA", "C" → "CAN").
    static QString statusEvent(const QString &letter);
    // New status with its event; clears Aprovado.
    bool changeStatus(const CertificateKey &key, const QString &letter, const QString &justification,
                      const QDate &statusDate);

private:
    bool datesAcceptable(const Certificate &row, bool modifyPanel);
    bool textsSendable(const Certificate &row);
    void fail(const std::exception &e, const QString &generic);

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
};
