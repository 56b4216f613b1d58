#include "db/database.h"
#include "import/datastruct.h"
#include "import/descriptorfactory.h"
#include "support/importrecords.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace ImportRecords;

// Writing descriptors' rows: insert or update, status numbering, the date
// rule and the SQL trace.
class TestDescriptorsWrite : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir; // log directory
    std::unique_ptr<Database> m_db;
    ScriptedMessenger m_messenger;

    QString readLog(const QString &name)
    {
        QFile f(m_dir->filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    std::unique_ptr<TDataStruct> record(const QStringList &lines)
    {
        auto d = ImportDescriptors::createForHeader(lines.first(), QStringLiteral("KEST"), QStringLiteral("joao"));
        d->setLogDir(m_dir->path());
        d->setMessenger(&m_messenger);
        int index = -1;
        for (TDataStructItem *item : d->items()) {
            if (!item->inFile())
                continue;
            if (item->lineAdvance)
                ++index;
            item->value = lines.value(index + 1).mid(item->firstColumn - 1, item->width);
            item->lineNumber = index + 2;
        }
        d->Validate();
        return d;
    }

    QVariant value(const QString &sql) { return m_db->scalar(sql); }

private slots:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = std::make_unique<Database>(QStringLiteral("import_write_test"));
        m_home->open(*m_db);
        m_messenger.clear();
    }
    void cleanup()
    {
        m_db.reset();
        m_dir.reset();
        m_home.reset();
    }

    void insertThenUpdateCertificate()
    {
        Certificate c;
        c.status = QStringLiteral("a");
        c.lab = QStringLiteral("Laboratório d'Água; drop table CERTIFIC --");
        auto first = record(c.lines());
        QVERIFY2(first->isValid(), qPrintable(readLog(QStringLiteral("Log.txt"))));
        TWriteResult r = first->WriteRow(*m_db);
        QVERIFY2(r.succeeded, qPrintable(readLog(QStringLiteral("Log_BD.txt"))));
        QVERIFY(r.inserted);
        QCOMPARE(value("select StatusCertificado from CERTIFIC").toString(), QStringLiteral("a"));
        QCOMPARE(value("select LabEnsaio from CERTIFIC").toString(), c.lab);
        QCOMPARE(value("select UsuResp from CERTIFIC").toString(), QStringLiteral("joao"));
        QCOMPARE(value("select IdClasseProd from CERTIFIC").toInt(), 12);
        QCOMPARE(value("select DataEmissao from CERTIFIC").toDateTime(),
                 QDateTime(QDate::fromString(c.issue, QStringLiteral("dd/MM/yyyy")), QTime(0, 0)));
        const QDateTime stamp = value("select DthUltAtualiz from CERTIFIC").toDateTime();
        QVERIFY(stamp.isValid() && qAbs(stamp.secsTo(QDateTime::currentDateTime())) < 60);

        c.lab = QStringLiteral("   ");
        c.status = QStringLiteral("S");
        auto second = record(c.lines());
        r = second->WriteRow(*m_db);
        QVERIFY(r.succeeded);
        QVERIFY(!r.inserted);
        QCOMPARE(value("select count(*) from CERTIFIC").toInt(), 1);
        QVERIFY(value("select LabEnsaio from CERTIFIC").isNull());
        QCOMPARE(value("select StatusCertificado from CERTIFIC").toString(), QStringLiteral("S"));
        QVERIFY(m_messenger.messages.isEmpty());
    }

    void statusRowsAreNumberedAndNeverUpdated()
    {
        StatusC s;
        auto a = record(s.lines());
        QCOMPARE(a->FieldValue(a->itemByName(QStringLiteral("SeqEvento"))), QString()); // no database yet
        TWriteResult r = a->WriteRow(*m_db);
        QVERIFY2(r.succeeded && r.inserted, qPrintable(readLog(QStringLiteral("Log_BD.txt"))));
        QCOMPARE(value("select SeqEvento from STATUS_C").toInt(), 1);
        QCOMPARE(a->FieldValue(a->itemByName(QStringLiteral("SeqEvento"))), QStringLiteral("2"));

        // The same record again is a new event, numbered after the highest of the table.
        auto b = record(s.lines());
        r = b->WriteRow(*m_db);
        QVERIFY(r.succeeded && r.inserted);
        m_db->execute(QStringLiteral("update STATUS_C set SeqEvento = 7 where SeqEvento = 2"));
        s.numcertif = QStringLiteral("OUTRO");
        auto c = record(s.lines());
        QVERIFY(c->WriteRow(*m_db).inserted);
        QSqlQuery q = m_db->exec(QStringLiteral("select SeqEvento from STATUS_C order by SeqEvento"));
        QList<int> seq;
        while (q.next())
            seq << q.value(0).toInt();
        QCOMPARE(seq, QList<int>({1, 7, 8}));
    }

    void dateRuleAgainstIssueDateAndNow()
    {
        // A new certificate is measured against 01/01/1900: a status date
        // before its own issue date passes.
        Certificate c;
        c.statusDate = day(-40);
        QVERIFY(record(c.lines())->WriteRow(*m_db).succeeded);

        // Changing it with a status date in the future fails the update.
        c.statusDate = day(1);
        auto future = record(c.lines());
        QVERIFY(future->isValid());
        TWriteResult r = future->WriteRow(*m_db);
        QVERIFY(!r.succeeded);
        QVERIFY(!r.inserted);
        QVERIFY(readLog(QStringLiteral("Log_BD.txt"))
                    .endsWith(QStringLiteral("Não foi possível fazer a Atualização pois a data DthStatusCertificado é "
                                             "inferior a data emissão ou superior a data do sistema!\n")));
        // Only a new one is measured against 1900: stored, the status date it
        // was written with is now before its issue date.
        c.statusDate = day(-40);
        r = record(c.lines())->WriteRow(*m_db);
        QVERIFY(!r.succeeded && !r.inserted);

        // A status event before the stored issue date fails the insert; on the issue date it passes.
        StatusC s;
        s.date = day(-31);
        r = record(s.lines())->WriteRow(*m_db);
        QVERIFY(!r.succeeded);
        QVERIFY(r.inserted);
        QVERIFY(readLog(QStringLiteral("Log_BD.txt"))
                    .endsWith(QStringLiteral("Não foi possível fazer a inclusão pois a data DthStatusCertificado é "
                                             "inferior a data emissão ou superior a data do sistema!\n")));
        s.date = day(-30);
        QVERIFY(record(s.lines())->WriteRow(*m_db).succeeded);
        QCOMPARE(value("select count(*) from STATUS_C").toInt(), 1);
        QCOMPARE(value("select DthStatusCertificado from CERTIFIC").toDateTime().date(),
                 QDate::currentDate().addDays(-40));
    }

    void sqlTraceLayout()
    {
        StatusC s;
        s.justificativa = QStringLiteral("Pedido do cliente's");
        auto d = record(s.lines());
        QVERIFY(d->WriteRow(*m_db).succeeded);
        QString log = readLog(QStringLiteral("Log_BD.txt"));
        static const QRegularExpression stamp(QStringLiteral("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d"));
        // The row's DthUltAtualiz is the moment of validation.
        QVERIFY(log.contains(QStringLiteral("\np0=") + d->itemByName(QStringLiteral("DthUltAtualiz"))->value +
                             QLatin1Char('\n')));
        log.replace(stamp, QStringLiteral("<agora>"));
        const QString expected =
            QStringLiteral(
                "********* <agora> ***********\n"
                "Vai tentar executar\n"
                "Insert into STATUS_C\n(\nDthUltAtualiz,\nUsuResp,\nSiglaCertificador,\nNumcertif,\nEvento,\n"
                "HistoricoSis,\nStatusCertificado,\nDthStatusCertificado,\nJustificativa,\nSeqEvento\n)\nvalues (\n"
                ":p0 ,\n:p1 ,\n:p2 ,\n:p3 ,\n:p4 ,\n:p5 ,\n:p6 ,\n:p7 ,\n:p8 ,\n:p9\n)\n"
                "\n"
                "p0=<agora>\np1=joao\np2=KEST\np3=CERT-001\np4=ALT\np5=2\np6=A\np7=%1\np8=Pedido do cliente's\np9=1\n"
                "Executou com Sucesso\n"
                "*************************************\n")
                .arg(s.date);
        QCOMPARE(log, expected);
        QCOMPARE(value("select Justificativa from STATUS_C").toString(), s.justificativa);
    }

    void failedStatementIsTracedAndShown()
    {
        Certificate c;
        QVERIFY(record(c.lines())->WriteRow(*m_db).succeeded);
        QFile::remove(m_dir->filePath(QStringLiteral("Log_BD.txt")));
        m_db->exec(QStringLiteral("drop table CERTIFIC"));
        c.lab.clear();
        TWriteResult r = record(c.lines())->WriteRow(*m_db);
        QVERIFY(!r.succeeded);
        QVERIFY(r.inserted); // the failed existence test counts as a missing row
        QCOMPARE(m_messenger.messages.size(), 1);
        QCOMPARE(m_messenger.lastKind(), ScriptedMessenger::Error);
        QVERIFY(m_messenger.lastText().contains(QStringLiteral("CERTIFIC"), Qt::CaseInsensitive));
        const QStringList lines = readLog(QStringLiteral("Log_BD.txt")).split(QLatin1Char('\n'));
        const int failure = lines.indexOf(QStringLiteral("--------------FALHA NA EXECUÇÃO!------------------"));
        QVERIFY(failure > 0);
        QVERIFY(lines.at(failure + 1).startsWith(QStringLiteral("********* ")));
        QCOMPARE(lines.at(failure + 2), QStringLiteral("Insert into CERTIFIC"));
        QVERIFY(lines.contains(QStringLiteral("p10="))); // LabEnsaio bound as NULL
        QCOMPARE(lines.at(lines.size() - 3), m_messenger.lastText());
        QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("*************************************"));
        QVERIFY(!lines.contains(QStringLiteral("Executou com Sucesso")));
    }

    void sequenceErrorIsLogged()
    {
        m_db->exec(QStringLiteral("drop table STATUS_T"));
        auto d = ImportDescriptors::createForStatusTable(QStringLiteral("STATUS_T"), QStringLiteral("KEST"), QString());
        d->setLogDir(m_dir->path());
        d->setDatabase(m_db.get());
        QCOMPARE(d->FieldValue(d->itemByName(QStringLiteral("SeqEvento"))), QString());
        QCOMPARE(readLog(QStringLiteral("Log.txt")), QStringLiteral("Erro sequencial para a tabela STATUS_T\n"));
    }
};

QTEST_GUILESS_MAIN(TestDescriptorsWrite)
#include "test_descriptors_write.moc"
