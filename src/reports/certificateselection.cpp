#include "reports/certificateselection.h"

#include "db/database.h"

#include <QSqlQuery>

namespace CertificateSelection {

namespace {

// A type, unit or lot of the certificate that matches `condition` (written
// over the alias X).
QString productItemExists(const QString &condition)
{
    QStringList blocks;
    for (const char *table : {"TIPO", "UNIDADE", "LOTE"})
        blocks << QStringLiteral("exists (select * from %1 X where X.SiglaCertificador = a.SiglaCertificador and "
                                 "X.NumCertif = a.NumCertif and %2)")
                      .arg(QLatin1String(table), condition);
    return QStringLiteral(" and (") + blocks.join(QStringLiteral(" or ")) + QStringLiteral(")");
}

QList<ClassEntry> classes(Database &db, const QString &sql)
{
    QList<ClassEntry> out;
    QSqlQuery q = db.exec(sql);
    while (q.next())
        out << ClassEntry{q.value(0), q.value(1).toString()};
    return out;
}

}

Statement build(const CertificateFilter &f)
{
    Statement s;
    // Both classes join on their keys, so no row repeats: no DISTINCT, and
    // the certificate key's order lets the first rows come without sorting
    // the whole register.
    // Outer joins: a certificate whose class is missing from the class tables
    // is listed with the class empty, as it still goes into remittances.
    s.sql = QStringLiteral("select a.*, b.NomClasseCertif, c.NomClasseProd "
                           "from CERTIFIC a left join CLASSE_C b on a.IdClasseCertif = b.IdClasseCertif "
                           "left join CLASSE_P c on a.IdClasseProd = c.IdClasseProd where 1 = 1");
    if (!f.numero.isEmpty()) {
        s.sql += QStringLiteral(" and UCASE(a.NumCertif) like ?");
        s.params << QStringLiteral("%") + f.numero.toUpper() + QStringLiteral("%");
    }
    if (!f.numeros.isEmpty()) {
        QStringList marks;
        for (const QString &n : f.numeros) {
            marks << QStringLiteral("?");
            s.params << n;
        }
        s.sql += QStringLiteral(" and a.NumCertif in (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    if (!f.idClasseCertif.isEmpty()) {
        s.sql += QStringLiteral(" and a.IdClasseCertif = ?");
        s.params << f.idClasseCertif;
    }
    if (f.idClasseProd) {
        s.sql += QStringLiteral(" and a.IdClasseProd = ?");
        s.params << *f.idClasseProd;
    }
    if (f.hasCompany()) {
        s.sql += QStringLiteral(" and exists (select * from EMP_CERT EC where EC.NumCertif = a.NumCertif and "
                                "EC.SiglaCertificador = a.SiglaCertificador and EC.CodigoPais = ? and "
                                "EC.IdEmpresa = ?)");
        s.params << f.codigoPais << f.idEmpresa;
    }
    if (f.hasProduct()) {
        s.sql += productItemExists(QStringLiteral("X.MarcaProd = ? and X.ModeloProd = ? and X.Importado = ?"));
        for (int i = 0; i < 3; ++i)
            s.params << f.marcaProd << f.modeloProd << f.importadoProd;
    }
    if (f.idClasseServ) {
        s.sql += QStringLiteral(" and exists (select * from SERVICO S where S.SiglaCertificador = a.SiglaCertificador "
                                "and S.NumCertif = a.NumCertif and S.IdClasseServ = ?)");
        s.params << *f.idClasseServ;
    }
    if (f.importado != CertificateFilter::Origin::Todos) {
        s.sql += productItemExists(QStringLiteral("X.Importado = ?"));
        const int flag = f.importado == CertificateFilter::Origin::Sim ? 1 : 0;
        s.params << flag << flag << flag;
    }
    if (f.status != CertificateFilter::Status::Todos) {
        s.sql += QStringLiteral(" and a.StatusCertificado = ?");
        s.params << (f.status == CertificateFilter::Status::Ativos           ? QStringLiteral("A")
                         : f.status == CertificateFilter::Status::Cancelados ? QStringLiteral("C")
                                                                             : QStringLiteral("S"));
    }
    if (f.aprovados != CertificateFilter::Approval::Todos) {
        s.sql += QStringLiteral(" and a.Aprovado = ?");
        s.params << (f.aprovados == CertificateFilter::Approval::Aprovados ? 1 : 0);
    }
    s.sql += QStringLiteral(" order by a.SiglaCertificador, a.NumCertif");
    return s;
}

QString description(const CertificateFilter &f)
{
    QString d = QStringLiteral("Seleção: ");
    if (!f.numero.isEmpty())
        d += QStringLiteral("Número do Certificado: ") + f.numero + QStringLiteral(", ");
    if (!f.numeros.isEmpty())
        d += QStringLiteral("Número do Certificado: ") + f.numeros.join(QStringLiteral("; ")) + QStringLiteral(", ");
    if (!f.idClasseCertif.isEmpty())
        d += QStringLiteral("Classe do Certificado: ") + f.nomClasseCertif + QStringLiteral(", ");
    if (f.idClasseProd)
        d += QStringLiteral("Classe de Produto: ") + f.nomClasseProd + QStringLiteral(", ");
    if (f.hasCompany())
        d += QStringLiteral("Razão social: ") + f.nomeEmpresa + QStringLiteral(", ");
    if (f.idClasseServ)
        d += QStringLiteral("Classe de Serviço: ") + f.nomClasseServ + QStringLiteral(", ");
    if (f.hasProduct())
        d += QStringLiteral("Marca: ") + f.marcaProd + QStringLiteral(" Modelo: ") + f.modeloProd + QStringLiteral(",");
    switch (f.importado) {
    case CertificateFilter::Origin::Sim: d += QStringLiteral("Importado:Sim, "); break;
    case CertificateFilter::Origin::Nao: d += QStringLiteral("Importado:Não, "); break;
    case CertificateFilter::Origin::Todos: d += QStringLiteral("Importado:Todos, "); break;
    }
    switch (f.status) {
    case CertificateFilter::Status::Todos: d += QStringLiteral("Status:Todos, "); break;
    case CertificateFilter::Status::Ativos: d += QStringLiteral("Status:Ativos, "); break;
    case CertificateFilter::Status::Cancelados: d += QStringLiteral("Status:Cancelados, "); break;
    case CertificateFilter::Status::Suspensos: d += QStringLiteral("Status:Suspensos, "); break;
    }
    switch (f.aprovados) {
    case CertificateFilter::Approval::Todos: d += QStringLiteral("Aprovados:Todos "); break;
    case CertificateFilter::Approval::Aprovados: d += QStringLiteral("Aprovados: Sim "); break;
    case CertificateFilter::Approval::NaoAprovados: d += QStringLiteral("Aprovados:Não "); break;
    }
    return d;
}

int count(Database &db, const CertificateFilter &filter)
{
    const Statement s = build(filter);
    return db.scalar(QStringLiteral("select count(*) from (") + s.sql + QStringLiteral(") as linhas"), s.params)
        .toInt();
}

QString countText(qint64 count)
{
    QString digits = QString::number(qAbs(count));
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char('.'));
    return count < 0 ? QLatin1Char('-') + digits : digits;
}

QString totalLine(qint64 count)
{
    return QStringLiteral("Total de certificados: ") + countText(count);
}

QList<ClassEntry> certificateClasses(Database &db)
{
    // Accredited through products or through services: either table alone
    // is enough.
    return classes(db,
                   QStringLiteral("select CL.IdClasseCertif, CL.NomClasseCertif from CLASSE_C CL "
                                  "where exists (select * from CREDENCIAMENTO CC, CONFIG_LOCAL C "
                                  "              where CC.IdClasseCertif = CL.IdClasseCertif "
                                  "                and CC.SiglaCertificador = C.SiglaCertificador) "
                                  "   or exists (select * from CREDENCIAMENTO_SERV CS, CONFIG_LOCAL C "
                                  "              where CS.IdClasseCertif = CL.IdClasseCertif "
                                  "                and CS.SiglaCertificador = C.SiglaCertificador) "
                                  "order by CL.NomClasseCertif"));
}

QList<ClassEntry> productClasses(Database &db)
{
    // A product class accredited under two certificate classes is listed once.
    return classes(db,
                   QStringLiteral("select distinct P.IdClasseProd, P.NomClasseProd "
                                  "from CLASSE_P P, CONFIG_LOCAL C, CREDENCIAMENTO CC "
                                  "where P.IdClasseProd = CC.IdClasseProd "
                                  "and C.SiglaCertificador = CC.SiglaCertificador "
                                  "order by P.NomClasseProd"));
}

QList<ClassEntry> serviceClasses(Database &db)
{
    return classes(db,
                   QStringLiteral("select distinct S.IdClasseServ, S.NomClasseServ "
                                  "from CLASSE_S S, CONFIG_LOCAL C, CREDENCIAMENTO_SERV CS "
                                  "where S.IdClasseServ = CS.IdClasseServ "
                                  "and C.SiglaCertificador = CS.SiglaCertificador "
                                  "order by S.NomClasseServ"));
}

}
