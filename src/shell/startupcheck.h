#pragma once
#include "db/serveraddress.h"

#include <QString>

class Messenger;
class ProgramDatabase;

namespace StartupTexts {
inline const QString FolderError = QStringLiteral("Ocorreu um Erro na Criação do Diretório.");
inline const QString ConfigIncomplete = QStringLiteral("Dados da Configuração de diretórios incompleta. Verifique");
}

namespace StartupCheck {

// Size of the database file in bytes; -1 when it cannot be found.
qint64 databaseSize();
// Second status panel: "Módulo do Certificador - Versão 2.4.8 | BD: <size/1024> KB".
QString databaseStatusText(qint64 size);
// The size the server gives the database at server, in bytes; -1 when it
// cannot be asked (the server out of reach).
qint64 serverDatabaseSize(const ServerAddress &server);
// The second panel for the program folder's register: the text above for
// its own file, "... | BD: servidor HOST:PORT/NAME - <size/1024> KB" for a
// server.
QString registerStatusText();

// Creates the work folder when missing and reads the certifier code from
// CONFIG_LOCAL (the first use of the database). Problems with either are
// told and stop nothing; a database that cannot be opened raises DbError.
void run(ProgramDatabase &dm, Messenger &messenger);

}
