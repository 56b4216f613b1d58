// corvane-cli reparar [--home DIR] --user CODE (signed in, right AcManBase)
// Compacts and checks the database as "Reparar Base de Dados" does, with
// its messages; the command itself is the answer to the window's question.
// On a server: VACUUM ANALYZE and a check of every declared key; broken keys
// are listed for the server's administrator and the exit code is 1.
// Exit codes: 0 repaired; 1 refused or failed (the database as it was, the
// reason on stderr); 2 bad arguments.
#include "cli/clisession.h"
#include "cli/commands.h"

#include "base/apppaths.h"
#include "base/messenger.h"
#include "shell/compaction.h"

#include <QTextStream>

int runReparar(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli reparar [--home DIR] --user CODIGO"));
    if (!command.takeCommonOptions())
        return command.exitCode();
    if (!command.words().isEmpty())
        return command.unknownOption();
    if (!command.signIn(&Rights::manBase, QStringLiteral("reparar a base de dados")))
        return command.exitCode();

    ConsoleMessenger messenger(true);
    Compactor compactor(command.session().db(), messenger, AppPaths::dbDir());
    compactor.setPanel([](const QString &text, bool visible) {
        if (visible)
            QTextStream(stdout) << text << "\n";
    });
    return compactor.runConfirmed() ? CliExit::Ok : CliExit::Failed;
}
