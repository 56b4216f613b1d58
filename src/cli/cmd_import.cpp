#include "cli/clisession.h"
#include "cli/commands.h"

#include "base/apppaths.h"
#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "import/importrun.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>

namespace {

// What the window lists under "Avisos da importação", with the file, the
// line and the reason, since a terminal has no list to look at.
class WarningPrinter : public ImportObserver
{
public:
    void fileStarted(const QString &path, int) override { m_file = QFileInfo(path).fileName(); }
    void warningsAt(const QStringList &lines, int lineNumber) override
    {
        QTextStream err(stderr);
        for (const QString &w : lines) {
            err << "AVISO: " << m_file;
            if (w.startsWith(NotImported))
                err << ", linha " << lineNumber << ": " << printable(w) << " (" << reason(w.mid(NotImported.size()))
                    << ")";
            else
                err << ": " << printable(w);
            err << "\n";
        }
    }

private:
    inline static const QString NotImported = QStringLiteral("Linha não importada-->");

    static bool isControl(QChar c) { return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f); }

    static QString printable(const QString &text)
    {
        QString out;
        for (const QChar c : text)
            out += isControl(c) ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
        return out;
    }

    static QString reason(const QString &line)
    {
        if (line.trimmed().isEmpty())
            return QStringLiteral("linha em branco onde se esperava o cabeçalho de um registro");
        if (std::any_of(line.begin(), line.end(), isControl))
            return QStringLiteral("a linha contém caracteres de controle");
        if (line.startsWith(QLatin1Char('[')))
            return QStringLiteral("cabeçalho incompleto: falta o \"]\"");
        return QStringLiteral("esperava-se o cabeçalho de um registro, como [CERTIFIC]; a linha sobra do registro "
                              "anterior ou está fora de lugar");
    }

    QString m_file;
};

}

// corvane-cli import [--home DIR] --user CODE DIR (signed in, right AcManBase)
// Exit codes: 0 every file imported; 1 a file failed (rolled back, error
// logs beside it) or the database is in use by another program; 3 no
// failure but a file was skipped (certifier, duplicate, unreadable); 2 bad
// arguments. A refused sign-in is 1.
int runImport(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli import [--home DIR] --user CODIGO DIRETORIO"));
    if (!command.takeCommonOptions())
        return command.exitCode();
    const QStringList &words = command.words();
    if (words.size() != 1 || words.first().startsWith(QLatin1String("--")))
        return command.usage();
    const QString dir = words.first();
    QTextStream err(stderr);
    if (!QFileInfo(dir).isDir()) {
        err << "Diretório não encontrado: " << QDir::toNativeSeparators(dir) << "\n";
        return 2;
    }

    if (!command.signIn(&Rights::manBase, QStringLiteral("a manutenção da base de dados")))
        return command.exitCode();
    CliSession &session = command.session();
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
    WarningPrinter printer;
    run.setObserver(&printer);
    int code = command.guarded([&] {
        run.run(folder, files);
        return CliExit::Ok;
    });
    ImportRun::showImportErrors(QStringLiteral("KESTRAVO"), run.failedFiles(), messenger);
    ImportRun::deleteLogs(folder);
    if (run.anyFailed() || run.stoppedBusy())
        return 1;
    for (const auto &r : run.results())
        if (r.outcome == ImportRun::Outcome::Skipped)
            code = code ? code : 3;
    return code;
}
