#pragma once
#include <QDateTime>
#include <QString>
#include <QVariantMap>

class Database;

// Writes the demo database the way the maintenance window would have:
// every item with its status columns and its inclusion event, later status
// changes with their own events, numbered table-wide.
namespace DemoData {

class Writer
{
public:
    explicit Writer(Database &db, const QString &user = QStringLiteral("admin"));

    // One row; every value is checked against its column.
    void insert(const QString &table, const QVariantMap &values);

    // Item of a certificate (CERTIFIC, EMP_CERT, TIPO, LOTE, UNIDADE,
    // SERVICO or a normative-document attachment): inserted active at
    // `entry`, with its "INC" event.
    void addItem(const QString &table, QVariantMap values, const QDateTime &entry);
    // A status change ("SUS", "REA", "CAN", "ALT", "APR") of an item, with its event.
    void changeStatus(const QString &table, const QVariantMap &key, const QString &event, const QString &status,
                      const QString &justification, const QDateTime &moment);
    // Approval: Aprovado set and an "APR" event with the current status.
    void approve(const QString &numCertif, const QDateTime &moment);

    QString certifier() const { return m_certifier; }
    void setCertifier(const QString &code) { m_certifier = code; }

private:
    int nextSeq(const QString &eventTable) const;
    Database &m_db;
    QString m_user;
    QString m_certifier;
};

// A valid CNPJ (14 digits) or CPF (11 digits) from its first 12 or 9 digits.
QString cnpjFrom(const QString &twelveDigits);
QString cpfFrom(const QString &nineDigits);

void addReferenceData(Writer &w);
void addConfiguration(Writer &w, const QString &programDir);
void addCertificates(Writer &w);

}
