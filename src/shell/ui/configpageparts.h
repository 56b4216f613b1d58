#pragma once
#include <QString>
#include <QValidator>

class QLineEdit;
class QPushButton;
class QWidget;

// Pieces shared by the two configuration pages.
namespace ConfigPageParts {

// An edit bound to a CONFIG_LOCAL column: named, limited to its width.
QLineEdit *edit(QWidget *parent, const QString &name, const QString &column);
// Enter presses ok, Escape presses cancel, anywhere on the page.
void defaultAndCancel(QWidget *page, QPushButton *ok, QPushButton *cancel);
// The page: its body over "Ok" and "Cancela" at the right, the keys above.
void layOut(QWidget *page, QWidget *body, QPushButton *ok, QPushButton *cancel);

// Turns typed text into upper case as it is typed.
class UpperCase : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

}
