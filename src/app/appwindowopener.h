#pragma once
#include "widgets/windowopener.h"

// The import and report windows as the other subsystems' windows open them.
class AppWindowOpener : public WindowOpener
{
public:
    void importFile(QWidget *parent, Database &db, const QString &userCode, Messenger &messenger) override;
    void incompleteCertificates(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger) override;
    void certificatesReadyForApproval(QWidget *parent, Database &db, const LoginState &login,
                                      Messenger &messenger) override;
    void certificateReports(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger) override;
    void preview(const BandedReport &report, QWidget *parent, Messenger &messenger) override;
    void previewUserList(Database &db, const QString &userName, QWidget *parent, Messenger &messenger) override;
};
