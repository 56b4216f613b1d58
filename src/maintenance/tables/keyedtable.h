#pragma once
#include "maintenance/certificates/certificate.h"

#include <QList>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <optional>

class Database;
class Messenger;

// What the company and product tables share: a register table whose rows
// are found by a key of several columns, listed in key order, referred to
// by certificates and written with the user and moment of the change.
namespace KeyedTable {

struct Table
{
    QString name;
    QStringList key; // the key columns, in list order
};

// The row's position in the key-ordered list; -1 when it is not there.
int rowOf(const Database &db, const Table &table, const QVariantList &key);
// Some row of `tables` holds the key.
bool namedIn(const Database &db, const QStringList &tables, const QStringList &keyColumns, const QVariantList &key);
// The certificates whose rows in `tables` hold the key, in key order.
QList<CertificateKey> certificatesOf(const Database &db, const QStringList &tables, const QStringList &keyColumns,
                                     const QVariantList &key);

struct RemoveTexts
{
    QString confirm;
    QString related; // the row is in use
    QString relatedCaption;
};
// Asks for confirmation and deletes the row unless `inUse` says otherwise.
// True when it was deleted.
bool remove(Database &db, Messenger &messenger, const Table &table, const QVariantList &key, const RemoveTexts &texts,
            const std::function<bool()> &inUse);

struct Write
{
    QStringList columns; // of `values`, the key's first
    QVariantList values;
    std::optional<QVariantList> editing; // the stored row's key; none for a new row
    QString userCode;
    QString duplicate; // shown when the engine refuses the key
    // Checked inside the transaction before writing; false refuses (it told why).
    std::function<bool()> mayWrite;
    // The certificates that lose their approval by the change.
    std::function<QList<CertificateKey>()> changed;
    QString justification;
};
// Inserts or updates the row, marks the changed certificates, all in one
// transaction. Failures are told through messenger; false then and nothing
// is written.
bool write(Database &db, Messenger &messenger, const Table &table, const Write &write);

}
