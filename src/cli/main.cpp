#include "cli/commands.h"

#include <QCoreApplication>
#include <QTextStream>
#include <functional>
#include <map>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-cli"));
    QStringList args = app.arguments().mid(1);
    const std::map<QString, std::function<int(const QStringList &)>> commands = {
        {QStringLiteral("init"), runInit},
        {QStringLiteral("import"), runImport},
        {QStringLiteral("aprovar"), runAprovar},
    };
    QTextStream err(stderr);
    if (args.isEmpty() || !commands.count(args.first())) {
        err << "uso: corvane-cli init [--home DIR] --admin-password SENHA [--demo]\n"
               "     corvane-cli import [--home DIR] --user CODIGO DIRETORIO\n"
               "     corvane-cli aprovar [--home DIR] --user CODIGO (--completos | NUMERO...)\n";
        return 2;
    }
    const QString name = args.takeFirst();
    return commands.at(name)(args);
}
