#pragma once
#include "maintenance/certificates/certificate.h"
#include "maintenance/selectionresults.h"
#include "maintenance/selectionsql.h"

#include <QDate>
#include <QList>
#include <optional>

class Database;
class Messenger;

namespace CompanyCascadeTexts {
inline const QString ConfirmPropagate = QStringLiteral("Confirma a propagação do status?");
inline const QString Propagated = QStringLiteral("Propagação do Status realizada com sucesso.");
inline const QString PropagateFailed = QStringLiteral(
    "Erro ao Propagar o Status da Empresa nos Produtos ou Serviços Vinculados");
inline const QString ConfirmTransfer = QStringLiteral("Confirma a transferencia da empresa vinculada?");
inline const QString HasService = QStringLiteral(
    "Não é possível transferir a Empresa, pois existe serviço cadastrado.");
inline const QString ChooseCompany = QStringLiteral("Por favor selecione a Nova Empresa.");
inline const QString Transferred = QStringLiteral("Transferencia da Empresa realizada com sucesso.");
inline const QString TransferFailed = QStringLiteral("Erro ao Transferir a Empresa dos Produtos Vinculados");
// status: the description ("Suspenso", "Cancelado"), or empty for an unknown letter.
inline QString targetNotActive(const QString &name, const QString &status)
{
    return QStringLiteral("Não é possível transferir os produtos para a empresa %1, pois ela está com status %2 "
                          "neste certificado.")
        .arg(name, status.isEmpty() ? QStringLiteral("desconhecido") : status);
}
}

// What a company's suspension or cancellation, with its active products or
// services, is about.
struct CascadeRequest
{
    CertificateKey certificate;
    CompanyKey company;
    QString userCode;
    QString letter; // "S" or "C" (or "A")
    QString evento; // "SUS", "CAN" (or "REA")
};

// A company of the certificate, as the transfer lists it.
struct CertificateCompany
{
    CompanyKey key;
    QString name; // RazSocialEmp of a legal entity, NomPessoaFisica of a person
};

// The company's new status carried to its active items ("Propagar"), or
// given to the company alone while its active products move to another
// company of the certificate ("Transferir"). Each runs in one transaction
// that also clears the certificate's approval; every changed row gets its
// event. The outcome is told through the messenger.
class CompanyCascade
{
public:
    CompanyCascade(Database &db, Messenger &messenger, const CascadeRequest &request);

    // The company's active products of every kind: MARCAPROD, MODELOPROD.
    SelectionSql::Statement productsStatement() const;
    // Its active services: IDCLASSESERV, NOMCLASSESERV.
    SelectionSql::Statement servicesStatement() const;
    // The certificate's companies, ordered by name.
    QList<CertificateCompany> companies() const;
    bool hasActiveService() const;
    // Why the company's products cannot move to `target` now (an active
    // service, no other company of the certificate chosen, a target that is
    // not active in it); empty when they can.
    QString transferRefusal(const std::optional<CompanyKey> &target) const;

    bool propagate(const QString &justification, const QDate &statusDate);
    // Services never move: refused as transferRefusal() says, nothing written.
    bool transfer(const CompanyKey &target, const QString &justification, const QDate &statusDate);

private:
    QString targetStatusRefusal(const CertificateCompany &target) const;
    void changeCompany(const QString &justification, const QDateTime &statusDate, const QDateTime &now);

    Database &m_db;
    Messenger &m_msg;
    CascadeRequest m_req;
};
