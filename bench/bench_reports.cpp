// Certificate mirror with event log to PDF: N certificates (default 5000),
// each with two companies, a type, a lot, a unit, a service, a document and
// a status change. Runs N/10 first, then N, and prints for each the time and
// processor time, pages, size and resident memory, then how much higher the
// peak stands after N than after N/10. Goals: at most 5 ms a certificate;
// memory flat, 10 000 certificates within 10 MB of 1 000
// (bench_reports 10000).
//
// Where the time went (perf record --call-graph dwarf -F 499, 1 000
// certificates; EXPLAIN QUERY PLAN for the growth with the register).
// Before: the whole report was built first, every band kept, then painted;
// the kept bands weigh about 16 MB a thousand certificates (the "mantido
// inteiro" line). The log of each certificate walked the whole unit, lot
// and service event tables (their keys begin with the item's number), so a
// certificate cost more the larger the register: 2.6-2.9 ms with 1 100
// certificates in the base, 6.2-6.5 ms with 11 000. Each certificate also
// compiled the same five statements again (two of them six-way unions), and
// reading a stored moment built a local date-time (3% of the run). Now the
// bands are painted as the certificates are read and dropped at once, those
// events are reached through their items, the statements are compiled once
// a report and the text of a recurring moment is kept (date formatting
// 3% -> 0.2%). What is left is mostly the PDF engine's own work:
// compressing each finished page (zlib, a quarter of the samples), writing
// the text items and laying the text out (Qt Gui and Core, close to half),
// then SQLite (a sixth of the samples, much of it generating the base).
//
// Measured on the shared 2-core machine under a load of 7-8, with 11 000
// certificates in the base: 1 000 certificates 2.45 ms of processor a
// certificate, 10 000 2.40 ms (5.1 ms wall); resident peak after 10 000
// +692 KiB over 1 000.
//
//   bench_reports [N]
#include "base/apppaths.h"
#include "db/database.h"
#include "db/provisioning.h"
#include "maintenance/demodata.h"
#include "reports/certificatemirror.h"
#include "reports/certificateselection.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

long currentRssKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

QDateTime at(int y, int m, int d, int h = 9)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0));
}

// Certificates BENCH-<i> over the demo companies, products and documents.
void writeCertificates(Database &db, const QString &prefix, int n)
{
    DemoData::Writer w(db, QStringLiteral("bench"));
    w.setCertifier(QStringLiteral("OCDEMO"));
    const QString fabricante = DemoData::cnpjFrom(QStringLiteral("123456780001"));
    const QString person = DemoData::cpfFrom(QStringLiteral("529982247"));
    const QString fenix = DemoData::cnpjFrom(QStringLiteral("445556660001"));
    Transaction t(db);
    for (int i = 1; i <= n; ++i) {
        const QString num = prefix + QString::number(i).rightJustified(5, QLatin1Char('0'));
        auto key = [&](const QVariantMap &more) {
            QVariantMap m{{QStringLiteral("SiglaCertificador"), QStringLiteral("OCDEMO")},
                          {QStringLiteral("NumCertif"), num}};
            m.insert(more);
            return m;
        };
        const QDateTime issue = at(2024, 1 + i % 12, 1 + i % 28);
        w.addItem(QStringLiteral("CERTIFIC"),
                  key({{"IdClasseCertif", "COMP"},
                       {"IdClasseProd", 101},
                       {"DataEmissao", issue},
                       {"DataValid", issue.addYears(3)},
                       {"LabEnsaio", "Laboratório de Ensaios Elétricos"},
                       {"NumRelEnsaio", "RE-" + num},
                       {"Signatarios", "Eng. Maria Aparecida dos Santos"},
                       {"Completo", true}}),
                  issue);
        const QVariantMap conexa{{"CodigoPais", "BR"}, {"IdEmpresa", fabricante}};
        w.addItem(QStringLiteral("EMP_CERT"),
                  key({{"CodigoPais", "BR"}, {"IdEmpresa", fabricante}, {"IdPapelEmp", 1}, {"DthEntEmpresa", issue}}),
                  issue);
        w.addItem(QStringLiteral("EMP_CERT"),
                  key({{"CodigoPais", "BR"}, {"IdEmpresa", person}, {"IdPapelEmp", 3}, {"DthEntEmpresa", issue}}),
                  issue);
        QVariantMap product = conexa;
        product.insert({{"MarcaProd", "Conexa"}, {"ModeloProd", "TM-10A"}, {"Importado", 0}, {"DthEntCertif", issue}});
        w.addItem(QStringLiteral("TIPO"), key(product), issue);
        QVariantMap lot = product;
        lot.insert({{"NumLote", "L-" + num},
                    {"QuantLote", "1000"},
                    {"DataFabrLote", issue.addMonths(-1)},
                    {"NumProfInvoice", "PI-" + num}});
        w.addItem(QStringLiteral("LOTE"), key(lot), issue);
        QVariantMap unit = product;
        unit.insert({{"NumSerieProd", "SN-" + num},
                     {"LocalInstalacao", "Subestação Norte"},
                     {"EndCidade", "Campinas"},
                     {"SiglaUF", "SP"}});
        w.addItem(QStringLiteral("UNIDADE"), key(unit), issue);
        w.addItem(QStringLiteral("SERVICO"),
                  key({{"IdClasseServ", 10}, {"CodigoPais", "BR"}, {"IdEmpresa", fenix}, {"DthEntCertif", issue}}),
                  issue);
        w.addItem(QStringLiteral("DOC_NORM_CERT_PRODUTO"),
                  key({{"IdClasseCertif", "COMP"}, {"IdClasseProd", 101}, {"IdDocNorm", 1001}, {"DthEntDNCP", issue}}),
                  issue);
        w.changeStatus(QStringLiteral("TIPO"), key(product), QStringLiteral("SUS"), QStringLiteral("S"),
                       QStringLiteral("Não conformidade no ensaio de acompanhamento"), issue.addMonths(2));
    }
    t.commit();
}

int pdfPages(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    for (const QByteArray &line : p.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Run
{
    double msPerCertificate = 0;
    long peakKb = 0;
};

// The mirror painted into a PDF as the certificates are read.
Run run(Database &db, const QString &prefix, int n, const QString &pdf, QTextStream &out)
{
    CertificateFilter filter;
    filter.numero = prefix;
    QElapsedTimer timer;
    const double cpu = cpuSeconds();
    timer.start();
    QString why;
    const bool ok = CertificateMirrorReport::exportPdf(db, filter, true, QStringLiteral("Benchmark"), pdf, &why);
    const qint64 ms = timer.elapsed();
    const double cpuMs = (cpuSeconds() - cpu) * 1000;
    const Run r{cpuMs / n, peakRssKb()};
    out << QStringLiteral("%1 certificados: %2 ms (processador %3 ms), %4 páginas, %5 KiB%6\n")
               .arg(n)
               .arg(ms)
               .arg(qRound(cpuMs))
               .arg(pdfPages(pdf))
               .arg(QFileInfo(pdf).size() / 1024)
               .arg(ok ? QString() : QStringLiteral(" FALHOU: ") + why);
    out << QStringLiteral(
               "    %1 ms por certificado (%2 de processador; meta <= 5), memória residente %3 KiB, pico %4 KiB\n")
               .arg(double(ms) / n, 0, 'f', 2)
               .arg(r.msPerCertificate, 0, 'f', 2)
               .arg(currentRssKb())
               .arg(r.peakKb);
    out.flush();
    return r;
}

// The same report built whole first, as it was, for comparison: what the
// kept bands weigh and what they cost.
void runKept(Database &db, const QString &prefix, int n, const QString &pdf, QTextStream &out)
{
    CertificateFilter filter;
    filter.numero = prefix;
    const long before = currentRssKb();
    const double cpu = cpuSeconds();
    const BandedReport report = CertificateMirrorReport::build(db, filter, true, QStringLiteral("Benchmark"));
    const long withDocument = currentRssKb();
    report.exportPdf(pdf);
    out << QStringLiteral("mantido inteiro, %1 certificados: %2 ms por certificado (processador), documento +%3 KiB\n")
               .arg(n)
               .arg((cpuSeconds() - cpu) * 1000 / n, 0, 'f', 2)
               .arg(withDocument - before);
}

}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int n = argc > 1 ? qMax(10, QString::fromLocal8Bit(argv[1]).toInt()) : 5000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    AppPaths::setProgramDir(dir.path());
    const QString file = dir.filePath(QStringLiteral("db/bdocc.mdb"));
    Provisioning::Options options;
    options.adminPassword = QStringLiteral("admin");
    options.demo = true;
    Provisioning::createDatabase(file, options);
    Database db;
    db.open(file);
    QElapsedTimer timer;
    timer.start();
    writeCertificates(db, QStringLiteral("PEQ-"), n / 10);
    writeCertificates(db, QStringLiteral("GRD-"), n);
    out << QStringLiteral("base gerada com %1 certificados em %2 ms\n").arg(n + n / 10).arg(timer.elapsed());
    const Run small = run(db, QStringLiteral("PEQ-"), n / 10, dir.filePath(QStringLiteral("pequeno.pdf")), out);
    const Run large = run(db, QStringLiteral("GRD-"), n, dir.filePath(QStringLiteral("grande.pdf")), out);
    out << QStringLiteral("pico com %1 certificados: +%2 KiB sobre o de %3 (meta: até 10 MB)\n")
               .arg(n)
               .arg(large.peakKb - small.peakKb)
               .arg(n / 10);
    runKept(db, QStringLiteral("PEQ-"), n / 10, dir.filePath(QStringLiteral("mantido.pdf")), out);
    return 0;
}
