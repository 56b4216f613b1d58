#include "refupdate/refinstall.h"

#include "base/archive.h"
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
#include <QTemporaryDir>

namespace RefInstall {

const QString InstallError = QStringLiteral("Ocorreu um Erro na Atualização.");
const QString InstallErrorBox = QStringLiteral("Ocorreu um Erro na Atualização.\nEntre em contato com o suporte.");
const QString Installed = QStringLiteral("A nova versão foi instalada sem problemas.");
const QString ReinstalledOlder = QStringLiteral("A versão anterior foi instalada sem problemas.");
const QString OlderFileMissing = QStringLiteral("O arquivo da versão anterior não foi encontrado.");

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

void removeUnpacked(QDir dir)
{
    const QStringList found = dir.entryList({QStringLiteral("*.DB"), QStringLiteral("*.PX"), QStringLiteral("*.VAL")},
                                            QDir::Files | QDir::CaseSensitive);
    for (const QString &name : found)
        dir.remove(name);
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

TableOps::RowSet readPackageTable(Database &db, const QString &path, const QString &table)
{
    const std::unique_ptr<ParadoxReader> reader = ParadoxReader::open(path);
    const Schema::Table local = TableOps::structure(db, table);
    TableOps::RowSet rows;
    rows.columns = reader->fieldNames();
    for (const QString &field : rows.columns)
        if (local.indexOf(field) < 0)
            throw AppError(QStringLiteral("A tabela %1 do pacote tem o campo %2, que a tabela local não tem.")
                               .arg(table, field));
    while (reader->next())
        rows.rows.append(reader->values());
    return rows;
}

}

const QStringList &tables()
{
    static const QStringList list = {
        QStringLiteral("PAIS"),           QStringLiteral("PAPEL_EMP"),           QStringLiteral("CLASSE_P"),
        QStringLiteral("CLASSE_S"),       QStringLiteral("CLASSE_C"),            QStringLiteral("UF"),
        QStringLiteral("TIPO_DOC"),       QStringLiteral("DOC_NORMATIVOS_SERV"), QStringLiteral("CREDENCIAMENTO_SERV"),
        QStringLiteral("OBRIG_SERVICO"),  QStringLiteral("CREDENCIAMENTO"),      QStringLiteral("DOC_NORMATIVOS"),
    };
    return list;
}

QString errorBoxText(const QString &detail)
{
    return detail.isEmpty() ? InstallErrorBox : InstallErrorBox + QStringLiteral("\n") + detail;
}

bool install(Database &db, const QString &receptionDir, const QString &fileName, QString *detail)
{
    const QDir reception(receptionDir);
    QString why;
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
            throw AppError(QStringLiteral("Não foi possível criar uma pasta em ") + QDir::toNativeSeparators(receptionDir));
        const QDir dir(scratch.path());
        Collector collector;
        if (!Archive::unzip(reception.filePath(fileName), dir.path(), collector)) {
            why = collector.text.isEmpty() ? QStringLiteral("O pacote %1 não pôde ser descompactado.").arg(fileName)
                                           : collector.text;
        } else if (dir.entryList({QStringLiteral("*.DB")}, QDir::Files).isEmpty()) {
            why = QStringLiteral("O pacote %1 não tem tabelas.").arg(fileName);
        } else {
            Transaction tx(db);
            for (const QString &table : tables()) {
                const QString path = findTable(dir, table);
                if (path.isEmpty())
                    continue;
                const TableOps::RowSet rows = readPackageTable(db, path, table);
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
    if (detail)
        *detail = why;
    return ok;
}

}
