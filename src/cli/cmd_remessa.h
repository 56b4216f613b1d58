#pragma once
#include <QStringList>

// Subcommands of "corvane-cli remessa", one function each; args holds the
// words after the subcommand name.
int runRemessaPreparar(const QStringList &args);
int runRemessaCancelar(const QStringList &args);
int runRemessaListar(const QStringList &args);
