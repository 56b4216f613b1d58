#pragma once
#include "base/csvexport.h"

#include <QString>
#include <functional>

class Messenger;
class QAbstractItemModel;
class QAbstractItemView;
class QAction;
class QPushButton;
class QWidget;

// "Exportar para planilha...": any grid of the program written as a CSV
// file, with the columns and rows the user sees. The same piece serves every
// grid: a context-menu item on the grid, and a button for windows that want
// one in view.
namespace SpreadsheetExport {

inline const QString Caption = QStringLiteral("Exportar para planilha...");

// Asks where to write; an empty answer cancels. Tests install their own.
using FileChooser = std::function<QString(QWidget *parent, const QString &suggested)>;
void setFileChooser(FileChooser chooser);
// The save dialog the program shows (Qt's own, the same on every system).
QString askFile(QWidget *parent, const QString &suggested);

// Every row of the model (rows still to be fetched are fetched), the
// columns the view does not hide, as shown. Stored moments shown raw
// (yyyy-mm-dd...) become dates.
CsvExport::Table tableOf(const QAbstractItemView &view);

// Asks for the file and writes it; failures are told through messenger.
// Returns whether a file was written.
bool exportView(QAbstractItemView &view, Messenger &messenger, const QString &baseName);

// The context-menu item on view (objectName "mniExportarPlanilha").
QAction *attach(QAbstractItemView *view, Messenger &messenger, const QString &baseName);
// A button with the caption (objectName "btnExportarPlanilha") doing the same.
QPushButton *button(QWidget *parent, QAbstractItemView *view, Messenger &messenger, const QString &baseName);

}
