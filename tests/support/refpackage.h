#pragma once
#include "base/archive.h"
#include "db/paradoxtable.h"
#include "support/scriptedmessenger.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

// Reference-update packages as the regulator makes them: Paradox tables
// zipped under "OC-TAB-<version>.zip".
namespace RefPackage {

struct Table
{
    QString name;
    QList<Paradox::Field> fields;
    QList<QVariantList> rows;
    QString password; // the engine's when protected
};

inline Table pais(const QList<QVariantList> &rows, const QString &password = QString())
{
    return {QStringLiteral("PAIS"),
            {{QStringLiteral("CodigoPais"), Paradox::FieldType::Alpha, 4},
             {QStringLiteral("NomePais"), Paradox::FieldType::Alpha, 40}},
            rows,
            password};
}

inline Table uf(const QList<QVariantList> &rows, int nameWidth = 30)
{
    return {QStringLiteral("UF"),
            {{QStringLiteral("SiglaUF"), Paradox::FieldType::Alpha, 2},
             {QStringLiteral("NomeUF"), Paradox::FieldType::Alpha, nameWidth}},
            rows,
            {}};
}

// Writes the tables and zips them into dir/fileName; false on any trouble.
inline bool build(const QString &dir, const QString &fileName, const QList<Table> &tables)
{
    QTemporaryDir scratch;
    for (const Table &t : tables) {
        auto w = ParadoxWriter::create(scratch.filePath(t.name + QStringLiteral(".DB")), t.fields, t.password);
        for (const QVariantList &row : t.rows)
            w->appendRow(row);
        w->close();
    }
    ScriptedMessenger m;
    return Archive::zip(scratch.filePath(QStringLiteral("*.DB")), QDir(dir).filePath(fileName), m);
}

// A zip holding arbitrary entries (names as given, unsafe ones included).
inline bool rawZip(const QString &path, const QList<QPair<QString, QByteArray>> &entries)
{
    QString script = QStringLiteral("import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1],'w')\n");
    QStringList args{QStringLiteral("-c"), QString(), path};
    for (int i = 0; i < entries.size(); ++i) {
        script +=
            QStringLiteral("z.writestr(sys.argv[%1], bytes.fromhex(sys.argv[%2]))\n").arg(2 + 2 * i).arg(3 + 2 * i);
        args << entries.at(i).first << QString::fromLatin1(entries.at(i).second.toHex());
    }
    script += QStringLiteral("z.close()\n");
    args[1] = script;
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), args);
    return p.waitForFinished(30000) && p.exitCode() == 0;
}

}
