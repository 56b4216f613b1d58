#pragma once
#include <QString>

class QBoxLayout;
class QCheckBox;
class QDialog;
class QIcon;
class QPainter;
class QRadioButton;
class QRectF;
class QTableView;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

// Pieces shared by the shell's small dialogs.
namespace DialogParts {

// A coloured strip with the product's mark, a title and a subtitle.
QWidget *banner(QWidget *parent, const QString &title, const QString &subtitle);
QLabel *label(QWidget *parent, const QString &name, const QString &text, QWidget *buddy = nullptr);
// A combo box is read by its current item unless named: it takes its label's
// words, as a line edit does from its buddy label.
void nameAfterLabel(QWidget *buddy, const QString &labelText);
QPushButton *button(QWidget *parent, const QString &name, const QString &text);
// A push button with only its object name set; the layout it goes into
// parents it.
QPushButton *namedButton(const QString &name, const QString &text, QWidget *parent = nullptr);
// A line edit; maxLength 0 leaves the length free.
QLineEdit *lineEdit(QWidget *parent, const QString &name, int maxLength = 0);
// A line edit that takes no more than the width of the column it fills.
QLineEdit *columnEdit(QWidget *parent, const QString &name, const QString &table, const QString &column);
// A line edit for a password: "*" for each character typed.
QLineEdit *passwordEdit(QWidget *parent, const QString &name, int maxLength = 0);
QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &text);
QRadioButton *radioButton(QWidget *parent, const QString &name, const QString &text);
// A field that shows a value the user cannot edit.
QLineEdit *readOnlyField(QWidget *parent, const QString &name);
// A read-only grid chosen from by whole rows, one at a time; the last
// column takes the width left.
QTableView *rowGrid(QWidget *parent, const QString &name);
// Buttons at the right, Ok first.
QHBoxLayout *buttonRow(QPushButton *ok, QPushButton *cancel = nullptr);
// "Ok" (the default button) and "Cancela" (rejects dialog) in a row below
// what layout holds; the dialog connects "Ok" itself.
struct OkCancel
{
    QPushButton *ok;
    QPushButton *cancel;
};
OkCancel addOkCancel(QDialog *dialog, QBoxLayout *layout, const QString &okName, const QString &cancelName);
// Hides the typed text behind "*" rather than the platform's dot, as every
// password field of the program does.
void maskPassword(QLineEdit *edit);
// Fixed size at the given width, no help or resize; centred over the parent.
void fixDialogFrame(QDialog *dialog, int width);
// The toolbar of a main window: a row with narrow margins, icon buttons of
// 40 pixels whose hint is also their name for screen readers, and sunken
// gaps between groups.
QHBoxLayout *toolbarRow(QWidget *panel);
QToolButton *toolbarButton(QWidget *panel, QBoxLayout *row, const char *name, const QString &hint, const QIcon &icon);
void toolbarGap(QWidget *panel, QBoxLayout *row);
// The product's mark painted at the given size.
void paintMark(QPainter &painter, const QRectF &box);

}
