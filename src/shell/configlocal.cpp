#include "shell/configlocal.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

struct Column
{
    const char *name;
    QString ConfigLocal::*member;
    int width; // used only when the schema does not declare the column
};

const Column kColumns[] = {
    {"SiglaCertificador", &ConfigLocal::siglaCertificador, 8},
    {"NomeOCC", &ConfigLocal::nomeOCC, 255},
    {"DirLocalSincr", &ConfigLocal::dirLocalSincr, 100},
    {"DirLocalTransf", &ConfigLocal::dirLocalTransf, 100},
    {"DirLocalRecepAux", &ConfigLocal::dirLocalRecepAux, 100},
    {"EndQueloraEnvio", &ConfigLocal::endQueloraEnvio, 100},
    {"EndQueloraResult", &ConfigLocal::endQueloraResult, 100},
    {"EndQueloraOrigAux", &ConfigLocal::endQueloraOrigAux, 100},
    {"LoginFTP", &ConfigLocal::loginFTP, 40},
    {"SenhaFTP", &ConfigLocal::senhaFTP, 40},
    {"EndSMTPHost", &ConfigLocal::endSMTPHost, 150},
    {"EndSMTPPort", &ConfigLocal::endSMTPPort, 10},
    {"EndSMTPUsuario", &ConfigLocal::endSMTPUsuario, 150},
    {"EndSMTPUsuReply", &ConfigLocal::endSMTPUsuReply, 150},
    {"EndSMTPEMailReply", &ConfigLocal::endSMTPEMailReply, 150},
};

const Column *find(const QString &name)
{
    for (const Column &c : kColumns)
        if (name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QString selectList()
{
    return ConfigLocal::columns().join(QStringLiteral(", "));
}

QVariant stored(const QString &text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

// The workstation's own settings that no remittance carries; made when
// first saved, so a database from before it reads them as empty.
const char *kLocalOnlyTable = "CONFIG_CERTIFICADO";
constexpr int kCertificateWidth = 255;

QString readCertificateFile(const Database &db)
{
    if (!db.tableExists(QLatin1String(kLocalOnlyTable)))
        return QString();
    return db.scalar(QStringLiteral("SELECT ArqCertificadoTLS FROM CONFIG_CERTIFICADO LIMIT 1")).toString();
}

void saveCertificateFile(Database &db, const QString &path)
{
    if (path.isEmpty() && !db.tableExists(QLatin1String(kLocalOnlyTable)))
        return;
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS CONFIG_CERTIFICADO (ArqCertificadoTLS VARCHAR(%1))")
                   .arg(kCertificateWidth));
    db.execute(QStringLiteral("DELETE FROM CONFIG_CERTIFICADO"));
    db.execute(QStringLiteral("INSERT INTO CONFIG_CERTIFICADO (ArqCertificadoTLS) VALUES (?)"), {stored(path)});
}

// The column that picks the configuration's row. On a file the first row by
// insertion order is the configuration; a server keeps no insertion order,
// and there the row is found by its key (the table holds one row).
QString rowColumn(const Database &db)
{
    return db.onServer() ? QStringLiteral("SiglaCertificador") : QStringLiteral("rowid");
}

QString firstRow(const Database &db)
{
    return QStringLiteral("SELECT %1 FROM CONFIG_LOCAL ORDER BY %1 LIMIT 1").arg(rowColumn(db));
}

}

const QStringList &ConfigLocal::columns()
{
    static const QStringList names = [] {
        QStringList out;
        for (const Column &c : kColumns)
            out << QLatin1String(c.name);
        return out;
    }();
    return names;
}

const QString ConfigLocal::CertificateFile = QStringLiteral("ArqCertificadoTLS");

QString ConfigLocal::value(const QString &column) const
{
    if (column.compare(CertificateFile, Qt::CaseInsensitive) == 0)
        return arqCertificadoTLS;
    const Column *c = find(column);
    return c ? this->*(c->member) : QString();
}

void ConfigLocal::setValue(const QString &column, const QString &value)
{
    if (column.compare(CertificateFile, Qt::CaseInsensitive) == 0)
        arqCertificadoTLS = value;
    if (const Column *c = find(column))
        this->*(c->member) = value;
}

namespace ConfigLocalStore {

std::optional<ConfigLocal> read(const Database &db)
{
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT %1 FROM CONFIG_LOCAL WHERE %2 = (%3)").arg(selectList(), rowColumn(db), firstRow(db)));
    if (!q.next())
        return std::nullopt;
    ConfigLocal row;
    int i = 0;
    for (const Column &c : kColumns)
        row.*(c.member) = q.value(i++).toString();
    row.arqCertificadoTLS = readCertificateFile(db);
    return row;
}

QString certifier(const Database &db)
{
    auto row = read(db);
    return row ? row->siglaCertificador : QString();
}

int rowCount(const Database &db)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM CONFIG_LOCAL")).toInt();
}

void save(Database &db, const ConfigLocal &config)
{
    ConfigLocal row = config;
    row.siglaCertificador = row.siglaCertificador.toUpper();

    Transaction tx(db);
    const QVariant rowid = db.scalar(firstRow(db));
    if (!rowid.isValid()) {
        QStringList marks;
        QVariantList params;
        for (const Column &c : kColumns) {
            marks << QStringLiteral("?");
            params << stored(row.*(c.member));
        }
        db.execute(QStringLiteral("INSERT INTO CONFIG_LOCAL (%1) VALUES (%2)")
                       .arg(selectList(), marks.join(QStringLiteral(", "))),
                   params);
    } else {
        // Untouched columns keep their stored form (NULL or empty text), so
        // the replica comparison does not see changes nobody made.
        const ConfigLocal current = read(db).value_or(ConfigLocal{});
        QStringList sets;
        QVariantList params;
        for (const Column &c : kColumns) {
            if (current.*(c.member) == row.*(c.member))
                continue;
            sets << QStringLiteral("%1 = ?").arg(QLatin1String(c.name));
            params << stored(row.*(c.member));
        }
        if (!sets.isEmpty()) {
            params << rowid;
            db.execute(QStringLiteral("UPDATE CONFIG_LOCAL SET %1 WHERE %2 = ?")
                           .arg(sets.join(QStringLiteral(", ")), rowColumn(db)),
                       params);
        }
    }
    // Users made before the certifier was known (the first admin of a new
    // database) take its code: it is part of their replica key and the
    // status panel's organism.
    if (!row.siglaCertificador.trimmed().isEmpty())
        db.execute(QStringLiteral("UPDATE USU_LOCAL SET SiglaCertificador = ? "
                                  "WHERE SiglaCertificador IS NULL OR TRIM(SiglaCertificador) = ''"),
                   {row.siglaCertificador.trimmed()});
    if (row.arqCertificadoTLS.size() > kCertificateWidth)
        throw DbError(
            QStringLiteral("O caminho do arquivo de certificado tem mais de %1 caracteres.").arg(kCertificateWidth));
    if (row.arqCertificadoTLS != readCertificateFile(db))
        saveCertificateFile(db, row.arqCertificadoTLS);
    tx.commit();
}

int width(const QString &column)
{
    if (column.compare(ConfigLocal::CertificateFile, Qt::CaseInsensitive) == 0)
        return kCertificateWidth;
    if (const Schema::Table *t = Schema::table(QStringLiteral("CONFIG_LOCAL")))
        if (const Schema::Field *f = t->field(column); f && f->size > 0)
            return f->size;
    const Column *c = find(column);
    return c ? c->width : 0;
}

}
