#include "import/parentcheck.h"

#include "db/database.h"
#include "db/schema.h"
#include "import/datastruct.h"
#include "import/postimport.h"

void ParentCheck::written(const TDataStruct &record)
{
    if (record.parentTableName().isEmpty())
        return;
    const Schema::Table *parent = Schema::table(record.parentTableName());
    if (!parent || parent->key.isEmpty())
        return;
    Pending p;
    p.table = record.tableName();
    p.parent = parent->name;
    for (const QString &column : parent->key) {
        const TDataStructItem *item = record.itemByName(column);
        if (!item || item->sequence)
            return; // a record that does not name its item whole is not judged here
        p.columns << column;
        p.values << item->trimmedValue();
        if (!p.line && item->inFile())
            p.line = item->lineNumber;
    }
    if (!exists(p))
        m_pending.push_back(std::move(p));
}

bool ParentCheck::exists(const Pending &p) const
{
    QString sql = QStringLiteral("select 1 from ") + p.parent + QStringLiteral(" where ");
    for (int i = 0; i < p.columns.size(); ++i)
        sql += (i ? QStringLiteral(" and ") : QString()) + p.columns.at(i) + QStringLiteral(" = ?");
    Database::Statement &q = m_db.statement(sql);
    q.exec(p.values);
    const bool found = q.hasRow();
    q.reset();
    return found;
}

bool ParentCheck::finish(const QString &logDir, const QString &logFile)
{
    QStringList lines;
    for (const Pending &p : m_pending) {
        if (exists(p))
            continue;
        QStringList key;
        for (int i = 0; i < p.columns.size(); ++i)
            key << p.columns.at(i) + QStringLiteral(": ") + p.values.at(i).toString();
        lines << QStringLiteral("O registro de histórico da tabela %1 não tem o item correspondente na tabela %2, "
                                "nem na base de dados nem no arquivo (%3). Verifique a linha %4 do arquivo txt.")
                     .arg(p.table, p.parent, key.join(QStringLiteral(", ")))
                     .arg(p.line);
    }
    m_pending.clear();
    if (lines.isEmpty())
        return true;
    PostImport::appendLog(logDir, logFile, lines);
    return false;
}
