#pragma once
#include "maintenance/companies/companyinclusion.h"

#include <QDialog>
#include <optional>

class Database;
class Messenger;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// "Inclusão de Empresa": registers a company in EMPRESA.
class TFrmInclEmpresa : public QDialog
{
    Q_OBJECT
public:
    // Shows the dialog modally; the key of the company registered, or nothing
    // when the user cancelled. `userCode` goes into UsuResp.
    static std::optional<CompanyKey> include(QWidget *parent, Database &db, Messenger &messenger,
                                             const QString &userCode);

    TFrmInclEmpresa(Database &db, Messenger &messenger, const QString &userCode, QWidget *parent = nullptr);

    std::optional<CompanyKey> included() const { return m_included; }

    void countryChanged();
    void kindChanged();
    void includeTyped();

private:
    void buildUi();
    QLineEdit *box(const QString &name, const QString &column);
    NewCompany typed() const;

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
    std::optional<CompanyKey> m_included;

    QComboBox *countryList = nullptr;
    QRadioButton *naturalPerson = nullptr;
    QRadioButton *legalEntity = nullptr;
    QLabel *taxIdLabel = nullptr;
    QLineEdit *taxIdField = nullptr;
    QLabel *nameLabel = nullptr;
    QLineEdit *nameField = nullptr;
    QLineEdit *tradeNameField = nullptr;
    QLineEdit *streetField = nullptr;
    QLineEdit *numberField = nullptr;
    QLineEdit *complementField = nullptr;
    QLineEdit *cepField = nullptr;
    QLineEdit *districtField = nullptr;
    QLineEdit *cityField = nullptr;
    QComboBox *stateList = nullptr;
    QLineEdit *phoneField = nullptr;
    QLineEdit *faxField = nullptr;
    QLineEdit *emailField = nullptr;
};
