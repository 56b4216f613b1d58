#include "support/importrunfixture.h"

#include <QtTest>

using B = ImportFileBuilder;

namespace {

QStringList recordLines(const QString &header, const B::Values &values, const QString &sigla = ImportRunFixture::Sigla)
{
    B b(sigla);
    b.record(header, values);
    return b.lines();
}

}

// Every damaged file ends in the logs beside it, leaves nothing in the
// database, and the next file of the folder is imported as usual.
class TestImportRunMalformed : public QObject
{
    Q_OBJECT

private slots:
    void damagedFileIsRolledBack_data()
    {
        QTest::addColumn<QStringList>("damaged");
        QTest::addColumn<QString>("message");

        QStringList unknown = recordLines("[CERTIFIC]", B::certific("M-2"));
        unknown[0] = "[CERTIFICADO]";
        QTest::newRow("unknown header") << unknown
                                        << "Foi encontrado um header inválido -->[CERTIFICADO] Verifique a linha 13";
        QStringList lower = recordLines("[CERTIFIC]", B::certific("M-2"));
        lower[0] = "[certific]";
        QTest::newRow("lower-case header") << lower << "Foi encontrado um header inválido -->[certific]";

        QStringList shortLine = recordLines("[CERTIFIC]", B::certific("M-2"));
        shortLine[1] = shortLine[1].left(60);
        QTest::newRow("short line") << shortLine
                                    << "O campo obrigatório DataValid não foi encontrado. Verifique a linha 13 do "
                                       "arquivo txt.";
        QStringList cut = recordLines("[EMP_CERT]", B::empCert("M-1", "Empresa M-1"));
        cut.removeLast();
        QTest::newRow("file ends inside a record") << cut << "O campo obrigatório IdEmpresa não foi encontrado.";

        B::Values bad = B::certific("M-2");
        bad["DataEmissao"] = "31/02/2026";
        QTest::newRow("impossible date") << recordLines("[CERTIFIC]", bad)
                                         << "O valor 31/02/2026 não é uma date/time válido Verifique a linha 13 do "
                                            "arquivo txt.";
        bad = B::certific("M-2");
        bad["IdClasseProd"] = "abc";
        QTest::newRow("integer") << recordLines("[CERTIFIC]", bad) << "O valor abc";
        bad = B::certific("M-2");
        bad["SiglaCertificador"] = "OUTRO";
        QTest::newRow("certifier") << recordLines("[CERTIFIC]", bad)
                                   << "Erro na SIGLA do Certtificador! Verifique a linha 13 do arquivo txt.";
        const QString brand(106, QLatin1Char('B'));
        QTest::newRow("brand of 106") << recordLines("[PRODUTO]", B::produto(brand, "X"))
                                      << "O Tamanho do conteudo do campo MARCAPROD " + brand +
                " temporariamente não pode ser superior a 105 caracteres";
        QTest::newRow("model of 106") << recordLines("[PRODUTO]", B::produto("X", QString(106, QLatin1Char('m'))))
                                      << "O Tamanho do conteudo do campo MODELOPROD ";
    }

    void damagedFileIsRolledBack()
    {
        QFETCH(QStringList, damaged);
        QFETCH(QString, message);
        ImportRunFixture f;
        B first(ImportRunFixture::Sigla);
        first.record("[CERTIFIC]", B::certific("M-1")); // lines 1-6
        first.record("[EMPRESA]", B::empresa("Empresa M-1")); // lines 7-11
        B bad(first);
        for (const QString &l : damaged)
            bad.line(l);
        const QString name = f.write(1, bad);
        const QString next = f.write(2, B(ImportRunFixture::Sigla).completeCertificate("N-1"));

        QVERIFY(!f.run());
        QCOMPARE(f.observer.finished, (QStringList{name + ":NO", next + ":OK"}));
        const QString log = f.read("ERRO" + f.base(name) + ".txt");
        QVERIFY2(log.contains(message), qPrintable(log));
        QCOMPARE(f.count("CERTIFIC", "NumCertif like 'M-%'"), 0);
        QCOMPARE(f.count("EMPRESA", "IdEmpresa = 'Empresa M-1'"), 0);
        QCOMPARE(f.count("CERTIFIC", "NumCertif = 'N-1' and Aprovado = 1"), 1);
        QCOMPARE(f.count("CONTROLE_TXT"), 1);
    }

    void blankLinesAreOnlyWarnings()
    {
        ImportRunFixture f;
        B b(ImportRunFixture::Sigla);
        b.record("[CERTIFIC]", B::certific("W-1"), "   comentário depois do colchete");
        b.line("");
        b.record("[EMPRESA]", B::empresa("Empresa W-1"));
        b.line("texto solto");
        const QString name = f.write(1, b);
        QVERIFY(f.run());
        QCOMPARE(f.observer.warningLines, (QStringList{"Linha não importada-->", "Linha não importada-->texto solto"}));
        QCOMPARE(f.count("CERTIFIC", "NumCertif = 'W-1'"), 1);
        QVERIFY(!f.exists("ERRO" + f.base(name) + ".txt"));
    }
};

QTEST_GUILESS_MAIN(TestImportRunMalformed)
#include "test_importrun_malformed.moc"
