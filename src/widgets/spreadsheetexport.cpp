#include "widgets/spreadsheetexport.h"

#include "base/messenger.h"
#include "widgets/waitcursor.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

namespace SpreadsheetExport {

namespace {

FileChooser &chooser()
{
    static FileChooser c = askFile;
    return c;
}

// A stored moment that reached the grid as text.
QVariant cell(const QVariant &shown)
{
    if (shown.typeId() != QMetaType::QString)
        return shown;
    static const QRegularExpression stored(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})(?:[T ](\\d{2}:\\d{2}:\\d{2})(?:\\.\\d{1,3})?)?$"));
    const QRegularExpressionMatch m = stored.match(shown.toString());
    if (!m.hasMatch())
        return shown;
    const QDate day = QDate::fromString(m.captured(1), Qt::ISODate);
    if (!day.isValid())
        return shown;
    const QTime time = QTime::fromString(m.captured(2), QStringLiteral("hh:mm:ss"));
    if (!time.isValid() || time == QTime(0, 0))
        return day;
    return QDateTime(day, time);
}

}

void setFileChooser(FileChooser c)
{
    chooser() = c ? std::move(c) : FileChooser(askFile);
}

QString askFile(QWidget *parent, const QString &suggested)
{
    QFileDialog dialog(parent, QStringLiteral("Exportar para planilha"), QDir::homePath(),
                       QStringLiteral("Planilha CSV (*.csv)"));
    dialog.setObjectName(QStringLiteral("dlgExportarPlanilha"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(suggested + QStringLiteral(".csv"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Salvar"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Cancela"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nome do arquivo:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Pasta:"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

CsvExport::Table tableOf(const QAbstractItemView &view)
{
    CsvExport::Table out;
    QAbstractItemModel *model = view.model();
    if (!model)
        return out;
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    const auto *table = qobject_cast<const QTableView *>(&view);
    QList<int> columns;
    for (int c = 0; c < model->columnCount(); ++c) {
        if (table && table->isColumnHidden(c))
            continue;
        columns << c;
        out.headers << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    for (int r = 0; r < model->rowCount(); ++r) {
        QVariantList row;
        for (int c : columns)
            row << cell(model->data(model->index(r, c), Qt::DisplayRole));
        out.rows << row;
    }
    return out;
}

bool exportView(QAbstractItemView &view, Messenger &messenger, const QString &baseName)
{
    QString path = chooser()(view.window(), baseName);
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    QString failure;
    qsizetype rows = 0;
    {
        WaitCursor wait;
        const CsvExport::Table table = tableOf(view);
        rows = table.rows.size();
        failure = CsvExport::write(path, table);
    }
    if (!failure.isEmpty()) {
        messenger.error(failure);
        return false;
    }
    messenger.information(
        QStringLiteral("Planilha gravada em %1 (%2 linha(s)).").arg(QDir::toNativeSeparators(path)).arg(rows));
    return true;
}

QAction *attach(QAbstractItemView *view, Messenger &messenger, const QString &baseName)
{
    auto *action = new QAction(Caption, view);
    action->setObjectName(QStringLiteral("mniExportarPlanilha"));
    view->addAction(action);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    QObject::connect(action, &QAction::triggered, view,
                     [view, &messenger, baseName] { exportView(*view, messenger, baseName); });
    return action;
}

QPushButton *button(QWidget *parent, QAbstractItemView *view, Messenger &messenger, const QString &baseName)
{
    auto *b = new QPushButton(Caption, parent);
    b->setObjectName(QStringLiteral("btnExportarPlanilha"));
    QObject::connect(b, &QPushButton::clicked, view,
                     [view, &messenger, baseName] { exportView(*view, messenger, baseName); });
    return b;
}

}
