#include "reports/ui/previewreportopener.h"

#include "reports/userlistreport.h"
#include "widgets/reportpreview.h"

void PreviewReportOpener::previewUserList(Database &db, const QString &userName, QWidget *parent, Messenger &messenger)
{
    ReportPreview::exec(UserListReport::build(db, userName), parent, messenger);
}
