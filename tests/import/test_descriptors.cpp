#include "import/datastruct.h"
#include "import/descriptorfactory.h"
#include "import/descriptors.h"
#include "support/importrecords.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace ImportRecords;

// Validation of cut values and the shape of every descriptor.
class TestDescriptors : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString takeLog()
    {
        QFile f(m_dir.filePath(QStringLiteral("Log.txt")));
        QString text;
        if (f.open(QIODevice::ReadOnly))
            text = QString::fromUtf8(f.readAll());
        f.close();
        f.remove();
        return text;
    }

    // Cuts the lines of a record into a descriptor, as the reader does.
    static void cut(TDataStruct &d, const QStringList &dataLines, int firstLineNumber = 2)
    {
        int index = -1;
        for (TDataStructItem *item : d.items()) {
            if (!item->inFile())
                continue;
            if (item->lineAdvance)
                ++index;
            const QString line = index < dataLines.size() ? dataLines.at(index) : QString();
            item->value = line.mid(item->firstColumn - 1, item->width);
            item->lineNumber = firstLineNumber + index;
        }
    }

    std::unique_ptr<TDataStruct> validated(const QStringList &record)
    {
        auto d = ImportDescriptors::createForHeader(record.first(), QStringLiteral("KEST"), QStringLiteral("joao"));
        d->setLogDir(m_dir.path());
        cut(*d, record.mid(1));
        d->Validate();
        return d;
    }

    static QString suffix(int line) { return QStringLiteral(" Verifique a linha %1 do arquivo txt.\n").arg(line); }

private slots:
    void everySectionHasItsLayout()
    {
        const QList<QPair<QString, int>> dataLines = {{"[CERTIFIC]", 5},
                                                      {"[STATUS_C]", 2},
                                                      {"[EMPRESA]", 4},
                                                      {"[EMP_CERT]", 2},
                                                      {"[EVENTO_EMP]", 3},
                                                      {"[DOC_NORM_CERT_PRODUTO]", 1},
                                                      {"[STATUS_DNCP]", 2},
                                                      {"[DOC_NORM_CERT_SERVICO]", 1},
                                                      {"[STATUS_DNCS]", 2},
                                                      {"[PRODUTO]", 4},
                                                      {"[TIPO]", 4},
                                                      {"[STATUS_T]", 4},
                                                      {"[DOC_NORM_TIPO]", 3},
                                                      {"[STATUS_DNT]", 4},
                                                      {"[UNIDADE]", 6},
                                                      {"[STATUS_U]", 4},
                                                      {"[DOC_NORM_UNIDADE]", 3},
                                                      {"[STATUS_DNU]", 4},
                                                      {"[LOTE]", 4},
                                                      {"[STATUS_L]", 4},
                                                      {"[DOC_NORM_LOTE]", 3},
                                                      {"[STATUS_DNL]", 4},
                                                      {"[SERVICO]", 3},
                                                      {"[STATUS_S]", 3},
                                                      {"[DOC_NORM_SERVICO]", 2},
                                                      {"[STATUS_DNS]", 3}};
        QCOMPARE(ImportDescriptors::headers().size(), dataLines.size());
        QSet<QString> classes;
        for (const auto &[header, lines] : dataLines) {
            auto d = ImportDescriptors::createForHeader(header, QStringLiteral("KEST"), QString());
            QVERIFY2(d, qPrintable(header));
            classes << d->className();
            const QString table = header.mid(1, header.size() - 2);
            QCOMPARE(d->tableName(),
                     table == QLatin1String("DOC_NORM_SERVICO") ? QStringLiteral("DOC_NORM_SERV") : table);
            QCOMPARE(d->items().at(0)->name, QStringLiteral("DthUltAtualiz"));
            QCOMPARE(d->items().at(1)->name, QStringLiteral("UsuResp"));
            int advances = 0;
            int lastEnd = 0;
            for (const TDataStructItem *item : d->items()) {
                if (!item->inFile())
                    continue;
                if (item->lineAdvance) {
                    ++advances;
                    lastEnd = 0;
                }
                // Fields of one line never overlap and follow each other.
                QVERIFY2(item->firstColumn > lastEnd, qPrintable(header + QLatin1Char(' ') + item->name));
                lastEnd = item->firstColumn + item->width - 1;
            }
            QCOMPARE(advances, lines);
            // A table's own row has a status table; a status row has a parent and SeqEvento.
            const bool isStatus = !d->parentTableName().isEmpty();
            QCOMPARE(bool(d->itemByName(QStringLiteral("SeqEvento"))), isStatus);
            if (isStatus) {
                QVERIFY(d->items().last()->sequence && d->items().last()->key && !d->items().last()->required);
                QVERIFY(ImportDescriptors::createForStatusTable(d->tableName(), QString(), QString()));
            }
        }
        QCOMPARE(classes.size(), 26);
        QVERIFY(!ImportDescriptors::createForHeader(QStringLiteral("[certific]"), QString(), QString()));
        QVERIFY(!ImportDescriptors::createForStatusTable(QStringLiteral("EMPRESA"), QString(), QString()));
        QCOMPARE(
            ImportDescriptors::createForStatusTable(QStringLiteral(" status_c "), QString(), QString())->className(),
            QStringLiteral("TStatusCStruct"));
    }

    void keysAndNames()
    {
        auto keys = [](const TDataStruct &d) {
            QStringList out;
            for (const TDataStructItem *i : d.items())
                if (i->key)
                    out << i->name;
            return out;
        };
        TDocNormServicoStruct dns{QString(), QString()};
        QCOMPARE(keys(dns),
                 QStringList({"IdDocNorm", "IdClasseCertif", "IdClasseServ", "Numcertif", "SiglaCertificador",
                              "CodigoPais", "IdEmpresa"}));
        const TDataStructItem *pais = dns.itemByName(QStringLiteral("CodigoPais"));
        QCOMPARE(pais->firstColumn, 69);
        QCOMPARE(dns.itemByName(QStringLiteral("DthStatusDNS"))->firstColumn, 84);
        QVERIFY(dns.itemByName(QStringLiteral("IdEmpresa"))->lineAdvance);
        QCOMPARE(dns.statusTableName(), QStringLiteral("STATUS_DNS"));

        TStatusLStruct sl{QString(), QString()};
        QCOMPARE(keys(sl),
                 QStringList({"numLote", "Numcertif", "SiglaCertificador", "Importado", "MarcaProd", "ModeloProd",
                              "SeqEvento"}));
        QCOMPARE(sl.parentTableName(), QStringLiteral("LOTE"));

        TCtr_HistoricoStruct ctr{QString(), QString()};
        QCOMPARE(ctr.items().size(), 17);
        QCOMPARE(keys(ctr).size(), 14);
        QCOMPARE(ctr.items().last()->name, QStringLiteral("historico"));
        QVERIFY(!ctr.items().last()->key);
        QCOMPARE(ctr.className(), QStringLiteral("TCtr_HistoricoStruct"));
    }

    void validCertificateFillsAuditColumns()
    {
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        auto d = validated(Certificate().lines());
        QVERIFY2(d->isValid(), qPrintable(takeLog()));
        const QDateTime stamp = QDateTime::fromString(d->itemByName(QStringLiteral("DthUltAtualiz"))->value,
                                                      QStringLiteral("dd/MM/yyyy hh:mm:ss"));
        QVERIFY(stamp.isValid() && stamp >= before && stamp <= QDateTime::currentDateTime());
        QCOMPARE(d->itemByName(QStringLiteral("UsuResp"))->value, QStringLiteral("joao"));
    }

    void certificateValueErrors()
    {
        Certificate c;
        c.sigla = QStringLiteral("OUTRA");
        c.status = QStringLiteral("X");
        c.idClasseProd = QStringLiteral("12a");
        c.valid = QStringLiteral("31/02/2026");
        c.statusDate = QStringLiteral("2026-01-01");
        auto d = validated(c.lines());
        QVERIFY(!d->isValid());
        QCOMPARE(takeLog(),
                 QStringLiteral("Erro na SIGLA do Certtificador!") + suffix(2) +
                     QStringLiteral("O valor X não é uma situação válida ") + suffix(2) + QStringLiteral("O valor ") +
                     QStringLiteral("12a").leftJustified(10) + QStringLiteral(" não é um integer válido") + suffix(2) +
                     QStringLiteral("O valor 31/02/2026 não é uma date/time válido") + suffix(2) +
                     QStringLiteral("O valor 2026-01-01 não é uma date/time válido") + suffix(2));
    }

    void issueAndValidityDates()
    {
        Certificate c;
        c.issue = day(1);
        auto d = validated(c.lines());
        QCOMPARE(takeLog(), QStringLiteral("Data não pode ser superior a data do sistema!") + suffix(2));

        c.issue = day(-10);
        c.valid = day(-11);
        d = validated(c.lines());
        QCOMPARE(takeLog(),
                 QStringLiteral("Data de validade não pode ser inferior a data de emissão do certificado!") +
                     suffix(2));

        c.valid = c.issue; // the same day is fine
        c.status = QStringLiteral("a");
        d = validated(c.lines());
        QVERIFY2(d->isValid(), qPrintable(takeLog()));
    }

    void eventAndFlagCodes()
    {
        StatusC s;
        s.evento = QStringLiteral("C A");
        s.historico = QStringLiteral("3");
        auto d = validated(s.lines());
        QCOMPARE(takeLog(),
                 QStringLiteral("O valor C A não é um EVENTO válido ") + suffix(2) +
                     QStringLiteral("O valor 3 não é válido ") + suffix(2));
        s.evento = QStringLiteral("apr");
        s.historico = QStringLiteral("1");
        d = validated(s.lines());
        QVERIFY2(d->isValid(), qPrintable(takeLog()));
    }

    void productTextLimit()
    {
        auto product = [](const QString &brand) {
            return QStringList{QStringLiteral("[PRODUTO]"), brand, QStringLiteral("Modelo X"), QStringLiteral("1"),
                               QStringLiteral("Descrição")};
        };
        auto d = validated(product(QString(105, QLatin1Char('M')) + QStringLiteral("   ")));
        QVERIFY2(d->isValid(), qPrintable(takeLog()));

        const QString brand106(106, QLatin1Char('M'));
        d = validated(product(brand106));
        QVERIFY(!d->isValid());
        QCOMPARE(takeLog(),
                 QStringLiteral("O Tamanho do conteudo do campo MARCAPROD ") + brand106 +
                     QStringLiteral(" temporariamente não pode ser superior a 105 caracteres") + suffix(2));

        auto bad = validated(
            QStringList{QStringLiteral("[PRODUTO]"), QStringLiteral("M"), QStringLiteral("X"), QStringLiteral("2")});
        QVERIFY(!bad->isValid());
        QCOMPARE(takeLog(), QStringLiteral("O valor 2 não é válido ") + suffix(4));
    }

    void valueWiderThanItsColumn()
    {
        auto d = validated(Certificate().lines());
        QVERIFY(d->isValid());
        // A value set wider than CERTIFIC.NumCertif (30) is refused, not cut.
        d->itemByName(QStringLiteral("Numcertif"))->value = QString(31, QLatin1Char('9'));
        d->Validate();
        QVERIFY(!d->isValid());
        QCOMPARE(takeLog(),
                 QStringLiteral("O Tamanho do conteudo do campo NUMCERTIF ") + QString(31, QLatin1Char('9')) +
                     QStringLiteral(" não pode ser superior a 30 caracteres") + suffix(2));
    }

    void companyIdentifiers()
    {
        auto company = [](const QString &country, const QString &cgc, const QString &id, const QString &razao,
                          const QString &type, const QString &cpf) {
            QString l1 = put(QString(), 1, country);
            l1 = put(l1, 5, cgc);
            QString l4 = put(QString(), 1, QStringLiteral("contato@exemplo.com"));
            l4 = put(l4, 51, type);
            l4 = put(l4, 52, cpf);
            return QStringList{QStringLiteral("[EMPRESA]"), l1, id, razao, l4};
        };
        const QString cnpj = QStringLiteral("11222333000181");
        auto d = validated(company("BR", cnpj, cnpj, "Empresa SA", "1", ""));
        QVERIFY2(d->isValid(), qPrintable(takeLog()));

        d = validated(company("BR", "11.222.333/0001-81", "11222333000182", "Empresa SA", "1", ""));
        QCOMPARE(takeLog(),
                 QStringLiteral("O valor 11.222.333/0001-81 não pode conter nenhum tipo de formatação ") + suffix(2) +
                     QStringLiteral("O valor 11222333000182 não é um CGC válido para o campo IDEMPRESA ") + suffix(3));

        d = validated(company("BR", "123", cnpj, "Empresa SA", "1", ""));
        QCOMPARE(takeLog(), QStringLiteral("O valor 123 não é um CGC válido ") + suffix(2));

        d = validated(company("BR", "", "52998224725", "", "2", "52998224725"));
        QVERIFY2(d->isValid(), qPrintable(takeLog()));

        d = validated(company("BR", "", "5299822472X", "", "2", "52998224725"));
        QCOMPARE(takeLog(),
                 QStringLiteral("O valor 5299822472X não é um CPF válido para o campo IDEMPRESA ") + suffix(3));

        d = validated(company("BR", "", "52998224725", "", "2", "52998224726"));
        QCOMPARE(takeLog(), QStringLiteral("O valor 52998224726 não é um CPF válido ") + suffix(5));

        // Not 11 plain digits: refused, never a conversion error.
        d = validated(company("BR", "", "52998224725", "", "2", "5299A224725"));
        QCOMPARE(takeLog(), QStringLiteral("O valor 5299A224725 não é um CPF válido ") + suffix(5));
        d = validated(company("BR", "", "529982247250", "", "2", "52998224725"));
        QCOMPARE(takeLog(),
                 QStringLiteral("O valor 529982247250 não é um CPF válido para o campo IDEMPRESA ") + suffix(3));

        d = validated(company("US", "", "ACME Inc", "ACME Inc", "1", ""));
        QVERIFY2(d->isValid(), qPrintable(takeLog()));
        d = validated(company("US", "", "ACME", "ACME Inc", "1", ""));
        QCOMPARE(takeLog(),
                 QStringLiteral("O valor ACME não pode ser diferente da RAZÃO SOCIAL para empresas estrangeiras ") +
                     suffix(3));

        d = validated(company("BR", cnpj, cnpj, "Empresa SA", "3", ""));
        QCOMPARE(takeLog(), QStringLiteral("O valor 3 não é um TIPOPESSOA válido ") + suffix(5));
    }
};

QTEST_GUILESS_MAIN(TestDescriptors)
#include "test_descriptors.moc"
