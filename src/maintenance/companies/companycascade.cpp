#include "maintenance/companies/companycascade.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/retry.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/maintenancedates.h"
#include "register/statusevents.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace {

struct CascadeTable
{
    const char *table;
    const char *status;
    const char *statusDate;
    StatusEvents::Table events;
};

// In the order the cascade walks them.
const CascadeTable Products[] = {{"TIPO", "StatusProduto", "DthStatusProduto", StatusEvents::Table::Status_T},
                                 {"LOTE", "StatusLote", "DthStatusLote", StatusEvents::Table::Status_L},
                                 {"UNIDADE", "StatusUnidade", "DthStatusUnidade", StatusEvents::Table::Status_U}};
const CascadeTable Service{"SERVICO", "StatusServico", "DthStatusServico", StatusEvents::Table::Status_S};

const QString CompanyOf = QStringLiteral(" WHERE SiglaCertificador = ? AND NumCertif = ? AND CodigoPais = ? "
                                         "AND IdEmpresa = ? ");

QVariantMap rowOf(const QSqlQuery &q)
{
    QVariantMap out;
    const QSqlRecord r = q.record();
    for (int i = 0; i < r.count(); ++i)
        out.insert(r.fieldName(i), q.value(i));
    return out;
}

// The company's active rows of a kind, whole.
QList<QVariantMap> activeRows(Database &db, const CascadeTable &kind, const QVariantList &companyParams)
{
    QList<QVariantMap> out;
    QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(kind.table)) + CompanyOf +
                              QStringLiteral("AND %1 = 'A'").arg(QLatin1String(kind.status)),
                          companyParams);
    while (q.next())
        out << rowOf(q);
    return out;
}

void writeEvent(Database &db, StatusEvents::Table table, const QVariantMap &key, const QString &evento,
                const QString &justification, const QString &status, const QDateTime &statusDate, const QDateTime &now,
                const QString &user)
{
    StatusEvents::Event ev;
    ev.key = StatusEvents::ItemKey::fromRow(key);
    ev.evento = evento;
    ev.justificativa = justification;
    ev.status = status;
    ev.statusDate = statusDate;
    ev.writtenAt = now;
    ev.user = user;
    StatusEvents::insert(db, table, ev);
}

QString productSelect(const char *table, const char *status)
{
    return QStringLiteral("SELECT MARCAPROD, MODELOPROD FROM %1 WHERE SIGLACERTIFICADOR = :SIGLACERTIFICADOR "
                          "AND NUMCERTIF = :NUMCERTIF AND CODIGOPAIS = :CODIGOPAIS AND IDEMPRESA = :IDEMPRESA "
                          "AND %2 = 'A'")
        .arg(QLatin1String(table), QLatin1String(status));
}

}

CompanyCascade::CompanyCascade(Database &db, Messenger &messenger, const CascadeRequest &request)
    : m_db(db),
      m_msg(messenger),
      m_req(request)
{ }

SelectionSql::Statement CompanyCascade::productsStatement() const
{
    SelectionSql::Statement s;
    s.sql = productSelect("TIPO", "STATUSPRODUTO") + QStringLiteral(" UNION ") + productSelect("LOTE", "STATUSLOTE") +
        QStringLiteral(" UNION ") + productSelect("UNIDADE", "STATUSUNIDADE");
    s.orderBy = QStringLiteral("ORDER BY 1, 2");
    s.params = {{QStringLiteral("SIGLACERTIFICADOR"), m_req.certificate.sigla},
                {QStringLiteral("NUMCERTIF"), m_req.certificate.numero},
                {QStringLiteral("CODIGOPAIS"), m_req.company.codigoPais},
                {QStringLiteral("IDEMPRESA"), m_req.company.idEmpresa}};
    return s;
}

SelectionSql::Statement CompanyCascade::servicesStatement() const
{
    SelectionSql::Statement s;
    s.sql = QStringLiteral("SELECT S.IDCLASSESERV, CS.NOMCLASSESERV FROM SERVICO S, CLASSE_S CS "
                           "WHERE S.SIGLACERTIFICADOR = :SIGLACERTIFICADOR AND S.NUMCERTIF = :NUMCERTIF "
                           "AND S.CODIGOPAIS = :CODIGOPAIS AND S.IDEMPRESA = :IDEMPRESA "
                           "AND S.STATUSSERVICO = 'A' AND S.IDCLASSESERV = CS.IDCLASSESERV");
    s.orderBy = QStringLiteral("ORDER BY CS.NOMCLASSESERV");
    s.params = productsStatement().params;
    return s;
}

QList<CertificateCompany> CompanyCascade::companies() const
{
    QList<CertificateCompany> out;
    QSqlQuery q = m_db.exec(QStringLiteral("Select e.RazSocialEmp, e.NomPessoaFisica, e.IdEmpresa, e.CodigoPais, "
                                           "e.TipoPessoa from empresa e, emp_cert ec "
                                           "where e.CodigoPais = ec.CodigoPais and e.IdEmpresa = ec.IdEmpresa and "
                                           "ec.SiglaCertificador = ? and ec.NumCertif = ? "
                                           "order by e.RazSocialEmp NULLS FIRST, e.NomPessoaFisica NULLS FIRST"),
                            {m_req.certificate.sigla, m_req.certificate.numero});
    while (q.next()) {
        const bool person = q.value(4).toString() == QLatin1String("2");
        out.append(
            {{q.value(3).toString(), q.value(2).toString()}, person ? q.value(1).toString() : q.value(0).toString()});
    }
    return out;
}

bool CompanyCascade::hasActiveService() const
{
    return m_db
        .exec(QStringLiteral("SELECT IdClasseServ FROM SERVICO") + CompanyOf +
                  QStringLiteral("AND StatusServico = 'A'"),
              {m_req.certificate.sigla, m_req.certificate.numero, m_req.company.codigoPais, m_req.company.idEmpresa})
        .next();
}

// The company's link takes the new status, dated on the day typed (the
// same day its event carries).
void CompanyCascade::changeCompany(const QString &justification, const QDateTime &statusDate, const QDateTime &now)
{
    const QVariantList keys{m_req.certificate.sigla, m_req.certificate.numero, m_req.company.codigoPais,
                            m_req.company.idEmpresa};
    const int rows = m_db.execute(QStringLiteral("UPDATE EMP_CERT SET StatusEmpresa = ?, DthUltAtualiz = ?, "
                                                 "DthStatusEmpresa = ?, UsuResp = ?") +
                                      CompanyOf,
                                  QVariantList{m_req.letter, now, statusDate, m_req.userCode} + keys);
    if (rows != 1)
        throw AppError(QStringLiteral("A empresa %1 não está mais no certificado.").arg(m_req.company.idEmpresa));
    QVariantMap key{{QStringLiteral("SiglaCertificador"), m_req.certificate.sigla},
                    {QStringLiteral("NumCertif"), m_req.certificate.numero},
                    {QStringLiteral("CodigoPais"), m_req.company.codigoPais},
                    {QStringLiteral("IdEmpresa"), m_req.company.idEmpresa}};
    writeEvent(m_db, StatusEvents::Table::Evento_Emp, key, m_req.evento, justification, m_req.letter, statusDate, now,
               m_req.userCode);
}

bool CompanyCascade::propagate(const QString &justification, const QDate &statusDate)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime when = MaintenanceDates::atMidnight(statusDate);
    const QVariantList keys{m_req.certificate.sigla, m_req.certificate.numero, m_req.company.codigoPais,
                            m_req.company.idEmpresa};
    try {
        DbRetry::run(m_db, [&] {
            if (CertificateService::statusEvent(m_req.letter).isEmpty() || m_req.evento.isEmpty())
                throw AppError(QStringLiteral("Status inválido: %1").arg(m_req.letter));
            changeCompany(justification, when, now);
            QList<CascadeTable> kinds(std::begin(Products), std::end(Products));
            kinds << Service;
            for (const CascadeTable &kind : kinds) {
                for (const QVariantMap &row : activeRows(m_db, kind, keys))
                    writeEvent(m_db, kind.events, row, m_req.evento, justification, m_req.letter, when, now,
                               m_req.userCode);
                // The items' own status dates follow, as a status button would set them.
                m_db.execute(QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, DthUltAtualiz = ?, UsuResp = ?")
                                     .arg(QLatin1String(kind.table), QLatin1String(kind.status),
                                          QLatin1String(kind.statusDate)) +
                                 CompanyOf + QStringLiteral("AND %1 = 'A'").arg(QLatin1String(kind.status)),
                             QVariantList{m_req.letter, when, now, m_req.userCode} + keys);
            }
            m_db.execute(
                QStringLiteral("UPDATE CERTIFIC SET APROVADO = 0 WHERE SIGLACERTIFICADOR = ? AND NUMCERTIF = ?"),
                {m_req.certificate.sigla, m_req.certificate.numero});
        });
    } catch (const std::exception &e) {
        m_msg.error(StatusEvents::failureText(e, CompanyCascadeTexts::PropagateFailed));
        return false;
    }
    m_msg.information(CompanyCascadeTexts::Propagated);
    return true;
}

QString CompanyCascade::transferRefusal(const std::optional<CompanyKey> &target) const
{
    if (hasActiveService())
        return CompanyCascadeTexts::HasService;
    auto same = [](const CompanyKey &a, const CompanyKey &b) {
        return a.codigoPais.compare(b.codigoPais, Qt::CaseInsensitive) == 0 &&
            a.idEmpresa.compare(b.idEmpresa, Qt::CaseInsensitive) == 0;
    };
    if (target && !same(*target, m_req.company))
        for (const CertificateCompany &c : companies())
            if (same(c.key, *target))
                return targetStatusRefusal(c);
    return CompanyCascadeTexts::ChooseCompany;
}

// Products moved onto a suspended or cancelled company would stay active
// under a company that may no longer supply them.
QString CompanyCascade::targetStatusRefusal(const CertificateCompany &target) const
{
    const QString letter = m_db.scalar(QStringLiteral("SELECT StatusEmpresa FROM EMP_CERT") + CompanyOf,
                                       {m_req.certificate.sigla, m_req.certificate.numero, target.key.codigoPais,
                                        target.key.idEmpresa})
                               .toString()
                               .trimmed()
                               .toUpper();
    if (letter == QLatin1String("A"))
        return {};
    return CompanyCascadeTexts::targetNotActive(target.name, statusDescription(letter));
}

bool CompanyCascade::transfer(const CompanyKey &target, const QString &justification, const QDate &statusDate)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime when = MaintenanceDates::atMidnight(statusDate);
    const QVariantList keys{m_req.certificate.sigla, m_req.certificate.numero, m_req.company.codigoPais,
                            m_req.company.idEmpresa};
    QString refusal;
    try {
        DbRetry::run(m_db, [&] {
            // Checked in the transaction that moves the products.
            refusal = transferRefusal(target);
            if (!refusal.isEmpty())
                return;
            changeCompany(justification, when, now);
            for (const CascadeTable &kind : Products) {
                for (const QVariantMap &row : activeRows(m_db, kind, keys))
                    writeEvent(m_db, kind.events, row, QStringLiteral("ALT"), justification, QStringLiteral("A"), when,
                               now, m_req.userCode);
                m_db.execute(
                    QStringLiteral("UPDATE %1 SET IdEmpresa = ?, CodigoPais = ?, DthUltAtualiz = ?, UsuResp = ?")
                            .arg(QLatin1String(kind.table)) +
                        CompanyOf + QStringLiteral("AND %1 = 'A'").arg(QLatin1String(kind.status)),
                    QVariantList{target.idEmpresa, target.codigoPais, now, m_req.userCode} + keys);
            }
            m_db.execute(
                QStringLiteral("UPDATE CERTIFIC SET APROVADO = 0 WHERE SIGLACERTIFICADOR = ? AND NUMCERTIF = ?"),
                {m_req.certificate.sigla, m_req.certificate.numero});
        });
    } catch (const std::exception &e) {
        m_msg.error(StatusEvents::failureText(e, CompanyCascadeTexts::TransferFailed));
        return false;
    }
    if (!refusal.isEmpty()) {
        m_msg.information(refusal);
        return false;
    }
    m_msg.information(CompanyCascadeTexts::Transferred);
    return true;
}
