// Certificate mirror with event log to PDF: N certificates (default 1000),
// each with two companies, a type, a lot, a unit, a service, a document and
// a status change. Runs N/10 first, then N, and prints for each the time to
// read the data, the time to paint the PDF, pages and size, and memory: the
// resident size the built document adds, and what painting adds on top of
// it. The painting figure staying flat from N/10 to N shows that pages are
// written out as they are painted.
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

void run(Database &db, const QString &prefix, int n, const QString &pdf, QTextStream &out)
{
    CertificateFilter filter;
    filter.numero = prefix;
    QElapsedTimer timer;
    const long before = currentRssKb();
    timer.start();
    const BandedReport report = CertificateMirrorReport::build(db, filter, true, QStringLiteral("Benchmark"));
    const qint64 buildMs = timer.elapsed();
    const long withDocument = currentRssKb();
    timer.restart();
    const bool ok = report.exportPdf(pdf);
    const qint64 paintMs = timer.elapsed();
    const long peak = peakRssKb();
    out << QStringLiteral("%1 certificados: dados %2 ms, PDF %3 ms (%4 ms por certificado), %5 páginas, %6 KiB%7\n")
               .arg(n)
               .arg(buildMs)
               .arg(paintMs)
               .arg(double(buildMs + paintMs) / n, 0, 'f', 2)
               .arg(pdfPages(pdf))
               .arg(QFileInfo(pdf).size() / 1024)
               .arg(ok ? QString() : QStringLiteral(" FALHOU"));
    out << QStringLiteral("    memória: documento +%1 KiB, pintura +%2 KiB além do documento, pico %3 KiB\n")
               .arg(withDocument - before)
               .arg(qMax(0L, peak - withDocument))
               .arg(peak);
    out.flush();
}

}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int n = argc > 1 ? qMax(10, QString::fromLocal8Bit(argv[1]).toInt()) : 1000;
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
    run(db, QStringLiteral("PEQ-"), n / 10, dir.filePath(QStringLiteral("pequeno.pdf")), out);
    run(db, QStringLiteral("GRD-"), n, dir.filePath(QStringLiteral("grande.pdf")), out);
    return 0;
}
