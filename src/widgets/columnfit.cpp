#include "widgets/columnfit.h"

#include "db/schema.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace ColumnFit {

int width(const QString &table, const QString &column)
{
    const Schema::Table *t = Schema::table(table);
    const Schema::Field *f = t ? t->field(column) : nullptr;
    if (!f || f->type != Schema::FieldType::Text || f->size <= 0)
        qFatal("ColumnFit: %s.%s is not a declared text column", qPrintable(table), qPrintable(column));
    return f->size;
}

namespace {
void mark(QWidget *input, const QString &table, const QString &column)
{
    input->setProperty(Property, QString(table + QLatin1Char('.') + column));
}
}

void fit(QLineEdit *edit, const QString &table, const QString &column)
{
    edit->setMaxLength(width(table, column));
    mark(edit, table, column);
}

void fit(QComboBox *combo, const QString &table, const QString &column)
{
    const int max = width(table, column);
    if (QLineEdit *edit = combo->lineEdit())
        edit->setMaxLength(max);
    mark(combo, table, column);
}

void fit(QPlainTextEdit *memo, const QString &table, const QString &column, int reserved)
{
    const int max = qMax(0, width(table, column) - reserved);
    mark(memo, table, column);
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, max] {
        const QString text = memo->toPlainText();
        if (text.size() <= max)
            return;
        QTextCursor cursor = memo->textCursor();
        const int at = qMin<int>(cursor.position(), max);
        memo->setPlainText(text.left(max));
        cursor = memo->textCursor();
        cursor.setPosition(at);
        memo->setTextCursor(cursor);
    });
}

QString columnOf(const QWidget *input)
{
    return input->property(Property).toString();
}

}
