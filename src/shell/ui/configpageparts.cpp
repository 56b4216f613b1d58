#include "shell/ui/configpageparts.h"

#include "shell/configlocal.h"
#include "widgets/dialogparts.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace ConfigPageParts {

QLineEdit *edit(QWidget *parent, const QString &name, const QString &column)
{
    // The certificate file lives in a local-only table made on first save.
    if (column.compare(ConfigLocal::CertificateFile, Qt::CaseInsensitive) == 0)
        return DialogParts::lineEdit(parent, name, ConfigLocalStore::width(column));
    return DialogParts::columnEdit(parent, name, QStringLiteral("CONFIG_LOCAL"), column);
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

void layOut(QWidget *page, QWidget *body, QPushButton *ok, QPushButton *cancel)
{
    defaultAndCancel(page, ok, cancel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(body, 1);
    layout->addLayout(buttons);
}

QValidator::State UpperCase::validate(QString &input, int &) const
{
    input = input.toUpper();
    return Acceptable;
}

}
