#include "cli/clisession.h"

#include "base/apppaths.h"
#include "db/dberror.h"
#include "db/registerlocation.h"
#include "shell/loginservice.h"

#include <QFileInfo>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

bool looksLikeOption(const QString &word)
{
    return word.startsWith(QLatin1String("--"));
}

// Reads one line from the terminal with echo off. nullopt when there is no
// terminal to ask.
std::optional<QString> askPassword()
{
    if (!isatty(STDIN_FILENO))
        return std::nullopt;
    std::fprintf(stderr, "Senha: ");
    std::fflush(stderr);
    termios saved{};
    const bool haveAttrs = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveAttrs) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    QByteArray line;
    int c;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n')
        line.append(char(c));
    if (haveAttrs)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fprintf(stderr, "\n");
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromLocal8Bit(line);
}

// Prints "<who>: problem" (when there is one) and "uso: ..." for a command
// and returns CliExit::Usage.
int cliUsage(const QString &problem, const QString &usageLine, const QString &who)
{
    QTextStream err(stderr);
    if (!problem.isEmpty())
        err << who << ": " << problem << "\n";
    err << "uso: " << usageLine << "\n";
    return CliExit::Usage;
}

}

bool takeValueOption(QStringList &args, const QString &name, QString &value, QString &problem, bool *given)
{
    const QString prefix = name + QLatin1Char('=');
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == name) {
            if (i + 1 >= args.size() || looksLikeOption(args.at(i + 1))) {
                problem = QStringLiteral("falta o valor de %1.").arg(name);
                return false;
            }
            value = args.at(i + 1);
            args.remove(i, 2);
            if (given)
                *given = true;
            return true;
        }
        if (a.startsWith(prefix)) {
            value = a.mid(prefix.size());
            args.removeAt(i);
            if (given)
                *given = true;
            return true;
        }
    }
    return true;
}

bool takeFlag(QStringList &args, const QString &name)
{
    return args.removeAll(name) > 0;
}

QString CliCommonOptions::take(QStringList &args)
{
    QString problem;
    if (!takeValueOption(args, QStringLiteral("--home"), home, problem, &homeGiven))
        return problem;
    if (homeGiven && home.trimmed().isEmpty())
        return QStringLiteral("--home não pode ser vazio.");
    bool userGiven = false;
    if (!takeValueOption(args, QStringLiteral("--user"), user, problem, &userGiven))
        return problem;
    if (!userGiven || user.trimmed().isEmpty())
        return QStringLiteral("informe o usuário com --user.");
    return QString();
}

void CliCommonOptions::useProgramFolder() const
{
    if (homeGiven)
        AppPaths::setProgramDir(home);
}

CliSession::CliSession() = default;
CliSession::~CliSession() = default;

bool CliSession::open(const CliCommonOptions &options, RightMember right, const QString &functionName)
{
    QTextStream err(stderr);
    options.useProgramFolder();
    const QString file = AppPaths::dbFile();
    if (!QFileInfo::exists(file) && !QFileInfo::exists(RegisterLocation::configFile())) {
        err << "Base de dados não encontrada: " << file << "\n";
        return false;
    }
    QString password;
    if (qEnvironmentVariableIsSet(PasswordVariable)) {
        password = qEnvironmentVariable(PasswordVariable);
    } else if (const std::optional<QString> typed = askPassword()) {
        password = *typed;
    } else {
        err << "Informe a senha na variável de ambiente " << PasswordVariable << " (não há terminal para pedi-la).\n";
        return false;
    }
    try {
        m_db = std::make_unique<Database>();
        RegisterLocation::open(*m_db);
        const std::optional<LoginState> state = LoginService::login(*m_db, options.user, password, m_messenger);
        if (!state)
            return false;
        if (!((state->rights).*right)) {
            err << "Acesso negado: o usuário " << state->userCode << " não tem permissão para " << functionName
                << ".\n";
            return false;
        }
        m_login = *state;
    } catch (const DbError &e) {
        err << e.userMessage() << "\n";
        return false;
    }
    return true;
}

CliCommand::CliCommand(const QStringList &args, QString usageLine, QString who)
    : m_words(args),
      m_usageLine(std::move(usageLine)),
      m_who(std::move(who))
{ }

bool CliCommand::takeCommonOptions()
{
    const QString problem = m_options.take(m_words);
    if (problem.isEmpty())
        return true;
    usage(problem);
    return false;
}

bool CliCommand::takeCommonOptionsOnly()
{
    if (!takeCommonOptions())
        return false;
    if (m_words.isEmpty())
        return true;
    usage();
    return false;
}

bool CliCommand::signIn(RightMember right, const QString &functionName)
{
    if (m_session.open(m_options, right, functionName))
        return true;
    m_exitCode = CliExit::Failed;
    return false;
}

int CliCommand::usage(const QString &problem)
{
    m_exitCode = cliUsage(problem, m_usageLine, m_who);
    return m_exitCode;
}

int CliCommand::unknownOption()
{
    return usage(QStringLiteral("opção desconhecida: %1").arg(m_words.value(0)));
}

int CliCommand::guarded(const std::function<int()> &work)
{
    QTextStream err(stderr);
    try {
        return work();
    } catch (const DbError &e) {
        err << "ERRO: " << e.userMessage() << "\n";
    } catch (const AppError &e) {
        err << "ERRO: " << e.message() << "\n";
    } catch (const std::exception &e) {
        err << "ERRO: " << QString::fromUtf8(e.what()) << "\n";
    }
    m_exitCode = CliExit::Failed;
    return m_exitCode;
}
