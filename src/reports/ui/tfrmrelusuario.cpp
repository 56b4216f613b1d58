#include "reports/ui/tfrmrelusuario.h"

#include "reports/ui/reportpreview.h"
#include "reports/userlistreport.h"

BandedReport TFrmRelUsuario::build(Database &db, const QString &userName)
{
    BandedReport report(UserListReport::title());
    report.setUserName(userName);
    const QStringList headers = UserListReport::headers();
    // Code and name get the room; the seven "Sim"/"Não" columns stay narrow.
    const QList<qreal> weights = {1.2, 2.9, 1.8, 1.45, 1.3, 1.3, 1.15, 1.4, 1.6};
    QList<ReportColumn> columns;
    for (int i = 0; i < headers.size(); ++i)
        columns << ReportColumn{headers.at(i), weights.value(i, 1.0), i < 2 ? Qt::AlignLeft : Qt::AlignHCenter};
    report.setColumns(columns);
    const QList<QStringList> rows = UserListReport::rows(db);
    for (const QStringList &row : rows)
        report.addRow(row);
    report.endColumns();
    report.addText(QStringLiteral("Total de usuários: %1").arg(rows.size()), true);
    return report;
}

void TFrmRelUsuario::preview(Database &db, const QString &userName, QWidget *parent, Messenger &messenger)
{
    const BandedReport report = build(db, userName);
    ReportPreview::exec(report, parent, messenger);
}

bool TFrmRelUsuario::exportPdf(Database &db, const QString &userName, const QString &path)
{
    return build(db, userName).exportPdf(path);
}
