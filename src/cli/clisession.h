#pragma once
#include "base/messenger.h"
#include "db/database.h"
#include "shell/loginstate.h"

#include <QStringList>
#include <QTextStream>
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

// Prints "uso: ..." for a command and returns CliExit::Usage.
int cliUsage(const QString &problem, const QString &usageLine);
