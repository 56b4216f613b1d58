#pragma once
#include "shell/companydetails.h"

#include <QDialog>

class Database;
class QLabel;
class QLineEdit;
class QRadioButton;

// Read-only details of one company, over its EMPRESA row.
class TFrmDetalhesEmpresa : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmDetalhesEmpresa(const CompanyDetails &company, QWidget *parent = nullptr);

    // Loads the company and shows the window modally. Raises DbError.
    static void showCompany(Database &db, const QString &country, const QString &id, QWidget *parent = nullptr);

private:
    QLineEdit *addBox(class QGridLayout *grid, int row, int col, const QString &name, const QString &label,
                      const QString &value, QLabel **labelOut = nullptr);
};
