#pragma once
#include "db/database.h"

#include <QObject>
#include <QString>

// The shell's data module: owns the connection "CapaCertific" to the local
// database and the current certifier code copied from CONFIG_LOCAL.
// The connection is opened on first use, so a missing database surfaces as
// a DbError where it is first needed (the start-up check).
class ProgramDatabase : public QObject
{
    Q_OBJECT
public:
    explicit ProgramDatabase(QObject *parent = nullptr,
                             const QString &connectionName = QLatin1String(Database::DefaultConnection));
    ~ProgramDatabase() override;

    // Opens the program folder's register (its file, or the server it
    // points at) when not open yet.
    // Raises DbError with the engine's message when it cannot.
    Database &database();
    bool isOpen() const { return m_db.isOpen(); }
    // The connection object itself, open or not (for pages built before the
    // start-up check has opened it).
    Database &connection() { return m_db; }
    // Closes the connection (compaction) and opens it again.
    void closeDatabase();
    void reopenDatabase();

    // Empty while the certifier is not configured.
    QString certifierCode() const { return m_certifier; }
    bool isCertifierConfigured() const { return !m_certifier.trimmed().isEmpty(); }
    // Called after a change to CONFIG_LOCAL has been posted.
    void setCertifierCode(const QString &code);
    // Reads the first row of CONFIG_LOCAL again (the table being reopened).
    // Raises DbError.
    QString refreshCertifierCode();

signals:
    void certifierChanged(const QString &code);

private:
    Database m_db;
    QString m_certifier;
};
