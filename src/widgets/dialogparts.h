#pragma once
#include <QString>

class QDialog;
class QPainter;
class QRectF;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
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
QPushButton *namedButton(const QString &name, const QString &text);
// A field that shows a value the user cannot edit.
QLineEdit *readOnlyField(QWidget *parent, const QString &name);
// Buttons at the right, Ok first.
QHBoxLayout *buttonRow(QPushButton *ok, QPushButton *cancel = nullptr);
// Hides the typed text behind "*" rather than the platform's dot, as every
// password field of the program does.
void maskPassword(QLineEdit *edit);
// Fixed size at the given width, no help or resize; centred over the parent.
void fixDialogFrame(QDialog *dialog, int width);
// The product's mark painted at the given size.
void paintMark(QPainter &painter, const QRectF &box);

}
