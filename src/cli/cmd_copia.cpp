// corvane-cli copia [--home DIR] --user CODE [--destino FOLDER]
// corvane-cli restaurar [--home DIR] --user CODE FILE
// Signed in, right AcManBase, as the database menu of the program.
// Exit codes: 0 done; 1 refused or failed (the database as it was, the reason
// on stderr); 2 bad arguments.
#include "cli/clisession.h"
#include "cli/commands.h"

#include "base/clock.h"
#include "shell/copysettings.h"
#include "shell/databasecopies.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int runCopia(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli copia [--home DIR] --user CODIGO [--destino PASTA]"));
    if (!command.takeCommonOptions())
        return command.exitCode();
    QString destination, problem;
    bool given = false;
    if (!takeValueOption(command.words(), QStringLiteral("--destino"), destination, problem, &given))
        return command.usage(problem);
    if (given && destination.trimmed().isEmpty())
        return command.usage(QStringLiteral("--destino não pode ser vazio."));
    if (!command.words().isEmpty())
        return command.unknownOption();

    if (!command.signIn(&Rights::manBase, QStringLiteral("copiar a base de dados")))
        return command.exitCode();
    return command.guarded([&] {
        Database &db = command.session().db();
        const QString folder = given ? destination : DatabaseCopies::defaultFolder();
        const QString made = DatabaseCopies::make(db, folder, Clock::today());
        // Only the program's own folder is thinned out; a folder of the
        // user's choice keeps whatever is put there.
        if (!given)
            DatabaseCopies::prune(folder, CopySettings::keep(db));
        QTextStream(stdout) << "Cópia da base de dados gravada em " << QDir::toNativeSeparators(made) << "\n";
        return CliExit::Ok;
    });
}

int runRestaurar(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli restaurar [--home DIR] --user CODIGO ARQUIVO"));
    if (!command.takeCommonOptions())
        return command.exitCode();
    const QStringList &words = command.words();
    if (words.size() != 1 || words.first().startsWith(QLatin1String("--")))
        return command.usage(words.isEmpty() ? QStringLiteral("informe o arquivo da cópia.") : QString());
    const QString file = QFileInfo(words.first()).absoluteFilePath();

    if (!command.signIn(&Rights::manBase, QStringLiteral("restaurar a base de dados")))
        return command.exitCode();
    return command.guarded([&] {
        const QString kept = DatabaseCopies::restore(command.session().db(), file, DatabaseCopies::defaultFolder(),
                                                     Clock::today());
        QTextStream(stdout) << "Base de dados restaurada de " << QDir::toNativeSeparators(file)
                            << ". A base anterior foi guardada em " << QDir::toNativeSeparators(kept) << "\n";
        return CliExit::Ok;
    });
}
