#pragma once
#include <QList>
#include <QString>

class Messenger;

// Typed text that goes to the regulator must fit Windows-1252; a character
// outside it is refused where it is typed, naming the field.
namespace SendableText {

inline const QString Caption = QStringLiteral("Erro de entrada de dados");

struct Field
{
    QString label; // as the window names it
    QString text;
};

// The message about the first field that cannot be sent; empty when all can.
QString problem(const QList<Field> &fields);
// Shows that message as an error. True when every field can be sent.
bool check(Messenger &messenger, const QList<Field> &fields);

}
