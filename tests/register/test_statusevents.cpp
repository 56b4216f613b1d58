#include "db/database.h"
#include "db/schema.h"
#include "import/importsession.h"
#include "register/statusevents.h"
#include "support/importrunfixture.h"
#include "support/testdb.h"
#include "support/testhome.h"

#include <QMutex>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

using namespace StatusEvents;
using B = ImportFileBuilder;

namespace {

const QString Sigla = QStringLiteral("OCT");

// A key for any event table: every key column gets a value of its type.
ItemKey sampleKey(Table table, const QString &num)
{
    ItemKey key;
    for (const QString &col : keyColumns(table)) {
        const Schema::Field *f = Schema::table(tableName(table))->field(col);
        if (f->type == Schema::FieldType::Text)
            key.insert(col,
                       col.compare(QLatin1String("NumCertif"), Qt::CaseInsensitive) == 0 ? num : QStringLiteral("x'"));
        else
            key.insert(col, 7);
    }
    key.insert(QStringLiteral("SiglaCertificador"), Sigla);
    return key;
}

Event makeEvent(const ItemKey &key, const QString &evento = QStringLiteral("SUS"),
                const QString &just = QStringLiteral("motivo"))
{
    Event e;
    e.key = key;
    e.evento = evento;
    e.justificativa = just;
    e.status = QStringLiteral("S");
    e.statusDate = QDateTime(QDate(2026, 3, 4), QTime(0, 0));
    e.writtenAt = QDateTime(QDate(2026, 3, 5), QTime(10, 11, 12));
    e.user = QStringLiteral("admin");
    return e;
}

}

class TestStatusEvents : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;

    int count(const QString &table, const QString &where = QString())
    {
        return m_db
            ->scalar(QStringLiteral("select count(*) from ") + table +
                     (where.isEmpty() ? QString() : QStringLiteral(" where ") + where))
            .toInt();
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        m_db = std::make_unique<Database>();
        m_home->open(*m_db);
    }
    void cleanup()
    {
        m_db.reset();
        m_home.reset();
    }

    void numbersAcrossTheWholeTable()
    {
        QCOMPARE(nextSeqEvento(*m_db, Table::Status_C), 1);
        QCOMPARE(insert(*m_db, Table::Status_C, makeEvent(certificateKey(Sigla, "A-1"))), 1);
        QCOMPARE(insert(*m_db, Table::Status_C, makeEvent(certificateKey(Sigla, "B-2"))), 2);
        QCOMPARE(insert(*m_db, Table::Status_C, makeEvent(certificateKey(Sigla, "A-1"))), 3);
        // Another table numbers on its own.
        QCOMPARE(insert(*m_db, Table::Status_T, makeEvent(sampleKey(Table::Status_T, "A-1"))), 1);
        // A gap left by a deleted row is not refilled: the highest decides.
        QVERIFY(remove(*m_db, Table::Status_C, certificateKey(Sigla, "B-2"), 2));
        QCOMPARE(nextSeqEvento(*m_db, Table::Status_C), 4);
        QCOMPARE(nextSeqEvento(*m_db, QStringLiteral("status_c")), 4);
        QVERIFY_THROWS_EXCEPTION(AppError, nextSeqEvento(*m_db, QStringLiteral("CERTIFIC")));
    }

    void storesTheRowAsGiven()
    {
        Event e = makeEvent(certificateKey(Sigla, "O'Brien/1"), "ALT", QString());
        insert(*m_db, Table::Status_C, e);
        e.justificativa = QStringLiteral("   ");
        insert(*m_db, Table::Status_C, e);
        e.justificativa = QStringLiteral("Troca de endereço");
        e.historicoSis = OrigemHistoricoUsuario;
        insert(*m_db, Table::Status_C, e);

        QSqlQuery q = m_db->exec("select NumCertif, Evento, Justificativa, HistoricoSis, StatusCertificado, "
                                 "DthStatusCertificado, DthUltAtualiz, UsuResp from STATUS_C order by SeqEvento");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("O'Brien/1"));
        QCOMPARE(q.value(1).toString(), QString("ALT"));
        QVERIFY(q.value(2).isNull());
        QCOMPARE(q.value(3).toString(), QString("2"));
        QCOMPARE(q.value(4).toString(), QString("S"));
        QCOMPARE(q.value(5).toDateTime(), e.statusDate);
        QCOMPARE(q.value(6).toDateTime(), e.writtenAt);
        QCOMPARE(q.value(7).toString(), QString("admin"));
        QVERIFY(q.next());
        QVERIFY(q.value(2).isNull()); // blanks only count as empty
        QVERIFY(q.next());
        QCOMPARE(q.value(2).toString(), QString("Troca de endereço"));
        QCOMPARE(q.value(3).toString(), QString("1"));
        QCOMPARE(count("STATUS_C", "Justificativa = ''"), 0);

        // Without a time of writing the row is stamped now.
        e.writtenAt = QDateTime();
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const int seq = insert(*m_db, Table::Status_C, e);
        const QDateTime stamped =
            m_db->scalar("select DthUltAtualiz from STATUS_C where SeqEvento = ?", {seq}).toDateTime();
        QVERIFY(stamped >= before && stamped <= QDateTime::currentDateTime());
    }

    void refusesBadRowsWithoutWriting()
    {
        ItemKey key = certificateKey(Sigla, "A-1");
        key.remove(QStringLiteral("NumCertif"));
        QVERIFY_THROWS_EXCEPTION(AppError, insert(*m_db, Table::Status_C, makeEvent(key)));
        Event tooLong = makeEvent(certificateKey(Sigla, "A-1"), "ALT", QString(256, QLatin1Char('x')));
        QVERIFY_THROWS_EXCEPTION(AppError, insert(*m_db, Table::Status_C, tooLong));
        Event badUser = makeEvent(certificateKey(Sigla, "A-1"));
        badUser.user = QStringLiteral("usuario-longo-demais");
        QVERIFY_THROWS_EXCEPTION(AppError, insert(*m_db, Table::Status_C, badUser));
        QCOMPARE(count("STATUS_C"), 0);
    }

    // A key is matched by its columns' names, in any case and order, among
    // other columns of the row; a name given again replaces its value.
    void keyBindsByColumnNameInTheTablesOrder()
    {
        const ItemKey tidy = sampleKey(Table::Status_L, "L'1");
        ItemKey shuffled{{"Observacao", "fora da chave"}};
        for (qsizetype i = tidy.entries().size() - 1; i >= 0; --i)
            shuffled.insert(tidy.entries().at(i).first.toUpper(), tidy.entries().at(i).second);
        shuffled.insert("numcertif", "outro");
        QCOMPARE(shuffled.value("NUMCERTIF"), QVariant("outro"));
        shuffled.insert("NumCertif", "L'1");
        QCOMPARE(shuffled.entries().size(), tidy.entries().size() + 1);
        QCOMPARE(shuffled.restrictedTo(keyColumns(Table::Status_L)).entries(), tidy.entries());
        QCOMPARE(ItemKey::condition({"a", "b"}, "s."), QString("s.a = ? AND s.b = ?"));
        QCOMPARE(shuffled.values({"NumCertif", "Nada"}), (QVariantList{"L'1", QVariant()}));

        Event e = makeEvent(shuffled, "INC");
        QCOMPARE(insert(*m_db, Table::Status_L, e), 1);
        e.key = tidy;
        QCOMPARE(insert(*m_db, Table::Status_L, e), 2);
        QCOMPARE(count("STATUS_L", "NumCertif = 'L''1' and Evento = 'INC'"), 2);
        QCOMPARE(inclusionTime(*m_db, Table::Status_L, shuffled), e.writtenAt);
        QCOMPARE(removeItem(*m_db, Table::Status_L, shuffled), 2);
    }

    void fullNumberingRefusesTheNextEvent()
    {
        Event e = makeEvent(certificateKey(Sigla, "A-1"));
        m_db->execute(
            "insert into STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento) values ('OCT', 'X', 32766, 'INC')");
        QCOMPARE(insert(*m_db, Table::Status_C, e), 32767);
        try {
            insert(*m_db, Table::Status_C, e);
            QFAIL("an event past 32767 was accepted");
        } catch (const SeqEventoEsgotado &err) {
            QCOMPARE(err.table(), QString("STATUS_C"));
            QVERIFY2(err.message().contains("STATUS_C") && err.message().contains("32767") &&
                         err.message().contains("não foi gravado"),
                     qPrintable(err.message()));
        }
        QCOMPARE(count("STATUS_C"), 2);
        QCOMPARE(m_db->scalar("select max(SeqEvento) from STATUS_C").toInt(), 32767);
        QCOMPARE(count("STATUS_C", "SeqEvento < 1"), 0);
        // Other tables are not affected.
        QCOMPARE(insert(*m_db, Table::Evento_Emp, makeEvent(sampleKey(Table::Evento_Emp, "A-1"))), 1);
        QCOMPARE(followingSeqEvento(QVariant(), "T"), 1);
        QCOMPARE(followingSeqEvento(QVariant(qlonglong(32766)), "T"), 32767);
        QVERIFY_THROWS_EXCEPTION(SeqEventoEsgotado, followingSeqEvento(QVariant(qlonglong(40000)), "T"));
    }

    // Insert, inclusion time, re-keying and deletion on each of the twelve
    // tables, with apostrophes in the text keys.
    void everyTableHasItsRoutines()
    {
        QCOMPARE(allTables().size(), 12);
        for (Table t : allTables()) {
            const QString name = tableName(t);
            QVERIFY2(Schema::table(name), qPrintable(name));
            QVERIFY(tableByName(name.toLower()) == t);
            QVERIFY(!keyColumns(t).isEmpty());
            QVERIFY(!statusColumn(t).isEmpty() && !statusDateColumn(t).isEmpty());

            const ItemKey a = sampleKey(t, "A-1"), b = sampleKey(t, "B-2");
            Event inc = makeEvent(a, "INC", JustificativaSistema);
            inc.status = QStringLiteral("A");
            inc.writtenAt = QDateTime(QDate(2026, 1, 1), QTime(8, 0));
            QCOMPARE(insert(*m_db, t, inc), 1);
            inc.writtenAt = QDateTime(QDate(2026, 2, 1), QTime(8, 0));
            QCOMPARE(insert(*m_db, t, inc), 2);
            QCOMPARE(insert(*m_db, t, makeEvent(a, "SUS")), 3); // later, but not an inclusion
            inc.key = b;
            QCOMPARE(insert(*m_db, t, inc), 4);
            QCOMPARE(inclusionTime(*m_db, t, a), QDateTime(QDate(2026, 2, 1), QTime(8, 0)));
            QVERIFY(!inclusionTime(*m_db, t, sampleKey(t, "C-3")).isValid());
            QCOMPARE(count(name, statusColumn(t) + " = 'S'"), 1);

            ItemKey moved = a;
            const QString last = keyColumns(t).last();
            moved.insert(
                last, Schema::table(name)->field(last)->type == Schema::FieldType::Text ? QVariant("n'") : QVariant(9));
            QCOMPARE(rekey(*m_db, t, a, moved), 3);
            QCOMPARE(inclusionTime(*m_db, t, moved), QDateTime(QDate(2026, 2, 1), QTime(8, 0)));
            QVERIFY(!inclusionTime(*m_db, t, a).isValid());

            QVERIFY(!remove(*m_db, t, moved, 4)); // 4 belongs to the other item
            QVERIFY(remove(*m_db, t, moved, 3));
            QCOMPARE(count(name), 3);
            QCOMPARE(removeItem(*m_db, t, moved), 2);
            QCOMPARE(count(name), 1);
        }
        // The certificate's rows go from every table at once.
        QCOMPARE(removeCertificate(*m_db, Sigla, "B-2"), 12);
        for (Table t : allTables())
            QCOMPARE(count(tableName(t)), 0);
    }

    void lastApprovalTimeIsTheLatestApproval()
    {
        const ItemKey key = certificateKey(Sigla, "A-1");
        QVERIFY(!lastApprovalTime(*m_db, Sigla, "A-1").isValid());
        Event apr = makeEvent(key, "APR", JustificativaSistema);
        apr.writtenAt = QDateTime(QDate(2026, 4, 1), QTime(9, 0));
        insert(*m_db, Table::Status_C, apr);
        apr.writtenAt = QDateTime(QDate(2026, 5, 1), QTime(9, 0));
        insert(*m_db, Table::Status_C, apr);
        insert(*m_db, Table::Status_C, makeEvent(key, "ALT")); // written later, not an approval
        apr.key = certificateKey(Sigla, "B-2");
        apr.writtenAt = QDateTime(QDate(2026, 6, 1), QTime(9, 0));
        insert(*m_db, Table::Status_C, apr);
        QCOMPARE(lastApprovalTime(*m_db, Sigla, "A-1"), QDateTime(QDate(2026, 5, 1), QTime(9, 0)));
        QCOMPARE(lastApprovalTime(*m_db, Sigla, "a-1"), QDateTime(QDate(2026, 5, 1), QTime(9, 0)));
    }

    // Two workstations on one server: while one transaction numbers a table,
    // another waits for it to end and then takes the number that follows,
    // by the maintenance route and by the import's; other tables stay free.
    void workstationsNeverShareANumber()
    {
        if (!TestDb::onServer())
            QSKIP("a file has one writer at a time: its transaction holds the whole file");
        QMutex guard; // over failure and taken
        QString failure;
        QList<int> taken;
        auto seen = [&] {
            QMutexLocker lock(&guard);
            return taken;
        };
        // The other workstation: its own connection, writing the given tables in turn.
        auto other = [&](QList<Table> tables) {
            return QThread::create([&, tables] {
                try {
                    Database db(QStringLiteral("outro-posto"));
                    m_home->open(db);
                    for (Table t : tables) {
                        Transaction tx(db);
                        const int seq = insert(db, t, makeEvent(sampleKey(t, QStringLiteral("B-1"))));
                        tx.commit();
                        QMutexLocker lock(&guard);
                        taken << seq;
                    }
                } catch (const std::exception &e) {
                    QMutexLocker lock(&guard);
                    failure = QString::fromUtf8(e.what());
                }
            });
        };
        auto waiting = [&] {
            return m_db->scalar("select count(*) from pg_locks where locktype = 'advisory' and not granted").toInt();
        };

        m_db->begin();
        QCOMPARE(insert(*m_db, Table::Status_C, makeEvent(certificateKey(Sigla, "A-1"))), 1);
        std::unique_ptr<QThread> second(other({Table::Status_T, Table::Status_C}));
        second->start();
        QTRY_COMPARE_WITH_TIMEOUT(waiting(), 1, 10000);
        QCOMPARE(seen(), QList<int>{1}); // STATUS_T was not held
        QCOMPARE(count("STATUS_C"), 1);
        m_db->commit();
        QVERIFY(second->wait(10000));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(taken, (QList<int>{1, 2}));

        // The import asks for its numbers through its session.
        m_db->begin();
        ImportSession session(*m_db);
        qint64 next = 0;
        bool fresh = false;
        QVERIFY(session.nextSequence(QStringLiteral("status_c"), &next, &fresh));
        QCOMPARE(next, 3);
        {
            QMutexLocker lock(&guard);
            taken.clear();
        }
        std::unique_ptr<QThread> third(other({Table::Status_C}));
        third->start();
        QTRY_COMPARE_WITH_TIMEOUT(waiting(), 1, 10000);
        QVERIFY(seen().isEmpty());
        QCOMPARE(insert(*m_db, Table::Status_C, makeEvent(certificateKey(Sigla, "A-2"))), 3);
        m_db->commit();
        QVERIFY(third->wait(10000));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(taken, QList<int>{4});
        QCOMPARE(m_db->scalar("select count(distinct SeqEvento) from STATUS_C").toInt(), 4);
    }

    // The import numbers its rows by the same rule: after the rows already
    // there, and never past the limit.
    void importTakesNumbersFromTheSameRule()
    {
        m_db.reset(); // the fixture opens the one connection itself
        m_home.reset();
        ImportRunFixture f;
        const Event e = makeEvent(certificateKey(ImportRunFixture::Sigla, "OLD"));
        QCOMPARE(insert(*f.db, Table::Status_C, e), 1);
        f.db->execute("update STATUS_C set SeqEvento = 40");
        f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1").completeCertificate("C-2"));
        QVERIFY(f.run());
        QCOMPARE(f.db->scalar("select SeqEvento from STATUS_C where NumCertif = 'C-1'").toInt(), 41);
        QCOMPARE(f.db->scalar("select SeqEvento from STATUS_C where NumCertif = 'C-2'").toInt(), 42);
        QCOMPARE(nextSeqEvento(*f.db, Table::Status_C), 43);

        // A full table fails the file: nothing of it stays.
        f.db->execute("update STATUS_L set SeqEvento = 32767 where SeqEvento = (select max(SeqEvento) from STATUS_L)");
        const int lots = f.count("LOTE");
        const QString name = f.write(2, B(ImportRunFixture::Sigla).completeCertificate("C-3"));
        QVERIFY(!f.run({name}));
        QCOMPARE(f.count("CERTIFIC", "NumCertif = 'C-3'"), 0);
        QCOMPARE(f.count("LOTE"), lots);
        QCOMPARE(f.count("STATUS_L", "SeqEvento > 32767 or SeqEvento is null"), 0);
        const QString log = f.read("ERROBD" + ImportRunFixture::base(name) + ".txt");
        QVERIFY2(log.contains("A tabela STATUS_L atingiu o número máximo de eventos (32767)"), qPrintable(log));
        QVERIFY(f.msg.texts().contains(
            "A tabela STATUS_L atingiu o número máximo de eventos (32767). O evento não foi gravado."));
    }
};

QTEST_GUILESS_MAIN(TestStatusEvents)
#include "test_statusevents.moc"
