#include "cli/commands.h"

#include <QTextStream>

int runImport(const QStringList &)
{
    QTextStream(stderr) << "corvane-cli import: ainda não disponível nesta versão\n";
    return 2;
}
