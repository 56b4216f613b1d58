#include "import/datastruct.h"
#include "import/importfilereader.h"
#include "support/importrecords.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ImportRecords;

class TestReader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name = QStringLiteral("TX-KEST0000000001.txt")) { return m_dir.filePath(name); }
    QString logText()
    {
        QFile f(m_dir.filePath(QStringLiteral("Log.txt")));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(f.readAll());
    }
    std::unique_ptr<ImportFileReader> reader(const QStringList &lines, bool utf8 = false, const char *eol = "\r\n")
    {
        QFile::remove(m_dir.filePath(QStringLiteral("Log.txt")));
        writeFile(file(), lines, utf8, eol);
        auto r = std::make_unique<ImportFileReader>(file(), QStringLiteral("KEST"), QStringLiteral("joao"));
        r->setLogDir(m_dir.path());
        return r;
    }
    // Reads the whole file: records in order and every warning.
    static std::vector<std::unique_ptr<TDataStruct>> readAll(ImportFileReader &r, QStringList *warnings)
    {
        std::vector<std::unique_ptr<TDataStruct>> out;
        while (!r.atEnd())
            if (auto rec = r.readNext())
                out.push_back(std::move(rec));
        *warnings = r.takeWarnings();
        return out;
    }

private slots:
    void headerWithCommentOpensRecord()
    {
        Certificate c;
        c.numcertif = QStringLiteral("CERT-001").leftJustified(30, QLatin1Char(' '));
        QStringList lines = c.lines(QStringLiteral("[CERTIFIC]  certificado novo [x]"));
        auto r = reader(lines);
        QVERIFY(r->open());
        QCOMPARE(r->totalLines(), 6);
        QStringList warnings;
        auto recs = readAll(*r, &warnings);
        QCOMPARE(int(recs.size()), 1);
        QVERIFY(warnings.isEmpty());
        TDataStruct *rec = recs.front().get();
        QCOMPARE(rec->className(), QStringLiteral("TCertificStruct"));
        QVERIFY2(rec->isValid(), qPrintable(logText()));
        QCOMPARE(rec->itemByName(QStringLiteral("Numcertif"))->value.size(), 30);
        QCOMPARE(rec->itemByName(QStringLiteral("Numcertif"))->trimmedValue(), QStringLiteral("CERT-001"));
        QCOMPARE(rec->itemByName(QStringLiteral("Observacoes"))->value, QStringLiteral("Observação"));
        QCOMPARE(rec->itemByName(QStringLiteral("Observacoes"))->lineNumber, 6);
        QCOMPARE(rec->itemByName(QStringLiteral("DthStatusCertificado"))->lineNumber, 2);
        QCOMPARE(r->linesRead(), 6);
        QVERIFY(r->atEnd());
        QVERIFY(!r->readNext());
    }

    void unknownHeaderAndStrayLinesAreReported()
    {
        Certificate c;
        QStringList lines = c.lines(QStringLiteral("[certific]"));
        lines << QString() << StatusC().lines();
        auto r = reader(lines);
        QVERIFY(r->open());
        QStringList warnings;
        auto recs = readAll(*r, &warnings);
        QCOMPARE(int(recs.size()), 1);
        QCOMPARE(recs.front()->className(), QStringLiteral("TStatusCStruct"));
        QCOMPARE(warnings,
                 QStringList({QStringLiteral("Foi encontrado um header inválido -->[certific] Verifique a linha 2"),
                              QStringLiteral("Linha não importada-->") + c.lab,
                              QStringLiteral("Linha não importada-->") + c.report,
                              QStringLiteral("Linha não importada-->") + c.signatories,
                              QStringLiteral("Linha não importada-->") + c.notes,
                              QStringLiteral("Linha não importada-->")}));
        // The status record's line numbers count every line of the file.
        QCOMPARE(recs.front()->itemByName(QStringLiteral("Justificativa"))->lineNumber, 10);
    }

    void unknownHeaderDoesNotSwallowTheNextRecord()
    {
        QStringList lines{QStringLiteral("[NADA]")};
        lines << StatusC().lines();
        auto r = reader(lines);
        QVERIFY(r->open());
        QStringList warnings;
        auto recs = readAll(*r, &warnings);
        QCOMPARE(int(recs.size()), 1);
        QCOMPARE(warnings,
                 QStringList{QStringLiteral("Foi encontrado um header inválido -->[NADA] Verifique a linha 2")});
    }

    void shortFirstLineReportsMissingDates()
    {
        Certificate c;
        QStringList lines = c.lines();
        lines[1] = lines[1].left(60); // ends after the issue date's first column
        auto r = reader(lines);
        QVERIFY(r->open());
        QStringList warnings;
        auto recs = readAll(*r, &warnings);
        QCOMPARE(int(recs.size()), 1);
        QVERIFY(!recs.front()->isValid());
        const QString log = logText();
        QVERIFY(log.contains(
            QStringLiteral("O campo obrigatório DataValid não foi encontrado. Verifique a linha 2 do arquivo txt.\n")));
        QVERIFY(log.contains(QStringLiteral(
            "O campo obrigatório DthStatusCertificado não foi encontrado. Verifique a linha 2 do arquivo txt.\n")));
        // The issue date was cut to its first character only.
        QVERIFY(
            log.contains(QStringLiteral("O valor ") + c.issue.left(1) + QStringLiteral(" não é uma date/time válido")));
    }

    void truncatedRecordAtEndOfFile()
    {
        QStringList lines = StatusC().lines();
        lines.removeLast(); // no justification line
        auto r = reader(lines);
        QVERIFY(r->open());
        QStringList warnings;
        auto recs = readAll(*r, &warnings);
        QCOMPARE(int(recs.size()), 1);
        QVERIFY(!recs.front()->isValid());
        QCOMPARE(recs.front()->itemByName(QStringLiteral("Justificativa"))->value, QString());
        QVERIFY(logText().contains(QStringLiteral("O campo obrigatório Justificativa não foi encontrado.")));
        QCOMPARE(r->linesRead(), 2);
    }

    void recordCutShortByNextHeader()
    {
        // A certificate that lost its last two optional lines: the status
        // record after it is still read as a record of its own.
        QStringList lines = Certificate().lines().mid(0, 4);
        lines << StatusC().lines();
        auto r = reader(lines);
        QVERIFY(r->open());
        QStringList warnings;
        auto recs = readAll(*r, &warnings);
        QCOMPARE(int(recs.size()), 2);
        QVERIFY(warnings.isEmpty());
        QCOMPARE(recs.at(0)->itemByName(QStringLiteral("Observacoes"))->value, QString());
        QCOMPARE(recs.at(1)->className(), QStringLiteral("TStatusCStruct"));
        QVERIFY(recs.at(1)->isValid());
    }

    void utf8AndLfOnlyFiles()
    {
        Certificate c;
        c.numcertif = QStringLiteral("CÉRT-ÇÃO");
        const QStringList lines = c.lines();
        for (bool utf8 : {true, false}) {
            for (const char *eol : {"\r\n", "\n"}) {
                auto r = reader(lines, utf8, eol);
                QVERIFY(r->open());
                QCOMPARE(r->totalLines(), 6);
                QCOMPARE(r->encoding(), utf8 ? ImportTextFile::Encoding::Utf8 : ImportTextFile::Encoding::Cp1252);
                auto rec = r->readNext();
                QVERIFY(rec);
                QVERIFY2(rec->isValid(), qPrintable(logText()));
                // Cut by characters: the status letter sits right after the number.
                QCOMPARE(rec->itemByName(QStringLiteral("Numcertif"))->trimmedValue(), c.numcertif);
                QCOMPARE(rec->itemByName(QStringLiteral("StatusCertificado"))->value, QStringLiteral("A"));
                QCOMPARE(rec->itemByName(QStringLiteral("LabEnsaio"))->value, c.lab);
                QVERIFY(r->atEnd());
            }
        }
    }

    void cp1252SpecificBytes()
    {
        QFile f(file());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QByteArray justification("\x93"
                                 "Aprovado\x94 \x96"
                                 " ok");
        f.write(StatusC().lines().mid(0, 2).join(QLatin1String("\r\n")).toLatin1() + "\r\n" + justification + "\r\n");
        f.close();
        ImportFileReader r(file(), QStringLiteral("KEST"), QStringLiteral("joao"));
        r.setLogDir(m_dir.path());
        QVERIFY(r.open());
        auto rec = r.readNext();
        QVERIFY(rec);
        QCOMPARE(rec->itemByName(QStringLiteral("Justificativa"))->value, QString::fromUtf8("“Aprovado” – ok"));
    }

    void missingFileDoesNotOpen()
    {
        ImportFileReader r(m_dir.filePath(QStringLiteral("nao-existe.txt")), QStringLiteral("KEST"), QString());
        QVERIFY(!r.open());
        QVERIFY(r.atEnd());
        QVERIFY(!r.readNext());
    }

    void headerDetection()
    {
        QCOMPARE(ImportFileReader::headerOf(QStringLiteral("[TIPO] resto ] x")), QStringLiteral("[TIPO]"));
        QCOMPARE(ImportFileReader::headerOf(QStringLiteral(" [TIPO]")), QString());
        QCOMPARE(ImportFileReader::headerOf(QStringLiteral("[TIPO")), QString());
        QCOMPARE(ImportFileReader::validHeaders().size(), 26);
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "test_reader.moc"
