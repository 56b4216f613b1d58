#pragma once
#include "base/messenger.h"
#include "db/database.h"
#include "shell/loginstate.h"

#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>

// Exit codes shared by the commands that act for a user.
namespace CliExit {
constexpr int Ok = 0;
constexpr int Failed = 1; // refused or failed; the reason went to stderr
constexpr int Usage = 2; // wrong words on the command line
}

// The options every signed-in command takes: [--home DIR] --user CODE.
// take() removes them from the argument list and leaves the command's own
// words behind. A missing value (end of list, or another option where the
// value is due) and an empty --home are usage errors.
struct CliCommonOptions
{
    QString home;
    QString user;
    bool homeGiven = false;

    // Returns an empty string on success, else the usage problem.
    QString take(QStringList &args);
    // Makes --home, when given, the program folder of this run.
    void useProgramFolder() const;
};

// A value option of a command: "--name VALUE" or "--name=VALUE". Same rules
// as the common options. Returns false and sets problem when the value is
// missing; an absent option leaves value untouched and returns true.
bool takeValueOption(QStringList &args, const QString &name, QString &value, QString &problem, bool *given = nullptr);
// A flag option: removes every "--name" and tells whether there was one.
bool takeFlag(QStringList &args, const QString &name);

// The rights a command can stand for: the right of the window it replaces.
using RightMember = bool Rights::*;

// Opens the program folder's database and signs the user in exactly as the
// login dialog does (same checks, same messages), then checks the right.
// The password comes from $CORVANE_SENHA, else it is asked on the terminal
// without echo; without both the sign-in is refused. Never from an argument.
class CliSession
{
public:
    CliSession();
    ~CliSession();

    // Prints the reason to stderr and returns false on any refusal; nothing
    // has been written to the database then.
    bool open(const CliCommonOptions &options, RightMember right, const QString &functionName);

    Database &db() { return *m_db; }
    const LoginState &login() const { return m_login; }
    ConsoleMessenger &messenger() { return m_messenger; }

    // Environment variable holding the password.
    static constexpr const char *PasswordVariable = "CORVANE_SENHA";

private:
    std::unique_ptr<Database> m_db;
    LoginState m_login;
    ConsoleMessenger m_messenger;
};

// The prelude every command of a user shares: the usage line it prints on
// wrong words, the common options taken from its words, the sign-in with the
// right of the window it stands for, and the errors of its work turned into
// the exit code. A step that refuses has printed the reason; exitCode() then
// holds what the command returns.
class CliCommand
{
public:
    // who opens the line telling the problem.
    CliCommand(const QStringList &args, QString usageLine, QString who = QStringLiteral("corvane-cli"));

    CliCommonOptions &options() { return m_options; }

    // The words not taken yet: the command takes its own from here.
    QStringList &words() { return m_words; }
    // Takes [--home DIR] --user CODE; false on a usage problem.
    bool takeCommonOptions();
    // The same for a command without words of its own: one left is a usage
    // error too.
    bool takeCommonOptionsOnly();
    // Opens the program folder's database and signs the user in.
    bool signIn(RightMember right, const QString &functionName);
    int exitCode() const { return m_exitCode; }

    // Prints the problem and the usage line; returns CliExit::Usage.
    int usage(const QString &problem = QString());
    // A usage error naming the first word left.
    int unknownOption();

    CliSession &session() { return m_session; }

    // Runs work; a DbError, AppError or other exception is printed as
    // "ERRO: ..." on stderr and the command fails.
    int guarded(const std::function<int()> &work);

private:
    QStringList m_words;
    QString m_usageLine;
    QString m_who;
    CliCommonOptions m_options;
    CliSession m_session;
    int m_exitCode = CliExit::Ok;
};
