#pragma once
#include "db/serveraddress.h"

#include <QString>
#include <functional>
#include <optional>

class Database;
class Messenger;

namespace CompactionTexts {
inline const QString Question = QStringLiteral("O sistema não poderá ser usado até o término da operação.\n"
                                               "Esta operação pode demorar e não deve ser interrompida.\n\n"
                                               "Deseja efetuar a Compactação e Reparação do Banco de Dados?");
inline const QString Compacting = QStringLiteral("Compactando Banco de Dados, aguarde...");
inline const QString DeletingTemporary = QStringLiteral("Apagando Arquivo Temporário");
inline const QString Renaming = QStringLiteral("Renomeando Arquivo");
inline const QString Compacted = QStringLiteral("Banco de Dados Compactado com Sucesso!");
inline const QString Repaired = QStringLiteral("Banco de dados reparado com sucesso!");
inline const QString Failed = QStringLiteral("Ocorreu um Erro durante a Compactação");
inline const QString CouldNot = QStringLiteral("Não foi possível compactar o banco de dados.");
}

// Compacts and checks the database file, keeping the previous file as
// "bdoccBKP.mdb". The connection is closed for the duration and always
// reopened afterwards.
//
// The file is held exclusively for the whole run (another program that uses
// it makes the run refuse after a short wait, and waits itself while the run
// goes on). The compacted copy must pass the integrity check before anything
// is replaced; the database then takes the copy's content in place, so a
// program that keeps the file open goes on writing into the database and
// not into the backup.
//
// A register on a server has no file to copy or hold: there the run asks the
// server to compact and analyse (VACUUM ANALYZE) and checks every declared
// key (shell/serverrepair.h), while other workstations go on working.
class Compactor
{
public:
    // Panel of the shell: a text to show, or hidden (visible == false).
    using PanelFn = std::function<void(const QString &text, bool visible)>;

    // dbDir: the folder holding "bdocc.mdb" (with or without a trailing "/").
    Compactor(Database &db, Messenger &messenger, const QString &dbDir);
    virtual ~Compactor() = default;

    void setPanel(PanelFn panel) { m_panel = std::move(panel); }

    // Asks first; true when the database was compacted.
    bool run();
    // The same without asking (the question was answered elsewhere).
    bool runConfirmed();

    // runConfirmed() in its three parts, for a window that runs the middle
    // one off its thread: the connection is closed and reopened on the
    // thread that owns it, the compaction opens connections of its own.
    void closeDatabase();
    bool compactClosed(); // true when compacted; says why not otherwise
    bool reopenDatabase(bool compacted); // returns compacted

    QString databaseFile() const;
    QString temporaryFile() const;
    QString backupFile() const;

protected:
    // The engine's part: a compacted copy of the held database written to
    // dst, then checked. Raises DbError.
    virtual void compactInto(Database &source, const QString &dst);
    // Raises DbError unless the file passes the engine's integrity check.
    virtual void checkIntegrity(const QString &file);
    // The held database takes the content of the checked copy. Raises DbError.
    virtual void putInPlace(Database &held, const QString &copy);

private:
    void steps();
    bool serverSteps(const ServerAddress &server); // false when a key is broken
    void makeBackup(Database &held);
    void show(const QString &text);
    void removeFile(const QString &file);
    bool reopen();

    Database &m_db;
    Messenger &m_messenger;
    QString m_dir;
    PanelFn m_panel;
    std::optional<ServerAddress> m_server; // the register's server, if any
};
