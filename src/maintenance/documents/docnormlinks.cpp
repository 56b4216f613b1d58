#include "maintenance/documents/docnormlinks.h"
#include "base/moments.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/documents/historyregistration.h"
#include "maintenance/maintenancedates.h"
#include "register/statusevents.h"

namespace {

const QStringList &linkKeyColumns(const QString &table)
{
    return Schema::table(table)->key;
}

}

std::optional<DocNormLinks::Mode> DocNormLinks::modeOf(const QString &caption)
{
    for (Mode m : {Mode::DadosGerais, Mode::Tipo, Mode::Lote, Mode::Unidade, Mode::Servicos})
        if (DocNormLinks::caption(m) == caption)
            return m;
    return std::nullopt;
}

QString DocNormLinks::caption(Mode mode)
{
    switch (mode) {
    case Mode::DadosGerais: return QStringLiteral("Dados Gerais");
    case Mode::Tipo: return QStringLiteral("Produtos por Tipo");
    case Mode::Lote: return QStringLiteral("Produtos por Lote");
    case Mode::Unidade: return QStringLiteral("Produtos por Unidade");
    case Mode::Servicos: return QStringLiteral("Serviços");
    }
    return {};
}

QString DocNormLinks::attention(Mode mode)
{
    switch (mode) {
    case Mode::DadosGerais:
        return QStringLiteral("Os documentos normativos indicados se referirão a todos os PRODUTOS neste certificado. "
                              "Se este certificado for de serviço os documentos normativos referentes ao mesmo deverão "
                              "ser cadastrados na pasta de SERVIÇO.");
    case Mode::Tipo:
        return QStringLiteral(
            "Os documentos normativos indicados se referirão a este TIPO de produto deste certificado");
    case Mode::Lote:
        return QStringLiteral(
            "Os documentos normativos indicados se referirão a este LOTE de produto deste certificado");
    case Mode::Unidade:
        return QStringLiteral(
            "Os documentos normativos indicados se referirão a esta UNIDADE de produto deste certificado");
    case Mode::Servicos:
        return QStringLiteral("Os documentos normativos indicados se referirão a este SERVIÇO deste certificado");
    }
    return {};
}

DocNormLinks::Item DocNormLinks::itemFrom(const Certificate &certificate, const QVariantMap &row)
{
    Item i;
    i.certificate = certificate.key();
    i.idClasseCertif = certificate.idClasseCertif;
    i.idClasseProd = certificate.idClasseProd;
    i.issue = certificate.dataEmissao;
    const StatusEvents::ItemKey key = StatusEvents::ItemKey::fromRow(row);
    i.marcaProd = key.value(QStringLiteral("MarcaProd")).toString();
    i.modeloProd = key.value(QStringLiteral("ModeloProd")).toString();
    i.importado = key.value(QStringLiteral("Importado")).toInt();
    i.numLote = key.value(QStringLiteral("NumLote")).toString();
    i.numSerieProd = key.value(QStringLiteral("NumSerieProd")).toString();
    i.idClasseServ = key.value(QStringLiteral("IdClasseServ")).toInt();
    i.codigoPais = key.value(QStringLiteral("CodigoPais")).toString();
    i.idEmpresa = key.value(QStringLiteral("IdEmpresa")).toString();
    return i;
}

DocNormLinks::DocNormLinks(Database &db, Messenger &messenger, const QString &userCode, Mode mode, const Item &item)
    : m_db(db),
      m_msg(messenger),
      m_user(userCode),
      m_mode(mode),
      m_item(item)
{ }

QString DocNormLinks::linkTable() const
{
    switch (m_mode) {
    case Mode::DadosGerais: return QStringLiteral("DOC_NORM_CERT_PRODUTO");
    case Mode::Tipo: return QStringLiteral("DOC_NORM_TIPO");
    case Mode::Lote: return QStringLiteral("DOC_NORM_LOTE");
    case Mode::Unidade: return QStringLiteral("DOC_NORM_UNIDADE");
    case Mode::Servicos: return QStringLiteral("DOC_NORM_SERV");
    }
    return {};
}

StatusEvents::Table DocNormLinks::eventTable() const
{
    switch (m_mode) {
    case Mode::DadosGerais: return StatusEvents::Table::Status_DNCP;
    case Mode::Tipo: return StatusEvents::Table::Status_DNT;
    case Mode::Lote: return StatusEvents::Table::Status_DNL;
    case Mode::Unidade: return StatusEvents::Table::Status_DNU;
    case Mode::Servicos: return StatusEvents::Table::Status_DNS;
    }
    return StatusEvents::Table::Status_DNCP;
}

QString DocNormLinks::classColumn() const
{
    return m_mode == Mode::Servicos ? QStringLiteral("IdClasseServ") : QStringLiteral("IdClasseProd");
}

QString DocNormLinks::statusColumn() const
{
    return StatusEvents::statusColumn(eventTable());
}
QString DocNormLinks::statusDateColumn() const
{
    return StatusEvents::statusDateColumn(eventTable());
}

QString DocNormLinks::entryColumn() const
{
    // DthEntDNCP, DthEntDNT, ...: the suffix of the status column.
    return QStringLiteral("DthEnt") + statusColumn().mid(QStringLiteral("Status_").size());
}

QString DocNormLinks::docTable() const
{
    return m_mode == Mode::Servicos ? QStringLiteral("Doc_Normativos_Serv") : QStringLiteral("Doc_Normativos");
}

QStringList DocNormLinks::itemColumns() const
{
    const QStringList type{QStringLiteral("MarcaProd"), QStringLiteral("ModeloProd"), QStringLiteral("Importado")};
    switch (m_mode) {
    case Mode::DadosGerais: return {};
    case Mode::Tipo: return type;
    case Mode::Lote: return type + QStringList{QStringLiteral("NumLote")};
    case Mode::Unidade: return type + QStringList{QStringLiteral("NumSerieProd")};
    case Mode::Servicos: return {QStringLiteral("CodigoPais"), QStringLiteral("IdEmpresa")};
    }
    return {};
}

QVariant DocNormLinks::itemValue(const QString &column) const
{
    if (column == QLatin1String("MarcaProd"))
        return m_item.marcaProd;
    if (column == QLatin1String("ModeloProd"))
        return m_item.modeloProd;
    if (column == QLatin1String("Importado"))
        return m_item.importado;
    if (column == QLatin1String("NumLote"))
        return m_item.numLote;
    if (column == QLatin1String("NumSerieProd"))
        return m_item.numSerieProd;
    if (column == QLatin1String("CodigoPais"))
        return m_item.codigoPais;
    if (column == QLatin1String("IdEmpresa"))
        return m_item.idEmpresa;
    return {};
}

QList<DocNormLinks::Link> DocNormLinks::links() const
{
    const QString cls = classColumn();
    QString sql = QStringLiteral("Select D.IdDocNorm, D.NomeTitulo, T.TipoDoc, DP.IdClasseCertif, DP.%1, DP.%2, "
                                 "DP.%3 AS DataEntrada from %4 DP, %5 D, Tipo_Doc T "
                                 "where DP.IdClasseCertif = D.IdClasseCertif and DP.%1 = D.%1 and "
                                 "DP.IdDocNorm = D.IdDocNorm and D.IdTipoDoc = T.IdTipoDoc and "
                                 "DP.SiglaCertificador = ? and DP.NumCertif = ?")
                      .arg(cls, statusColumn(), entryColumn(), linkTable(), docTable());
    QVariantList params{m_item.certificate.sigla, m_item.certificate.numero};
    for (const QString &c : itemColumns()) {
        sql += QStringLiteral(" and DP.%1 = ?").arg(c);
        params << itemValue(c);
    }
    if (m_mode == Mode::Servicos) {
        sql += QStringLiteral(" and DP.IdClasseServ = ?");
        params << m_item.idClasseServ;
    }
    sql += QStringLiteral(" order by D.IdDocNorm");
    auto q = m_db.exec(sql, params);
    QList<Link> out;
    while (q.next()) {
        Link l;
        l.idDocNorm = q.value(0).toInt();
        l.nomeTitulo = q.value(1).toString();
        l.tipoDoc = q.value(2).toString();
        l.idClasseCertif = q.value(3).toString();
        l.idClasse = q.value(4).toInt();
        l.status = q.value(5).toString();
        l.dataEntrada = Moments::fromValue(q.value(6));
        out << l;
    }
    return out;
}

QList<DocNormLinks::Candidate> DocNormLinks::candidates(std::optional<int> idTipoDoc) const
{
    const QString &sigla = m_item.certificate.sigla;
    const QString &numero = m_item.certificate.numero;
    QString sql;
    QVariantList params;
    if (m_mode == Mode::Servicos) {
        sql = QStringLiteral(
            "Select D.IdDocNorm, D.NomeTitulo, T.TipoDoc, D.IdTipoDoc, D.IdClasseCertif, D.IdClasseServ AS IDC_P_S "
            "from Doc_Normativos_Serv D, Tipo_Doc T where D.IdTipoDoc = T.IdTipoDoc and D.StatusDoc = 'A' "
            "and D.IdClasseCertif = ? and D.IdClasseServ = ? "
            "and not exists (Select * from Doc_Norm_Serv DNS where DNS.IdClasseCertif = D.IdClasseCertif "
            "and DNS.IdClasseServ = D.IdClasseServ and DNS.SiglaCertificador = ? and DNS.NumCertif = ? "
            "and DNS.CodigoPais = ? and DNS.IdEmpresa = ? and DNS.IdDocNorm = D.IdDocNorm)");
        params << m_item.idClasseCertif << m_item.idClasseServ << sigla << numero << m_item.codigoPais
               << m_item.idEmpresa;
    } else {
        if (m_item.idClasseProd.isNull())
            return {};
        // A document on the whole certificate leaves the list of a single
        // product only while it is active there.
        sql =
            QStringLiteral(
                "Select D.IdDocNorm, D.NomeTitulo, T.TipoDoc, D.IdTipoDoc, D.IdClasseCertif, D.IdClasseProd AS IDC_P_S "
                "from Doc_Normativos D, Tipo_Doc T where D.IdTipoDoc = T.IdTipoDoc and D.StatusDoc = 'A' "
                "and D.IdClasseCertif = ? and D.IdClasseProd = ? "
                "and not exists (Select * from Doc_Norm_Cert_Produto CP where CP.IdClasseCertif = D.IdClasseCertif "
                "and CP.IdClasseProd = D.IdClasseProd and CP.SiglaCertificador = ? and CP.NumCertif = ?%1 "
                "and CP.IdDocNorm = D.IdDocNorm)")
                .arg(m_mode == Mode::DadosGerais ? QString() : QStringLiteral(" and CP.Status_DNCP = 'A'"));
        params << m_item.idClasseCertif << m_item.idClasseProd.toInt() << sigla << numero;
        if (m_mode != Mode::DadosGerais) {
            sql += QStringLiteral(" and not exists (Select * from %1 DNT where DNT.IdClasseCertif = D.IdClasseCertif "
                                  "and DNT.IdClasseProd = D.IdClasseProd and DNT.SiglaCertificador = ? "
                                  "and DNT.NumCertif = ?")
                       .arg(linkTable());
            params << sigla << numero;
            for (const QString &c : itemColumns()) {
                sql += QStringLiteral(" and DNT.%1 = ?").arg(c);
                params << itemValue(c);
            }
            sql += QStringLiteral(" and DNT.IdDocNorm = D.IdDocNorm)");
        }
    }
    if (idTipoDoc) {
        sql += QStringLiteral(" and D.IdTipoDoc = ?");
        params << *idTipoDoc;
    }
    sql += QStringLiteral(" order by D.NomeTitulo, D.IdDocNorm");
    auto q = m_db.exec(sql, params);
    QList<Candidate> out;
    while (q.next()) {
        Candidate c;
        c.idDocNorm = q.value(0).toInt();
        c.nomeTitulo = q.value(1).toString();
        c.tipoDoc = q.value(2).toString();
        c.idTipoDoc = q.value(3).toInt();
        c.idClasseCertif = q.value(4).toString();
        c.idClasse = q.value(5).toInt();
        out << c;
    }
    return out;
}

QList<DocNormLinks::DocType> DocNormLinks::documentTypes() const
{
    auto q = m_db.exec(QStringLiteral("Select IdTipoDoc, TipoDoc from Tipo_Doc T order by TipoDoc"));
    QList<DocType> out;
    while (q.next())
        out << DocType{q.value(0).toInt(), q.value(1).toString()};
    return out;
}

StatusEvents::ItemKey DocNormLinks::itemKey() const
{
    StatusEvents::ItemKey key{{QStringLiteral("SiglaCertificador"), m_item.certificate.sigla},
                              {QStringLiteral("NumCertif"), m_item.certificate.numero}};
    for (const QString &c : itemColumns())
        key.insert(c, itemValue(c));
    if (m_mode == Mode::Servicos)
        key.insert(QStringLiteral("IdClasseServ"), m_item.idClasseServ);
    return key;
}

StatusEvents::ItemKey DocNormLinks::linkKey(const Link &link) const
{
    StatusEvents::ItemKey key = itemKey();
    key.insert(QStringLiteral("IdClasseCertif"), link.idClasseCertif);
    key.insert(classColumn(), link.idClasse);
    key.insert(QStringLiteral("IdDocNorm"), link.idDocNorm);
    return key;
}

void DocNormLinks::finishChange()
{
    HistoryRegistration::withdrawApproval(m_db, m_item.certificate.sigla, m_item.certificate.numero);
    CertificateStore::storeCompleteness(m_db, m_item.certificate);
}

bool DocNormLinks::add(const Candidate &document, const QString &entryDate)
{
    if (!MaintenanceDates::checkEntryDate(m_msg, entryDate, m_item.issue))
        return false;
    const QDateTime entry = MaintenanceDates::atMidnight(MaintenanceDates::parse(entryDate));
    Link link;
    link.idDocNorm = document.idDocNorm;
    link.idClasseCertif = document.idClasseCertif;
    link.idClasse = document.idClasse;
    const StatusEvents::ItemKey key = linkKey(link);

    Transaction t(m_db);
    try {
        const QStringList keys = linkKeyColumns(linkTable());
        QStringList columns = keys;
        QVariantList values = key.values(keys);
        columns << entryColumn() << statusColumn() << statusDateColumn() << QStringLiteral("DthUltAtualiz")
                << QStringLiteral("UsuResp");
        const QDateTime now = QDateTime::currentDateTime();
        values << entry << QStringLiteral("A") << entry << now << m_user;
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        m_db.execute(QStringLiteral("Insert into %1 (%2) values (%3)")
                         .arg(linkTable(), columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                     values);

        StatusEvents::Event e;
        e.key = key;
        e.evento = QStringLiteral("INC");
        e.justificativa = StatusEvents::JustificativaSistema;
        e.historicoSis = StatusEvents::OrigemDocNormativo;
        e.status = QStringLiteral("A");
        e.statusDate = entry;
        e.writtenAt = now;
        e.user = m_user;
        StatusEvents::insert(m_db, eventTable(), e);
        finishChange();
        t.commit();
        return true;
    } catch (const std::exception &e) {
        t.rollback();
        m_msg.error(StatusEvents::failureText(e, CertificateTexts::WriteError), CertificateTexts::WriteCaption);
        return false;
    }
}

bool DocNormLinks::received(const Link &link) const
{
    const StatusEvents::ItemKey key = linkKey(link);
    const QStringList keys = linkKeyColumns(linkTable());
    const QVariantList values = key.values(keys);
    auto q = m_db.exec(QStringLiteral("SELECT IdDocNorm FROM REP_%1 WHERE %2")
                           .arg(linkTable(), StatusEvents::ItemKey::condition(keys)),
                       values);
    return q.next();
}

bool DocNormLinks::remove(const Link &link)
{
    const StatusEvents::ItemKey key = linkKey(link);
    const QStringList keys = linkKeyColumns(linkTable());
    const QVariantList values = key.values(keys);
    Transaction t(m_db);
    try {
        // The link's events stay: they are the regulator's record of it.
        m_db.execute(QStringLiteral("Delete from %1 WHERE %2").arg(linkTable(), StatusEvents::ItemKey::condition(keys)),
                     values);
        finishChange();
        t.commit();
        return true;
    } catch (const std::exception &e) {
        t.rollback();
        m_msg.error(StatusEvents::failureText(e, CertificateTexts::WriteError), CertificateTexts::WriteCaption);
        return false;
    }
}

bool DocNormLinks::changeStatus(const Link &link, const QString &letter, const QString &justification,
                                const QDate &statusDate)
{
    const StatusEvents::ItemKey key = linkKey(link);
    const QStringList keys = linkKeyColumns(linkTable());
    const QVariantList where = key.values(keys);
    // The new status and its event go together or not at all.
    Transaction t(m_db);
    try {
        const QString evento = CertificateService::statusEvent(letter);
        if (evento.isEmpty() || !statusDate.isValid())
            throw AppError(QStringLiteral("Status inválido: %1").arg(letter));
        const QDateTime when = MaintenanceDates::atMidnight(statusDate);
        const QDateTime now = QDateTime::currentDateTime();
        const int rows = m_db.execute(
            QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, DthUltAtualiz = ?, UsuResp = ? "
                           "WHERE %4")
                .arg(linkTable(), statusColumn(), statusDateColumn(), StatusEvents::ItemKey::condition(keys)),
            QVariantList{letter, when, now, m_user} + where);
        if (rows != 1)
            throw AppError(QStringLiteral("O documento %1 não está mais ligado ao item.").arg(link.idDocNorm));
        StatusEvents::Event e;
        e.key = key;
        e.evento = evento;
        e.justificativa = justification;
        e.historicoSis = StatusEvents::OrigemDocNormativo;
        e.status = letter;
        e.statusDate = when;
        e.writtenAt = now;
        e.user = m_user;
        StatusEvents::insert(m_db, eventTable(), e);
        finishChange();
        t.commit();
        return true;
    } catch (const std::exception &e) {
        t.rollback();
        m_msg.error(StatusEvents::failureText(e, DocNormTexts::StatusError));
        return false;
    }
}
