#include "cli/cmd_remessa.h"
#include "cli/clisession.h"
#include "cli/commands.h"

#include "remessa/registerstep.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessapreparation.h"

#include <QDir>
#include <QTextStream>
#include <functional>
#include <map>

// corvane-cli remessa SUBCOMANDO [--home DIR] --user CODE ... (right AcContRemessas).
// Each step runs only when the control window would offer it for the newest
// remittance; a refusal prints the reason and exits 1 with nothing written.
namespace {

const char *kUsage =
    "uso: corvane-cli remessa preparar [--home DIR] --user CODIGO [--completa]\n"
    "     corvane-cli remessa enviar [--home DIR] --user CODIGO (--pasta DIRETORIO | --ftp | --email)\n"
    "     corvane-cli remessa resultado [--home DIR] --user CODIGO --senha CODIGO [--obs TEXTO]\n"
    "     corvane-cli remessa buscar-resultado [--home DIR] --user CODIGO\n"
    "     corvane-cli remessa cancelar [--home DIR] --user CODIGO\n"
    "     corvane-cli remessa listar [--home DIR] --user CODIGO\n"
    "     corvane-cli remessa limpar-historico [--home DIR] --user CODIGO\n";

QString functionName()
{
    return QStringLiteral("o controle de remessas");
}

// The common options, nothing else left, then the sign-in.
bool signIn(CliCommand &command)
{
    return command.takeCommonOptionsOnly() && command.signIn(&Rights::contRemessas, functionName());
}

QString userName(const LoginState &login)
{
    return login.userName.isEmpty() ? login.userCode : login.userName;
}

} // namespace

int runRemessaPreparar(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli remessa preparar [--home DIR] --user CODIGO [--completa]"));
    const bool complete = takeFlag(command.words(), QStringLiteral("--completa"));
    if (!signIn(command))
        return command.exitCode();
    CliSession &session = command.session();
    Database &db = session.db();
    QTextStream err(stderr);
    try {
        const auto newest = RemessaControl::newest(db);
        const QString refusal = RemessaControl::refusal(RemessaControl::Step::Prepare, newest);
        if (!refusal.isEmpty()) {
            err << refusal << "\n";
            return CliExit::Failed;
        }
        const RemessaControl::WorkingValues w = RemessaControl::workingValues(db);
        RemessaPreparation::Settings s;
        s.transferDir = w.transferDir;
        s.acronym = w.acronym;
        s.currentNumber = newest ? newest->number : QStringLiteral("0000000000");
        s.user = userName(session.login());
        const auto result = RemessaPreparation::run(db, session.messenger(), s,
                                                    complete ? RemessaPreparation::Type::Complete
                                                             : RemessaPreparation::Type::Partial);
        switch (result.outcome) {
        case RemessaPreparation::Outcome::Prepared:
            QTextStream(stdout) << RemessaPreparation::resultText(result.outcome) << "\n"
                                << "Número da remessa: " << result.remittance.number << "\n"
                                << QDir::toNativeSeparators(result.remittance.packagePath) << "\n";
            return CliExit::Ok;
        case RemessaPreparation::Outcome::NothingNew: return 3;
        default:
            if (!result.error.isEmpty() && result.outcome == RemessaPreparation::Outcome::Failed)
                err << RemessaPreparation::resultText(result.outcome) << "\n" << result.error << "\n";
            return CliExit::Failed;
        }
    } catch (const std::exception &e) {
        err << "ERRO: " << QString::fromUtf8(e.what()) << "\n";
        return CliExit::Failed;
    }
}

int runRemessaCancelar(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli remessa cancelar [--home DIR] --user CODIGO"));
    if (!signIn(command))
        return command.exitCode();
    CliSession &session = command.session();
    Database &db = session.db();
    QTextStream err(stderr);
    try {
        const auto newest = RemessaControl::newest(db);
        const QString refusal = RemessaControl::refusal(RemessaControl::Step::Cancel, newest);
        if (!refusal.isEmpty()) {
            err << refusal << "\n";
            return CliExit::Failed;
        }
        const RemessaControl::WorkingValues w = RemessaControl::workingValues(db);
        RemessaControl::cancel(db, *newest, userName(session.login()), w.transferDir, w.acronym);
        QTextStream(stdout) << "Remessa " << newest->number << " cancelada.\n";
        return CliExit::Ok;
    } catch (const RegisterStep::Refused &e) {
        err << e.message() << "\n";
        return CliExit::Failed;
    } catch (const std::exception &e) {
        err << "ERRO: " << QString::fromUtf8(e.what()) << "\n";
        return CliExit::Failed;
    }
}

// As the window's button with preparation on offer or not: the newest
// remittance survives while it waits for transfer or result.
int runRemessaLimparHistorico(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli remessa limpar-historico [--home DIR] --user CODIGO"));
    if (!signIn(command))
        return command.exitCode();
    CliSession &session = command.session();
    QTextStream err(stderr);
    try {
        RemessaControl::clearHistory(session.db(), QString());
        const QList<RemessaControl::Remittance> left = RemessaControl::remittances(session.db());
        QTextStream out(stdout);
        out << "Histórico de remessas limpo.";
        if (!left.isEmpty())
            out << " Mantida a remessa " << left.first().number << " (" << left.first().status << ").";
        out << "\n";
        return CliExit::Ok;
    } catch (const RegisterStep::Refused &e) {
        err << e.message() << "\n";
    } catch (const std::exception &e) {
        err << "ERRO: " << QString::fromUtf8(e.what()) << "\n";
    }
    return CliExit::Failed;
}

int runRemessaListar(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli remessa listar [--home DIR] --user CODIGO"));
    if (!signIn(command))
        return command.exitCode();
    CliSession &session = command.session();
    Database &db = session.db();
    QTextStream out(stdout);
    try {
        const QList<RemessaControl::Remittance> all = RemessaControl::remittances(db);
        if (all.isEmpty()) {
            out << "Nenhuma remessa registrada.\n";
            return CliExit::Ok;
        }
        for (const RemessaControl::Remittance &r : all) {
            out << r.number << "  " << RemessaControl::typeText(r.type).leftJustified(9) << "  " << r.status
                << (r.newest ? QStringLiteral("  (última)") : QString()) << "\n";
            for (const RemessaControl::Event &e : RemessaControl::events(db, r.number)) {
                out << "    " << e.moment.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) << "  "
                    << RemessaControl::eventDescription(e.event).leftJustified(24) << "  " << e.user;
                if (!e.remark.isEmpty())
                    out << "  " << e.remark;
                out << "\n";
            }
        }
        return CliExit::Ok;
    } catch (const std::exception &e) {
        QTextStream(stderr) << "ERRO: " << QString::fromUtf8(e.what()) << "\n";
        return CliExit::Failed;
    }
}

int runRemessa(const QStringList &args)
{
    const std::map<QString, std::function<int(const QStringList &)>> subcommands = {
        {QStringLiteral("preparar"), runRemessaPreparar},
        {QStringLiteral("enviar"), runRemessaEnviar},
        {QStringLiteral("resultado"), runRemessaResultado},
        {QStringLiteral("buscar-resultado"), runRemessaBuscarResultado},
        {QStringLiteral("cancelar"), runRemessaCancelar},
        {QStringLiteral("listar"), runRemessaListar},
        {QStringLiteral("limpar-historico"), runRemessaLimparHistorico},
    };
    if (args.isEmpty() || !subcommands.count(args.first())) {
        QTextStream(stderr) << kUsage;
        return CliExit::Usage;
    }
    return subcommands.at(args.first())(args.mid(1));
}
