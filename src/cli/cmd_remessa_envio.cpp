// corvane-cli remessa enviar [--home DIR] --user CODE (--pasta DIR | --ftp | --email)
// corvane-cli remessa resultado [--home DIR] --user CODE --senha CODIGO [--obs TEXTO]
// The transfer (to a folder, by FTP or by e-mail) and the manual result of the newest remittance, each
// allowed exactly when the control window offers that step.
#include "cli/clisession.h"

#include "cli/cmd_remessa.h"
#include "remessa/foldertransfer.h"
#include "remessa/manualresult.h"
#include "remessa/packagetransfer.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessawork.h"
#include "shell/configlocal.h"
#include "shell/exceptionhandler.h"

#include <QDir>
#include <QTextStream>

namespace {

const QString FunctionName = QStringLiteral("o controle de remessas");

// The newest remittance when the control window would offer the step.
std::optional<RemessaControl::Remittance> newestFor(Database &db, RemessaControl::Step step)
{
    const auto newest = RemessaControl::newest(db);
    const QString refusal = RemessaControl::refusal(step, newest);
    if (refusal.isEmpty())
        return newest;
    QTextStream(stderr) << refusal << "\n";
    return std::nullopt;
}

RemessaWork workFor(CliSession &session, const RemessaControl::Remittance &r)
{
    return RemessaWork::from(RemessaControl::workingValues(session.db()), session.login(), r);
}

// By FTP or e-mail as the transfer windows send it: their memo lines on
// stdout (the server's refusal to connect among them), "TR" only when the
// whole package went.
int sendToRegulator(CliSession &session, const RemessaWork &work, bool ftp)
{
    if (!ConfigLocalStore::read(session.db())) {
        QTextStream(stderr) << "O certificador não está configurado.\n";
        return CliExit::Failed;
    }
    QTextStream out(stdout);
    const auto print = [&out](const QString &line) {
        out << line << "\n";
        out.flush();
    };
    PackageTransfer transfer(session.db(), session.messenger(), work, work.remittance.packageName,
                             ftp ? PackageTransfer::Mode::Ftp : PackageTransfer::Mode::Email);
    transfer.setLines(print);
    transfer.setConnectFailure(print);
    try {
        return transfer.run() == PackageTransfer::Outcome::Delivered ? CliExit::Ok : CliExit::Failed;
    } catch (const std::exception &e) {
        QTextStream(stderr) << ExceptionHandler::messageOf(e) << "\n";
        return CliExit::Failed;
    }
}

}

int runRemessaEnviar(const QStringList &args)
{
    CliCommand command(args,
                       QStringLiteral("corvane-cli remessa enviar [--home DIR] --user CODIGO (--pasta DIRETORIO | "
                                      "--ftp | --email)"));
    if (!command.takeCommonOptions())
        return command.exitCode();
    QStringList &words = command.words();
    QString problem, folder;
    takeValueOption(words, QStringLiteral("--pasta"), folder, problem);
    const bool ftp = takeFlag(words, QStringLiteral("--ftp"));
    const bool email = takeFlag(words, QStringLiteral("--email"));
    if (!problem.isEmpty() || !words.isEmpty())
        return command.usage(problem);
    if (int(ftp) + int(email) + int(!folder.isEmpty()) != 1)
        return command.usage(QStringLiteral("escolha um modo: --pasta, --ftp ou --email"));

    if (!command.signIn(&Rights::contRemessas, FunctionName))
        return command.exitCode();
    CliSession &session = command.session();
    const auto state = newestFor(session.db(), RemessaControl::Step::Transfer);
    if (!state)
        return CliExit::Failed;
    const RemessaWork work = workFor(session, *state);
    if (ftp || email)
        return sendToRegulator(session, work, ftp);

    FolderTransferObserver quiet;
    const FolderTransfer::Result result = FolderTransfer::run(
        session.db(), session.messenger(), work, work.remittance.packageName, QDir(folder).absolutePath(), quiet);
    if (result.status != FolderTransfer::Status::Done) {
        if (!result.text.isEmpty())
            QTextStream(stderr) << result.text << "\n";
        return CliExit::Failed;
    }
    QTextStream(stdout) << result.text << "\n" << QDir::toNativeSeparators(result.copiedPath) << "\n";
    return CliExit::Ok;
}

int runRemessaResultado(const QStringList &args)
{
    CliCommand command(args,
                       QStringLiteral("corvane-cli remessa resultado [--home DIR] --user CODIGO --senha CODIGO "
                                      "[--obs TEXTO]"));
    if (!command.takeCommonOptions())
        return command.exitCode();
    QStringList &words = command.words();
    QString problem, code, remarks;
    bool codeGiven = false;
    takeValueOption(words, QStringLiteral("--senha"), code, problem, &codeGiven);
    if (problem.isEmpty())
        takeValueOption(words, QStringLiteral("--obs"), remarks, problem);
    if (!problem.isEmpty() || !words.isEmpty() || !codeGiven)
        return command.usage(problem);
    const QStringList lines = remarks.isEmpty() ? QStringList() : remarks.split(QLatin1Char('\n'));
    // Refused whole, before anything is read or written: never cut short.
    if (const QString refusal = ManualResult::remarkRefusal(lines); !refusal.isEmpty()) {
        QTextStream(stderr) << refusal << "\n";
        return CliExit::Failed;
    }

    if (!command.signIn(&Rights::contRemessas, FunctionName))
        return command.exitCode();
    CliSession &session = command.session();
    const auto state = newestFor(session.db(), RemessaControl::Step::Receive);
    if (!state)
        return CliExit::Failed;
    const RemessaWork work = workFor(session, *state);
    const auto verdict = ManualResult::check(session.db(), work, code);
    if (!verdict) {
        QTextStream(stderr) << "A senha não é válida. Tente novamente.\n";
        return CliExit::Failed;
    }
    if (!ManualResult::apply(session.db(), session.messenger(), work, verdict->verdict, lines))
        return CliExit::Failed;
    QTextStream out(stdout);
    out << "Remessa " << work.remittance.number << ": " << ManualResult::verdictText(verdict->verdict) << "\n";
    out << (verdict->verdict == QLatin1String("OK") ? "Sincronização efetuada com sucesso...\n"
                                                    : "Não há sincronização a fazer. A remessa foi invalidada.\n");
    return CliExit::Ok;
}
