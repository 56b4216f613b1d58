#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;

// "Confirma Resultado Manual": shows the verdict a code carries and asks
// whether to apply it.
class TFrmConfResultadoManual : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmConfResultadoManual(const QString &verdict, QWidget *parent = nullptr);
    QString shownText() const;

private:
    QLineEdit *resultEdit = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;
};
