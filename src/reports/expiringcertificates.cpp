#include "reports/expiringcertificates.h"

#include "db/database.h"
#include "reports/certificateselection.h"
#include "reports/listreport.h"

#include <QSqlQuery>

namespace ExpiringCertificates {

namespace {

// The stored validity is a moment whose text starts with yyyy-mm-dd; its
// first ten characters are the calendar day whatever the time zone.
const QString Sql = QStringLiteral(
    "select a.SiglaCertificador, a.NumCertif, coalesce(b.NomClasseCertif, a.IdClasseCertif), "
    "substr(a.DataValid, 1, 10) as Dia, "
    "(select case when e.TipoPessoa = '2' then e.NomPessoaFisica else e.RazSocialEmp end "
    "   from EMP_CERT ec join EMPRESA e on e.CodigoPais = ec.CodigoPais and e.IdEmpresa = ec.IdEmpresa "
    "   left join PAPEL_EMP p on p.IdPapelEmp = ec.IdPapelEmp "
    "  where ec.SiglaCertificador = a.SiglaCertificador and ec.NumCertif = a.NumCertif "
    "  order by case when upper(trim(p.PapelEmp)) = 'FABRICANTE' then 0 else 1 end, "
    "           ec.DthEntEmpresa, ec.CodigoPais, ec.IdEmpresa limit 1) "
    "from CERTIFIC a left join CLASSE_C b on b.IdClasseCertif = a.IdClasseCertif "
    "where upper(a.StatusCertificado) = 'A' and a.DataValid is not null "
    "  and substr(a.DataValid, 1, 10) between ? and ? ");

QVariantList bounds(const QDate &today, int days)
{
    return {today.toString(Qt::ISODate), today.addDays(qMax(0, days)).toString(Qt::ISODate)};
}

}

QString title()
{
    return QStringLiteral("Certificados a Vencer");
}

QList<Row> list(Database &db, const QDate &today, int days)
{
    QList<Row> out;
    QSqlQuery q = db.exec(Sql + QStringLiteral("order by Dia, a.NumCertif"), bounds(today, days));
    while (q.next()) {
        Row r;
        r.sigla = q.value(0).toString().trimmed();
        r.numero = q.value(1).toString().trimmed();
        r.classe = q.value(2).toString().trimmed();
        r.validade = QDate::fromString(q.value(3).toString(), Qt::ISODate);
        r.empresa = q.value(4).toString().trimmed();
        r.diasRestantes = int(today.daysTo(r.validade));
        out << r;
    }
    return out;
}

int count(Database &db, const QDate &today, int days)
{
    return db
        .scalar(QStringLiteral("select count(*) from (") + Sql + QStringLiteral(") as linhas"), bounds(today, days))
        .toInt();
}

QString notice(int found, int days)
{
    if (found <= 0)
        return QString();
    return QStringLiteral("Certificados a vencer em %1 dias: %2").arg(days).arg(CertificateSelection::countText(found));
}

BandedReport report(const QList<Row> &rows, const QDate &today, int days, const QString &userName)
{
    ListReport list(title(), userName,
                    {QStringLiteral("Validade até %1 (próximos %2 dias)")
                         .arg(today.addDays(days).toString(QStringLiteral("dd/MM/yyyy")))
                         .arg(days)},
                    {{QStringLiteral("Número do Certificado"), 2.2},
                     {QStringLiteral("Classe do Certificado"), 2.0},
                     {QStringLiteral("Empresa Principal"), 3.4},
                     {QStringLiteral("Validade"), 1.3, Qt::AlignHCenter},
                     {QStringLiteral("Dias Restantes"), 1.2, Qt::AlignRight}});
    list.setDate(today);
    for (const Row &row : rows)
        list.addRow({row.numero, row.classe, row.empresa, row.validade.toString(QStringLiteral("dd/MM/yyyy")),
                     QString::number(row.diasRestantes)});
    return list.finish(CertificateSelection::totalLine(list.rowCount()));
}

CsvExport::Table table(const QList<Row> &rows)
{
    CsvExport::Table t;
    t.headers = {QStringLiteral("Número do Certificado"), QStringLiteral("Classe do Certificado"),
                 QStringLiteral("Empresa Principal"), QStringLiteral("Validade"), QStringLiteral("Dias Restantes")};
    for (const Row &row : rows)
        t.rows << QVariantList{row.numero, row.classe, row.empresa, row.validade, row.diasRestantes};
    return t;
}

}
