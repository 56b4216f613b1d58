#include "reports/certificatelists.h"

#include "db/database.h"
#include "reports/certificateselection.h"
#include "reports/listreport.h"
#include "reports/reportformat.h"

#include <QSqlQuery>
#include <functional>

using ReportFormat::text;

namespace {

namespace F = ReportFormat;

const QString Stamp = QStringLiteral("dd/MM/yyyy hh:mm:ss");


// " and <column> in (?, ...)" for the batch tool's certificate numbers.
QString numbersClause(const QString &column, const QStringList &numbers, QVariantList &params)
{
    if (numbers.isEmpty())
        return QString();
    QStringList marks;
    for (const QString &n : numbers) {
        marks << QStringLiteral("?");
        params << n;
    }
    return QStringLiteral(" and ") + column + QStringLiteral(" in (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
}

// "SIGLA - Nome do organismo" of CONFIG_LOCAL; none when unconfigured.
QStringList certifierHeader(Database &db)
{
    QSqlQuery q = db.exec(QStringLiteral("select SiglaCertificador, NomeOCC from CONFIG_LOCAL"));
    if (!q.next())
        return {};
    return {text(q, "SiglaCertificador") + QStringLiteral(" - ") + text(q, "NomeOCC")};
}

// The columns of every certificate list; the number and date labels differ
// as each report has always printed them.
QList<ReportColumn> certificateColumns(const QString &numberLabel, const QString &dateLabel)
{
    return {{numberLabel, 2.4},
            {QStringLiteral("Classe do Produto"), 3.4},
            {QStringLiteral("Usuário Responsável"), 1.6},
            {dateLabel, 1.9, Qt::AlignHCenter}};
}

// A certificate per row of the query; under adds what runs below a row.
BandedReport certificateList(ListReport list, QSqlQuery q, const QString &stamp,
                             const std::function<void(BandedReport &, const QSqlQuery &)> &under = {})
{
    while (q.next()) {
        list.addRow({text(q, "NumCertif"), text(q, "NomClasseProd"), text(q, "UsuResp"),
                     F::dateTime(q.value(QStringLiteral("DthUltAtualiz")), stamp)});
        if (under)
            under(list.report(), q);
    }
    return list.finish(CertificateSelection::totalLine(list.rowCount()));
}

// A list of the local certifier's certificates: what selects them, the
// column of their numbers and the order they print in.
struct CertifierList
{
    QString sql, numberColumn, order;

    // Only the given numbers when there are any.
    QString select(const QStringList &numbers, QVariantList &params) const
    {
        return sql + numbersClause(numberColumn, numbers, params);
    }
};

const CertifierList Incomplete{
    QStringLiteral("select C.SiglaCertificador, C.NumCertif, C.UsuResp, A.NomClasseProd, C.DthUltAtualiz from "
                   "CERTIFIC as C, CLASSE_P as A where C.Completo = 0 and A.IdClasseProd = C.IdClasseProd"),
    QStringLiteral("C.NumCertif"), QStringLiteral(" order by C.NumCertif")};

const CertifierList Ready{
    QStringLiteral("select a.NumCertif, a.UsuResp, a.DthUltAtualiz, a.SiglaCertificador, b.NomClasseProd, c.NomeOCC "
                   "from CERTIFIC a, CLASSE_P b, CONFIG_LOCAL c where a.Completo = 1 and a.Aprovado = 0 and "
                   "a.IdClasseProd = b.IdClasseProd and c.SiglaCertificador = a.SiglaCertificador"),
    QStringLiteral("a.NumCertif"), QStringLiteral(" order by a.DthUltAtualiz desc, a.NumCertif")};

int countOf(Database &db, const CertifierList &list, const QStringList &numbers)
{
    QVariantList params;
    const QString sql = list.select(numbers, params);
    return db.scalar(QStringLiteral("select count(*) from (") + sql + QStringLiteral(") as linhas"), params).toInt();
}

BandedReport certifierReport(Database &db, const CertifierList &list, const QString &title, const QString &userName,
                             const QStringList &numbers, const QString &dateLabel, const QString &stamp,
                             const std::function<void(BandedReport &, const QSqlQuery &)> &under = {})
{
    const ListReport report(title, userName, certifierHeader(db),
                            certificateColumns(QStringLiteral("Número do Certificador"), dateLabel));
    QVariantList params;
    const QString sql = list.select(numbers, params) + list.order;
    return certificateList(report, db.exec(sql, params), stamp, under);
}

}

QString CertificateListReport::title()
{
    return QStringLiteral("Lista dos Certificados");
}

BandedReport CertificateListReport::build(Database &db, const CertificateFilter &filter, const QString &userName)
{
    const ListReport list(
        title(), userName, {CertificateSelection::description(filter)},
        certificateColumns(QStringLiteral("Número do Certificado"), QStringLiteral("Data de Atualização")));
    const CertificateSelection::Statement s = CertificateSelection::build(filter);
    return certificateList(list, db.exec(s.sql, s.params), Stamp);
}

QString IncompleteCertificatesReport::title()
{
    return QStringLiteral("Certificados Incompletos");
}

QString IncompleteCertificatesReport::pendencias(Database &db, const QString &certifier, const QString &number)
{
    // Matched on the whole certificate key: another body's certificate with
    // the same number must not hide what this one lacks.
    auto any = [&](std::initializer_list<const char *> tables) {
        for (const char *table : tables) {
            const QString sql = QStringLiteral("select exists (select * from %1 where SiglaCertificador = ? "
                                               "and NumCertif = ?)")
                                    .arg(QLatin1String(table));
            if (db.scalar(sql, {certifier, number}).toInt() != 0)
                return true;
        }
        return false;
    };
    QStringList lines;
    if (!any({"EMP_CERT"}))
        lines << QStringLiteral("Falta preencher as informações de Empresas Envolvidas.");
    if (!any({"TIPO", "LOTE", "UNIDADE", "SERVICO"}))
        lines << QStringLiteral("Falta preencher as informações de Produtos ou Serviços.");
    if (!any({"DOC_NORM_CERT_PRODUTO", "DOC_NORM_TIPO", "DOC_NORM_LOTE", "DOC_NORM_UNIDADE", "DOC_NORM_CERT_SERVICO",
              "DOC_NORM_SERV"}))
        lines << QStringLiteral("Falta preencher as informações de Documentos Normativos.");
    return lines.join(QLatin1Char('\n'));
}

int IncompleteCertificatesReport::count(Database &db, const QStringList &numbers)
{
    return countOf(db, Incomplete, numbers);
}

BandedReport IncompleteCertificatesReport::build(Database &db, const QString &userName, const QStringList &numbers)
{
    // The pending lines run under their certificate across the page.
    return certifierReport(db, Incomplete, title(), userName, numbers, QStringLiteral("Data Atualização"),
                           QStringLiteral("dd/MM/yy hh:mm:ss"), [&db](BandedReport &report, const QSqlQuery &q) {
                               report.addFields(
                                   {{QStringLiteral("Pendências do Certificado"),
                                     pendencias(db, q.value(QStringLiteral("SiglaCertificador")).toString(),
                                                q.value(QStringLiteral("NumCertif")).toString())}},
                                   8);
                           });
}

QString ReadyCertificatesReport::title()
{
    return QStringLiteral("Certificados Prontos para Aprovação");
}

int ReadyCertificatesReport::count(Database &db, const QStringList &numbers)
{
    return countOf(db, Ready, numbers);
}

BandedReport ReadyCertificatesReport::build(Database &db, const QString &userName, const QStringList &numbers)
{
    return certifierReport(db, Ready, title(), userName, numbers, QStringLiteral("Data de Atualização"), Stamp);
}
