// Writes a few sound Paradox tables (every field type, a protected one)
// into the folder given, as seeds for fuzz_paradox.
#include "db/paradoxtable.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "uso: fuzz-paradox-seeds PASTA\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    using Paradox::FieldType;
    try {
        const QList<Paradox::Field> fields{{QStringLiteral("Codigo"), FieldType::Alpha, 4},
                                           {QStringLiteral("Nome"), FieldType::Alpha, 40}};
        auto plain = ParadoxWriter::create(dir.filePath(QStringLiteral("PAIS.DB")), fields);
        plain->appendRow({QStringLiteral("BR"), QStringLiteral("Brasil")});
        plain->appendRow({QStringLiteral("PT"), QStringLiteral("Portugal")});
        plain->close();

        auto locked = ParadoxWriter::create(dir.filePath(QStringLiteral("UF.DB")), fields, Paradox::enginePassword());
        locked->appendRow({QStringLiteral("SP"), QStringLiteral("São Paulo")});
        locked->close();

        const QList<QPair<FieldType, QVariant>> samples{
            {FieldType::Alpha, QStringLiteral("abc")},
            {FieldType::Date, QDate(2026, 12, 9)},
            {FieldType::Short, 7},
            {FieldType::Long, 123456},
            {FieldType::Currency, 1.5},
            {FieldType::Number, 2.25},
            {FieldType::Logical, true},
            {FieldType::Time, 3723000}, // milliseconds after midnight
            {FieldType::Timestamp, QDateTime(QDate(2026, 12, 9), QTime(4, 5, 6))},
            {FieldType::AutoInc, 1},
        };
        QList<Paradox::Field> all;
        QVariantList row, blanks;
        for (const auto &[type, value] : samples) {
            all.append({QStringLiteral("C%1").arg(all.size()), type, Paradox::byteSize(type, 10)});
            row.append(value);
            blanks.append(QVariant());
        }
        auto mixed = ParadoxWriter::create(dir.filePath(QStringLiteral("TIPOS.DB")), all);
        mixed->appendRow(blanks);
        mixed->appendRow(row);
        mixed->close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
