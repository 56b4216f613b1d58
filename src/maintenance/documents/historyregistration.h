#pragma once
#include "register/statusevents.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Database;
class Messenger;

namespace HistoryTexts {
inline const QString JustificationRequired = QStringLiteral("Por favor informe a justificativa.");
inline const QString DateRequired = QStringLiteral("Por favor informe a data.");
inline const QString DateInvalid = QStringLiteral("Data inválida.");
inline const QString BeforeIssue = QStringLiteral("Data menor que a data de emissão do certificado.");
inline const QString AfterToday = QStringLiteral("Data maior que a data atual.");
inline const QString UpdateFailed = QStringLiteral("Não foi possível atualizar o Histórico.");
inline const QString Received = QStringLiteral(
    "Este registro não pode ser excluído do certificado, pois já foi aprovado para emissão para o Quelora.");
inline const QString ConfirmDelete = QStringLiteral("Confirma a Exclusão do Histórico?");
}

// History entries typed by hand for one item of a certificate (the
// certificate itself, a company, a product, a service or a normative
// document link): "INC" rows of the item's event table with HistoricoSis
// "1". The rows the system writes on its own are neither listed nor removed
// here.
class HistoryRegistration
{
public:
    struct Entry
    {
        int seqEvento = 0;
        QString justificativa;
        QDateTime data; // the status date typed with the entry
        QString usuario;
    };

    // key: the item's key columns (any extra columns are ignored); issue:
    // the certificate's issue date, the earliest day an entry may carry.
    HistoryRegistration(Database &db, Messenger &messenger, const QString &userCode, StatusEvents::Table table,
                        const StatusEvents::ItemKey &key, const QDateTime &issue);

    StatusEvents::Table table() const { return m_table; }
    const StatusEvents::ItemKey &key() const { return m_key; }

    // The item's hand-made entries by date. Raises DbError.
    QList<Entry> entries() const;

    // What refuses the typed values, in the order the user is told; empty
    // when they are accepted. Whole days are compared.
    QString problem(const QString &justification, const QString &dateText, const QDate &today) const;
    // Writes an entry with the item's current status and withdraws the
    // certificate's approval. Answers the entry's SeqEvento; nothing when
    // refused or failed (the message was shown).
    std::optional<int> add(const QString &justification, const QString &dateText);

    // The regulator already holds the entry (its replica has the row).
    bool received(int seqEvento) const;
    // Removes one hand-made entry and withdraws the certificate's approval.
    // False when nothing was removed (no message: the caller relists).
    bool remove(int seqEvento);

    // The item's status now, from its own table; empty when the item is gone.
    QString currentStatus() const;

    // Clears Aprovado: the certificate must be approved again before it
    // goes to the regulator. Raises DbError.
    static void withdrawApproval(Database &db, const QString &sigla, const QString &numCertif);

private:
    QString keyCondition(const QString &alias = QString()) const;
    QVariantList keyValues() const;

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
    StatusEvents::Table m_table;
    StatusEvents::ItemKey m_key;
    QDateTime m_issue;
};
