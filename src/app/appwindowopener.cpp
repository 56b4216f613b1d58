#include "app/appwindowopener.h"

#include "import/ui/tfrmimporta.h"
#include "maintenance/companies/ui/frmdetalhesempresa.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/products/ui/tfrmselecionaproduto.h"
#include "reports/ui/certificatereportpreviews.h"
#include "reports/ui/tfrmrelatoriocertificados.h"
#include "reports/userlistreport.h"
#include "widgets/reportpreview.h"

void AppWindowOpener::importFile(QWidget *parent, Database &db, const QString &userCode, Messenger &messenger)
{
    TfrmImporta importer(QStringLiteral("KESTRAVO"), db, userCode, messenger, parent);
    importer.exec();
}

void AppWindowOpener::incompleteCertificates(QWidget *parent, Database &db, const LoginState &login,
                                             Messenger &messenger)
{
    CertificateReportPreviews::incompletos(parent, db, login, messenger);
}

void AppWindowOpener::certificatesReadyForApproval(QWidget *parent, Database &db, const LoginState &login,
                                                   Messenger &messenger)
{
    CertificateReportPreviews::prontos(parent, db, login, messenger);
}

void AppWindowOpener::certificateReports(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger)
{
    // The report's filters choose from the same lists as the maintenance,
    // without offering to register a new company or product there.
    ReportChoosers choosers;
    choosers.company = [&](QWidget *owner) -> std::optional<CompanyChoice> {
        const auto c = TFrmSelecionaEmpresa::choose(owner, db, messenger, login.userCode, false);
        if (!c)
            return std::nullopt;
        return CompanyChoice{c->codigoPais, c->idEmpresa, c->displayName()};
    };
    choosers.product = [&](QWidget *owner) -> std::optional<ProductChoice> {
        const auto p = TFrmSelecionaProduto::choose(owner, db, messenger, login.userCode, false);
        if (!p)
            return std::nullopt;
        return ProductChoice{p->marcaProd, p->modeloProd, p->importado};
    };
    choosers.companyDetails = [&](QWidget *owner, const QString &country, const QString &id) {
        TFrmDetalhesEmpresa::showCompany(db, country, id, owner);
    };
    TFrmRelatorioCertificados::open(parent, db, login, messenger, choosers);
}

void AppWindowOpener::preview(const BandedReport &report, QWidget *parent, Messenger &messenger)
{
    ReportPreview::exec(report, parent, messenger);
}

void AppWindowOpener::previewUserList(Database &db, const QString &userName, QWidget *parent, Messenger &messenger)
{
    ReportPreview::exec(UserListReport::build(db, userName), parent, messenger);
}
