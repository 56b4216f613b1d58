#include "reports/ui/previewreportopener.h"
#include "reports/ui/tfrmrelusuario.h"

void PreviewReportOpener::previewUserList(Database &db, const QString &userName, QWidget *parent, Messenger &messenger)
{
    TFrmRelUsuario::preview(db, userName, parent, messenger);
}
