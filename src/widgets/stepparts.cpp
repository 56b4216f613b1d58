#include "widgets/stepparts.h"

#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace StepParts {

QCheckBox *tick(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *c = new QCheckBox(parent);
    c->setObjectName(name);
    c->setChecked(true);
    c->setEnabled(false);
    c->setAccessibleName(accessibleName);
    return c;
}

void addRow(QBoxLayout *layout, QGroupBox *group, QWidget *wide, QWidget *side)
{
    auto *row = new QHBoxLayout(group);
    row->addWidget(wide, 1);
    row->addWidget(side);
    layout->addWidget(group);
}

FileFields addFileGroup(QWidget *window, QBoxLayout *layout)
{
    auto *file = new QGroupBox(QStringLiteral("Arquivo a ser transferido"), window);
    auto *form = new QFormLayout(file);
    const FileFields fields{DialogParts::readOnlyField(file, QStringLiteral("EdDiretorio")),
                            DialogParts::readOnlyField(file, QStringLiteral("EdArquivoTransferencia"))};
    form->addRow(DialogParts::label(file, QStringLiteral("LbDiretorio"), QStringLiteral("Diretório"), fields.folder),
                 fields.folder);
    form->addRow(DialogParts::label(file, QStringLiteral("LbArquivo"), QStringLiteral("Nome do Arquivo"), fields.name),
                 fields.name);
    layout->addWidget(file);
    return fields;
}

QStringList memoLines(const QPlainTextEdit *memo)
{
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void StepView::addButtons(QDialog *window, QBoxLayout *layout, const QString &actionName, const QString &actionText,
                          const QString &cancelName)
{
    action = DialogParts::button(window, actionName, actionText);
    cancel = DialogParts::button(window, cancelName, QStringLiteral("Cancela"));
    exit = DialogParts::button(window, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(action);
    row->addWidget(cancel);
    row->addWidget(exit);
    layout->addLayout(row);
    QObject::connect(cancel, &QPushButton::clicked, window, &QDialog::reject);
    QObject::connect(exit, &QPushButton::clicked, window, &QDialog::reject);
}

void StepView::addProgress(QWidget *window, QBoxLayout *layout, const QString &title)
{
    progress = new QGroupBox(title, window);
    progress->setObjectName(QStringLiteral("GbAcompanhamento"));
    progressGrid = new QGridLayout(progress);
    layout->addWidget(progress);
}

void StepView::closeProgress(int row, const QString &barName, const QString &interruptText)
{
    bar = new QProgressBar(progress);
    bar->setObjectName(barName);
    interrupt = DialogParts::button(progress, QStringLiteral("BtInterrompe"), interruptText);
    progressGrid->addWidget(bar, row, 0, 1, 2);
    progressGrid->addWidget(interrupt, row + 1, 0, 1, 2, Qt::AlignRight);
}

QGroupBox *StepView::resultGroup(QWidget *window, const QString &title)
{
    result = new QGroupBox(title, window);
    result->setObjectName(QStringLiteral("GbResultado"));
    return result;
}

QPushButton *StepView::receiptButton(QWidget *parent, const QString &name, const QString &text)
{
    receipt = DialogParts::button(parent, name, text);
    receipt->setEnabled(false);
    return receipt;
}

void StepView::addResultMemo(QWidget *window, QBoxLayout *layout, const QString &title, const QString &accessibleName,
                             const QString &receiptName, const QString &receiptText)
{
    resultGroup(window, title);
    auto *column = new QVBoxLayout(result);
    memo = new QPlainTextEdit(result);
    memo->setObjectName(QStringLiteral("MmResultado"));
    memo->setReadOnly(true);
    memo->setAccessibleName(accessibleName);
    memo->setMinimumHeight(150);
    receiptButton(result, receiptName, receiptText);
    column->addWidget(memo);
    column->addWidget(receipt, 0, Qt::AlignRight);
    layout->addWidget(result);
}

void StepView::connectJob(QObject *window, Messenger &messenger, const std::function<void()> &start,
                          const std::function<void()> &stop, const std::function<void()> &printReceipt)
{
    QObject::connect(action, &QPushButton::clicked, window, guarded(messenger, start));
    QObject::connect(interrupt, &QPushButton::clicked, window, stop);
    QObject::connect(receipt, &QPushButton::clicked, window, guarded(messenger, printReceipt));
}

void StepView::started()
{
    progress->show();
    action->setEnabled(false);
    cancel->setEnabled(false);
}

void StepView::ended()
{
    interrupt->setEnabled(false);
    result->show();
    exit->setEnabled(true);
    exit->setFocus();
}

}
