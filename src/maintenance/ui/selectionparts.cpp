#include "maintenance/ui/selectionparts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

class EnterFilter : public QObject
{
public:
    EnterFilter(QObject *parent, std::function<void()> filter) : QObject(parent), m_filter(std::move(filter)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_filter();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_filter;
};

}

namespace SelectionParts {

void filterOnEnter(QWidget *field, std::function<void()> filter)
{
    field->installEventFilter(new EnterFilter(field, std::move(filter)));
}

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
