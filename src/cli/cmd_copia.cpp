// corvane-cli copia [--home DIR] --user CODE [--destino FOLDER]
// corvane-cli restaurar [--home DIR] --user CODE FILE
// Signed in, right AcManBase, as the database menu of the program.
// Exit codes: 0 done; 1 refused or failed (the database as it was, the reason
// on stderr); 2 bad arguments.
#include "cli/clisession.h"
#include "cli/commands.h"

#include "base/apperror.h"
#include "base/clock.h"
#include "db/dberror.h"
#include "shell/copysettings.h"
#include "shell/databasecopies.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

// Runs one copy operation and turns its exceptions into the exit code.
template <typename Work> int reported(Work work)
{
    QTextStream err(stderr);
    try {
        work();
        return CliExit::Ok;
    } catch (const DbError &e) {
        err << "ERRO: " << e.userMessage() << "\n";
    } catch (const AppError &e) {
        err << "ERRO: " << e.message() << "\n";
    }
    return CliExit::Failed;
}

}

int runCopia(const QStringList &args)
{
    const QString usageLine = QStringLiteral("corvane-cli copia [--home DIR] --user CODIGO [--destino PASTA]");
    QStringList words = args;
    CliCommonOptions options;
    QString problem = options.take(words);
    if (!problem.isEmpty())
        return cliUsage(problem, usageLine);
    QString destination;
    bool given = false;
    if (!takeValueOption(words, QStringLiteral("--destino"), destination, problem, &given))
        return cliUsage(problem, usageLine);
    if (given && destination.trimmed().isEmpty())
        return cliUsage(QStringLiteral("--destino não pode ser vazio."), usageLine);
    if (!words.isEmpty())
        return cliUsage(QStringLiteral("opção desconhecida: %1").arg(words.first()), usageLine);

    CliSession session;
    if (!session.open(options, &Rights::manBase, QStringLiteral("copiar a base de dados")))
        return CliExit::Failed;
    return reported([&] {
        Database &db = session.db();
        const QString folder = given ? destination : DatabaseCopies::defaultFolder();
        const QString made = DatabaseCopies::make(db, folder, Clock::today());
        // Only the program's own folder is thinned out; a folder of the
        // user's choice keeps whatever is put there.
        if (!given)
            DatabaseCopies::prune(folder, CopySettings::keep(db));
        QTextStream(stdout) << "Cópia da base de dados gravada em " << QDir::toNativeSeparators(made) << "\n";
    });
}

int runRestaurar(const QStringList &args)
{
    const QString usageLine = QStringLiteral("corvane-cli restaurar [--home DIR] --user CODIGO ARQUIVO");
    QStringList words = args;
    CliCommonOptions options;
    const QString problem = options.take(words);
    if (!problem.isEmpty())
        return cliUsage(problem, usageLine);
    if (words.size() != 1 || words.first().startsWith(QLatin1String("--")))
        return cliUsage(words.isEmpty() ? QStringLiteral("informe o arquivo da cópia.") : QString(), usageLine);
    const QString file = QFileInfo(words.first()).absoluteFilePath();

    CliSession session;
    if (!session.open(options, &Rights::manBase, QStringLiteral("restaurar a base de dados")))
        return CliExit::Failed;
    return reported([&] {
        const QString kept = DatabaseCopies::restore(session.db(), file, DatabaseCopies::defaultFolder(),
                                                     Clock::today());
        QTextStream(stdout) << "Base de dados restaurada de " << QDir::toNativeSeparators(file)
                            << ". A base anterior foi guardada em " << QDir::toNativeSeparators(kept) << "\n";
    });
}
