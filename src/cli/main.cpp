#include "base/localzonepin.h"
#include "cli/commands.h"
#include "shell/appversion.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <functional>
#include <map>
#include <memory>

int main(int argc, char *argv[])
{
    LocalZonePin::pin();
    // Reports are painted, and painting text needs the GUI module's fonts;
    // the offscreen platform gives them without any display.
    std::unique_ptr<QCoreApplication> application;
    if (argc > 1 && qstrcmp(argv[1], "relatorio") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("corvane-cli"));
    QStringList args = app.arguments().mid(1);
    const std::map<QString, std::function<int(const QStringList &)>> commands = {
        {QStringLiteral("init"), runInit},           {QStringLiteral("import"), runImport},
        {QStringLiteral("aprovar"), runAprovar},     {QStringLiteral("reparar"), runReparar},
        {QStringLiteral("remessa"), runRemessa},     {QStringLiteral("txt"), runTxt},
        {QStringLiteral("relatorio"), runRelatorio}, {QStringLiteral("tabelas"), runTabelas},
        {QStringLiteral("copia"), runCopia},         {QStringLiteral("restaurar"), runRestaurar},
        {QStringLiteral("migrar"), runMigrar},       {QStringLiteral("conectar"), runConectar},
    };
    if (!args.isEmpty() && (args.first() == QLatin1String("--version") || args.first() == QLatin1String("-V"))) {
        QTextStream(stdout) << "corvane-cli " << AppVersion::number() << "\n";
        return 0;
    }
    const bool help = !args.isEmpty() &&
        (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"));
    QTextStream err(help ? stdout : stderr);
    if (help || args.isEmpty() || !commands.count(args.first())) {
        err << "uso: corvane-cli init [--home DIR] [--db postgresql://USUARIO@SERVIDOR:PORTA/BANCO]\n"
               "                        --admin-password SENHA [--demo]\n"
               "     corvane-cli import [--home DIR] --user CODIGO DIRETORIO\n"
               "     corvane-cli aprovar [--home DIR] --user CODIGO (--completos | NUMERO...)\n"
               "     corvane-cli reparar [--home DIR] --user CODIGO\n"
               "     corvane-cli remessa preparar|enviar|resultado|cancelar|limpar-historico|listar [--home DIR] "
               "--user CODIGO [...]\n"
               "     corvane-cli txt enviar [--home DIR] --user CODIGO ARQUIVO (--ftp | --email | --pasta DIRETORIO)\n"
               "     corvane-cli relatorio (espelho|espelho-log|lista|incompletos|prontos|vencendo) [--home DIR]\n"
               "                 --user CODIGO [--certificado NUMERO]... [--dias N] (--pdf ARQUIVO | --csv ARQUIVO)\n"
               "     corvane-cli tabelas atualizar|historico|reinstalar [--home DIR] --user CODIGO [...]\n"
               "     corvane-cli copia [--home DIR] --user CODIGO [--destino PASTA]\n"
               "     corvane-cli restaurar [--home DIR] --user CODIGO ARQUIVO\n"
               "     corvane-cli migrar [--home DIR] (--para postgresql://USUARIO@SERVIDOR:PORTA/BANCO |\n"
               "                 --para-arquivo CAMINHO)\n"
               "     corvane-cli conectar [--home DIR] --db postgresql://USUARIO@SERVIDOR:PORTA/BANCO\n";
        if (help)
            err << "     corvane-cli --version\n"
                   "A senha vem de CORVANE_SENHA ou é pedida no terminal. Veja man corvane-cli.\n";
        return help ? 0 : 2;
    }
    const QString name = args.takeFirst();
    return commands.at(name)(args);
}
