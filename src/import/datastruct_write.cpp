#include "import/datastruct.h"
#include "import/importdates.h"

#include "db/database.h"
#include "db/dberror.h"
#include "shell/shared/messenger.h"

#include <QSqlQuery>

namespace {

const QString Stars = QStringLiteral("*************************************");

QString paramName(int index)
{
    return QStringLiteral("p") + QString::number(index);
}

QString dateLine()
{
    return QStringLiteral("********* ") + ImportDates::momentText(QDateTime::currentDateTime()) +
           QStringLiteral(" ***********");
}

QVariant nullOf(TFieldType type)
{
    switch (type) {
    case TFieldType::SmallInt:
    case TFieldType::Integer:
        return QVariant(QMetaType(QMetaType::Int));
    case TFieldType::Float:
        return QVariant(QMetaType(QMetaType::Double));
    case TFieldType::Date:
    case TFieldType::DateTime:
        return QVariant(QMetaType(QMetaType::QDateTime));
    case TFieldType::Text:
        break;
    }
    return QVariant(QMetaType(QMetaType::QString));
}

// The bound value of an item; an unconvertible value raises AppError.
QVariant boundValue(const TDataStructItem *item, const QString &value)
{
    const QString trimmed = trimBlanks(value);
    if (trimmed.isEmpty())
        return nullOf(item->type);
    bool ok = true;
    QVariant out;
    switch (item->type) {
    case TFieldType::Text:
        out = trimmed;
        break;
    case TFieldType::SmallInt:
    case TFieldType::Integer:
        out = trimmed.toInt(&ok);
        break;
    case TFieldType::Float: {
        QString t = trimmed;
        if (!t.contains(QLatin1Char('.')))
            t.replace(QLatin1Char(','), QLatin1Char('.'));
        out = t.toDouble(&ok);
        break;
    }
    case TFieldType::Date:
    case TFieldType::DateTime: {
        const QDateTime dt = ImportDates::parseDateTime(trimmed);
        ok = dt.isValid();
        out = dt;
        break;
    }
    }
    if (!ok)
        throw AppError(QStringLiteral("O valor ") + value + QStringLiteral(" não é válido para o campo ") + item->name);
    return out;
}

QString paramText(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.metaType().id() == QMetaType::QDateTime)
        return ImportDates::displayText(v.toDateTime());
    return v.toString();
}

bool isDateRuleItem(const TDataStructItem *item)
{
    const QString prefix = item->name.left(6).toUpper();
    return item->type == TFieldType::DateTime &&
           (prefix == QLatin1String("DTHSTA") || prefix == QLatin1String("DTHENT"));
}

}

TWriteResult TDataStruct::WriteRow(Database &db)
{
    m_database = &db;
    TWriteResult result;

    // One reading of every value, so the sequence number is the same in the
    // existence test and in the statement.
    QStringList values;
    for (const TDataStructItem *item : m_items)
        values << FieldValue(item);

    QStringList keyParts;
    QList<int> keyParams;
    bool hasKey = false;
    for (int i = 0; i < m_items.size(); ++i) {
        if (!m_items.at(i)->key)
            continue;
        hasKey = true;
        if (trimBlanks(values.at(i)).isEmpty())
            continue;
        keyParts << m_items.at(i)->name + QStringLiteral("= :") + paramName(i);
        keyParams << i;
    }
    const QString keyCondition = QStringLiteral("where ") + keyParts.join(QStringLiteral(" and "));

    bool exists = false;
    if (!keyParams.isEmpty()) {
        try {
            QVariantMap params;
            for (int i : keyParams)
                params.insert(paramName(i), boundValue(m_items.at(i), values.at(i)));
            QSqlQuery q = db.exec(QStringLiteral("select * from ") + m_tableName + QLatin1Char(' ') + keyCondition, params);
            exists = q.next();
        } catch (const std::exception &) {
            exists = false; // counts as missing: the insert reports the problem, if any
        }
    }

    QStringList lines;
    QList<int> params;
    QList<int> dateRuleItems;
    QString ruleMessage;
    if (exists) {
        if (!hasKey) {
            AppendLog(LogBDFileName, QStringLiteral("Não foi possível fazer o update pois a estrutura não possui "
                                                    "chave primária definida!"));
            return result;
        }
        lines << QStringLiteral("Update ") + m_tableName + QStringLiteral(" SET ");
        for (int i = 0; i < m_items.size(); ++i) {
            if (m_items.at(i)->key)
                continue;
            lines << m_items.at(i)->name + QStringLiteral("= :") + paramName(i) + QLatin1Char(',');
            params << i;
            if (isDateRuleItem(m_items.at(i)))
                dateRuleItems << i;
        }
        if (!params.isEmpty())
            lines.last().chop(1);
        lines << keyCondition;
        params << keyParams;
        ruleMessage = QStringLiteral("Não foi possível fazer a Atualização pois a data ");
    } else {
        result.inserted = true;
        lines << QStringLiteral("Insert into ") + m_tableName << QStringLiteral("(");
        for (int i = 0; i < m_items.size(); ++i)
            lines << m_items.at(i)->name + (i + 1 < m_items.size() ? QStringLiteral(",") : QString());
        lines << QStringLiteral(")") << QStringLiteral("values (");
        for (int i = 0; i < m_items.size(); ++i) {
            lines << QLatin1Char(':') + paramName(i) + (i + 1 < m_items.size() ? QStringLiteral(" ,") : QString());
            params << i;
            if (isDateRuleItem(m_items.at(i)))
                dateRuleItems << i;
        }
        lines << QStringLiteral(")");
        ruleMessage = QStringLiteral("Não foi possível fazer a inclusão pois a data ");
    }

    // Entry and status dates lie between the certificate's issue date and now.
    bool ruleBroken = false;
    QDateTime reference;
    const QDateTime now = QDateTime::currentDateTime();
    for (int i : dateRuleItems) {
        if (trimBlanks(values.at(i)).isEmpty())
            continue;
        if (!reference.isValid())
            reference = referenceIssueDate(db);
        const QDateTime when = ImportDates::parseDateTime(values.at(i));
        if (!when.isValid() || when < reference || when > now) {
            AppendLog(LogBDFileName, ruleMessage + m_items.at(i)->name +
                                         QStringLiteral(" é inferior a data emissão ou superior a data do sistema!"));
            ruleBroken = true;
        }
    }
    if (ruleBroken)
        return result;

    result.succeeded = execute(db, lines, params, values);
    return result;
}

QDateTime TDataStruct::referenceIssueDate(Database &db) const
{
    const QDateTime fallback(QDate(1900, 1, 1), QTime(0, 0));
    const TDataStructItem *numcertif = itemByName(QStringLiteral("Numcertif"));
    if (m_tableName.compare(QLatin1String("EMPRESA"), Qt::CaseInsensitive) == 0 ||
        m_tableName.compare(QLatin1String("PRODUTO"), Qt::CaseInsensitive) == 0 || !numcertif ||
        numcertif->trimmedValue().isEmpty())
        return fallback;
    try {
        QVariantMap params;
        params.insert(QStringLiteral("p1"), m_certifierAcronym);
        params.insert(QStringLiteral("p2"), numcertif->trimmedValue());
        QSqlQuery q = db.exec(QStringLiteral("select dataemissao from certific\n"
                                             "where siglacertificador = :p1 and\n"
                                             "numcertif = :p2"),
                              params);
        if (q.next() && !q.value(0).isNull()) {
            const QDateTime issue = q.value(0).toDateTime();
            if (issue.isValid())
                return issue;
        }
    } catch (const DbError &) {
    }
    return fallback;
}

bool TDataStruct::execute(Database &db, const QStringList &lines, const QList<int> &params,
                          const QStringList &values)
{
    QStringList paramLines;
    QVariantMap bound;
    QString conversionError;
    for (int i : params) {
        QVariant v;
        try {
            v = boundValue(m_items.at(i), values.at(i));
        } catch (const AppError &e) {
            if (conversionError.isEmpty())
                conversionError = e.message();
            v = nullOf(m_items.at(i)->type);
        }
        bound.insert(paramName(i), v);
        paramLines << paramName(i) + QLatin1Char('=') + (v.isNull() ? trimBlanks(values.at(i)) : paramText(v));
    }

    QStringList trace{dateLine(), QStringLiteral("Vai tentar executar")};
    trace << lines << QString() << paramLines;
    appendLogLines(LogBDFileName, trace);

    QString error = conversionError;
    if (error.isEmpty()) {
        try {
            db.exec(lines.join(QLatin1Char('\n')), bound);
        } catch (const DbError &e) {
            error = e.message();
        }
    }
    if (error.isEmpty()) {
        appendLogLines(LogBDFileName, {QStringLiteral("Executou com Sucesso"), Stars});
        return true;
    }
    QStringList failure{QStringLiteral("--------------FALHA NA EXECUÇÃO!------------------"), dateLine()};
    failure << lines << QString() << paramLines << error << Stars;
    appendLogLines(LogBDFileName, failure);
    if (m_messenger)
        m_messenger->error(error);
    return false;
}
