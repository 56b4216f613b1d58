#include "remessa/ui/remessastepwindows.h"

#include "remessa/remessawork.h"
#include "remessa/ui/tfrmprincipalremessas.h"
#include "remessa/ui/tfrmselecaoresultado.h"
#include "remessa/ui/tfrmselecaotransferencia.h"

namespace RemessaStepWindows {

void install()
{
    using Ctx = TFrmPrincipalRemessas::StepContext;
    TFrmPrincipalRemessas::setTransferWindow([](QWidget *parent, Database &db, Messenger &messenger, const Ctx &c) {
        TFrmSelecaoTransferencia window(RemessaWork::from(c.values, c.login, c.number, c.type), db, messenger, parent);
        window.setFileName(c.fileName);
        window.exec();
    });
    TFrmPrincipalRemessas::setResultWindow([](QWidget *parent, Database &db, Messenger &messenger, const Ctx &c) {
        TFrmSelecaoResultado window(RemessaWork::from(c.values, c.login, c.number, c.type), db, messenger, parent);
        window.setPackageName(c.fileName);
        window.exec();
    });
}

}
