// What the import refuses and what it tells: files that yield no record,
// the byte-order mark, day-precision dates, 16-bit columns, control
// characters, history rows of items that do not exist, and the batch tool's
// list of lines not imported.
#include "base/cp1252.h"
#include "support/clirun.h"
#include "support/importrunfixture.h"
#include "support/testdb.h"

#include <QtTest>

using B = ImportFileBuilder;

namespace {

QByteArray utf16WithMark(const QByteArray &utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}

class TestImportChecks : public QObject
{
    Q_OBJECT

private slots:
    void fileWithoutRecordsFails_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        const QByteArray good = B(ImportRunFixture::Sigla).completeCertificate("C-1").bytes();
        QTest::newRow("empty") << QByteArray() << "o arquivo está vazio";
        QTest::newRow("blank lines") << QByteArray("\r\n\r\n   \r\n") << "nenhuma linha de cabeçalho de registro";
        QTest::newRow("NULs") << QByteArray(300, '\0') << "caracteres nulos";
        QTest::newRow("UTF-16") << utf16WithMark(good) << "UTF-16";
        QTest::newRow("truncated header") << QByteArray("[CERTIF") << "nenhuma linha de cabeçalho de registro";
    }
    // Nothing imported is no import: the file fails, is not recorded, and
    // the corrected file of the same name is taken afterwards.
    void fileWithoutRecordsFails()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        ImportRunFixture f;
        const QString name = ImportRunFixture::name(1);
        QVERIFY(writeBytes(f.path(name), content));
        QVERIFY(!f.run());
        const QString expected = "Nenhum registro foi encontrado no arquivo " + name + ": ";
        bool told = false;
        for (const QString &t : f.msg.texts())
            told = told || (t.startsWith(expected) && t.contains(why));
        QVERIFY2(told, qPrintable(f.msg.texts().join('\n')));
        QCOMPARE(f.failedFiles, f.base(name));
        QVERIFY(f.read("ERRO" + f.base(name) + ".txt").contains(expected));
        QCOMPARE(f.count("CONTROLE_TXT"), 0);

        f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1"));
        QVERIFY(f.run());
        QCOMPARE(f.count("CERTIFIC"), 1);
        QCOMPARE(f.count("CONTROLE_TXT"), 1);
    }

    // An editor's byte-order mark before a file in the ANSI code page.
    void byteOrderMarkIsSkipped()
    {
        ImportRunFixture f;
        B::Values cert = B::certific("C-1");
        cert.insert("LabEnsaio", QStringLiteral("Laboratório São João"));
        B b(ImportRunFixture::Sigla);
        b.record("[CERTIFIC]", cert);
        QByteArray bytes("\xEF\xBB\xBF");
        for (const QString &line : b.lines())
            bytes += Cp1252::fromUnicode(line) + "\r\n";
        QVERIFY(writeBytes(f.path(ImportRunFixture::name(1)), bytes));
        QVERIFY2(f.run(), qPrintable(f.msg.texts().join('\n')));
        QVERIFY(f.observer.warningLines.isEmpty());
        QCOMPARE(f.db->scalar("select LabEnsaio from CERTIFIC").toString(), QStringLiteral("Laboratório São João"));
    }

    // A certificate stored with a time of day takes a status of its issue day.
    void datesAreComparedAsWholeDays()
    {
        ImportRunFixture f;
        f.write(1, B(ImportRunFixture::Sigla).completeCertificate("W-1"));
        QVERIFY(f.run());
        f.db->execute(QStringLiteral("update CERTIFIC set DataEmissao = ? where NumCertif = 'W-1'"),
                      {QDateTime(QDate(2020, 1, 1), QTime(15, 30))});
        B b(ImportRunFixture::Sigla);
        b.record("[CERTIFIC]", B::certific("W-1", "S"));
        B::Values sus = B::statusC("W-1", "SUS");
        sus.insert("StatusCertificado", "S");
        sus.insert("DthStatusCertificado", "01/01/2020");
        b.record("[STATUS_C]", sus);
        f.write(2, b);
        QVERIFY2(f.run(), qPrintable(f.msg.texts().join('\n')));
        QCOMPARE(f.count("STATUS_C", "Evento = 'SUS'"), 1);
    }

    void valuesTheColumnsCannotHoldAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("16-bit column") << "IdClasseProd"
                                       << "70000"
                                       << "não é um integer válido Verifique a linha 2";
        QTest::newRow("negative 16-bit") << "IdClasseProd"
                                         << "-40000"
                                         << "não é um integer válido";
        QTest::newRow("NUL") << "LabEnsaio" << QStringLiteral("La") + QChar(0) + QStringLiteral("b")
                             << "O valor do campo LabEnsaio contém um caractere de controle (código 0)";
        QTest::newRow("tab") << "Observacoes"
                             << "a\tb"
                             << "(código 9), que não é permitido. Verifique a linha 6";
        QTest::newRow("carriage return") << "Signatarios"
                                         << "a\rb"
                                         << "(código 13)";
    }
    void valuesTheColumnsCannotHoldAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        ImportRunFixture f;
        B::Values cert = B::certific("V-1");
        cert.insert(field, value);
        const QString name = f.write(1, B(ImportRunFixture::Sigla).record("[CERTIFIC]", cert));
        QVERIFY(!f.run());
        QCOMPARE(f.observer.entries, QStringList{"TCertificStruct-NO"});
        QVERIFY2(f.read("ERRO" + f.base(name) + ".txt").contains(message),
                 qPrintable(f.read("ERRO" + f.base(name) + ".txt")));
        QCOMPARE(f.count("CERTIFIC"), 0);
    }

    void largestSmallIntegerIsAccepted()
    {
        ImportRunFixture f;
        B::Values cert = B::certific("V-1");
        cert.insert("IdClasseProd", "32767");
        f.write(1, B(ImportRunFixture::Sigla).record("[CERTIFIC]", cert));
        QVERIFY2(f.run(), qPrintable(f.msg.texts().join('\n')));
        QCOMPARE(f.db->scalar("select IdClasseProd from CERTIFIC").toInt(), 32767);
    }

    // A history record needs its item, in the database or anywhere in the file.
    void historyOfAMissingItemIsRefused()
    {
        ImportRunFixture f;
        B orphan(ImportRunFixture::Sigla);
        orphan.record("[STATUS_C]", B::statusC("NAO-EXISTE"));
        B::Values statusT{{"Numcertif", "NAO-EXISTE"}, {"Importado", "1"},     {"Evento", "ALT"},
                          {"HistoricoSis", "1"},       {"StatusProduto", "A"}, {"DthStatusProduto", "02/01/2020"},
                          {"MarcaProd", "M"},          {"ModeloProd", "X"},    {"justificativa", "Ajuste"}};
        orphan.record("[STATUS_T]", statusT);
        const QString name = f.write(1, orphan);
        QVERIFY(!f.run());
        const QString log = f.read("ERROBD" + f.base(name) + ".txt");
        QVERIFY2(log.contains("O registro de histórico da tabela STATUS_C não tem o item correspondente na tabela "
                              "CERTIFIC, nem na base de dados nem no arquivo") &&
                     log.contains("NumCertif: NAO-EXISTE") && log.contains("Verifique a linha 2 do arquivo txt."),
                 qPrintable(log));
        QVERIFY(log.contains("da tabela STATUS_T não tem o item correspondente na tabela TIPO"));
        QCOMPARE(f.count("STATUS_C"), 0);
        QCOMPARE(f.count("STATUS_T"), 0);
        QCOMPARE(f.count("CONTROLE_TXT"), 0);

        // The certificate further down the same file is its item.
        B later(ImportRunFixture::Sigla);
        later.record("[STATUS_C]", B::statusC("N-1", "INC"));
        later.completeCertificate("N-1");
        f.write(2, later);
        QVERIFY2(f.run({ImportRunFixture::name(2)}), qPrintable(f.msg.texts().join('\n')));
        QCOMPARE(f.count("STATUS_C", "NumCertif = 'N-1'"), 2);
    }

    // An item the file wrote is found by its history in other letter case as
    // the engine compares: ASCII letters on both, others on the server only.
    void historyFindsItsItemWrittenByTheFile()
    {
        ImportRunFixture f;
        B file(ImportRunFixture::Sigla);
        file.completeCertificate("N-2");
        file.record("[STATUS_C]", B::statusC("n-2"));
        f.write(1, file);
        QVERIFY2(f.run({ImportRunFixture::name(1)}), qPrintable(f.msg.texts().join('\n')));
        QCOMPARE(f.count("STATUS_C", "NumCertif = 'N-2'"), 2);

        B accented(ImportRunFixture::Sigla);
        accented.completeCertificate("Ç-3");
        accented.record("[STATUS_C]", B::statusC("ç-3"));
        const QString name = f.write(2, accented);
        QCOMPARE(f.run({ImportRunFixture::name(2)}), TestDb::onServer());
        if (!TestDb::onServer())
            QVERIFY(f.read("ERROBD" + f.base(name) + ".txt")
                        .contains("da tabela STATUS_C não tem o item correspondente na tabela CERTIFIC"));
    }

    // The batch tool lists the lines it did not import, with line and reason.
    void batchToolPrintsTheWarnings()
    {
        ImportRunFixture f;
        B b(ImportRunFixture::Sigla);
        b.completeCertificate("C-1");
        b.line(QString());
        b.line("sobra");
        const QString name = f.write(1, b);
        const int blank = int(b.lines().size()) - 1;
        const CliRun::Result r = CliRun::run(QStringList{"import"} + CliRun::signedIn(f.home->dir()) << f.dir(),
                                             CliRun::Options().within(60000));
        QVERIFY(r.code != -1);
        const QString err = r.err;
        QCOMPARE(r.code, 0);
        QVERIFY2(
            err.contains(
                QStringLiteral("AVISO: %1, linha %2: Linha não importada--> (linha em branco").arg(name).arg(blank)),
            qPrintable(err));
        QVERIFY2(
            err.contains(QStringLiteral("AVISO: %1, linha %2: Linha não importada-->sobra (esperava-se o cabeçalho")
                             .arg(name)
                             .arg(blank + 1)),
            qPrintable(err));
        QCOMPARE(f.count("CERTIFIC"), 1);
    }
};

QTEST_GUILESS_MAIN(TestImportChecks)
#include "test_import_checks.moc"
