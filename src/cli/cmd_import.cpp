#include "cli/commands.h"
#include "cli/clisession.h"

#include "db/database.h"
#include "db/dberror.h"
#include "import/importrun.h"
#include "shell/apppaths.h"
#include "shell/shared/messenger.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

// corvane-cli import [--home DIR] --user CODE DIR (signed in, right AcManBase)
// Exit codes: 0 every file imported; 1 a file failed (rolled back, error
// logs beside it); 3 no failure but a file was skipped (certifier,
// duplicate, unreadable); 2 bad arguments. A refused sign-in is 1.
int runImport(const QStringList &args)
{
    const QString usageLine = QStringLiteral("corvane-cli import [--home DIR] --user CODIGO DIRETORIO");
    QStringList words = args;
    CliCommonOptions options;
    const QString problem = options.take(words);
    if (!problem.isEmpty())
        return cliUsage(problem, usageLine);
    if (words.size() != 1 || words.first().startsWith(QLatin1String("--")))
        return cliUsage(QString(), usageLine);
    const QString dir = words.first();
    QTextStream err(stderr);
    if (!QFileInfo(dir).isDir()) {
        err << "Diretório não encontrado: " << QDir::toNativeSeparators(dir) << "\n";
        return 2;
    }

    CliSession session;
    if (!session.open(options, &Rights::manBase, QStringLiteral("a manutenção da base de dados")))
        return CliExit::Failed;
    Database &db = session.db();
    const QString user = session.login().userCode;

    ConsoleMessenger &messenger = session.messenger();
    const QString folder = QDir(dir).absolutePath();
    const QStringList files = ImportRun::listFiles(folder);
    if (files.isEmpty()) {
        QTextStream(stdout) << "Nenhum arquivo TX-*.txt em " << QDir::toNativeSeparators(folder) << "\n";
        return 0;
    }
    messenger.information(QStringLiteral("IMPORTANTE: Se o tamanho do arquivo a ser importado exceder a capacidade de "
                                         "memória RAM deste equipamento a rotina poderá ser interrompida antes do "
                                         "término."));
    ImportRun run(QStringLiteral("KESTRAVO"), db, user, messenger);
    int code = 0;
    try {
        run.run(folder, files);
    } catch (const std::exception &e) {
        err << "ERRO: " << QString::fromUtf8(e.what()) << "\n";
        code = 1;
    }
    ImportRun::showImportErrors(QStringLiteral("KESTRAVO"), run.failedFiles(), messenger);
    ImportRun::deleteLogs(folder);
    if (run.anyFailed())
        return 1;
    for (const auto &r : run.results())
        if (r.outcome == ImportRun::Outcome::Skipped)
            code = code ? code : 3;
    return code;
}
