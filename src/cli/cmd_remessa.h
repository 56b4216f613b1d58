#pragma once
#include <QStringList>

// Subcommands of "corvane-cli remessa", one function each; args holds the
// words after the subcommand name.
int runRemessaPreparar(const QStringList &args);
int runRemessaCancelar(const QStringList &args);
int runRemessaListar(const QStringList &args);
int runRemessaLimparHistorico(const QStringList &args);
int runRemessaEnviar(const QStringList &args);
int runRemessaResultado(const QStringList &args);
// Exit code of buscar-resultado when the regulator has no result yet.
constexpr int RemessaNoResultYet = 3;
int runRemessaBuscarResultado(const QStringList &args);
