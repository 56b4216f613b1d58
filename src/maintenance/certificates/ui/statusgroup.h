#pragma once
#include <QGroupBox>

class QLabel;
class QToolButton;

// The status of a certificate or of an item, with the buttons that change
// it: of "(Re-)Ativar", "Suspender" and "Cancelar" the two that lead away
// from the current status, side by side in that order.
class StatusGroup : public QGroupBox
{
    Q_OBJECT
public:
    struct Names
    {
        QString text;
        QString activate;
        QString suspend;
        QString cancel;
    };
    StatusGroup(const QString &title, const Names &names, QWidget *parent = nullptr);

    // Hidden when there is no row; otherwise shows the status of the letter.
    void setStatus(bool hasRow, const QString &letter);
    QString letter() const { return m_letter; }

signals:
    // The letter the pressed button leads to.
    void changeRequested(const QString &letter);

private:
    QLabel *m_text;
    QToolButton *m_activate;
    QToolButton *m_suspend;
    QToolButton *m_cancel;
    QString m_letter;
};
