#include "db/database.h"
#include "import/datastruct.h"
#include "import/descriptorfactory.h"
#include "import/postimport.h"
#include "import/postimport_history.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QDateTime>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Sigla = QStringLiteral("OCT");

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}

class TestPostImport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<QTemporaryDir> m_logs;
    ScriptedMessenger m_msg;

    QString logBd() const { return readAll(m_logs->filePath(PostImport::LogBdFileName)); }

    void insert(const QString &table, const QVariantMap &values)
    {
        QStringList cols, marks;
        QVariantList params;
        for (auto it = values.begin(); it != values.end(); ++it) {
            cols << it.key();
            marks << QStringLiteral("?");
            params << it.value();
        }
        m_db->execute(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, cols.join(','), marks.join(',')),
                      params);
    }

    std::unique_ptr<TDataStruct> descriptor(const QString &header, const QMap<QString, QString> &values)
    {
        auto d = ImportDescriptors::createForHeader(header, Sigla, QStringLiteral("imp"));
        d->setLogDir(m_logs->path());
        d->setMessenger(&m_msg);
        for (auto it = values.begin(); it != values.end(); ++it) {
            TDataStructItem *item = d->itemByName(it.key());
            Q_ASSERT(item);
            item->value = it.value();
        }
        d->Validate();
        return d;
    }

    QVariantMap row(const QString &sql, const QVariantList &params = {})
    {
        QSqlQuery q = m_db->exec(sql, params);
        QVariantMap out;
        if (q.next()) {
            const QSqlRecord r = q.record();
            for (int i = 0; i < r.count(); ++i)
                out.insert(r.fieldName(i).toLower(), r.value(i));
        }
        return out;
    }

    int count(const QString &sql) { return m_db->scalar(sql).toInt(); }

private slots:
    void init()
    {
        m_home = std::make_unique<TestHome>(false);
        m_db = std::make_unique<Database>();
        m_home->open(*m_db);
        m_logs = std::make_unique<QTemporaryDir>();
        m_msg.clear();
    }
    void cleanup()
    {
        m_db.reset();
        m_home.reset();
    }

    void pairingCheckListsUnjustifiedRowsAndEmptiesTableOtherwise()
    {
        const QDateTime now = QDateTime::currentDateTime();
        insert(QStringLiteral("CTR_HISTORICO"),
               {{"NomeTabela", "CERTIFIC"},
                {"TabelaHistorico", "STATUS_C"},
                {"SiglaCertificador", Sigla},
                {"NumCertif", "C-1"},
                {"Historico", "0"},
                {"DthUltAtualiz", now},
                {"UsuResp", "imp"}});
        insert(QStringLiteral("CTR_HISTORICO"),
               {{"NomeTabela", "TIPO"},
                {"TabelaHistorico", "STATUS_T"},
                {"SiglaCertificador", Sigla},
                {"NumCertif", "C-2"},
                {"MarcaProd", "M"},
                {"ModeloProd", "X"},
                {"Importado", 1},
                {"Historico", "1"},
                {"DthUltAtualiz", now},
                {"UsuResp", "imp"}});

        QVERIFY(!PostImport::checkPairing(*m_db, m_logs->path()));
        const QString log = logBd();
        QVERIFY(log.startsWith(QStringLiteral("Foram identificadas atualizações para os registros abaixo sem a "
                                              "justificativa na tabela de histórico correspondente !\n\n")));
        QVERIFY(log.contains(QStringLiteral("NomeTabela: CERTIFIC\nTabelaHistorico: STATUS_C\n"
                                            "SiglaCertificador: OCT\nNumCertif: C-1\nHistorico: 0\n\n")));
        QVERIFY(!log.contains(QStringLiteral("C-2")));
        QVERIFY(!log.contains(QStringLiteral("UsuResp")));
        QVERIFY(!log.contains(QStringLiteral("DthUltAtualiz")));
        QCOMPARE(count(QStringLiteral("select count(*) from CTR_HISTORICO")), 2);

        m_db->execute(QStringLiteral("update CTR_HISTORICO set Historico = '1'"));
        QFile::remove(m_logs->filePath(PostImport::LogBdFileName));
        QVERIFY(PostImport::checkPairing(*m_db, m_logs->path()));
        QCOMPARE(count(QStringLiteral("select count(*) from CTR_HISTORICO")), 0);
        QVERIFY(logBd().isEmpty());
    }

    void companyRoleCheckCoversTheWholeDatabase()
    {
        const QDateTime d(QDate(2020, 1, 1), QTime(0, 0));
        insert(QStringLiteral("EMP_CERT"),
               {{"SiglaCertificador", Sigla},
                {"NumCertif", "C-1"},
                {"CodigoPais", "US"},
                {"IdEmpresa", "Acme"},
                {"StatusEmpresa", "A"}});
        QVariantMap lot{{"SiglaCertificador", Sigla}, {"NumCertif", "C-1"}, {"NumLote", "L1"},   {"MarcaProd", "M"},
                        {"ModeloProd", "X"},          {"Importado", 1},     {"StatusLote", "A"}, {"DthStatusLote", d},
                        {"CodigoPais", "US"},         {"IdEmpresa", "acme"}};
        insert(QStringLiteral("LOTE"), lot);
        QVERIFY2(PostImport::checkCompanyRoles(*m_db, m_logs->path()), qPrintable(logBd()));

        lot["NumLote"] = "L2";
        lot["IdEmpresa"] = "Outra";
        insert(QStringLiteral("LOTE"), lot);
        QVariantMap unit = lot;
        unit.remove("NumLote");
        unit.remove("StatusLote");
        unit.remove("DthStatusLote");
        unit["NumSerieProd"] = "S1";
        unit["IdEmpresa"] = "Terceira";
        insert(QStringLiteral("UNIDADE"), unit);

        QVERIFY(!PostImport::checkCompanyRoles(*m_db, m_logs->path()));
        const QString log = logBd();
        const QString dashes(61, QLatin1Char('-'));
        QVERIFY(log.startsWith(QStringLiteral("Foram identificadas empresas informadas nas tabelas TIPO, LOTE ou "
                                              "UNIDADE, que não estão na tabela EMP_CERT  !\n\n")));
        // Column names come as the table spells them.
        QVERIFY2(log.contains(QStringLiteral("Nome_da_Tabela: LOTE\nnumCertif: C-1\nmarcaprod: M\nmodeloprod: X\n"
                                             "codigopais: US\nidempresa: Outra\n") +
                                  dashes + '\n',
                              Qt::CaseInsensitive),
                 qPrintable(log));
        QVERIFY(log.contains(QStringLiteral("Nome_da_Tabela: UNIDADE\n")));
        QVERIFY(log.contains(QStringLiteral("idempresa: Terceira\n") + dashes, Qt::CaseInsensitive));
        QVERIFY(!log.contains(QStringLiteral("idempresa: acme"), Qt::CaseInsensitive));
        QVERIFY(!log.contains(QStringLiteral("siglacertificador"), Qt::CaseInsensitive));
    }

    void completeCertificatesOfTheFileAreMarkedCompleteAndApproved()
    {
        for (const char *num : {"C-1", "C-2", "C-3", "C-4"})
            insert(QStringLiteral("CERTIFIC"),
                   {{"SiglaCertificador", Sigla}, {"NumCertif", num}, {"Completo", 0}, {"Aprovado", 0}});
        auto company = [&](const char *num) {
            insert(QStringLiteral("EMP_CERT"),
                   {{"SiglaCertificador", Sigla}, {"NumCertif", num}, {"CodigoPais", "US"}, {"IdEmpresa", "Acme"}});
        };
        // C-1: company, lot, certificate document -> complete
        company("C-1");
        insert(QStringLiteral("LOTE"),
               {{"SiglaCertificador", Sigla},
                {"NumCertif", "c-1"},
                {"NumLote", "L"},
                {"MarcaProd", "M"},
                {"ModeloProd", "X"},
                {"Importado", 1}});
        insert(QStringLiteral("DOC_NORM_CERT_PRODUTO"),
               {{"SiglaCertificador", Sigla},
                {"NumCertif", "C-1"},
                {"IdClasseCertif", "CL"},
                {"IdClasseProd", 1},
                {"IdDocNorm", 1}});
        // C-2: company and type, no document -> incomplete
        company("C-2");
        insert(QStringLiteral("TIPO"),
               {{"SiglaCertificador", Sigla},
                {"NumCertif", "C-2"},
                {"MarcaProd", "M"},
                {"ModeloProd", "X"},
                {"Importado", 1}});
        // C-3: company, service and service document -> complete
        company("C-3");
        insert(QStringLiteral("SERVICO"),
               {{"SiglaCertificador", Sigla},
                {"NumCertif", "C-3"},
                {"IdClasseServ", 1},
                {"CodigoPais", "US"},
                {"IdEmpresa", "Acme"}});
        insert(QStringLiteral("DOC_NORM_SERV"),
               {{"SiglaCertificador", Sigla},
                {"NumCertif", "C-3"},
                {"IdClasseCertif", "CL"},
                {"IdClasseServ", 1},
                {"IdDocNorm", 1},
                {"IdEmpresa", "Acme"},
                {"CodigoPais", "US"}});
        // C-4: product and document but no company -> incomplete
        insert(QStringLiteral("UNIDADE"),
               {{"SiglaCertificador", Sigla},
                {"NumCertif", "C-4"},
                {"NumSerieProd", "S"},
                {"MarcaProd", "M"},
                {"ModeloProd", "X"},
                {"Importado", 1}});
        insert(QStringLiteral("DOC_NORM_UNIDADE"),
               {{"SiglaCertificador", Sigla},
                {"NumCertif", "C-4"},
                {"IdClasseCertif", "CL"},
                {"IdClasseProd", 1},
                {"IdDocNorm", 1},
                {"MarcaProd", "M"},
                {"ModeloProd", "X"},
                {"Importado", 1},
                {"NumSerieProd", "S"}});

        // C-3 is complete but was not written by the file, so it is left as it is.
        const QList<CertificateKey> written{{Sigla, "c-1"}, {Sigla, "C-2"}, {Sigla, "C-4"}};
        QList<QPair<int, int>> progress;
        QCOMPARE(PostImport::markCompleteCertificates(*m_db, written,
                                                      [&](int d, int t) {
                                                          progress.append({d, t});
                                                      }),
                 1);
        QCOMPARE(progress.last(), qMakePair(3, 3));
        QSqlQuery q = m_db->exec(QStringLiteral("select NumCertif, Completo, Aprovado from CERTIFIC order by 1"));
        QStringList got;
        while (q.next())
            got << QStringLiteral("%1:%2%3").arg(q.value(0).toString()).arg(q.value(1).toInt()).arg(q.value(2).toInt());
        QCOMPARE(got, (QStringList{"C-1:11", "C-2:00", "C-3:00", "C-4:00"}));
    }

    void newLotGetsInclusionRowWithStatusA()
    {
        auto lot = descriptor(QStringLiteral("[LOTE]"),
                              {{"numLote", "L-9"},
                               {"SiglaCertificador", Sigla},
                               {"Numcertif", "C-1"},
                               {"Importado", "1"},
                               {"CodigoPais", "US"},
                               {"DthEntCertif", "01/01/2020"},
                               {"StatusLote", "S"},
                               {"DthStatusLote", "05/01/2020"},
                               {"QuantLote", "10"},
                               {"MarcaProd", "M"},
                               {"ModeloProd", "X"},
                               {"IdEmpresa", "Acme"}});
        QVERIFY(lot->isValid());
        const TWriteResult w = lot->WriteRow(*m_db);
        QVERIFY(w.succeeded && w.inserted);
        QVERIFY(PostImport::writeAutomaticStatusRow(*m_db, *lot, m_logs->path()));
        QVERIFY(PostImport::writeAutomaticStatusRow(*m_db, *lot, m_logs->path()));

        const QVariantMap r = row(QStringLiteral("select * from STATUS_L order by SeqEvento"));
        QCOMPARE(r.value("status_l").toString(), QStringLiteral("A"));
        QCOMPARE(r.value("evento").toString(), QStringLiteral("INC"));
        QCOMPARE(r.value("historicosis").toString(), QStringLiteral("2"));
        QCOMPARE(r.value("justificativa").toString(), QStringLiteral("Historico gerado pelo sistema"));
        QCOMPARE(r.value("dthstatus_l").toDateTime(), QDateTime(QDate(2020, 1, 5), QTime(0, 0)));
        QCOMPARE(r.value("numlote").toString(), QStringLiteral("L-9"));
        QCOMPARE(r.value("marcaprod").toString(), QStringLiteral("M"));
        QCOMPARE(r.value("usuresp").toString(), QStringLiteral("imp"));
        QCOMPARE(r.value("seqevento").toInt(), 1);
        QCOMPARE(count(QStringLiteral("select max(SeqEvento) from STATUS_L")), 2);
    }

    void newCertificateInclusionRowKeepsItsStatus()
    {
        auto cert = descriptor(QStringLiteral("[CERTIFIC]"),
                               {{"SiglaCertificador", Sigla},
                                {"Numcertif", "C-1"},
                                {"StatusCertificado", "S"},
                                {"IdClasseProd", "1"},
                                {"IdClasseCertif", "CL"},
                                {"DataEmissao", "01/01/2020"},
                                {"DataValid", "01/01/2030"},
                                {"DthStatusCertificado", "02/01/2020"}});
        QVERIFY2(cert->WriteRow(*m_db).succeeded, qPrintable(logBd()));
        QVERIFY(PostImport::writeAutomaticStatusRow(*m_db, *cert, m_logs->path()));
        const QVariantMap r = row(QStringLiteral("select * from STATUS_C"));
        QCOMPARE(r.value("statuscertificado").toString(), QStringLiteral("S"));
        QCOMPARE(r.value("dthstatuscertificado").toDateTime(), QDateTime(QDate(2020, 1, 2), QTime(0, 0)));
        QCOMPARE(r.value("evento").toString(), QStringLiteral("INC"));

        // Companies and products have no history table: nothing to write.
        auto company = descriptor(
            QStringLiteral("[EMPRESA]"),
            {{"CodigoPais", "US"}, {"IdEmpresa", "Acme"}, {"RazSocialEmp", "Acme"}, {"TipoPessoa", "1"}});
        QVERIFY(PostImport::writeAutomaticStatusRow(*m_db, *company, m_logs->path()));
        QVERIFY(PostImport::writeHistoryControlRow(*m_db, *company, true, m_logs->path()));
        QCOMPARE(count(QStringLiteral("select count(*) from CTR_HISTORICO")), 0);
    }

    void historyControlPairsAChangeWithItsHistoryRow()
    {
        const QMap<QString, QString> values{{"SiglaCertificador", Sigla}, {"Numcertif", "C-1"},
                                            {"StatusCertificado", "A"},   {"IdClasseProd", "1"},
                                            {"IdClasseCertif", "CL"},     {"DataEmissao", "01/01/2020"},
                                            {"DataValid", "01/01/2030"},  {"DthStatusCertificado", "02/01/2020"}};
        auto inserted = descriptor(QStringLiteral("[CERTIFIC]"), values);
        QVERIFY(PostImport::writeHistoryControlRow(*m_db, *inserted, true, m_logs->path()));
        QVariantMap r = row(QStringLiteral("select * from CTR_HISTORICO"));
        QVERIFY(r.value("nometabela").toString().isEmpty());
        QCOMPARE(r.value("tabelahistorico").toString(), QStringLiteral("CERTIFIC"));
        QCOMPARE(r.value("historico").toString(), QStringLiteral("1"));
        m_db->execute(QStringLiteral("delete from CTR_HISTORICO"));

        auto changed = descriptor(QStringLiteral("[CERTIFIC]"), values);
        QVERIFY(PostImport::writeHistoryControlRow(*m_db, *changed, false, m_logs->path()));
        const QString pairing = QStringLiteral(
            "select Historico from CTR_HISTORICO where NomeTabela = 'CERTIFIC' and "
            "TabelaHistorico = 'STATUS_C' and SiglaCertificador = 'OCT' and NumCertif = 'C-1'");
        QCOMPARE(m_db->scalar(pairing).toString(), QStringLiteral("0"));

        auto history = descriptor(QStringLiteral("[STATUS_C]"),
                                  {{"SiglaCertificador", Sigla},
                                   {"Numcertif", "C-1"},
                                   {"Evento", "ALT"},
                                   {"HistoricoSis", "1"},
                                   {"StatusCertificado", "A"},
                                   {"DthStatusCertificado", "03/01/2020"},
                                   {"Justificativa", "x"}});
        QVERIFY(PostImport::writeHistoryControlRow(*m_db, *history, true, m_logs->path()));
        QCOMPARE(m_db->scalar(pairing).toString(), QStringLiteral("1"));
        QCOMPARE(count(QStringLiteral("select count(*) from CTR_HISTORICO")), 1);

        // A later change of the same certificate needs a new justification.
        QVERIFY(PostImport::writeHistoryControlRow(*m_db, *changed, false, m_logs->path()));
        QCOMPARE(m_db->scalar(pairing).toString(), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestPostImport)
#include "test_postimport.moc"
