#pragma once
#include <QStringList>

// Each command of corvane-cli lives in its own file: cmd_<name>.cpp.
// args holds the words after the command name; the return is the exit code.
int runInit(const QStringList &args);
int runImport(const QStringList &args);
int runAprovar(const QStringList &args);
int runReparar(const QStringList &args);
int runRemessa(const QStringList &args);
int runTxt(const QStringList &args);
int runRelatorio(const QStringList &args);
int runTabelas(const QStringList &args);
int runCopia(const QStringList &args);
int runRestaurar(const QStringList &args);
int runMigrar(const QStringList &args);
int runConectar(const QStringList &args);
