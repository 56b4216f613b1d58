#pragma once
#include "db/dberror.h"
#include "register/itemkey.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class Database;

// The status event history of every certificate item: one table per kind of
// item, one row per event (inclusion, alteration, suspension, reactivation,
// cancellation, approval), identified by the item's key plus SeqEvento.
//
// SeqEvento is numbered across the whole table: the table's highest number
// plus one, 1 for an empty table. Every writer of event rows (maintenance
// windows, approval, TXT import) takes its numbers from here.
//
// The column is a small integer: once a table holds 32767, the next event is
// refused with SeqEventoEsgotado and nothing is written (a number is never
// wrapped or reused: the regulator matches rows by item key and SeqEvento).
//
// Every function runs inside whatever transaction the caller holds and
// raises on failure (DbError from the engine, AppError for a bad value), so
// the caller's Transaction guard rolls the whole operation back.
namespace StatusEvents {

enum class Table {
    Status_C, // certificate
    Evento_Emp, // company of a certificate (EMP_CERT)
    Status_T, // product by type (TIPO)
    Status_L, // lot (LOTE)
    Status_U, // unit (UNIDADE)
    Status_S, // service (SERVICO)
    Status_DNCP, // normative document of the certificate, products
    Status_DNCS, // normative document of the certificate, services
    Status_DNS, // normative document of a service
    Status_DNT, // normative document of a product type
    Status_DNL, // normative document of a lot
    Status_DNU // normative document of a unit
};

inline constexpr int MaxSeqEvento = 32767;

// "HistoricoSis" values.
inline const QString OrigemSistema = QStringLiteral("2"); // the system's own operations
inline const QString OrigemDocNormativo = QStringLiteral("02"); // normative documents window
inline const QString OrigemHistoricoUsuario = QStringLiteral("1"); // typed in the history window
// The justification of the rows the system writes on its own.
inline const QString JustificativaSistema = QStringLiteral("Historico gerado pelo sistema");

const QList<Table> &allTables();
QString tableName(Table table); // "STATUS_C", "EVENTO_EMP", ...
std::optional<Table> tableByName(const QString &name); // any case
// The item key columns (SeqEvento excluded), as the database spells them.
const QStringList &keyColumns(Table table);
QString statusColumn(Table table); // e.g. "StatusCertificado"
QString statusDateColumn(Table table); // e.g. "DthStatusCertificado"

// Every function below takes an item's key (ItemKey) with at least the key
// columns of its table: others are ignored, so a whole item row may be
// passed; a missing key column raises AppError.

struct Event
{
    ItemKey key;
    QString evento; // "INC", "ALT", "SUS", "REA", "CAN", "APR"
    QString justificativa; // stored NULL when empty (or blanks only)
    QString historicoSis = OrigemSistema;
    QString status; // the item's status after the event: "A", "S", "C"
    QDateTime statusDate; // when the status took effect
    QDateTime writtenAt; // DthUltAtualiz; now when invalid
    QString user; // UsuResp
};

// Raised when a table's numbering would pass MaxSeqEvento.
class SeqEventoEsgotado : public AppError
{
public:
    explicit SeqEventoEsgotado(const QString &table);
    QString table() const { return m_table; }

private:
    QString m_table;
};

// The text to show for a failed write: the full table's own message (its
// name and the limit) when that is what stopped it, the column's width when
// a text was too long, else `generic`.
QString failureText(const std::exception &e, const QString &generic);

// The number that follows a table's highest SeqEvento (null/invalid: an
// empty table, giving 1). Raises SeqEventoEsgotado past MaxSeqEvento. This
// is the whole numbering rule; the import, which keeps the highest number
// of each table while it writes a file, asks it too.
int followingSeqEvento(const QVariant &highest, const QString &table);

// The table's highest SeqEvento as the engine answers it (null when empty).
// On a server it first takes the table's numbering for the caller's
// transaction: another workstation asking waits until that transaction ends,
// so no number is handed out twice. Callers ask inside the transaction that
// writes the rows.
QVariant highestSeqEvento(Database &db, Table table);
// The next SeqEvento of a table: max() over the SeqEvento index, so it costs
// the same on a table of any size.
int nextSeqEvento(Database &db, Table table);
int nextSeqEvento(Database &db, const QString &table); // an event table by name

// Writes one event row and answers the SeqEvento it took.
int insert(Database &db, Table table, const Event &event);

// Removes one row (the item's key and its SeqEvento); answers whether a row went.
bool remove(Database &db, Table table, const ItemKey &key, int seqEvento);
// Removes every row of an item (its whole key, any SeqEvento); answers the count.
int removeItem(Database &db, Table table, const ItemKey &key);
// Removes every event row of a certificate from all twelve tables.
int removeCertificate(Database &db, const QString &sigla, const QString &numCertif);

// Moves an item's history to its new key (the item's key was edited).
// Answers the number of rows moved.
int rekey(Database &db, Table table, const ItemKey &oldKey, const ItemKey &newKey);

// The latest DthUltAtualiz of the item's own "INC" rows, those the system
// wrote when it entered the certificate; invalid when none. A history entry
// typed by the user is stored as "INC" too, but it is no inclusion.
QDateTime inclusionTime(Database &db, Table table, const ItemKey &key);
// The latest DthUltAtualiz of the certificate's "APR" rows; invalid when it
// was never approved.
QDateTime lastApprovalTime(Database &db, const QString &sigla, const QString &numCertif);

}
