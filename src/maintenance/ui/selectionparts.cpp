#include "maintenance/ui/selectionparts.h"

#include "widgets/dialogparts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class EnterFilter : public QObject
{
public:
    EnterFilter(QObject *parent, std::function<void()> filter)
        : QObject(parent),
          m_filter(std::move(filter))
    { }

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

QHBoxLayout *spreadRow(const QList<QWidget *> &left, const QList<QWidget *> &right)
{
    auto *row = new QHBoxLayout;
    for (QWidget *w : left)
        if (w)
            row->addWidget(w);
    row->addStretch();
    for (QWidget *w : right)
        if (w)
            row->addWidget(w);
    return row;
}

void filterOnEnter(QWidget *field, std::function<void()> filter)
{
    field->installEventFilter(new EnterFilter(field, std::move(filter)));
}

QLabel *labelFor(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QStringLiteral("Lb") + buddy->objectName().mid(2));
    l->setBuddy(buddy);
    DialogParts::nameAfterLabel(buddy, text);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void fillList(QComboBox *list, const QList<SelectionSql::Entry> &entries)
{
    list->clear();
    list->addItem(QString());
    for (const SelectionSql::Entry &e : entries)
        list->addItem(e.name, e.code);
}

void clearFields(std::initializer_list<QWidget *> fields)
{
    for (QWidget *field : fields) {
        if (auto *text = qobject_cast<QLineEdit *>(field))
            text->clear();
        else if (auto *list = qobject_cast<QComboBox *>(field))
            list->setCurrentIndex(0);
    }
}

QLineEdit *countedField(QWidget *parent, const QString &name, const QString &column, QLabel *counter, int rule)
{
    QLineEdit *e = DialogParts::columnEdit(parent, name, QStringLiteral("PRODUTO"), column);
    if (rule > 0 && rule < e->maxLength())
        e->setMaxLength(rule);
    auto count = [e, counter] {
        if (counter)
            counter->setText(QStringLiteral("(") + QString::number(e->text().size()) + QStringLiteral(")"));
    };
    count();
    // Leading blanks never reach the value.
    QObject::connect(e, &QLineEdit::textChanged, e, [e, count](const QString &text) {
        qsizetype lead = 0;
        while (lead < text.size() && text.at(lead) == QLatin1Char(' '))
            ++lead;
        if (lead > 0) {
            const int cursor = e->cursorPosition();
            e->setText(text.mid(lead));
            e->setCursorPosition(qMax(0, cursor - int(lead)));
        }
        count();
    });
    QObject::connect(e, &QLineEdit::editingFinished, e, [e] {
        const QString t = e->text().trimmed();
        if (t != e->text())
            e->setText(t);
    });
    return e;
}

PersonKind personKind(QWidget *parent)
{
    auto *box = new QWidget(parent);
    box->setObjectName(QStringLiteral("RgTipoPessoa"));
    box->setAccessibleName(QStringLiteral("Tipo Pessoa"));
    auto *natural = new QRadioButton(QStringLiteral("Física"), box);
    natural->setObjectName(QStringLiteral("RbFisica"));
    auto *legal = new QRadioButton(QStringLiteral("Jurídica"), box);
    legal->setObjectName(QStringLiteral("RbJuridica"));
    auto *group = new QButtonGroup(box);
    group->addButton(natural);
    group->addButton(legal);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(natural);
    row->addWidget(legal);
    row->addStretch();
    return {box, natural, legal};
}

void setBold(QLabel *label, bool bold)
{
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
}

}
