// What every signed-in command of corvane-cli does before its own work: the
// common options, the program folder, the sign-in and the right, each refusal
// with the same words and exit code whichever command it is.
#include "support/clirun.h"
#include "support/importrunfixture.h"

#include <QtTest>

namespace {

struct Command
{
    QStringList head; // the command's name words, before the common options
    QStringList tail; // its own words, enough to reach the sign-in
    QString function; // as the refusal of the right names it
};

QList<Command> commands(const QString &folder, const QString &file)
{
    const QString base = QStringLiteral("a manutenção da base de dados");
    const QString remittances = QStringLiteral("o controle de remessas");
    return {
        {{"import"}, {folder}, base},
        {{"aprovar"}, {"--completos"}, "a aprovação de certificados"},
        {{"reparar"}, {}, "reparar a base de dados"},
        {{"copia"}, {}, "copiar a base de dados"},
        {{"restaurar"}, {file}, "restaurar a base de dados"},
        {{"relatorio"}, {"lista", "--pdf", folder + "/lista.pdf"}, base},
        {{"tabelas", "historico"}, {}, "a atualização de tabelas"},
        {{"txt", "enviar"}, {file, "--ftp"}, "o envio de arquivos TXT"},
        {{"remessa", "preparar"}, {}, remittances},
        {{"remessa", "enviar"}, {"--ftp"}, remittances},
        {{"remessa", "resultado"}, {"--senha", "X"}, remittances},
        {{"remessa", "buscar-resultado"}, {}, remittances},
        {{"remessa", "cancelar"}, {}, remittances},
        {{"remessa", "listar"}, {}, remittances},
        {{"remessa", "limpar-historico"}, {}, remittances},
    };
}

QStringList line(const Command &c, const QStringList &common)
{
    return c.head + common + c.tail;
}

// What the command told on stderr, without the platform's own warnings
// (the report command starts a GUI application).
QString told(const CliRun::Result &r)
{
    QStringList lines = r.err.split('\n');
    lines.removeIf([](const QString &l) { return l.startsWith("QStandardPaths:"); });
    return lines.join('\n');
}

QString shown(const Command &c, const CliRun::Result &r)
{
    return c.head.join(' ') + QStringLiteral(" -> %1\n").arg(r.code) + r.out + r.err;
}

}

class TestCliPrelude : public QObject
{
    Q_OBJECT

private slots:
    // Wrong common options stop every command before the database is
    // looked for, with its own usage line.
    void commonOptionsAreCheckedAlike()
    {
        ImportRunFixture f;
        const QString home = f.home->dir();
        const QString file = f.path("nada.txt");
        const struct
        {
            QStringList common;
            QString problem;
        } wrongs[] = {
            {{"--home", home}, "informe o usuário com --user."},
            {{"--home", home, "--user", ""}, "informe o usuário com --user."},
            {{"--home=", "--user", "admin"}, "--home não pode ser vazio."},
            {{"--home", home, "--user"}, "falta o valor de --user."},
            {{"--user", "--home", home}, "falta o valor de --user."},
        };
        for (const Command &c : commands(f.dir(), file)) {
            for (const auto &w : wrongs) {
                // Last, where the command's own words cannot serve as the
                // missing value.
                const CliRun::Result r = CliRun::run(c.head + c.tail + w.common);
                QVERIFY2(r.code == 2, qPrintable(shown(c, r)));
                const QString expected = "corvane-cli: " + w.problem + "\nuso: corvane-cli " + c.head.first();
                QVERIFY2(told(r).startsWith(expected), qPrintable(expected + "\n" + shown(c, r)));
                QVERIFY2(r.out.isEmpty(), qPrintable(shown(c, r)));
            }
        }
    }

    void aFolderWithoutDatabaseIsRefused()
    {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        ImportRunFixture f;
        for (const Command &c : commands(f.dir(), f.path("nada.txt"))) {
            const CliRun::Result r = CliRun::run(line(c, {"--home", empty.path(), "--user", "admin"}));
            QVERIFY2(r.code == 1, qPrintable(shown(c, r)));
            QVERIFY2(told(r).startsWith("Base de dados não encontrada: ") && r.err.contains(empty.path()),
                     qPrintable(shown(c, r)));
            QVERIFY2(!QFileInfo::exists(empty.path() + "/db"), qPrintable(shown(c, r)));
        }
    }

    // The user signs in, then the right of the window the command stands
    // for decides; a wrong password never reaches it.
    void signInAndRightDecide()
    {
        ImportRunFixture f;
        const QString home = f.home->dir();
        for (const Command &c : commands(f.dir(), f.path("nada.txt"))) {
            CliRun::Result r = CliRun::run(line(c, {"--home", home, "--user", "imp"}));
            QVERIFY2(r.code == 1, qPrintable(shown(c, r)));
            QVERIFY2(told(r).startsWith("ERRO: Login e/ou senha inválidos."), qPrintable(shown(c, r)));
        }
        f.db->execute(QStringLiteral("update USU_LOCAL set SenhaUsu = (select SenhaUsu from USU_LOCAL "
                                     "where SiglaUsu = 'admin') where SiglaUsu = 'imp'"));
        for (const Command &c : commands(f.dir(), f.path("nada.txt"))) {
            const CliRun::Result r = CliRun::run(line(c, {"--user", "imp", "--home", home}));
            QVERIFY2(r.code == 1, qPrintable(shown(c, r)));
            QCOMPARE(told(r), "Acesso negado: o usuário imp não tem permissão para " + c.function + ".\n");
            QVERIFY2(r.out.isEmpty(), qPrintable(shown(c, r)));
        }
    }

    // A failure inside the work of a command is told as an error, not a crash.
    void aFailingCopyIsReportedAsAnError()
    {
        ImportRunFixture f;
        QFile blocker(f.path("ocupado"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const CliRun::Result r = CliRun::run(
            {"copia", "--home", f.home->dir(), "--user", "admin", "--destino", blocker.fileName() + "/dentro"});
        QVERIFY2(r.code == 1, qPrintable(r.out + r.err));
        QVERIFY2(r.err.startsWith("ERRO: "), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void initSpeaksForItself()
    {
        const CliRun::Result r = CliRun::run({"init", "--admin-password", "Segredo123", "--demais"});
        QCOMPARE(r.code, 2);
        QCOMPARE(
            r.err,
            QStringLiteral("corvane-cli init: opção desconhecida: --demais\n"
                           "uso: corvane-cli init [--home DIRETORIO] [--db postgresql://USUARIO@SERVIDOR:PORTA/BANCO] "
                           "--admin-password SENHA [--demo]\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliPrelude)
#include "test_cliprelude.moc"
