#include "reports/certificatelists.h"

#include "db/database.h"
#include "reports/certificateselection.h"
#include "reports/reportformat.h"

#include <QSqlQuery>

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

// "SIGLA - Nome do organismo" of CONFIG_LOCAL; empty when unconfigured.
QString certifierLine(Database &db)
{
    QSqlQuery q = db.exec(QStringLiteral("select SiglaCertificador, NomeOCC from CONFIG_LOCAL"));
    if (!q.next())
        return QString();
    return text(q, "SiglaCertificador") + QStringLiteral(" - ") + text(q, "NomeOCC");
}

void addTotal(BandedReport &report, int total)
{
    report.addText(QStringLiteral("Total de certificados: ") + CertificateSelection::countText(total), true);
}

const QString IncompleteSql = QStringLiteral("select C.SiglaCertificador, C.NumCertif, C.UsuResp, A.NomClasseProd, "
                                             "C.DthUltAtualiz from CERTIFIC as C, CLASSE_P as A "
                                             "where C.Completo = 0 and A.IdClasseProd = C.IdClasseProd");

const QString ReadySql = QStringLiteral("select a.NumCertif, a.UsuResp, a.DthUltAtualiz, a.SiglaCertificador, "
                                        "b.NomClasseProd, c.NomeOCC from CERTIFIC a, CLASSE_P b, CONFIG_LOCAL c "
                                        "where a.Completo = 1 and a.Aprovado = 0 and a.IdClasseProd = b.IdClasseProd "
                                        "and c.SiglaCertificador = a.SiglaCertificador");

}

QString TRelLista::title()
{
    return QStringLiteral("Lista dos Certificados");
}

BandedReport TRelLista::build(Database &db, const CertificateFilter &filter, const QString &userName)
{
    BandedReport report(title());
    report.setUserName(userName);
    report.addHeaderLine(CertificateSelection::description(filter));
    report.setColumns({{QStringLiteral("Número do Certificado"), 2.4},
                       {QStringLiteral("Classe do Produto"), 3.4},
                       {QStringLiteral("Usuário Responsável"), 1.6},
                       {QStringLiteral("Data de Atualização"), 1.9, Qt::AlignHCenter}});
    const CertificateSelection::Statement s = CertificateSelection::build(filter);
    QSqlQuery q = db.exec(s.sql, s.params);
    int total = 0;
    while (q.next()) {
        report.addRow({text(q, "NumCertif"), text(q, "NomClasseProd"), text(q, "UsuResp"),
                       F::dateTime(q.value(QStringLiteral("DthUltAtualiz")), Stamp)});
        ++total;
    }
    report.endColumns();
    addTotal(report, total);
    return report;
}

QString TFrmRelCertInc::title()
{
    return QStringLiteral("Certificados Incompletos");
}

QString TFrmRelCertInc::pendencias(Database &db, const QString &certifier, const QString &number)
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

int TFrmRelCertInc::count(Database &db, const QStringList &numbers)
{
    QVariantList params;
    const QString sql = IncompleteSql + numbersClause(QStringLiteral("C.NumCertif"), numbers, params);
    return db.scalar(QStringLiteral("select count(*) from (") + sql + QLatin1Char(')'), params).toInt();
}

BandedReport TFrmRelCertInc::build(Database &db, const QString &userName, const QStringList &numbers)
{
    BandedReport report(title());
    report.setUserName(userName);
    const QString certifier = certifierLine(db);
    if (!certifier.isEmpty())
        report.addHeaderLine(certifier);
    // The pending lines run under their certificate across the page.
    report.setColumns({{QStringLiteral("Número do Certificador"), 2.4},
                       {QStringLiteral("Classe do Produto"), 3.4},
                       {QStringLiteral("Usuário Responsável"), 1.6},
                       {QStringLiteral("Data Atualização"), 1.9, Qt::AlignHCenter}});
    QVariantList params;
    const QString sql = IncompleteSql + numbersClause(QStringLiteral("C.NumCertif"), numbers, params) +
        QStringLiteral(" order by C.NumCertif");
    QSqlQuery q = db.exec(sql, params);
    int total = 0;
    while (q.next()) {
        report.addRow({text(q, "NumCertif"), text(q, "NomClasseProd"), text(q, "UsuResp"),
                       F::dateTime(q.value(QStringLiteral("DthUltAtualiz")), QStringLiteral("dd/MM/yy hh:mm:ss"))});
        report.addFields({{QStringLiteral("Pendências do Certificado"),
                           pendencias(db, q.value(QStringLiteral("SiglaCertificador")).toString(),
                                      q.value(QStringLiteral("NumCertif")).toString())}},
                         8);
        ++total;
    }
    report.endColumns();
    addTotal(report, total);
    return report;
}

QString TFrmRelCertPront::title()
{
    return QStringLiteral("Certificados Prontos para Aprovação");
}

int TFrmRelCertPront::count(Database &db, const QStringList &numbers)
{
    QVariantList params;
    const QString sql = ReadySql + numbersClause(QStringLiteral("a.NumCertif"), numbers, params);
    return db.scalar(QStringLiteral("select count(*) from (") + sql + QLatin1Char(')'), params).toInt();
}

BandedReport TFrmRelCertPront::build(Database &db, const QString &userName, const QStringList &numbers)
{
    BandedReport report(title());
    report.setUserName(userName);
    const QString certifier = certifierLine(db);
    if (!certifier.isEmpty())
        report.addHeaderLine(certifier);
    report.setColumns({{QStringLiteral("Número do Certificador"), 2.4},
                       {QStringLiteral("Classe do Produto"), 3.4},
                       {QStringLiteral("Usuário Responsável"), 1.6},
                       {QStringLiteral("Data de Atualização"), 1.9, Qt::AlignHCenter}});
    QVariantList params;
    const QString sql = ReadySql + numbersClause(QStringLiteral("a.NumCertif"), numbers, params) +
        QStringLiteral(" order by a.DthUltAtualiz desc, a.NumCertif");
    QSqlQuery q = db.exec(sql, params);
    int total = 0;
    while (q.next()) {
        report.addRow({text(q, "NumCertif"), text(q, "NomClasseProd"), text(q, "UsuResp"),
                       F::dateTime(q.value(QStringLiteral("DthUltAtualiz")), Stamp)});
        ++total;
    }
    report.endColumns();
    addTotal(report, total);
    return report;
}
