#include "maintenance/ui/selectionparts.h"

#include <QLabel>
#include <QPushButton>

namespace SelectionParts {

QLabel *labelFor(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QStringLiteral("Lb") + buddy->objectName().mid(2));
    l->setBuddy(buddy);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}
