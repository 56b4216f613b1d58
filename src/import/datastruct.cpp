#include "import/datastruct.h"

#include "base/safefile.h"
#include "db/database.h"
#include "db/dberror.h"
#include "import/importsession.h"
#include "register/statusevents.h"

#include <QDir>
#include <QFile>

const QString TDataStruct::LogFileName = QStringLiteral("Log.txt");
const QString TDataStruct::LogBDFileName = QStringLiteral("Log_BD.txt");

TDataStruct::TDataStruct(const QString &certifierAcronym, const QString &userCode)
    : m_certifierAcronym(certifierAcronym),
      m_userCode(userCode)
{
    // Room for the largest layout: a descriptor is made for every record and
    // every history row, so its items come in one allocation, not one each.
    m_items.reserve(ItemRoom);
    m_itemStorage.reserve(ItemRoom);
}

TDataStruct::~TDataStruct()
{
    qDeleteAll(m_extraItems);
}

void TDataStruct::DefineFields()
{
    addField(QStringLiteral("DthUltAtualiz"), TFieldType::DateTime, NoFlag);
    addField(QStringLiteral("UsuResp"), TFieldType::Text, NoFlag);
}

void TDataStruct::setTables(const QString &table, const QString &statusTable, const QString &parentTable)
{
    m_tableName = table;
    m_statusTableName = statusTable;
    m_parentTableName = parentTable;
}

TDataStructItem *TDataStruct::addFileField(int line, int firstColumn, int lastColumn, const QString &name,
                                           TFieldType type, int flags)
{
    TDataStructItem *item = addField(name, type, flags);
    item->lineAdvance = line != m_lastLine;
    item->firstColumn = firstColumn;
    item->width = lastColumn - firstColumn + 1;
    m_lastLine = line;
    return item;
}

TDataStructItem *TDataStruct::addField(const QString &name, TFieldType type, int flags)
{
    TDataStructItem *item = nullptr;
    if (m_itemStorage.size() < m_itemStorage.capacity()) {
        m_itemStorage.emplace_back(); // within the reserved room: earlier items stay where they are
        item = &m_itemStorage.back();
    } else {
        item = new TDataStructItem;
        m_extraItems.append(item);
    }
    item->name = name;
    item->type = type;
    item->key = flags & Key;
    item->required = flags & Required;
    m_items.append(item);
    return item;
}

void TDataStruct::addSequenceField()
{
    addField(QStringLiteral("SeqEvento"), TFieldType::Integer, Key)->sequence = true;
}

TDataStructItem *TDataStruct::itemByName(const QString &name) const
{
    for (TDataStructItem *item : m_items)
        if (item->name.compare(name, Qt::CaseInsensitive) == 0)
            return item;
    return nullptr;
}

int TDataStruct::indexOf(const TDataStructItem *item) const
{
    return m_items.indexOf(const_cast<TDataStructItem *>(item));
}

QString TDataStruct::FieldValue(const TDataStructItem *item) const
{
    if (!item->sequence)
        return item->value;
    bool fresh = false;
    return sequenceValue(&fresh);
}

QString TDataStruct::sequenceValue(bool *fresh, QString *error) const
{
    *fresh = false;
    if (!m_database)
        return QString();
    QString why;
    if (m_session && &m_session->database() == m_database) {
        qint64 next = 0;
        if (m_session->nextSequence(m_tableName, &next, fresh, &why))
            return QString::number(next);
    } else {
        try {
            return QString::number(StatusEvents::nextSeqEvento(*m_database, m_tableName));
        } catch (const AppError &e) {
            why = e.message();
        } catch (const DbError &e) {
            if (e.endsOperation())
                throw;
            why = e.message();
        }
    }
    AppendLog(QString(), QStringLiteral("Erro sequencial para a tabela ") + m_tableName);
    if (error)
        *error = why;
    return QString();
}

QString TDataStruct::logPath(const QString &fileName) const
{
    const QString name = fileName.isEmpty() ? LogFileName : fileName;
    return m_logDir.isEmpty() ? name : QDir(m_logDir).filePath(name);
}

void TDataStruct::AppendLog(const QString &fileName, const QString &text) const
{
    appendLogLines(fileName, {text});
}

void TDataStruct::appendLogLines(const QString &fileName, const QStringList &lines) const
{
    QByteArray text;
    for (const QString &line : lines) {
        text += line.toUtf8();
        text += '\n';
    }
    appendLogBytes(fileName, text);
}

void TDataStruct::appendLogBytes(const QString &fileName, const QByteArray &text) const
{
    const QString name = fileName.isEmpty() ? LogFileName : fileName;
    if (m_session) {
        m_session->appendLog(m_logDir, name, text);
        return;
    }
    QFile f(logPath(name));
    if (!SafeFile::openForAppend(f, QIODevice::Text))
        return;
    f.write(text);
}

void TDataStruct::fail(const QString &message)
{
    AppendLog(LogFileName, message);
    m_valid = false;
}

QString TDataStruct::lineSuffix(int line)
{
    return QStringLiteral(" Verifique a linha ") + QString::number(line) + QStringLiteral(" do arquivo txt.");
}
