#include "reports/ui/previewreportopener.h"

#include "reports/ui/reportpreview.h"
#include "reports/userlistreport.h"

void PreviewReportOpener::previewUserList(Database &db, const QString &userName, QWidget *parent, Messenger &messenger)
{
    ReportPreview::exec(UserListReport::build(db, userName), parent, messenger);
}
