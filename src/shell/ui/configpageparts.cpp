#include "shell/ui/configpageparts.h"

#include "shell/configlocal.h"
#include "widgets/columnfit.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace ConfigPageParts {

QLineEdit *edit(QWidget *parent, const QString &name, const QString &column)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    // The certificate file lives in a local-only table made on first save.
    if (column.compare(ConfigLocal::CertificateFile, Qt::CaseInsensitive) == 0)
        e->setMaxLength(ConfigLocalStore::width(column));
    else
        ColumnFit::fit(e, QStringLiteral("CONFIG_LOCAL"), column);
    return e;
}

void defaultAndCancel(QWidget *page, QPushButton *ok, QPushButton *cancel)
{
    ok->setDefault(true);
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *s = new QShortcut(QKeySequence(key), page);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(s, &QShortcut::activated, ok, [ok] {
            if (ok->isEnabled())
                ok->click();
        });
    }
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), page);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(esc, &QShortcut::activated, cancel, &QPushButton::click);
}

QValidator::State UpperCase::validate(QString &input, int &) const
{
    input = input.toUpper();
    return Acceptable;
}

}
