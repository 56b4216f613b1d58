// Certificate selection over a large register: builds a database of N
// certificates (default 100000; every other one with a product type and a
// company) and times counting and opening the list (its first screenful)
// for each ordering and for the usual filters. Goal: keep every opening
// within the 214 ms the slowest has reached.
//
//   bench_selection [N]
#include "db/database.h"
#include "db/provisioning.h"
#include "maintenance/certificates/certificatechoice.h"
#include "maintenance/selectionlistmodel.h"
#include "register/certificatefilter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

void fill(Database &db, int n)
{
    Transaction tx(db);
    db.execute(QStringLiteral("insert into CONFIG_LOCAL (SiglaCertificador) values ('OCB')"));
    db.execute(QStringLiteral("insert into CLASSE_C (IdClasseCertif, NomClasseCertif) values ('COMP', 'Compulsória'), "
                              "('VOL', 'Voluntária')"));
    db.execute(QStringLiteral("insert into CLASSE_P (IdClasseProd, NomClasseProd) values (101, 'Plugues'), "
                              "(102, 'Interruptores')"));
    Database::Statement &cert = db.statement(QStringLiteral(
        "insert into CERTIFIC (SiglaCertificador, NumCertif, StatusCertificado, IdClasseCertif, IdClasseProd, "
        "DataEmissao, DataValid, Completo, Aprovado, UsuResp) values ('OCB', ?, 'A', ?, ?, ?, ?, 0, 0, 'bench')"));
    const QDateTime base(QDate(2015, 1, 1), QTime(0, 0));
    for (int i = 0; i < n; ++i) {
        cert.exec({QStringLiteral("OCB-%1/%2").arg(i, 6, 10, QLatin1Char('0')).arg(2015 + i % 10),
                   i % 3 ? QStringLiteral("COMP") : QStringLiteral("VOL"), i % 5 ? 101 : 102, base.addDays(i % 3650),
                   base.addDays(3650 + (i * 7) % 1000)});
        cert.reset();
    }
    Database::Statement &type = db.statement(QStringLiteral(
        "insert into TIPO (SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado, StatusProduto) "
        "values ('OCB', ?, 'Marca', ?, ?, 'A')"));
    Database::Statement &link = db.statement(
        QStringLiteral("insert into EMP_CERT (SiglaCertificador, NumCertif, CodigoPais, IdEmpresa, StatusEmpresa) "
                       "values ('OCB', ?, 'BR', ?, 'A')"));
    for (int i = 0; i < n; i += 2) {
        const QString num = QStringLiteral("OCB-%1/%2").arg(i, 6, 10, QLatin1Char('0')).arg(2015 + i % 10);
        type.exec({num, QStringLiteral("M-%1").arg(i % 500), i % 4 ? 0 : 1});
        type.reset();
        link.exec({num, QStringLiteral("%1").arg(i % 300)});
        link.reset();
    }
    tx.commit();
}

// The slowest opening so far, against the goal printed at the end.
qint64 slowestOpen = 0;

void time(QTextStream &out, Database &db, const char *label, const CertificateFilter &filter,
          CertificateChoice::Order order)
{
    const SelectionSql::Statement s = CertificateChoice::statement(filter, order);
    SelectionListModel m;
    QElapsedTimer t;
    t.start();
    m.open(db, s.sql, s.orderBy, s.params);
    const qint64 opened = t.elapsed();
    slowestOpen = qMax(slowestOpen, opened);
    t.restart();
    for (int i = 0; i < 10 && m.canFetchMore(); ++i)
        m.fetchMore();
    const qint64 scrolled = t.elapsed();
    out << QStringLiteral("%1 %2 found, %3 rows read: open %4 ms, ten more blocks %5 ms\n")
               .arg(QLatin1String(label), -34)
               .arg(m.found(), 7)
               .arg(m.rowCount(), 5)
               .arg(opened, 5)
               .arg(scrolled, 4);
    out.flush();
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/bdocc.mdb");
    Provisioning::Options o;
    o.adminPassword = QStringLiteral("admin");
    Provisioning::createDatabase(path, o);
    Database db;
    db.open(path);
    QTextStream out(stdout);
    QElapsedTimer t;
    t.start();
    fill(db, n);
    out << "database of " << n << " certificates written in " << t.elapsed() << " ms\n";

    using CertificateChoice::Order;
    CertificateFilter none;
    time(out, db, "all, default order", none, Order::Default);
    time(out, db, "all, by number", none, Order::Number);
    time(out, db, "all, by certificate class", none, Order::CertificateClass);
    time(out, db, "all, by product class", none, Order::ProductClass);
    time(out, db, "all, by issue date", none, Order::Issue);
    time(out, db, "all, by validity", none, Order::Validity);
    CertificateFilter number;
    number.numero = QStringLiteral("99");
    time(out, db, "number contains \"99\"", number, Order::Default);
    CertificateFilter cls;
    cls.nomClasseCertif = QStringLiteral("Voluntária");
    time(out, db, "certificate class, by validity", cls, Order::Validity);
    CertificateFilter company;
    company.codigoPais = QStringLiteral("BR");
    company.idEmpresa = QStringLiteral("42");
    time(out, db, "company", company, Order::Default);
    CertificateFilter origin;
    origin.importado = CertificateFilter::Origin::Sim;
    time(out, db, "imported products", origin, Order::Default);
    out << QStringLiteral("slowest open %1 ms (meta: manter <= 214 ms)\n").arg(slowestOpen);
    return 0;
}
