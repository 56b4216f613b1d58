// The certificate mirror of a large selection: painted as it is read, in
// blocks for the preview, with the pages the kept report has.
#include "reports/certificatemirror.h"
#include "shell/programdatabase.h"
#include "support/reportfixture.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"
#include "widgets/pagedpreview.h"

#include <QAction>
#include <QLabel>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace ReportFixture;

class TestMirrorPages : public QObject
{
    Q_OBJECT

    static constexpr int Count = 120;

    // M-001 to M-120: a company with a lot, a unit and a service each, a
    // general document and a status change; every tenth one has a second
    // company, long remarks and thirty more lots, so certificates differ in
    // length.
    static void writeCertificates(Database &db)
    {
        Writer w(db);
        Transaction t(db);
        const QVariantMap alfa = w.company("BR", DemoData::cnpjFrom("111444777000"),
                                           {{"CGC", DemoData::cnpjFrom("111444777000")},
                                            {"RazSocialEmp", "Alfa Indústria Ltda."},
                                            {"EndCidade", "São Paulo"},
                                            {"TipoPessoa", "1"}});
        const QVariantMap beta = w.company("BR", DemoData::cnpjFrom("222555888000"),
                                           {{"CGC", DemoData::cnpjFrom("222555888000")},
                                            {"RazSocialEmp", "Beta Serviços Ltda."},
                                            {"TipoPessoa", "1"}});
        for (int i = 1; i <= Count; ++i) {
            const QString num = QStringLiteral("M-%1").arg(i, 3, 10, QLatin1Char('0'));
            const QDateTime issue = at(2024, 1 + i % 12, 1 + i % 28);
            w.certificate(num, true, issue);
            w.link(num, alfa, 1, issue);
            const QString remark = i % 10 == 0 ? QStringLiteral("Observação longa. ").repeated(13) : QString();
            w.product("LOTE", num, "Marca X", "Modelo L", 0, alfa,
                      {{"NumLote", "L-" + num}, {"QuantLote", "500"}, {"NumProfInvoice", "PI-" + num}}, issue);
            w.product("UNIDADE", num, "Marca Y", "Modelo U", 1, alfa,
                      {{"NumSerieProd", "SN-" + num}, {"LocalInstalacao", "Fábrica"}, {"Observacoes", remark}}, issue);
            // A table that runs onto further pages, its heading repeated.
            for (int lot = 1; i % 10 == 0 && lot <= 30; ++lot)
                w.product("LOTE", num, "Marca X", "Modelo L", 0, alfa,
                          {{"NumLote", QStringLiteral("L-%1-%2").arg(num).arg(lot)}, {"QuantLote", "10"}}, issue);
            if (i % 10 == 0)
                w.link(num, beta, 6, issue.addDays(1));
            w.service(num, 10, beta, remark, issue);
            w.generalDocument(num, 1001, issue);
            w.raw().changeStatus(
                "LOTE",
                w.with(
                    num,
                    {{"NumLote", "L-" + num}, {"MarcaProd", "Marca X"}, {"ModeloProd", "Modelo L"}, {"Importado", 0}}),
                "SUS", "S", "Lote em análise", issue.addMonths(1));
        }
        t.commit();
    }

    static CertificateFilter all()
    {
        CertificateFilter f;
        f.numero = QStringLiteral("M-");
        return f;
    }

    static void writePdf(QPdfWriter &writer)
    {
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                         QPageLayout::Millimeter));
    }

    struct Fixture
    {
        TestHome home{true};
        ProgramDatabase dm;
        QTemporaryDir out;
        Fixture() { writeCertificates(dm.database()); }
        Database &db() { return dm.database(); }
        QString path(const char *name) const { return out.filePath(QLatin1String(name)); }
    };

private slots:
    void streamedPdfHasTheKeptReportsPages()
    {
        Fixture f;
        const QString kept = f.path("kept.pdf"), streamed = f.path("streamed.pdf");
        QVERIFY(CertificateMirrorReport::build(f.db(), all(), true, "Ana").exportPdf(kept));
        QString why;
        QVERIFY2(CertificateMirrorReport::exportPdf(f.db(), all(), true, "Ana", streamed, &why), qPrintable(why));

        const int pages = pdfPages(kept);
        QVERIFY(pages > Count); // the long ones run onto more pages
        QCOMPARE(pdfPages(streamed), pages);
        QCOMPARE(pdfText(streamed, 1), pdfText(kept, 1));
        QVERIFY(pdfText(streamed, 1).contains("Nº Certificado: M-001"));
        QCOMPARE(pdfText(streamed, pages), pdfText(kept, pages));
        QVERIFY(pdfText(streamed, pages).contains(QStringLiteral("Pag Data %1 ").arg(pages)));
        QCOMPARE(pdfText(streamed), pdfText(kept));
    }

    // Each block goes on from the page the one before it ended on, and its
    // pages are the whole report's.
    void blocksContinueTheWholeReportsPages()
    {
        Fixture f;
        const QString whole = f.path("whole.pdf");
        CertificateMirrorPages pages(f.db(), all(), false, "Ana", 50);
        QVERIFY(pages.exportPdf(whole));
        QCOMPARE(pages.certificateCount(), Count);
        QCOMPARE(pages.blockCount(), 3);
        QCOMPARE(pages.blockLabel(0), QStringLiteral("Certificados 1 a 50 de 120"));
        QCOMPARE(pages.blockLabel(2), QStringLiteral("Certificados 101 a 120 de 120"));

        int first = 1;
        for (int block = 0; block < 3; ++block) {
            const QString part = f.path("part.pdf");
            int painted = 0;
            {
                QPdfWriter writer(part);
                writePdf(writer);
                painted = pages.renderBlock(block, writer, first);
            }
            QVERIFY(painted >= (block < 2 ? 50 : 20)); // a certificate at least a page
            QCOMPARE(pdfPages(part), painted);
            QCOMPARE(pdfText(part, 1), pdfText(whole, first));
            QCOMPARE(pdfText(part, painted), pdfText(whole, first + painted - 1));
            first += painted;
        }
        QCOMPARE(first - 1, pdfPages(whole));
    }

    // Unit, lot and service events are found through their items; an event
    // whose item is gone is still listed.
    void eventsOfAnItemNoLongerThereAreListed()
    {
        Fixture f;
        CertificateFilter one;
        one.numeros = QStringList{"M-002"};
        const QString before = f.path("before.pdf"), after = f.path("after.pdf");
        QVERIFY(CertificateMirrorReport::exportPdf(f.db(), one, true, "Ana", before));
        QVERIFY(pdfText(before).contains("Lote em análise"));
        f.db().execute("delete from LOTE where NumCertif = 'M-002' and NumLote = 'L-M-002'");
        QVERIFY(CertificateMirrorReport::exportPdf(f.db(), one, true, "Ana", after));
        const QString s = pdfText(after);
        QVERIFY(!s.contains("Nº. Lote: L-M-002"));
        QVERIFY(s.contains("Lote em análise"));
        QCOMPARE(s.count(QStringLiteral("Lote em análise")), pdfText(before).count(QStringLiteral("Lote em análise")));
    }

    void previewShowsOneBlockAtATime()
    {
        Fixture f;
        CertificateMirrorPages pages(f.db(), all(), true, "Ana", 50);
        const QString whole = f.path("whole.pdf");
        QVERIFY(pages.exportPdf(whole));
        const int total = pdfPages(whole);
        ScriptedMessenger messenger;
        QPrinter printer(QPrinter::HighResolution);
        PagedPreview preview(pages, printer, messenger);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        auto *view = preview.findChild<QPrintPreviewWidget *>("PreviewPaginas");
        auto *blockLabel = preview.findChild<QLabel *>("LbBloco");
        auto *pageLabel = preview.findChild<QLabel *>("LbPagina");
        auto *previous = preview.findChild<QAction *>("actBlocoAnterior");
        auto *next = preview.findChild<QAction *>("actProximoBloco");
        QVERIFY(view && blockLabel && pageLabel && previous && next);

        const int firstBlock = view->pageCount();
        QVERIFY(firstBlock >= 50);
        // One block, not the whole report (the printer's resolution differs
        // from the PDF's, so its page count may differ slightly).
        QVERIFY(firstBlock < total / 2);
        QCOMPARE(blockLabel->text().trimmed(), QStringLiteral("Certificados 1 a 50 de 120"));
        QCOMPARE(pageLabel->text().trimmed(), QStringLiteral("Página 1 (1 a %1)").arg(firstBlock));
        QVERIFY(!previous->isEnabled());

        preview.findChild<QAction *>("actProximaPagina")->trigger();
        QCOMPARE(view->currentPage(), 2);
        QCOMPARE(pageLabel->text().trimmed(), QStringLiteral("Página 2 (1 a %1)").arg(firstBlock));

        next->trigger();
        QCOMPARE(preview.block(), 1);
        QCOMPARE(view->currentPage(), 1);
        QCOMPARE(blockLabel->text().trimmed(), QStringLiteral("Certificados 51 a 100 de 120"));
        QVERIFY(pageLabel->text().startsWith(QStringLiteral(" Página %1 (%1 a ").arg(firstBlock + 1)));
        const int secondBlock = view->pageCount();
        next->trigger();
        QCOMPARE(preview.block(), 2);
        QVERIFY(!next->isEnabled());
        const int last = firstBlock + secondBlock + view->pageCount();
        QCOMPARE(pageLabel->text().trimmed(),
                 QStringLiteral("Página %1 (%1 a %2)").arg(firstBlock + secondBlock + 1).arg(last));

        previous->trigger();
        previous->trigger();
        QCOMPARE(preview.block(), 0);
        QCOMPARE(view->pageCount(), firstBlock);
        QVERIFY(messenger.messages.isEmpty());
    }
};

QTEST_MAIN(TestMirrorPages)
#include "test_mirror_pages.moc"
