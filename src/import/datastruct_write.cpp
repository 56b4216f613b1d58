#include "base/moments.h"
#include "import/datastruct.h"
#include "import/importdates.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "import/importsession.h"
#include "import/writeshape.h"

#include <optional>

namespace {

QString paramName(int index)
{
    // The names of the first parameters, built once: they are in every statement.
    static const QStringList names = [] {
        QStringList out;
        for (int i = 0; i < 64; ++i)
            out << QStringLiteral("p") + QString::number(i);
        return out;
    }();
    return index < names.size() ? names.at(index) : QStringLiteral("p") + QString::number(index);
}

QByteArray utf8Line(const QString &text)
{
    return text.toUtf8() + '\n';
}

QByteArray dateLine()
{
    thread_local QString moment;
    thread_local QByteArray line;
    const QString now = ImportDates::nowText();
    if (now != moment) {
        moment = now;
        line = QByteArrayLiteral("********* ") + now.toUtf8() + QByteArrayLiteral(" ***********\n");
    }
    return line;
}

QVariant nullOf(TFieldType type)
{
    switch (type) {
    case TFieldType::SmallInt:
    case TFieldType::Integer: return QVariant(QMetaType(QMetaType::Int));
    case TFieldType::Float: return QVariant(QMetaType(QMetaType::Double));
    case TFieldType::Date:
    case TFieldType::DateTime: return QVariant(QMetaType(QMetaType::QDateTime));
    case TFieldType::Text: break;
    }
    return QVariant(QMetaType(QMetaType::QString));
}

QString conversionMessage(const TDataStructItem *item, const QString &value)
{
    return QStringLiteral("O valor ") + value + QStringLiteral(" não é válido para o campo ") + item->name;
}

// "pN=" of a parameter line of the log.
QByteArray paramPrefix(int index)
{
    static const QList<QByteArray> prefixes = [] {
        QList<QByteArray> out;
        for (int i = 0; i < 64; ++i)
            out << (paramName(i) + QLatin1Char('=')).toUtf8();
        return out;
    }();
    return index < prefixes.size() ? prefixes.at(index) : (paramName(index) + QLatin1Char('=')).toUtf8();
}

// The bound value of an item (trimmed: its value without blanks around);
// an unconvertible value raises AppError.
QVariant boundValue(const TDataStructItem *item, const QString &value, const QString &trimmed)
{
    if (trimmed.isEmpty())
        return nullOf(item->type);
    bool ok = true;
    QVariant out;
    switch (item->type) {
    case TFieldType::Text: out = trimmed; break;
    case TFieldType::SmallInt:
    case TFieldType::Integer: out = trimmed.toInt(&ok); break;
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
        throw AppError(conversionMessage(item, value));
    return out;
}


// Appends text in UTF-8; most log text is ASCII, copied without a temporary.
void appendUtf8(QByteArray &out, QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            out += text.toUtf8();
            return;
        }
    }
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char *p = out.data() + at;
    for (const QChar c : text)
        *p++ = char(c.unicode());
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

QStringView blanksTrimmed(QStringView text)
{
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

// One placeholder's value, bound to q (when given) and listed in trace
// (when given) as boundValue binds it and paramText shows it, without a
// variant for texts, integers and the session's dates: every record binds
// a dozen of them. A value that does not convert is bound as NULL; error
// gets its message when it has none yet. Raises DbError when q refuses it.
void bindItem(Database::Statement *q, int placeholder, const TDataStructItem *item, const QString &value,
              ImportSession *session, QByteArray *trace, QString *error)
{
    const QStringView trimmed = blanksTrimmed(value);
    auto failed = [&] {
        if (error->isEmpty())
            *error = conversionMessage(item, value);
        if (trace)
            appendUtf8(*trace, trimmed);
        if (q)
            q->bindNull(placeholder);
    };
    if (trimmed.isEmpty()) {
        if (q)
            q->bindNull(placeholder);
        return;
    }
    switch (item->type) {
    case TFieldType::Text:
        if (trace)
            appendUtf8(*trace, trimmed);
        if (q)
            q->bindTextView(placeholder, trimmed);
        return;
    case TFieldType::SmallInt:
    case TFieldType::Integer: {
        bool ok = false;
        const int number = trimmed.toInt(&ok);
        if (!ok)
            return failed();
        if (trace)
            *trace += QByteArray::number(number);
        if (q)
            q->bindInteger(placeholder, number);
        return;
    }
    case TFieldType::Date:
    case TFieldType::DateTime:
        if (session) {
            // Bound as the text a date-time is stored as: the same value
            // without converting the same few dates again for every record.
            const ImportSession::Moment &m = session->moment(trimmed.size() == value.size() ? value
                                                                                            : trimmed.toString());
            if (!m.value.isValid())
                return failed();
            if (trace)
                appendUtf8(*trace, m.shown);
            if (q)
                q->bind(placeholder, m.stored); // a copy: the session may forget its moments meanwhile
            return;
        }
        break;
    case TFieldType::Float: break;
    }
    QVariant v;
    try {
        v = boundValue(item, value, trimmed.toString());
    } catch (const AppError &) {
        return failed();
    }
    if (trace)
        appendUtf8(*trace, paramText(v));
    if (q)
        q->bind(placeholder, v);
}

}

TWriteShape TDataStruct::buildShape(const QStringList &values) const
{
    TWriteShape shape;
    QStringList keyParts;
    for (int i = 0; i < m_items.size(); ++i) {
        if (!m_items.at(i)->key)
            continue;
        shape.hasKey = true;
        if (trimBlanks(values.at(i)).isEmpty())
            continue;
        keyParts << m_items.at(i)->name + QStringLiteral("= :") + paramName(i);
        shape.keyParams << i;
    }
    const QString keyCondition = QStringLiteral("where ") + keyParts.join(QStringLiteral(" and "));
    shape.existsSql.sql = QStringLiteral("select * from ") + m_tableName + QLatin1Char(' ') + keyCondition;

    TWriteShape::Statement &update = shape.update;
    update.lines << QStringLiteral("Update ") + m_tableName + QStringLiteral(" SET ");
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i)->key)
            continue;
        update.lines << m_items.at(i)->name + QStringLiteral("= :") + paramName(i) + QLatin1Char(',');
        update.params << i;
        if (isDateRuleItem(m_items.at(i)))
            update.dateRuleItems << i;
    }
    if (!update.params.isEmpty())
        update.lines.last().chop(1);
    update.lines << keyCondition;
    update.params << shape.keyParams;

    TWriteShape::Statement &insert = shape.insert;
    insert.lines << QStringLiteral("Insert into ") + m_tableName << QStringLiteral("(");
    for (int i = 0; i < m_items.size(); ++i)
        insert.lines << m_items.at(i)->name + (i + 1 < m_items.size() ? QStringLiteral(",") : QString());
    insert.lines << QStringLiteral(")") << QStringLiteral("values (");
    for (int i = 0; i < m_items.size(); ++i) {
        insert.lines << QLatin1Char(':') + paramName(i) + (i + 1 < m_items.size() ? QStringLiteral(" ,") : QString());
        insert.params << i;
        if (isDateRuleItem(m_items.at(i)))
            insert.dateRuleItems << i;
    }
    insert.lines << QStringLiteral(")");

    for (TWriteShape::Statement *st : {&update, &insert}) {
        st->sql.sql = st->lines.join(QLatin1Char('\n'));
        for (const QString &line : std::as_const(st->lines))
            st->logText += utf8Line(line);
    }
    return shape;
}

namespace {

QDateTime noIssueDate()
{
    thread_local const QDateTime fallback = Moments::wallClock(QDate(1900, 1, 1));
    return fallback;
}

}

TWriteResult TDataStruct::WriteRow(Database &db)
{
    m_database = &db;
    TWriteResult result;
    ImportSession *const session = m_session && &m_session->database() == &db ? m_session : nullptr;

    // One reading of every value, so the sequence number is the same in the
    // existence test and in the statement.
    QStringList values;
    values.reserve(m_items.size());
    bool freshSequence = false; // a key holds a SeqEvento above every row of the table
    quint64 keyMask = 0; // key items holding a value
    for (int i = 0; i < m_items.size(); ++i) {
        const TDataStructItem *item = m_items.at(i);
        if (item->sequence) {
            bool fresh = false;
            QString why;
            values << sequenceValue(&fresh, &why);
            // Without its number the row is not written (a full table is
            // never wrapped round).
            if (values.last().isEmpty()) {
                if (why.isEmpty())
                    why = QStringLiteral("Erro sequencial para a tabela ") + m_tableName;
                appendLogBytes(LogBDFileName, utf8Line(why));
                if (m_session)
                    m_session->flushLogs();
                if (m_messenger)
                    m_messenger->error(why);
                return result;
            }
            if (fresh && item->key)
                freshSequence = true;
        } else {
            values << item->value;
        }
        if (item->key && i < 64 && !trimBlanks(values.last()).isEmpty())
            keyMask |= quint64(1) << i;
    }

    // The statements follow from the class and the key values present only.
    std::shared_ptr<const TWriteShape> shape;
    if (session && m_items.size() <= 64)
        shape = session->writeShape(typeid(*this), keyMask, [&] { return buildShape(values); });
    else
        shape = std::make_shared<const TWriteShape>(buildShape(values));

    // The key condition names a SeqEvento above the table's highest: no row
    // can match it, so the test could only answer "missing".
    bool exists = false;
    bool asked = false; // exists is the database's own answer
    // The pairing table's rows are this file's own: a test that matches none
    // of them is answered without a statement. So are, but as a guess the
    // database checks, the tests of a new certificate's rows.
    WrittenRows *written = nullptr;
    bool guess = false;
    if (session && traits().pairing)
        written = &session->pairingRows();
    else if (session && session->guessing() && traits().numcertif >= 0 && !traits().certific)
        written = &session->writtenRows(m_tableName.toUpper());
    WrittenRows::Key writtenKey;
    if (written && written->known()) {
        for (int i = 0; i < m_items.size(); ++i) {
            if (!m_items.at(i)->key)
                continue;
            const bool tested = i < 64 && (keyMask & (quint64(1) << i));
            writtenKey.values.push_back(tested ? trimBlanks(values.at(i)) : QString());
            writtenKey.integer.push_back(m_items.at(i)->type != TFieldType::Text);
        }
    }
    const bool unmatched = written && written->known() && written->find(writtenKey) == WrittenRows::Answer::Missing;
    if (unmatched && traits().pairing) {
        exists = false;
    } else if (!shape->keyParams.isEmpty() && !(session && freshSequence)) {
        guess = unmatched && session->certificateIsNew(trimBlanks(values.at(traits().numcertif)));
        try {
            Database::Statement &q = shape->existsSql.statement(db);
            q.start();
            QString unconvertible;
            int placeholder = 0;
            for (int i : shape->keyParams)
                bindItem(&q, ++placeholder, m_items.at(i), values.at(i), session, nullptr, &unconvertible);
            // A key value that does not convert counts as missing, unasked.
            if (unconvertible.isEmpty()) {
                if (guess) {
                    q.guessNoRow();
                } else {
                    q.step();
                    asked = true;
                }
                exists = q.hasRow();
            }
            q.reset();
        } catch (const DbError &e) {
            if (e.endsOperation())
                throw;
            exists = false; // counts as missing: the insert reports the problem, if any
        }
    }

    if (exists && !shape->hasKey) {
        AppendLog(LogBDFileName,
                  QStringLiteral("Não foi possível fazer o update pois a estrutura não possui "
                                 "chave primária definida!"));
        return result;
    }
    result.inserted = !exists;
    const TWriteShape::Statement &statement = exists ? shape->update : shape->insert;
    const QString ruleMessage = exists ? QStringLiteral("Não foi possível fazer a Atualização pois a data ")
                                       : QStringLiteral("Não foi possível fazer a inclusão pois a data ");

    // Entry and status dates lie between the certificate's issue date and now.
    bool ruleBroken = false;
    QDateTime reference;
    QDate today;
    for (int i : statement.dateRuleItems) {
        if (trimBlanks(values.at(i)).isEmpty())
            continue;
        if (!reference.isValid()) {
            reference = asked && !exists && isCertifierCertificate(values) ? noIssueDate() : referenceIssueDate(db);
            today = QDate::currentDate();
        }
        const QDateTime when = session ? session->moment(trimBlanks(values.at(i))).value
                                       : ImportDates::parseDateTime(values.at(i));
        // Whole days: a certificate issued today at 14:00 takes a status of today.
        if (!when.isValid() || when.date() < reference.date() || when.date() > today) {
            AppendLog(LogBDFileName,
                      ruleMessage + m_items.at(i)->name +
                          QStringLiteral(" é inferior a data emissão ou superior a data do sistema!"));
            ruleBroken = true;
        }
    }
    if (ruleBroken)
        return result;

    // A write of a certificate may change its issue date, whatever its outcome.
    if (session && traits().certific)
        session->certificateWritten();
    result.succeeded = execute(db, statement, values);
    if (session && result.succeeded && traits().certific)
        rememberWrittenIssueDate(*session, values);
    if (written && written->known() && result.succeeded && result.inserted)
        written->inserted(writtenKey);
    if (session && session->guessing() && traits().certific && result.succeeded && result.inserted &&
        traits().numcertif >= 0)
        session->certificateInserted(trimBlanks(values.at(traits().numcertif)));
    if (session && result.succeeded && result.inserted) {
        for (int i = 0; i < m_items.size(); ++i) {
            bool ok = false;
            const qint64 seq = m_items.at(i)->sequence ? trimBlanks(values.at(i)).toLongLong(&ok) : 0;
            if (ok)
                session->sequenceUsed(m_tableName, seq);
        }
    }
    return result;
}


// The record is the certifier's own certificate row: when its key is found
// missing, so is the issue date referenceIssueDate() would read.
bool TDataStruct::isCertifierCertificate(const QStringList &values) const
{
    const ClassTraits &t = traits();
    return t.certific && t.numcertif >= 0 && t.sigla >= 0 && !m_items.at(t.numcertif)->sequence &&
        trimBlanks(values.at(t.sigla)) == m_certifierAcronym &&
        trimBlanks(values.at(t.numcertif)) == m_items.at(t.numcertif)->trimmedValue();
}

// The certificate's row now holds the issue date just written (a blank one
// as NULL): what the reference date's query would read back, without it.
void TDataStruct::rememberWrittenIssueDate(ImportSession &session, const QStringList &values) const
{
    const ClassTraits &t = traits();
    if (t.numcertif < 0 || t.sigla < 0 || t.issueDate < 0 || trimBlanks(values.at(t.sigla)) != m_certifierAcronym)
        return;
    const QString number = trimBlanks(values.at(t.numcertif));
    if (number.isEmpty())
        return;
    const QString written = trimBlanks(values.at(t.issueDate));
    QDateTime answer = noIssueDate();
    if (!written.isEmpty()) {
        const QDateTime issue = Moments::fromValue(session.moment(written).stored);
        if (issue.isValid())
            answer = issue;
    }
    session.rememberIssueDate(m_certifierAcronym, number, answer);
}

QDateTime TDataStruct::referenceIssueDate(Database &db) const
{
    const QDateTime fallback = noIssueDate();
    const ClassTraits &classTraits = traits();
    const TDataStructItem *numcertif = classTraits.numcertif >= 0 ? m_items.at(classTraits.numcertif) : nullptr;
    if (classTraits.noIssueDate || !numcertif || numcertif->trimmedValue().isEmpty())
        return fallback;
    ImportSession *const session = m_session && &m_session->database() == &db ? m_session : nullptr;
    const QString number = numcertif->trimmedValue();
    QDateTime remembered;
    if (session && session->issueDate(m_certifierAcronym, number, &remembered))
        return remembered;
    try {
        Database::Statement &q = db.statement(QStringLiteral("select dataemissao from certific\n"
                                                             "where siglacertificador = :p1 and\n"
                                                             "numcertif = :p2"));
        q.exec({m_certifierAcronym, number});
        QDateTime answer = fallback;
        if (q.hasRow() && !q.value(0).isNull()) {
            const QDateTime issue = Moments::fromValue(q.value(0));
            if (issue.isValid())
                answer = issue;
        }
        q.reset();
        if (session)
            session->rememberIssueDate(m_certifierAcronym, number, answer);
        return answer;
    } catch (const DbError &e) {
        if (e.endsOperation())
            throw;
    }
    return fallback;
}

bool TDataStruct::execute(Database &db, const TWriteShape::Statement &statement, const QStringList &values)
{
    static const QByteArray Trying = QByteArrayLiteral("Vai tentar executar\n");
    static const QByteArray Success = QByteArrayLiteral(
        "Executou com Sucesso\n*************************************\n");
    static const QByteArray Failure = utf8Line(QStringLiteral("--------------FALHA NA EXECUÇÃO!------------------"));
    static const QByteArray Stars = QByteArrayLiteral("*************************************\n");

    // The trace is built in one buffer: header, statement, parameter lines.
    QByteArray trace;
    trace.reserve(statement.logText.size() + 64 + 48 * statement.params.size());
    trace += dateLine();
    trace += Trying;
    trace += statement.logText;
    trace += '\n';
    const qsizetype paramsAt = trace.size();

    // The values are bound while they are listed; the statement runs once
    // the trace is in the log.
    QString conversionError;
    ImportSession *const session = m_session && &m_session->database() == &db ? m_session : nullptr;
    Database::Statement *q = nullptr;
    std::optional<DbError> refused; // by the engine, before the run
    try {
        q = &statement.sql.statement(db);
        q->start();
    } catch (const DbError &e) {
        refused = e;
    }
    int placeholder = 0;
    for (int i : statement.params) {
        trace += paramPrefix(i);
        try {
            bindItem(q, ++placeholder, m_items.at(i), values.at(i), session, &trace, &conversionError);
        } catch (const DbError &e) {
            refused = e;
            q = nullptr; // reset by the failure; the rest is listed only
        }
        trace += '\n';
    }
    appendLogBytes(LogBDFileName, trace);

    QString error = conversionError;
    std::optional<DbError> stop; // raised once the failure is logged
    if (error.isEmpty() && refused) {
        error = refused->message();
        if (refused->endsOperation())
            stop = refused;
    } else if (error.isEmpty()) {
        try {
            q->step();
            q->reset();
        } catch (const DbError &e) {
            error = e.message();
            if (e.endsOperation())
                stop = e;
        }
    } else if (q) {
        q->reset(); // bound, never run
    }
    if (error.isEmpty()) {
        appendLogBytes(LogBDFileName, Success);
        return true;
    }
    appendLogBytes(LogBDFileName,
                   Failure + dateLine() + statement.logText + '\n' + trace.mid(paramsAt) + utf8Line(error) + Stars);
    // Whoever looks at the log while the message is up sees it whole.
    if (m_session)
        m_session->flushLogs();
    // Nothing more can be written: whoever runs the import says so once.
    if (stop)
        throw *stop;
    if (m_messenger)
        m_messenger->error(error);
    return false;
}
