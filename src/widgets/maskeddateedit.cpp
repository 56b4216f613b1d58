#include "widgets/maskeddateedit.h"

#include "maintenance/maintenancedates.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QTimer>

MaskedDateEdit::MaskedDateEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setInputMask(QStringLiteral("99/99/9999;_"));
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16);
    setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
}

QString MaskedDateEdit::boxText() const
{
    QString t = displayText();
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

QDate MaskedDateEdit::date() const
{
    return MaintenanceDates::parse(boxText());
}

QDateTime MaskedDateEdit::moment() const
{
    return MaintenanceDates::atMidnight(date());
}

void MaskedDateEdit::setMoment(const QDateTime &moment)
{
    setDate(moment.isValid() ? moment.date() : QDate());
}

void MaskedDateEdit::setDate(const QDate &date)
{
    if (date.isValid())
        setText(date.toString(QStringLiteral("dd/MM/yyyy")));
    else
        clearDate();
}

void MaskedDateEdit::clearDate()
{
    setText(QString());
}

void MaskedDateEdit::takeFocusBack()
{
    QPointer<MaskedDateEdit> self(this);
    QTimer::singleShot(0, this, [self] {
        if (self && self->isEnabled()) {
            self->setFocus(Qt::OtherFocusReason);
            self->selectAll();
        }
    });
}

void MaskedDateEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A message box or menu taking the focus is not the user leaving.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    // Nor is a way out of the panel: a bad date must not hold the user in.
    if (QWidget *next = QApplication::focusWidget(); next && next->property(SkipsDateCheck).toBool())
        return;
    emit left();
}
