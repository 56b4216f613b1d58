#include "refupdate/refinstall.h"

#include "base/archive.h"
#include "base/errorlog.h"
#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/paradoxtable.h"
#include "db/tableops.h"
#include "refupdate/refversion.h"
#include "remessa/registerstep.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

namespace RefInstall {

const QString InstallError = QStringLiteral("Ocorreu um Erro na Atualização.");
const QString InstallErrorBox = QStringLiteral("Ocorreu um Erro na Atualização.\nEntre em contato com o suporte.");
const QString Installed = QStringLiteral("A nova versão foi instalada sem problemas.");
const QString ReinstalledOlder = QStringLiteral("A versão anterior foi instalada sem problemas.");
const QString OlderFileMissing = QStringLiteral("O arquivo da versão anterior não foi encontrado.");

const QString AsDelivered = QStringLiteral("OBRIG_SERVICO");

namespace {

// Keeps what the archiver would have shown, for the failure's reason.
class Collector : public Messenger
{
public:
    QString text;
    void error(const QString &t, const QString &) override { text = t; }
    void information(const QString &t, const QString &) override { text = t; }
    void warning(const QString &t, const QString &) override { text = t; }
    void plain(const QString &t, const QString &) override { text = t; }
    bool confirm(const QString &, const QString &) override { return false; }
};

// The package's tables may come in any letter case ("pais.db").
void removeUnpacked(QDir dir)
{
    const QStringList found = dir.entryList({QStringLiteral("*.DB"), QStringLiteral("*.PX"), QStringLiteral("*.VAL")},
                                            QDir::Files);
    for (const QString &name : found)
        dir.remove(name);
}

bool hasTables(const QDir &dir)
{
    return !dir.entryList({QStringLiteral("*.DB")}, QDir::Files).isEmpty();
}

// Unpacked names keep the case the package gave them.
QString findTable(const QDir &dir, const QString &table)
{
    const QString wanted = table + QStringLiteral(".DB");
    for (const QString &name : dir.entryList(QDir::Files))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return QString();
}

// A table the merge would not see (inside a folder) or would see twice (one
// name in two letter cases, of which the file system keeps one or both) is
// a package made wrong: refused before anything is unpacked.
QString layoutProblem(const QString &package, const QString &fileName)
{
    QStringList names;
    if (!Archive::entryNames(package, &names))
        return QString(); // the unpacking says why
    QHash<QString, QString> seen;
    for (const QString &name : names) {
        const QString base = name.section(QLatin1Char('/'), -1);
        if (!base.endsWith(QLatin1String(".DB"), Qt::CaseInsensitive))
            continue;
        if (base != name)
            return QStringLiteral("O pacote %1 traz a tabela %2 dentro de uma pasta (%3); as tabelas devem estar na "
                                  "raiz do pacote.")
                .arg(fileName, base, name);
        const QString key = base.toUpper();
        if (seen.contains(key))
            return QStringLiteral("O pacote %1 traz a tabela %2 mais de uma vez (%3 e %4).")
                .arg(fileName, key.chopped(3), seen.value(key), base);
        seen.insert(key, base);
    }
    return QString();
}

QString typeName(Paradox::FieldType type)
{
    using P = Paradox::FieldType;
    switch (type) {
    case P::Alpha: return QStringLiteral("alfanumérico");
    case P::Date: return QStringLiteral("data");
    case P::Short:
    case P::Long:
    case P::AutoInc: return QStringLiteral("inteiro");
    case P::Currency: return QStringLiteral("moeda");
    case P::Number: return QStringLiteral("número");
    case P::Logical: return QStringLiteral("lógico");
    case P::Memo: return QStringLiteral("memorando");
    case P::Time: return QStringLiteral("hora");
    case P::Timestamp: return QStringLiteral("data e hora");
    }
    return QStringLiteral("desconhecido");
}

QString typeName(Schema::FieldType type)
{
    using S = Schema::FieldType;
    switch (type) {
    case S::Text: return QStringLiteral("alfanumérico");
    case S::Memo: return QStringLiteral("memorando");
    case S::SmallInt:
    case S::Integer:
    case S::AutoInc: return QStringLiteral("inteiro");
    case S::Float: return QStringLiteral("número");
    case S::Date: return QStringLiteral("data");
    case S::DateTime: return QStringLiteral("data e hora");
    case S::Boolean: return QStringLiteral("lógico");
    }
    return QStringLiteral("desconhecido");
}

// Whether a package field may fill a local column: the value converts without
// changing meaning (a date is not a text, a number not a flag).
// On a server a yes/no column is a small integer holding 0/1, and is read
// back so.
bool fits(Paradox::FieldType from, Schema::FieldType to, bool server)
{
    using P = Paradox::FieldType;
    using S = Schema::FieldType;
    switch (from) {
    case P::Alpha:
    case P::Memo: return to == S::Text || to == S::Memo;
    case P::Short:
    case P::Long:
    case P::AutoInc: return to == S::SmallInt || to == S::Integer || to == S::AutoInc || to == S::Float;
    case P::Number:
    case P::Currency: return to == S::Float;
    case P::Logical: return to == S::Boolean || (server && to == S::SmallInt);
    case P::Date: return to == S::Date || to == S::DateTime;
    case P::Timestamp: return to == S::DateTime;
    case P::Time: return false;
    }
    return false;
}

// The local form of a delivered field, for the table stored as delivered.
Schema::Field localField(const Paradox::Field &f)
{
    using P = Paradox::FieldType;
    using S = Schema::FieldType;
    Schema::Field out;
    out.name = f.name;
    switch (f.type) {
    case P::Alpha:
        out.type = S::Text;
        out.size = f.size;
        break;
    case P::Memo: out.type = S::Memo; break;
    case P::Short: out.type = S::SmallInt; break;
    case P::Long:
    case P::AutoInc: out.type = S::Integer; break;
    case P::Number:
    case P::Currency: out.type = S::Float; break;
    case P::Logical: out.type = S::Boolean; break;
    case P::Date: out.type = S::Date; break;
    case P::Timestamp: out.type = S::DateTime; break;
    case P::Time:
        out.type = S::Text;
        out.size = 12;
        break;
    }
    return out;
}

// A table's or column's name quoted as the engine keeps it: the server makes
// the declared names in lower case.
QString quotedName(const Database &db, const QString &name)
{
    return QLatin1Char('"') + (db.onServer() ? name.toLower() : name) + QLatin1Char('"');
}

// The table no local code reads: it takes the delivered columns. Local rows
// stay (for the columns both have) when the local key survives the change;
// without it there is nothing to match them by and the delivery replaces them.
void reshapeAsDelivered(Database &db, const QString &table, const QList<Paradox::Field> &delivered)
{
    const Schema::Table local = TableOps::structure(db, table);
    bool same = local.fields.size() == delivered.size();
    for (qsizetype i = 0; same && i < delivered.size(); ++i)
        same = local.fields.at(i).name.compare(delivered.at(i).name, Qt::CaseInsensitive) == 0 &&
            fits(delivered.at(i).type, local.fields.at(i).type, db.onServer());
    if (same)
        return;
    Schema::Table shaped;
    shaped.name = local.name;
    for (const Paradox::Field &f : delivered)
        shaped.fields << localField(f);
    bool keyKept = !local.key.isEmpty();
    for (const QString &k : local.key)
        keyKept = keyKept && shaped.indexOf(k) >= 0;
    if (keyKept)
        shaped.key = local.key;
    TableOps::RowSet kept;
    if (keyKept) {
        QStringList common;
        for (const Schema::Field &f : shaped.fields)
            if (local.indexOf(f.name) >= 0)
                common << f.name;
        QStringList quoted;
        for (const QString &c : common)
            quoted << quotedName(db, c);
        kept = TableOps::readQuery(
            db, QStringLiteral("SELECT %1 FROM %2").arg(quoted.join(QLatin1Char(',')), quotedName(db, local.name)));
    }
    db.execute(QStringLiteral("DROP TABLE %1").arg(quotedName(db, local.name)));
    for (const QString &sql : Schema::createStatements(shaped, db.engine()))
        db.execute(sql);
    if (!kept.rows.isEmpty())
        TableOps::batchCopy(db, kept, shaped.name, TableOps::CopyMode::Append, TableOps::Mapping::ByName);
}

// The package's rows in the fields the local table has; a field it lacks is
// noted in *ignored ("TABELA.Campo") and left out, a field of another type
// refuses the package.
TableOps::RowSet readPackageTable(Database &db, const QString &path, const QString &table, QStringList *ignored)
{
    const std::unique_ptr<ParadoxReader> reader = ParadoxReader::open(path);
    if (table.compare(AsDelivered, Qt::CaseInsensitive) == 0)
        reshapeAsDelivered(db, table, reader->fields());
    const Schema::Table local = TableOps::structure(db, table);
    TableOps::RowSet rows;
    QList<int> taken;
    for (int i = 0; i < reader->fields().size(); ++i) {
        const Paradox::Field &field = reader->fields().at(i);
        const Schema::Field *column = local.field(field.name);
        if (!column) {
            ignored->append(table + QLatin1Char('.') + field.name);
            continue;
        }
        if (!fits(field.type, column->type, db.onServer()))
            throw AppError(QStringLiteral("A tabela %1 do pacote traz o campo %2 do tipo %3, mas a coluna local "
                                          "é do tipo %4.")
                               .arg(table, field.name, typeName(field.type), typeName(column->type)));
        rows.columns << field.name;
        taken << i;
    }
    while (reader->next()) {
        QVariantList values;
        values.reserve(taken.size());
        for (int i : taken)
            values << reader->value(i);
        rows.rows.append(values);
    }
    return rows;
}

}

const QStringList &tables()
{
    static const QStringList list = {
        QStringLiteral("PAIS"),
        QStringLiteral("PAPEL_EMP"),
        QStringLiteral("CLASSE_P"),
        QStringLiteral("CLASSE_S"),
        QStringLiteral("CLASSE_C"),
        QStringLiteral("UF"),
        QStringLiteral("TIPO_DOC"),
        QStringLiteral("DOC_NORMATIVOS_SERV"),
        QStringLiteral("CREDENCIAMENTO_SERV"),
        QStringLiteral("OBRIG_SERVICO"),
        QStringLiteral("CREDENCIAMENTO"),
        QStringLiteral("DOC_NORMATIVOS"),
    };
    return list;
}

QString ignoredText(const QStringList &ignored)
{
    if (ignored.isEmpty())
        return QString();
    return QStringLiteral("Campos do pacote ignorados (a tabela local não os tem): %1.")
        .arg(ignored.join(QStringLiteral(", ")));
}

QString errorBoxText(const QString &detail)
{
    return detail.isEmpty() ? InstallErrorBox : InstallErrorBox + QStringLiteral("\n") + detail;
}

bool install(Database &db, const QString &receptionDir, const QString &fileName, QString *detail,
             QStringList *ignoredFields)
{
    const QDir reception(receptionDir);
    QString why;
    QStringList ignored;
    // Tables left in the reception folder by runs of earlier versions.
    removeUnpacked(reception);
    bool ok = false;
    // One installation at a time, each unpacking into a folder of its own:
    // another run's tables must never pass for this package's.
    RegisterStep::Marker marker(db, QStringLiteral("Atualização de tabelas"), RegisterStep::referenceTables());
    QTemporaryDir scratch(reception.filePath(QStringLiteral("instalacao-XXXXXX")));
    try {
        marker.take();
        if (!scratch.isValid())
            throw AppError(QStringLiteral("Não foi possível criar uma pasta em ") +
                           QDir::toNativeSeparators(receptionDir));
        const QDir dir(scratch.path());
        Collector collector;
        const QString layout = layoutProblem(reception.filePath(fileName), fileName);
        if (!layout.isEmpty()) {
            why = layout;
        } else if (!Archive::unzip(reception.filePath(fileName), dir.path(), collector, Archive::ReferenceLimits)) {
            why = collector.text.isEmpty() ? QStringLiteral("O pacote %1 não pôde ser descompactado.").arg(fileName)
                                           : collector.text;
        } else if (!hasTables(dir)) {
            why = QStringLiteral("O pacote %1 não tem tabelas.").arg(fileName);
        } else {
            Transaction tx(db);
            for (const QString &table : tables()) {
                const QString path = findTable(dir, table);
                if (path.isEmpty())
                    continue;
                const TableOps::RowSet rows = readPackageTable(db, path, table, &ignored);
                TableOps::batchCopy(db, rows, table, TableOps::CopyMode::AppendUpdate, TableOps::Mapping::ByName);
            }
            db.execute(QStringLiteral("INSERT INTO CONTROLE_AUX (DataHoraVersao, NumeroVersao, NomeArquivo) "
                                      "VALUES (?, ?, ?)"),
                       {QDateTime::currentDateTime(), RefVersion::versionOf(fileName), fileName});
            tx.commit();
            ok = true;
        }
    } catch (const AppError &e) {
        why = e.message();
    } catch (const DbError &e) {
        why = e.userMessage();
    } catch (const std::exception &e) {
        why = QString::fromLocal8Bit(e.what());
    }
    if (ok && !ignored.isEmpty())
        ErrorLog::append(QStringLiteral("%1: %2").arg(fileName, ignoredText(ignored)), QStringLiteral("RefInstall"));
    if (detail)
        *detail = why;
    if (ignoredFields)
        *ignoredFields = ok ? ignored : QStringList();
    return ok;
}

}
