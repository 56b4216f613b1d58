#include "reports/ui/certificatereportpreviews.h"

#include "reports/certificatelists.h"
#include "shell/exceptionhandler.h"
#include "shell/loginstate.h"
#include "widgets/reportpreview.h"
#include "widgets/waitcursor.h"

#include <optional>

namespace CertificateReportPreviews {

namespace {

template <typename Build> void show(QWidget *parent, Messenger &messenger, Build build)
{
    guard(messenger, [&] {
        std::optional<BandedReport> report;
        {
            WaitCursor wait;
            report = build();
        }
        ReportPreview::exec(*report, parent, messenger);
    });
}

}

void incompletos(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger)
{
    show(parent, messenger, [&] { return IncompleteCertificatesReport::build(db, login.userName); });
}

void prontos(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger)
{
    show(parent, messenger, [&] { return ReadyCertificatesReport::build(db, login.userName); });
}

}
