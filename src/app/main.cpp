#include "shell/datamodules.h"
#include "shell/tdmcapasistema.h"
#include "shell/ui/corvaneapplication.h"
#include "shell/ui/qtmessenger.h"
#include "shell/ui/tfrmcapasistema.h"

int main(int argc, char *argv[])
{
    CorvaneApplication app(argc, argv);
    CorvaneApplication::setUpNames();

    QtMessenger messenger;
    app.setMessenger(&messenger);

    // The shell first (the main window), then the data modules in order.
    TFrmCapaSistema shell(messenger);
    messenger.setFallbackParent(&shell);
    TDMCapaSistema capa;
    TDMTabelasData tabelasData(capa);
    TDMCertif certif(capa);
    TDMRelats2 relats2(capa);
    TDMDocNorm docNorm(capa);
    shell.attachDataModules({&capa, &tabelasData, &certif, &relats2, &docNorm});

    shell.show();
    return app.exec();
}
