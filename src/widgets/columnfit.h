#pragma once
#include <QString>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Inputs that fill a column of the local database take their maximum length
// from the column's declared width, so no window copies a number of its own
// and a value can never be typed longer than the column takes.
namespace ColumnFit {

// Dynamic property naming the filled column ("TABLE.Column") on every fitted
// input, for the windows' tests.
inline constexpr const char *Property = "corvaneColumn";

// Declared width of a text column. An undeclared table or column, or one that
// is not text, is a mistake in the window: it stops the program at once.
int width(const QString &table, const QString &column);

void fit(QLineEdit *edit, const QString &table, const QString &column);
// The line edit of an editable combo box.
void fit(QComboBox *combo, const QString &table, const QString &column);
// A memo has no limit of its own: what goes past the width is cut as it is
// typed or pasted. `reserved`: characters the program adds to what is typed.
void fit(QPlainTextEdit *memo, const QString &table, const QString &column, int reserved = 0);

// The column a fitted input fills, "TABLE.Column"; empty when not fitted.
QString columnOf(const QWidget *input);

}
