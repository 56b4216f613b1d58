#pragma once
#include "maintenance/selectionsql.h"

#include <QList>
#include <QString>
#include <functional>
#include <initializer_list>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// Small pieces the selection and inclusion dialogs (and the maintenance
// panels around them) build alike.
namespace SelectionParts {

// A row of `left`, a stretch and `right`; null entries are left out.
QHBoxLayout *spreadRow(const QList<QWidget *> &left, const QList<QWidget *> &right = {});

// A label whose buddy is `buddy`, named "Lb" + the buddy's name without its prefix.
QLabel *labelFor(QWidget *parent, const QString &text, QWidget *buddy);
// A push button that is never the default by itself.
QPushButton *button(QWidget *parent, const QString &name, const QString &text);
// A blank entry and then `entries`, shown by name, each holding its code.
void fillList(QComboBox *list, const QList<SelectionSql::Entry> &entries);
// Filter fields back to blank: text boxes emptied, lists on their first entry.
void clearFields(std::initializer_list<QWidget *> fields);
// A text box for a PRODUTO column, as long as the column (or `rule`, when
// the data's own rule is narrower), that drops leading blanks as they are
// typed and surrounding blanks when left; `counter`, when given, shows the
// length as "(n)".
QLineEdit *countedField(QWidget *parent, const QString &name, const QString &column, QLabel *counter, int rule = 0);
// Enter in a filter field runs the filter instead of the dialog's default
// button (which would choose whatever row is current).
void filterOnEnter(QWidget *field, std::function<void()> filter);
// "Tipo Pessoa": a box (RgTipoPessoa) holding "Física" (RbFisica) and
// "Jurídica" (RbJuridica), one of them at a time; none is checked yet.
struct PersonKind
{
    QWidget *box;
    QRadioButton *naturalPerson;
    QRadioButton *legalEntity;
};
PersonKind personKind(QWidget *parent);
// Bold when the field is required, regular when not.
void setBold(QLabel *label, bool bold);

}
