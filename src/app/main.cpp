#include "app/corvaneapplication.h"
#include "app/tfrmcapasistema.h"
#include "base/apppaths.h"
#include "base/localzonepin.h"
#include "base/messenger.h"
#include "shell/appversion.h"
#include "shell/instancelock.h"
#include "shell/programdatabase.h"
#include "widgets/qtmessenger.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstring>

namespace {

const char *const Usage = "uso: corvane [--home DIRETORIO]\n"
                          "     corvane --version | --help\n"
                          "\n"
                          "  --home DIRETORIO  pasta de programa (banco de dados em DIRETORIO/db/bdocc.mdb);\n"
                          "                    sem ela vale CORVANE_HOME, senão ~/.local/share/corvane\n"
                          "  --version         mostra a versão e sai\n"
                          "  --help            mostra este texto e sai\n";

// The words that need no display are answered before the application object
// exists, so they work from a terminal without one. Returns -1 to go on.
int answerWithoutDisplay(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-V")) {
            QTextStream(stdout) << "corvane " << AppVersion::number() << "\n";
            return 0;
        }
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            QTextStream(stdout) << Usage;
            return 0;
        }
    }
    return -1;
}

// --home DIR (or --home=DIR) among the words Qt left. False on a bad use.
bool takeHome(const QStringList &args)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--home")) {
            if (i + 1 >= args.size())
                return false;
            AppPaths::setProgramDir(args.at(i + 1));
            ++i;
        } else if (a.startsWith(QLatin1String("--home="))) {
            AppPaths::setProgramDir(a.mid(7));
        } else {
            return false;
        }
    }
    return true;
}

}

int main(int argc, char *argv[])
{
    LocalZonePin::pin();
    const int answered = answerWithoutDisplay(argc, argv);
    if (answered >= 0)
        return answered;

    CorvaneApplication app(argc, argv);
    CorvaneApplication::setUpNames();
    if (!takeHome(QCoreApplication::arguments())) {
        QTextStream(stderr) << Usage;
        return 2;
    }

    QtMessenger messenger;
    app.setMessenger(&messenger);

    // Where no one can see a box (offscreen), the refusal goes to the terminal.
    const QString platform = QGuiApplication::platformName();
    const bool headless = platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
    ConsoleMessenger console;
    Messenger &early = headless ? static_cast<Messenger &>(console) : messenger;

    const QString programDir = AppPaths::programDir();
    InstanceLock lock(programDir);
    if (lock.acquire() == InstanceLock::Outcome::HeldByAnother) {
        early.warning(InstanceLock::heldMessage(programDir), QStringLiteral("Corvane"));
        return 3;
    }

    // The main window first, then the database it works on.
    TFrmCapaSistema shell(messenger);
    messenger.setFallbackParent(&shell);
    ProgramDatabase database;
    shell.attachDatabase(database);

    shell.show();
    return app.exec();
}
