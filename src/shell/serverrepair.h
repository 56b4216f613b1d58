#pragma once
#include <QString>
#include <QStringList>

class Database;

// "Reparar Base de Dados" on a server register. The server compacts and
// repairs its own files; what a client can ask of it is to reclaim the space
// of removed rows and refresh its statistics (VACUUM ANALYZE), and to check
// that every key the register declares still holds. Other workstations go on
// working meanwhile: a server database is never held by one program.
namespace ServerRepair {

inline const QString CheckingKeys = QStringLiteral("Verificando as chaves das tabelas");
inline const QString ProblemsFound = QStringLiteral("A verificação do banco de dados %1 encontrou problemas:\n%2\n"
                                                    "Nada foi alterado. O administrador do servidor deve corrigi-los.");

// Runs VACUUM ANALYZE on the whole database; db must not be inside a
// transaction. Raises DbError.
void vacuumAnalyze(Database &db);

// Every declared table is on the server with its primary key, and no row
// breaks a key (two rows with one key, a key column left empty). The rows
// are read from the tables themselves, not through the key's index, which
// is what a damaged index would hide. One Portuguese line per problem;
// empty when every key holds. Raises DbError.
QStringList keyProblems(Database &db);

}
