#include "widgets/qtmessenger.h"

#include <QApplication>
#include <QPushButton>

namespace {
QString orDefault(const QString &caption, const char *fallback)
{
    return caption.isEmpty() ? QString::fromUtf8(fallback) : caption;
}
}

int QtMessenger::show(QMessageBox::Icon icon, const QString &text, const QString &caption, bool question)
{
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    if (!parent)
        parent = m_parent;
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (question) {
        QPushButton *yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? 1 : 0;
    }
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return 1;
}

void QtMessenger::error(const QString &text, const QString &caption)
{
    show(QMessageBox::Critical, text, orDefault(caption, "Erro"), false);
}

void QtMessenger::information(const QString &text, const QString &caption)
{
    show(QMessageBox::Information, text, orDefault(caption, "Informação"), false);
}

void QtMessenger::warning(const QString &text, const QString &caption)
{
    show(QMessageBox::Warning, text, orDefault(caption, "Aviso"), false);
}

void QtMessenger::plain(const QString &text, const QString &caption)
{
    show(QMessageBox::NoIcon, text, caption.isEmpty() ? QApplication::applicationName() : caption, false);
}

bool QtMessenger::confirm(const QString &text, const QString &caption)
{
    return show(QMessageBox::Question, text, orDefault(caption, "Confirmação"), true) == 1;
}
