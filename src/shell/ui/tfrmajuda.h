#pragma once
#include <QDialog>

// "Sobre o Sistema...": title, version and date, picture and contacts.
class TFrmAjuda : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmAjuda(QWidget *parent = nullptr);
};
