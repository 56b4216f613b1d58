#include "maintenance/documents/historyregistration.h"
#include "base/moments.h"
#include "register/sendabletext.h"

#include "base/messenger.h"
#include "db/database.h"
#include "maintenance/maintenancedates.h"

using StatusEvents::Table;

namespace {

// The table that holds the item itself, and its status column.
struct ItemTable
{
    const char *name;
    const char *status;
};

ItemTable itemTable(Table table)
{
    switch (table) {
    case Table::Status_C: return {"CERTIFIC", "StatusCertificado"};
    case Table::Evento_Emp: return {"EMP_CERT", "StatusEmpresa"};
    case Table::Status_T: return {"TIPO", "StatusProduto"};
    case Table::Status_L: return {"LOTE", "StatusLote"};
    case Table::Status_U: return {"UNIDADE", "StatusUnidade"};
    case Table::Status_S: return {"SERVICO", "StatusServico"};
    case Table::Status_DNCP: return {"DOC_NORM_CERT_PRODUTO", "Status_DNCP"};
    case Table::Status_DNCS: return {"DOC_NORM_CERT_SERVICO", "Status_DNCS"};
    case Table::Status_DNS: return {"DOC_NORM_SERV", "Status_DNS"};
    case Table::Status_DNT: return {"DOC_NORM_TIPO", "Status_DNT"};
    case Table::Status_DNL: return {"DOC_NORM_LOTE", "Status_DNL"};
    case Table::Status_DNU: return {"DOC_NORM_UNIDADE", "Status_DNU"};
    }
    return {"", ""};
}

const StatusEvents::ItemKey &checked(Table table, const StatusEvents::ItemKey &key)
{
    for (const QString &column : StatusEvents::keyColumns(table)) {
        const QVariant v = key.value(column);
        if (v.isNull() || v.toString().isEmpty())
            throw AppError(QStringLiteral("Chave incompleta para a tabela %1: falta o valor de %2.")
                               .arg(StatusEvents::tableName(table), column));
    }
    return key;
}

}

HistoryRegistration::HistoryRegistration(Database &db, Messenger &messenger, const QString &userCode, Table table,
                                         const StatusEvents::ItemKey &key, const QDateTime &issue)
    : m_db(db),
      m_msg(messenger),
      m_user(userCode),
      m_table(table),
      m_key(checked(table, key)),
      m_issue(issue)
{ }

QString HistoryRegistration::keyCondition(const QString &alias) const
{
    return StatusEvents::ItemKey::condition(StatusEvents::keyColumns(m_table), alias);
}

QVariantList HistoryRegistration::keyValues() const
{
    return m_key.values(StatusEvents::keyColumns(m_table));
}

QList<HistoryRegistration::Entry> HistoryRegistration::entries() const
{
    const QString date = StatusEvents::statusDateColumn(m_table);
    auto q = m_db.exec(QStringLiteral("SELECT SeqEvento, Justificativa, %1 AS DATA, UsuResp FROM %2 "
                                      "WHERE HistoricoSis = ? AND %3 ORDER BY %1, SeqEvento")
                           .arg(date, StatusEvents::tableName(m_table), keyCondition()),
                       QVariantList{StatusEvents::OrigemHistoricoUsuario} + keyValues());
    QList<Entry> out;
    while (q.next()) {
        Entry e;
        e.seqEvento = q.value(0).toInt();
        e.justificativa = q.value(1).toString();
        e.data = Moments::fromValue(q.value(2));
        e.usuario = q.value(3).toString();
        out << e;
    }
    return out;
}

QString HistoryRegistration::problem(const QString &justification, const QString &dateText, const QDate &today) const
{
    if (justification.trimmed().isEmpty())
        return HistoryTexts::JustificationRequired;
    if (const QString p = SendableText::problem({{QStringLiteral("Justificativa"), justification}}); !p.isEmpty())
        return p;
    static const MaintenanceDates::DayMessages messages{HistoryTexts::DateRequired, HistoryTexts::DateInvalid,
                                                        HistoryTexts::BeforeIssue, HistoryTexts::AfterToday};
    return MaintenanceDates::dayProblem(dateText, m_issue, today, messages);
}

QString HistoryRegistration::currentStatus() const
{
    const ItemTable item = itemTable(m_table);
    const QVariant v = m_db.scalar(QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                       .arg(QLatin1String(item.status), QLatin1String(item.name), keyCondition()),
                                   keyValues());
    return v.isNull() ? QString() : v.toString();
}

void HistoryRegistration::withdrawApproval(Database &db, const QString &sigla, const QString &numCertif)
{
    db.execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = 0 WHERE SiglaCertificador = ? AND NumCertif = ?"),
               {sigla, numCertif});
}

std::optional<int> HistoryRegistration::add(const QString &justification, const QString &dateText)
{
    const QString refused = problem(justification, dateText, QDate::currentDate());
    if (!refused.isEmpty()) {
        m_msg.error(refused);
        return std::nullopt;
    }
    Transaction t(m_db);
    try {
        // An item removed meanwhile gets no history: its rows would outlive it.
        const QString status = currentStatus();
        if (status.isEmpty())
            throw AppError(QStringLiteral("O item não existe mais."));
        StatusEvents::Event e;
        e.key = m_key;
        e.evento = QStringLiteral("INC");
        e.justificativa = justification;
        e.historicoSis = StatusEvents::OrigemHistoricoUsuario;
        e.status = status;
        e.statusDate = MaintenanceDates::atMidnight(MaintenanceDates::parse(dateText));
        e.writtenAt = QDateTime::currentDateTime();
        e.user = m_user;
        const int seq = StatusEvents::insert(m_db, m_table, e);
        withdrawApproval(m_db, m_key.value(QStringLiteral("SiglaCertificador")).toString(),
                         m_key.value(QStringLiteral("NumCertif")).toString());
        t.commit();
        return seq;
    } catch (const std::exception &e) {
        t.rollback();
        m_msg.error(StatusEvents::failureText(e, HistoryTexts::UpdateFailed));
        return std::nullopt;
    }
}

bool HistoryRegistration::received(int seqEvento) const
{
    auto q = m_db.exec(QStringLiteral("SELECT SeqEvento FROM REP_%1 WHERE %2 AND SeqEvento = ?")
                           .arg(StatusEvents::tableName(m_table), keyCondition()),
                       keyValues() << seqEvento);
    return q.next();
}

bool HistoryRegistration::remove(int seqEvento)
{
    Transaction t(m_db);
    try {
        // Only a hand-made entry leaves here; the system's own rows go with their item.
        const QVariant origin = m_db.scalar(QStringLiteral("SELECT HistoricoSis FROM %1 WHERE %2 AND SeqEvento = ?")
                                                .arg(StatusEvents::tableName(m_table), keyCondition()),
                                            keyValues() << seqEvento);
        if (origin.toString() != StatusEvents::OrigemHistoricoUsuario)
            return false;
        if (!StatusEvents::remove(m_db, m_table, m_key, seqEvento))
            return false;
        withdrawApproval(m_db, m_key.value(QStringLiteral("SiglaCertificador")).toString(),
                         m_key.value(QStringLiteral("NumCertif")).toString());
        t.commit();
        return true;
    } catch (const std::exception &) {
        t.rollback();
        return false;
    }
}
