// Paradox tables written and read by the wrapper, checked against pxlib's
// own field API (an independent reader and writer of the same format).
#include "db/database.h"
#include "db/dberror.h"
#include "db/paradoxtable.h"
#include "db/schema.h"
#include "remessa/deltatables.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

extern "C" {
#include <paradox.h>
}

using Paradox::Field;
using Paradox::FieldType;

namespace {

QList<Field> allTypes()
{
    return {{QStringLiteral("Nome"), FieldType::Alpha, 6},   {QStringLiteral("Curto"), FieldType::Short, 2},
            {QStringLiteral("Longo"), FieldType::Long, 4},   {QStringLiteral("Valor"), FieldType::Number, 8},
            {QStringLiteral("Dia"), FieldType::Date, 4},     {QStringLiteral("Momento"), FieldType::Timestamp, 8},
            {QStringLiteral("Ativo"), FieldType::Logical, 1}};
}

// pxlib reading a table by itself: raw records split with its field getters.
struct PxRow
{
    QByteArray text;
    bool textNull = true;
    int shortValue = 0;
    long longValue = 0;
    double number = 0;
    long date = 0;
    double stamp = 0;
    char logical = 0;
};

QList<PxRow> readWithPxlib(const QString &path, QStringList *names = nullptr)
{
    QList<PxRow> out;
    PX_boot();
    pxdoc_t *px = PX_new();
    FILE *fp = fopen(QFile::encodeName(path).constData(), "rb");
    if (!fp || PX_open_fp(px, fp) < 0)
        return out;
    if (names)
        for (int i = 0; i < PX_get_num_fields(px); ++i)
            *names << QString::fromLatin1(PX_get_field(px, i)->px_fname);
    QByteArray rec(PX_get_recordsize(px), '\0');
    for (int r = 0; r < PX_get_num_records(px); ++r) {
        PX_get_record(px, r, rec.data());
        PxRow row;
        char *p = rec.data();
        char *s = nullptr;
        row.textNull = PX_get_data_alpha(px, p, 6, &s) <= 0;
        if (s) {
            row.text = QByteArray(s);
            px->free(px, s);
        }
        short sv = 0;
        PX_get_data_short(px, p + 6, 2, &sv);
        row.shortValue = sv;
        PX_get_data_long(px, p + 8, 4, &row.longValue);
        PX_get_data_double(px, p + 12, 8, &row.number);
        PX_get_data_long(px, p + 20, 4, &row.date);
        PX_get_data_double(px, p + 24, 8, &row.stamp);
        PX_get_data_byte(px, p + 32, 1, &row.logical);
        out << row;
    }
    PX_close(px);
    PX_delete(px);
    fclose(fp);
    return out;
}

// pxlib writing a table by itself, optionally encrypted.
void writeWithPxlib(const QString &path, int rows, const char *password)
{
    PX_boot();
    pxdoc_t *px = PX_new();
    auto *f = static_cast<pxfield_t *>(px->malloc(px, 3 * sizeof(pxfield_t), "f"));
    f[0] = {PX_strdup(px, "Codigo"), pxfShort, 2, 0};
    f[1] = {PX_strdup(px, "Descricao"), pxfAlpha, 20, 0};
    f[2] = {PX_strdup(px, "Quando"), pxfDate, 4, 0};
    PX_create_file(px, f, 3, QFile::encodeName(path).constData(), pxfFileTypNonIndexDB);
    if (password)
        PX_set_parameter(px, "password", password);
    char rec[26];
    for (int i = 0; i < rows; ++i) {
        std::memset(rec, 0, sizeof rec);
        PX_put_data_short(px, rec, 2, short(i + 1));
        const QByteArray text = "Pa\xEDs " + QByteArray::number(i); // "País" in CP1252
        PX_put_data_alpha(px, rec + 2, 20, const_cast<char *>(text.constData()));
        PX_put_data_long(px, rec + 22, 4, long(QDate(2024, 1, 1).addDays(i).toJulianDay() - 1721425));
        PX_put_record(px, rec);
    }
    PX_close(px);
    PX_delete(px);
}

void expectDamaged(const QString &path)
{
    try {
        auto r = ParadoxReader::open(path);
        while (r->next()) { }
        QFAIL(qPrintable(QStringLiteral("a damaged file was read: ") + path));
    } catch (const AppError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("danificado")), qPrintable(e.message()));
    }
}

// A value of the field's type that tells row and column apart.
QVariant sampleValue(const Field &f, int row, int column)
{
    switch (f.type) {
    case FieldType::Alpha:
    case FieldType::Memo: return QStringLiteral("r%1c%2").arg(row).arg(column).left(f.size);
    case FieldType::Short: return (row + column) % 30000;
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Time: return row * 100 + column;
    case FieldType::Number:
    case FieldType::Currency: return row + column / 8.0;
    case FieldType::Date: return QDate(2020, 1, 1).addDays(row + column);
    case FieldType::Timestamp: return QDateTime(QDate(2021, 6, 1).addDays(row), QTime(10, column % 60, 5));
    case FieldType::Logical: return (row + column) % 2 == 0;
    }
    return QVariant();
}

QVariantList sampleRow(const QList<Field> &fields, int row)
{
    QVariantList out;
    for (int c = 0; c < fields.size(); ++c)
        out << sampleValue(fields.at(c), row, c);
    return out;
}

// Every row read back, in order, must be the sample of its number.
void expectSampleRows(const QString &file, int rows)
{
    auto r = ParadoxReader::open(file);
    QCOMPARE(r->rowCount(), rows);
    int n = 0;
    while (r->next()) {
        const QVariantList expected = sampleRow(r->fields(), n);
        for (int c = 0; c < expected.size(); ++c)
            QVERIFY2(r->value(c) == expected.at(c),
                     qPrintable(QStringLiteral("row %1 column %2: %3").arg(n).arg(c).arg(r->value(c).toString())));
        ++n;
    }
    QCOMPARE(n, rows);
}

int pxlibRowCount(const QString &path)
{
    PX_boot();
    pxdoc_t *px = PX_new();
    FILE *fp = fopen(QFile::encodeName(path).constData(), "rb");
    int n = -1;
    if (fp && PX_open_fp(px, fp) >= 0) {
        n = PX_get_num_records(px);
        QByteArray rec(PX_get_recordsize(px), '\0');
        for (int r = 0; r < n; ++r)
            if (!PX_get_record(px, r, rec.data()))
                n = -2;
        PX_close(px);
    }
    PX_delete(px);
    if (fp)
        fclose(fp);
    return n;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

void put16(QByteArray &b, int at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

} // namespace

class TestParadoxTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) { return m_dir.filePath(name); }

private slots:
    void schemaColumnsBecomeTheirParadoxTypes()
    {
        const auto sig = Paradox::fieldsFor(*Schema::table(QStringLiteral("SIGNATARIOS")));
        QCOMPARE(sig.at(0), (Field{QStringLiteral("ID_Signatario"), FieldType::Long, 4}));
        QCOMPARE(sig.at(1), (Field{QStringLiteral("Signatario"), FieldType::Alpha, 255}));
        const auto cert = Paradox::fieldsFor(*Schema::table(QStringLiteral("CERTIFIC")));
        QCOMPARE(cert.at(2), (Field{QStringLiteral("StatusCertificado"), FieldType::Alpha, 1}));
        QCOMPARE(cert.at(3), (Field{QStringLiteral("DthStatusCertificado"), FieldType::Timestamp, 8}));
        QCOMPARE(cert.at(4), (Field{QStringLiteral("IdClasseProd"), FieldType::Short, 2}));
        QCOMPARE(cert.at(13), (Field{QStringLiteral("Aprovado"), FieldType::Logical, 1}));
        Schema::Field f{QStringLiteral("X"), Schema::FieldType::Float};
        QCOMPARE(Paradox::fieldFor(f).type, FieldType::Number);
        f.type = Schema::FieldType::Date;
        QCOMPARE(Paradox::fieldFor(f).type, FieldType::Date);
        f.type = Schema::FieldType::Integer;
        QCOMPARE(Paradox::fieldFor(f).type, FieldType::Long);
    }

    void valuesReadBackByPxlibAndByTheWrapper()
    {
        const QString file = path(QStringLiteral("Tipos.DB"));
        const QDateTime moment(QDate(2024, 2, 29), QTime(13, 45, 30, 250));
        {
            auto w = ParadoxWriter::create(file, allTypes());
            // Cut at six bytes of CP1252; a character outside the code page
            // becomes '?' instead of turning the value NULL.
            w->appendRow({QStringLiteral("Ação€xyz"), -12, 70000, -2.5, QDate(1999, 12, 31), moment, true});
            w->appendRow({QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
            w->appendRow({QStringLiteral("a✓b😀c"), 0, 0, 0.0, QStringLiteral("2001-01-01"),
                          QStringLiteral("2024-05-01T08:00:00.000"), false});
            w->close();
        }
        QStringList names;
        const QList<PxRow> px = readWithPxlib(file, &names);
        QCOMPARE(names, (QStringList{"Nome", "Curto", "Longo", "Valor", "Dia", "Momento", "Ativo"}));
        QCOMPARE(px.size(), 3);
        QCOMPARE(px.at(0).text, QByteArray("A\xE7\xE3o\x80x"));
        QCOMPARE(px.at(0).shortValue, -12);
        QCOMPARE(px.at(0).longValue, 70000L);
        QCOMPARE(px.at(0).number, -2.5);
        QCOMPARE(px.at(0).date, long(QDate(1999, 12, 31).toJulianDay() - 1721425));
        QCOMPARE(px.at(0).stamp,
                 double(QDate(2024, 2, 29).toJulianDay() - 1721425) * 86400000.0 +
                     QTime(13, 45, 30, 250).msecsSinceStartOfDay());
        QVERIFY(px.at(0).logical != 0);
        QVERIFY(px.at(1).textNull);
        QCOMPARE(px.at(2).text, QByteArray("a?b?c"));

        // The raw bytes of the NULL row are all zero; zero values are not.
        QVERIFY(ParadoxWriter::encodeRecord(allTypes(), {}).count('\0') == 33);
        QVERIFY(ParadoxWriter::encodeRecord(allTypes(), {QVariant(), 0}).at(6) != 0);

        auto r = ParadoxReader::open(file);
        QCOMPARE(r->rowCount(), 3);
        QVERIFY(!r->encrypted());
        QVERIFY(r->next());
        QCOMPARE(r->value(QStringLiteral("nome")).toString(), QStringLiteral("Ação€x"));
        QCOMPARE(r->value(1), QVariant(-12));
        QCOMPARE(r->value(2), QVariant(70000));
        QCOMPARE(r->value(3), QVariant(-2.5));
        QCOMPARE(r->value(4), QVariant(QDate(1999, 12, 31)));
        QCOMPARE(r->value(5).toDateTime(), moment);
        QCOMPARE(r->row().value(QStringLiteral("Ativo")), QVariant(true));
        QVERIFY(r->next());
        for (const QVariant &v : r->values())
            QVERIFY(v.isNull());
        QVERIFY(r->next());
        QCOMPARE(r->value(1), QVariant(0));
        QCOMPARE(r->value(6), QVariant(false));
        QCOMPARE(r->value(5).toDateTime(), QDateTime(QDate(2024, 5, 1), QTime(8, 0)));
        QVERIFY(!r->next());
    }

    void badValuesAreRefusedWithTheFieldName()
    {
        auto w = ParadoxWriter::create(path(QStringLiteral("Ruim.DB")), allTypes());
        try {
            w->appendRow({QStringLiteral("x"), QStringLiteral("abc"), 1, 1.0, QDate(2024, 1, 1), QVariant(), true});
            QFAIL("a text in a short field was written");
        } catch (const AppError &e) {
            QVERIFY(e.message().contains(QStringLiteral("Curto")));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, w->appendRow({1, 2}));
        QVERIFY_THROWS_EXCEPTION(AppError, w->appendRow({QVariant(), 40000, 1, 1.0, QVariant(), QVariant(), true}));
        w->close();
        QVERIFY_THROWS_EXCEPTION(
            AppError,
            ParadoxWriter::create(path(QStringLiteral("X.DB")), {{QStringLiteral("T"), FieldType::Alpha, 300}}));
    }

    void readsPlainAndPasswordProtectedTablesWrittenByPxlib_data()
    {
        QTest::addColumn<bool>("withPassword");
        QTest::newRow("plain") << false;
        QTest::newRow("vortekamsil") << true;
    }
    void readsPlainAndPasswordProtectedTablesWrittenByPxlib()
    {
        QFETCH(bool, withPassword);
        const QString file = path(QStringLiteral("Pais%1.DB").arg(withPassword));
        // Enough rows for several data blocks.
        writeWithPxlib(file, 700, withPassword ? "vortekamsil" : nullptr);
        auto r = ParadoxReader::open(file);
        QCOMPARE(r->encrypted(), withPassword);
        QCOMPARE(r->fieldNames(), (QStringList{"Codigo", "Descricao", "Quando"}));
        QCOMPARE(r->rowCount(), 700);
        int n = 0;
        while (r->next()) {
            QCOMPARE(r->value(QStringLiteral("Codigo")).toInt(), n + 1);
            QCOMPARE(r->value(QStringLiteral("Descricao")).toString(), QStringLiteral("País %1").arg(n));
            QCOMPARE(r->value(QStringLiteral("Quando")).toDate(), QDate(2024, 1, 1).addDays(n));
            ++n;
        }
        QCOMPARE(n, 700);
    }

    void appendingKeepsTheRowsAlreadyThere()
    {
        const QString file = path(QStringLiteral("Mais.DB"));
        {
            auto w = ParadoxWriter::create(file, allTypes());
            for (int i = 0; i < 3; ++i)
                w->appendRow({QStringLiteral("old%1").arg(i), i, i, 0.0, QVariant(), QVariant(), true});
            w->close();
        }
        {
            auto w = ParadoxWriter::append(file);
            QCOMPARE(w->fields(), allTypes());
            QCOMPARE(w->rowCount(), 3);
            for (int i = 0; i < 600; ++i)
                w->appendRow({QStringLiteral("new%1").arg(i), i, i, 0.0, QVariant(), QVariant(), false});
            w->close();
        }
        QCOMPARE(readWithPxlib(file).size(), 603);
        auto r = ParadoxReader::open(file);
        QStringList texts;
        while (r->next())
            texts << r->value(0).toString();
        QCOMPARE(texts.size(), 603);
        QCOMPARE(texts.at(2), QStringLiteral("old2"));
        QCOMPARE(texts.at(3), QStringLiteral("new0"));
        QCOMPARE(texts.last(), QStringLiteral("new599"));
    }

    void writtenWithThePasswordReadsBackEncrypted()
    {
        const QString file = path(QStringLiteral("Senha.DB"));
        {
            auto w = ParadoxWriter::create(file, allTypes(), Paradox::enginePassword());
            for (int i = 0; i < 150; ++i)
                w->appendRow({QStringLiteral("s%1").arg(i), i, i, 0.5, QVariant(), QVariant(), true});
            w->close();
        }
        {
            auto w = ParadoxWriter::append(file);
            w->appendRow({QStringLiteral("fim"), 1, 1, 0.5, QVariant(), QVariant(), false});
            w->close();
        }
        auto r = ParadoxReader::open(file);
        QVERIFY(r->encrypted());
        QCOMPARE(r->rowCount(), 151);
        QStringList texts;
        while (r->next())
            texts << r->value(0).toString();
        QCOMPARE(texts.at(149), QStringLiteral("s149"));
        QCOMPARE(texts.last(), QStringLiteral("fim"));
    }

    void damagedFilesAreRefusedNeverLooped()
    {
        const QString good = path(QStringLiteral("Bom.DB"));
        writeWithPxlib(good, 700, nullptr);
        QFile in(good);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        in.close();
        auto variant = [&](const QString &name, const QByteArray &content) {
            const QString p = path(name);
            QFile f(p);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(content);
            return p;
        };
        expectDamaged(variant(QStringLiteral("Vazio.DB"), QByteArray()));
        expectDamaged(variant(QStringLiteral("Metade.DB"), bytes.left(bytes.size() / 2)));
        expectDamaged(variant(QStringLiteral("Cabecalho.DB"), bytes.left(0x60)));
        expectDamaged(variant(QStringLiteral("Lixo.DB"), QByteArray(5000, 'x')));
        // Two blocks pointing at each other: pxlib alone walks that forever.
        const int headerSize = quint8(bytes[2]) | (quint8(bytes[3]) << 8);
        const int blockSize = quint8(bytes[5]) * 0x400;
        QByteArray loop = bytes;
        loop[headerSize + blockSize] = 1; // block 2's next block = 1
        loop[headerSize + blockSize + 1] = 0;
        loop[headerSize] = 2;
        loop[headerSize + 1] = 0;
        expectDamaged(variant(QStringLiteral("Laco.DB"), loop));
        // More rows in the header than the blocks hold.
        QByteArray count = bytes;
        count[6] = char(0xFF);
        count[7] = char(0x0F);
        expectDamaged(variant(QStringLiteral("Conta.DB"), count));
        // A field type the format does not have.
        QByteArray type = bytes;
        type[0x78] = char(0x7F);
        expectDamaged(variant(QStringLiteral("Tipo.DB"), type));
        QVERIFY_THROWS_EXCEPTION(AppError, ParadoxReader::open(path(QStringLiteral("NaoExiste.DB"))));
        QVERIFY_THROWS_EXCEPTION(AppError, ParadoxWriter::append(path(QStringLiteral("Metade.DB"))));
    }

    // Found by fuzzing: a block chain pxlib walked by seeking alone (the
    // read budget never ran out), and then freed twice on its way out.
    void loopWalkedBySeekingIsRefused()
    {
        QElapsedTimer t;
        t.start();
        expectDamaged(QStringLiteral(CORVANE_TEST_DIR "/fuzz/regressions/paradox-looping-blocks"));
        QVERIFY(t.elapsed() < 20000);
    }

    // Found by fuzzing: a stored moment far past any day count overflowed
    // the conversion. Such a moment reads as NULL, like one that is not a
    // number; the moments around it read as before.
    void momentsPastAnyDateReadAsNull()
    {
        const QList<Field> fields{{QStringLiteral("Momento"), FieldType::Timestamp, 8}};
        auto stored = [](double ms) {
            quint64 bits;
            std::memcpy(&bits, &ms, 8);
            bits = (bits & 0x8000000000000000ULL) ? ~bits : (bits | 0x8000000000000000ULL);
            QByteArray out(8, '\0');
            for (int i = 7; i >= 0; --i, bits >>= 8)
                out[i] = char(bits & 0xFF);
            return out;
        };
        for (double ms : {1e300, -1e300, 1e18, -1e18, 2147483648.0 * 86400000.0})
            QVERIFY2(ParadoxReader::decodeRecord(fields, stored(ms).constData()).at(0).isNull(),
                     qPrintable(QString::number(ms)));
        const QDateTime early(QDate(1, 1, 1), QTime(0, 0, 0, 1));
        QCOMPARE(ParadoxReader::decodeRecord(fields, stored(86400000.0 + 1).constData()).at(0).toDateTime(), early);
        const QDateTime late(QDate(9999, 12, 31), QTime(23, 59, 59, 999));
        const double lateMs = double(late.date().toJulianDay() - 1721425) * 86400000.0 +
            late.time().msecsSinceStartOfDay();
        QCOMPARE(ParadoxReader::decodeRecord(fields, stored(lateMs).constData()).at(0).toDateTime(), late);

        auto r = ParadoxReader::open(QStringLiteral(CORVANE_TEST_DIR "/fuzz/regressions/paradox-timestamp-overflow"));
        QCOMPARE(r->rowCount(), 2);
        QVERIFY(r->next() && r->next());
        QCOMPARE(r->fields().at(8).type, FieldType::Timestamp);
        QVERIFY(r->value(8).isNull());
        QCOMPARE(r->value(0).toString(), QStringLiteral("abc"));
        QCOMPARE(r->value(3).toInt(), 123456);
        QVERIFY(!r->next());
    }

    // A chain that comes back to a block, or names one the file does not
    // have, is refused, wherever it turns: pxlib by itself follows the
    // first kind for ever once it has seen as many blocks as the file has.
    void brokenBlockChainsAreRefused_data()
    {
        QTest::addColumn<int>("block"); // 0: the last block
        QTest::addColumn<int>("next"); // -1: past the file's blocks
        QTest::newRow("last block back to the first") << 0 << 1;
        QTest::newRow("last block to itself") << 0 << 0;
        QTest::newRow("middle block to itself") << 3 << 3;
        QTest::newRow("middle block back to the first") << 4 << 1;
        QTest::newRow("first block past the file") << 1 << -1;
        QTest::newRow("last block past the file") << 0 << -1;
    }
    void brokenBlockChainsAreRefused()
    {
        QFETCH(int, block);
        QFETCH(int, next);
        const QString good = path(QStringLiteral("Cadeia.DB"));
        if (!QFile::exists(good)) {
            auto w = ParadoxWriter::create(good, allTypes());
            for (int i = 0; i < 500; ++i)
                w->appendRow(sampleRow(allTypes(), i));
            w->close();
        }
        const QByteArray bytes = readAll(good);
        const int headerSize = quint8(bytes[2]) | (quint8(bytes[3]) << 8);
        const int blockSize = quint8(bytes[5]) * 0x400;
        const int fileBlocks = quint8(bytes[0x0C]) | (quint8(bytes[0x0D]) << 8);
        QVERIFY(fileBlocks >= 5);
        if (block == 0)
            block = fileBlocks;
        if (next == 0)
            next = block;
        if (next < 0)
            next = fileBlocks + 1;
        QByteArray broken = bytes;
        put16(broken, headerSize + (block - 1) * blockSize, next);
        // Room for the block it names, so only the chain is wrong.
        broken.append(QByteArray(blockSize, '\0'));
        const QString bad = path(QStringLiteral("Quebrada.DB"));
        writeAll(bad, broken);
        QElapsedTimer t;
        t.start();
        expectDamaged(bad);
        QVERIFY(t.elapsed() < 20000);
        QVERIFY_THROWS_EXCEPTION(AppError, ParadoxWriter::append(bad));
    }

    // The remittance appends to a delta table already in its folder: a
    // second and third session add rows after the first session's, into
    // its last, partly filled block and then new blocks.
    void deltaTableAppendedInLaterSessionsReadsBackWhole()
    {
        QTemporaryDir folder;
        const QString table = QStringLiteral("CTR_HISTORICO");
        const QString file = DeltaTables::filePath(folder.path(),
                                                   DeltaTables::tableName(table, DeltaTables::Inclusion));
        int rows = 0;
        for (int session : {7, 40, 1, 23}) {
            auto w = DeltaTables::open(folder.path(), table, DeltaTables::Inclusion);
            QCOMPARE(w->rowCount(), rows);
            for (int i = 0; i < session; ++i)
                w->appendRow(sampleRow(w->fields(), rows++));
            w->close();
            expectSampleRows(file, rows);
        }
        const QByteArray bytes = readAll(file);
        const int fileBlocks = quint8(bytes[0x0C]) | (quint8(bytes[0x0D]) << 8);
        QVERIFY2(fileBlocks > 3, qPrintable(QString::number(fileBlocks)));
        QCOMPARE(pxlibRowCount(file), rows);
    }

    // Hundreds of blocks, plain and with the engine's password, written in
    // sessions that each end inside a block.
    void tablesOfManyBlocksAppendedInSessions_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << QString();
        QTest::newRow("vortekamsil") << Paradox::enginePassword();
    }
    void tablesOfManyBlocksAppendedInSessions()
    {
        QFETCH(QString, password);
        const QString file = path(QStringLiteral("Muitos%1.DB").arg(password.isEmpty()));
        int rows = 0;
        {
            auto w = ParadoxWriter::create(file, allTypes(), password);
            for (int i = 0; i < 9000; ++i)
                w->appendRow(sampleRow(allTypes(), rows++));
            w->close();
        }
        {
            auto w = ParadoxWriter::append(file);
            for (int i = 0; i < 6001; ++i)
                w->appendRow(sampleRow(allTypes(), rows++));
            w->close();
        }
        const QByteArray bytes = readAll(file);
        const int fileBlocks = quint8(bytes[0x0C]) | (quint8(bytes[0x0D]) << 8);
        QVERIFY2(fileBlocks > 200, qPrintable(QString::number(fileBlocks)));
        expectSampleRows(file, rows);
        QCOMPARE(ParadoxReader::open(file)->encrypted(), !password.isEmpty());
        QCOMPARE(pxlibRowCount(file), rows);
    }

    // A file whose chain does not run in block order (as another program
    // may leave it): rows added later go after its last block in the chain,
    // into a new block that block points at.
    void appendingFollowsTheChainNotTheBlockOrder()
    {
        const QString file = path(QStringLiteral("Ordem.DB"));
        QByteArray bytes;
        {
            auto w = ParadoxWriter::create(file, allTypes());
            w->appendRow(sampleRow(allTypes(), 0));
            w->close();
            bytes = readAll(file);
        }
        const int recordSize = quint8(bytes[0]) | (quint8(bytes[1]) << 8);
        const int headerSize = quint8(bytes[2]) | (quint8(bytes[3]) << 8);
        const int blockSize = quint8(bytes[5]) * 0x400;
        const int perBlock = (blockSize - 6) / recordSize;
        {
            // Three full blocks.
            auto w = ParadoxWriter::create(file, allTypes());
            for (int i = 0; i < 3 * perBlock; ++i)
                w->appendRow(sampleRow(allTypes(), i));
            w->close();
            bytes = readAll(file);
        }
        // Chain 1 -> 3 -> 2, the last block being 2.
        auto block = [&](int n) { return headerSize + (n - 1) * blockSize; };
        put16(bytes, block(1), 3);
        put16(bytes, block(3), 2);
        put16(bytes, block(3) + 2, 1);
        put16(bytes, block(2), 0);
        put16(bytes, block(2) + 2, 3);
        put16(bytes, 0x10, 2);
        writeAll(file, bytes);
        QCOMPARE(ParadoxReader::open(file)->rowCount(), 3 * perBlock);
        {
            auto w = ParadoxWriter::append(file);
            w->appendRow({QStringLiteral("novo"), 1, 1, 1.0, QVariant(), QVariant(), true});
            w->close();
        }
        auto r = ParadoxReader::open(file);
        QCOMPARE(r->rowCount(), 3 * perBlock + 1);
        QStringList texts;
        while (r->next())
            texts << r->value(0).toString();
        QCOMPARE(texts.at(perBlock), sampleValue(allTypes().at(0), 2 * perBlock, 0).toString());
        QCOMPARE(texts.at(2 * perBlock), sampleValue(allTypes().at(0), perBlock, 0).toString());
        QCOMPARE(texts.last(), QStringLiteral("novo"));
        QCOMPARE(pxlibRowCount(file), 3 * perBlock + 1);
    }

    // Rows handed over straight from the engine are written byte for byte
    // as their values would be, whatever the stored type of each column;
    // a value that fits no field is refused the same way.
    void engineRowsAreWrittenAsTheirValues()
    {
        Database db;
        db.create(path(QStringLiteral("linhas.sqlite")));
        db.execute(QStringLiteral("CREATE TABLE t (a, b, c, d, e, f, g)"));
        const char *rows[] = {
            "'Ação', 5, 7, 1.5, '2024-02-29', '2024-02-29T10:11:12.345', 1",
            "'abcdefghij', -32767, 2147483647, 3, '2024-01-01T00:00:00', '2024-01-01 08:00:00', 0",
            "NULL, NULL, NULL, NULL, NULL, NULL, NULL",
            "12, '7', 2.0, '4.25', '01/02/2024', '02/03/2024 10:00:00', 'sim'",
            "'', 0, -5, -1000, '2024-03-01T00:00:00.000', '2024-03-01', 5",
            "'ab' || char(0) || 'c', 32767, -2147483647, 0.1, '2024-3-1', '2024-03-01T24:00:00', 'false'",
        };
        for (const char *r : rows)
            db.execute(QStringLiteral("INSERT INTO t VALUES (%1)").arg(QString::fromUtf8(r)));

        auto byValues = ParadoxWriter::create(path(QStringLiteral("Valores.DB")), allTypes());
        auto byRow = ParadoxWriter::create(path(QStringLiteral("Linhas.DB")), allTypes());
        Database::Statement &q = db.statement(QStringLiteral("SELECT * FROM t ORDER BY rowid"));
        int written = 0;
        for (q.exec(); q.hasRow(); q.next(), ++written) {
            QVariantList values;
            for (int i = 0; i < 7; ++i)
                values << q.value(i);
            bool valuesRefused = false, rowRefused = false;
            try {
                byValues->appendRow(values);
            } catch (const AppError &) {
                valuesRefused = true;
            }
            try {
                byRow->appendRow(q);
            } catch (const AppError &) {
                rowRefused = true;
            }
            QCOMPARE(rowRefused, valuesRefused);
        }
        q.reset();
        QCOMPARE(written, int(std::size(rows)));
        byValues->close();
        byRow->close();
        QCOMPARE(ParadoxReader::open(path(QStringLiteral("Linhas.DB")))->rowCount(), 5); // the 24:00 moment is refused
        QFile a(path(QStringLiteral("Valores.DB"))), b(path(QStringLiteral("Linhas.DB")));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray da = a.readAll(), dbytes = b.readAll();
        const int header = quint8(da[2]) | (quint8(da[3]) << 8);
        QCOMPARE(dbytes.size(), da.size());
        QVERIFY(dbytes.mid(header) == da.mid(header));
        QCOMPARE(readWithPxlib(b.fileName()).at(0).text, QByteArray("A\xe7\xe3o"));

        // Out of range for a short: refused by both.
        db.execute(QStringLiteral("INSERT INTO t VALUES ('x', 40000, 1, 1, NULL, NULL, 1)"));
        Database::Statement &big = db.statement(QStringLiteral("SELECT * FROM t WHERE b = 40000"));
        big.exec();
        QVERIFY(big.hasRow());
        QVERIFY_THROWS_EXCEPTION(AppError, byRow = ParadoxWriter::append(path(QStringLiteral("Linhas.DB")));
                                 byRow->appendRow(big));
        big.reset();
    }
};

QTEST_GUILESS_MAIN(TestParadoxTable)
#include "test_paradoxtable.moc"
