#include "maintenance/companies/companylinks.h"
#include "base/moments.h"

#include "base/messenger.h"
#include "base/taxid.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/existencecheck.h"
#include "maintenance/maintenancedates.h"
#include "register/regulatorholding.h"
#include "register/statusevents.h"

#include <QSqlQuery>

QString CompanyLink::displayId() const
{
    return isNaturalPerson() ? TaxId::cpfDisplay(cpf) : TaxId::cnpjMask(cgc, true);
}

void CompanyLink::takeCompany(const SelectedCompany &company)
{
    codigoPais = company.codigoPais;
    idEmpresa = company.idEmpresa;
    tipoPessoa = company.tipoPessoa;
    cgc = company.cgc;
    cpf = company.cpf;
    razSocialEmp = company.razSocialEmp;
    nomPessoaFisica = company.nomPessoaFisica;
    nomFantasia = company.nomFantasia;
}

namespace {

const QString LinkSelect = QStringLiteral(
    "SELECT EC.CodigoPais, EC.IdEmpresa, E.CGC, E.CPF, E.TipoPessoa, E.RazSocialEmp, E.NomPessoaFisica, "
    "E.NomFantasia, PE.PapelEmp, EC.StatusEmpresa, EC.IdPapelEmp, EC.DthEntEmpresa, EC.DthStatusEmpresa "
    "FROM (EMP_CERT EC LEFT JOIN EMPRESA E ON E.CodigoPais = EC.CodigoPais AND E.IdEmpresa = EC.IdEmpresa) "
    "LEFT JOIN PAPEL_EMP PE ON PE.IdPapelEmp = EC.IdPapelEmp "
    "WHERE EC.SiglaCertificador = :sigla AND EC.NumCertif = :num ");

QVariant nullMoment()
{
    return QVariant(QMetaType(QMetaType::QDateTime));
}

StatusEvents::ItemKey itemKey(const CertificateKey &c, const CompanyKey &e)
{
    return {{QStringLiteral("SiglaCertificador"), c.sigla},
            {QStringLiteral("NumCertif"), c.numero},
            {QStringLiteral("CodigoPais"), e.codigoPais},
            {QStringLiteral("IdEmpresa"), e.idEmpresa}};
}

void writeEvent(Database &db, const CertificateKey &c, const CompanyKey &e, const QString &evento,
                const QString &justification, const QString &status, const QDateTime &statusDate, const QString &user)
{
    StatusEvents::Event ev;
    ev.key = itemKey(c, e);
    ev.evento = evento;
    ev.justificativa = justification;
    ev.status = status;
    ev.statusDate = statusDate;
    ev.user = user;
    StatusEvents::insert(db, StatusEvents::Table::Evento_Emp, ev);
}

// A change to an item is a change to the certificate: it must be approved
// again and its completeness may have moved.
void touchCertificate(Database &db, const CertificateKey &c)
{
    db.execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = 0 WHERE SiglaCertificador = ? AND NumCertif = ?"),
               {c.sigla, c.numero});
    CertificateStore::storeCompleteness(db, c);
}

QVariantList companyParams(const CertificateKey &c, const CompanyKey &e)
{
    return {c.sigla, c.numero, e.codigoPais, e.idEmpresa};
}

}

CompanyLinks::CompanyLinks(Database &db, Messenger &messenger, const QString &userCode)
    : m_db(db),
      m_msg(messenger),
      m_user(userCode)
{ }

SelectionSql::Statement CompanyLinks::listStatement(const CertificateKey &certificate)
{
    SelectionSql::Statement s;
    s.sql = LinkSelect;
    s.orderBy = QStringLiteral("ORDER BY EC.CodigoPais, EC.IdEmpresa");
    s.params.insert(QStringLiteral("sigla"), certificate.sigla);
    s.params.insert(QStringLiteral("num"), certificate.numero);
    return s;
}

std::optional<CompanyLink> CompanyLinks::load(Database &db, const CertificateKey &certificate,
                                              const CompanyKey &company)
{
    QSqlQuery q = db.exec(LinkSelect + QStringLiteral("AND EC.CodigoPais = :pais AND EC.IdEmpresa = :id"),
                          QVariantMap{{QStringLiteral("sigla"), certificate.sigla},
                                      {QStringLiteral("num"), certificate.numero},
                                      {QStringLiteral("pais"), company.codigoPais},
                                      {QStringLiteral("id"), company.idEmpresa}});
    if (!q.next())
        return std::nullopt;
    CompanyLink l;
    l.codigoPais = q.value(0).toString();
    l.idEmpresa = q.value(1).toString();
    l.cgc = q.value(2).toString();
    l.cpf = q.value(3).toString();
    l.tipoPessoa = q.value(4).toString();
    l.razSocialEmp = q.value(5).toString();
    l.nomPessoaFisica = q.value(6).toString();
    l.nomFantasia = q.value(7).toString();
    l.papelEmp = q.value(8).toString();
    l.statusEmpresa = q.value(9).toString();
    l.idPapelEmp = q.value(10).isNull() ? QVariant() : QVariant(q.value(10).toInt());
    l.dthEntEmpresa = Moments::fromValue(q.value(11));
    l.dthStatusEmpresa = Moments::fromValue(q.value(12));
    return l;
}

QList<CompanyRole> CompanyLinks::roles(Database &db)
{
    QList<CompanyRole> out;
    QSqlQuery q = db.exec(QStringLiteral("SELECT IdPapelEmp, PapelEmp FROM PAPEL_EMP ORDER BY PapelEmp"));
    while (q.next())
        out.append({q.value(0).toInt(), q.value(1).toString()});
    return out;
}

bool CompanyLinks::hasCompanies(Database &db, const CertificateKey &certificate)
{
    return CertificateStore::hasCompanies(db, certificate);
}

bool CompanyLinks::check(const CertificateKey &certificate, const QDateTime &issue, const CompanyLink &edited,
                         const QString &entryBox, bool inclusion)
{
    const bool identified = !edited.displayId().trimmed().isEmpty() || !edited.displayName().trimmed().isEmpty();
    if (edited.codigoPais.trimmed().isEmpty() || edited.idEmpresa.trimmed().isEmpty() || !identified ||
        edited.idPapelEmp.isNull()) {
        m_msg.error(CompanyLinkTexts::Required, CompanyLinkTexts::RequiredCaption);
        return false;
    }
    if (inclusion) {
        ExistenceCheck::Key k;
        k.siglaCertificador = certificate.sigla;
        k.numCertif = certificate.numero;
        k.codigoPais = edited.codigoPais;
        k.idEmpresa = edited.idEmpresa;
        if (ExistenceCheck::exists(m_db, QStringLiteral("EMPCERT"), k)) {
            m_msg.error(CompanyLinkTexts::Exists, CompanyLinkTexts::DuplicateCaption);
            return false;
        }
    }
    return MaintenanceDates::checkEntryDate(m_msg, entryBox.trimmed(), issue);
}

bool CompanyLinks::apply(const CertificateKey &certificate, bool approvedBefore, bool inclusion,
                         const CompanyLink &edited, const QDate &entryDate, const std::optional<QString> &justification)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime entry = MaintenanceDates::atMidnight(entryDate);
    const CompanyKey company = edited.key();
    Transaction t(m_db);
    try {
        if (approvedBefore && !justification)
            throw AppError(QStringLiteral("Falta a justificativa da alteração de um certificado já aprovado."));
        if (inclusion) {
            m_db.execute(QStringLiteral("INSERT INTO EMP_CERT (SiglaCertificador, NumCertif, CodigoPais, IdEmpresa, "
                                        "IdPapelEmp, StatusEmpresa, DthEntEmpresa, DthStatusEmpresa, DthUltAtualiz, "
                                        "UsuResp) VALUES (?, ?, ?, ?, ?, 'A', ?, ?, ?, ?)"),
                         {certificate.sigla, certificate.numero, company.codigoPais, company.idEmpresa,
                          edited.idPapelEmp, entry, entry, now, m_user});
            writeEvent(m_db, certificate, company, QStringLiteral("INC"),
                       approvedBefore ? *justification : StatusEvents::JustificativaSistema, QStringLiteral("A"), entry,
                       m_user);
        } else {
            // Before the first approval the status date follows the entry date.
            const QVariant statusDate = approvedBefore ? QVariant() : QVariant(entry);
            const int rows = m_db.execute(
                QStringLiteral("UPDATE EMP_CERT SET IdPapelEmp = ?, DthEntEmpresa = ?, "
                               "DthStatusEmpresa = COALESCE(?, DthStatusEmpresa), DthUltAtualiz = ?, UsuResp = ? "
                               "WHERE SiglaCertificador = ? AND NumCertif = ? AND CodigoPais = ? AND IdEmpresa = ?"),
                {edited.idPapelEmp, entry, statusDate.isNull() ? nullMoment() : statusDate, now, m_user,
                 certificate.sigla, certificate.numero, company.codigoPais, company.idEmpresa});
            if (rows != 1)
                throw AppError(QStringLiteral("A empresa %1 não está mais no certificado.").arg(company.idEmpresa));
            if (approvedBefore) {
                const QString status = m_db.scalar(QStringLiteral("SELECT StatusEmpresa FROM EMP_CERT WHERE "
                                                                  "SiglaCertificador = ? AND NumCertif = ? AND "
                                                                  "CodigoPais = ? AND IdEmpresa = ?"),
                                                   companyParams(certificate, company))
                                           .toString();
                writeEvent(m_db, certificate, company, QStringLiteral("ALT"), *justification, status, now, m_user);
            }
        }
        touchCertificate(m_db, certificate);
        t.commit();
    } catch (const DbError &e) {
        t.rollback();
        if (e.isKeyViolation())
            m_msg.error(CompanyLinkTexts::KeyViolation, CompanyLinkTexts::DuplicateCaption);
        else
            m_msg.error(DbErrors::writeFailure(e, CertificateTexts::WriteError), CertificateTexts::WriteCaption);
        return false;
    } catch (const std::exception &e) {
        t.rollback();
        m_msg.error(StatusEvents::failureText(e, CertificateTexts::WriteError), CertificateTexts::WriteCaption);
        return false;
    }
    return true;
}

bool CompanyLinks::removalAllowed(const CertificateKey &certificate, const CompanyKey &company)
{
    if (RegulatorHolding::item(m_db, StatusEvents::Table::Evento_Emp, itemKey(certificate, company))) {
        m_msg.error(CompanyLinkTexts::Approved, CompanyLinkTexts::DeleteCaption);
        return false;
    }
    const QString where = QStringLiteral(" WHERE SIGLACERTIFICADOR = ? AND NUMCERTIF = ? AND CODIGOPAIS = ? "
                                         "AND IDEMPRESA = ?");
    QVariantList params;
    for (int i = 0; i < 4; ++i)
        params << companyParams(certificate, company);
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT MARCAPROD,MODELOPROD,CAST(NULL AS INTEGER) FROM LOTE") + where +
            QStringLiteral(" UNION SELECT MARCAPROD,MODELOPROD,CAST(NULL AS INTEGER) FROM TIPO") + where +
            QStringLiteral(" UNION SELECT MARCAPROD,MODELOPROD,CAST(NULL AS INTEGER) FROM UNIDADE") + where +
            QStringLiteral(" UNION SELECT NULL,NULL,IDCLASSESERV FROM SERVICO") + where,
        params);
    if (q.next()) {
        m_msg.error(CompanyLinkTexts::Referenced, CompanyLinkTexts::DeleteCaption);
        return false;
    }
    return true;
}

bool CompanyLinks::remove(const CertificateKey &certificate, const CompanyKey &company)
{
    // The events and the link leave together, or neither does.
    Transaction t(m_db);
    try {
        // Held, or given products, since the question was asked: it stays.
        if (!removalAllowed(certificate, company)) {
            t.rollback();
            return false;
        }
        m_db.execute(QStringLiteral("Delete from Evento_Emp where SiglaCertificador = ? and NumCertif = ? and "
                                    "CodigoPais = ? and IdEmpresa = ?"),
                     companyParams(certificate, company));
        m_db.execute(QStringLiteral("DELETE FROM EMP_CERT WHERE SiglaCertificador = ? AND NumCertif = ? AND "
                                    "CodigoPais = ? AND IdEmpresa = ?"),
                     companyParams(certificate, company));
        touchCertificate(m_db, certificate);
        t.commit();
    } catch (const std::exception &e) {
        t.rollback();
        m_msg.error(StatusEvents::failureText(e, CertificateTexts::WriteError), CertificateTexts::WriteCaption);
        return false;
    }
    return true;
}

bool CompanyLinks::hasActiveItems(Database &db, const CertificateKey &certificate, const CompanyKey &company)
{
    const QString keys = QStringLiteral(
        "SIGLACERTIFICADOR = ? AND NUMCERTIF = ? AND CODIGOPAIS = ? AND IDEMPRESA = ? ");
    const QVariantList params = companyParams(certificate, company);
    QSqlQuery s = db.exec(QStringLiteral("SELECT S.IDCLASSESERV FROM SERVICO S, CLASSE_S CS "
                                         "WHERE S.SIGLACERTIFICADOR = ? AND S.NUMCERTIF = ? AND S.CODIGOPAIS = ? "
                                         "AND S.IDEMPRESA = ? AND S.STATUSSERVICO = 'A' "
                                         "AND S.IDCLASSESERV = CS.IDCLASSESERV"),
                          params);
    if (s.next())
        return true;
    QVariantList all;
    for (int i = 0; i < 3; ++i)
        all << params;
    QSqlQuery p = db.exec(QStringLiteral("SELECT MARCAPROD FROM TIPO WHERE ") + keys +
                              QStringLiteral("AND STATUSPRODUTO = 'A' UNION SELECT MARCAPROD FROM LOTE WHERE ") + keys +
                              QStringLiteral("AND STATUSLOTE = 'A' UNION SELECT MARCAPROD FROM UNIDADE WHERE ") + keys +
                              QStringLiteral("AND STATUSUNIDADE = 'A'"),
                          all);
    return p.next();
}

bool CompanyLinks::changeStatus(const CertificateKey &certificate, const CompanyKey &company, const QString &letter,
                                const QString &justification, const QDate &statusDate)
{
    Transaction t(m_db);
    try {
        const QString evento = CertificateService::statusEvent(letter);
        if (evento.isEmpty())
            throw AppError(QStringLiteral("Status inválido: %1").arg(letter));
        const QDateTime when = MaintenanceDates::atMidnight(statusDate);
        const int rows = m_db.execute(
            QStringLiteral("UPDATE EMP_CERT SET StatusEmpresa = ?, DthStatusEmpresa = ?, DthUltAtualiz = ?, "
                           "UsuResp = ? WHERE SiglaCertificador = ? AND NumCertif = ? AND CodigoPais = ? AND "
                           "IdEmpresa = ?"),
            QVariantList{letter, when, QDateTime::currentDateTime(), m_user} + companyParams(certificate, company));
        if (rows != 1)
            throw AppError(QStringLiteral("A empresa %1 não está mais no certificado.").arg(company.idEmpresa));
        writeEvent(m_db, certificate, company, evento, justification.trimmed(), letter, when, m_user);
        touchCertificate(m_db, certificate);
        t.commit();
    } catch (const std::exception &e) {
        t.rollback();
        m_msg.error(StatusEvents::failureText(e, CertificateTexts::StatusWriteError), CertificateTexts::WriteCaption);
        return false;
    }
    return true;
}
