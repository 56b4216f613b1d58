#pragma once
#include "maintenance/certificates/ui/tfrmjustificativa.h"
#include "maintenance/companies/companycascade.h"

#include <QDialog>

class Database;
class Messenger;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionGrid;

// "Alteração de Status": a company with active products or services is
// suspended or cancelled either with all of them ("Propagar") or alone,
// its active products moving to another company of the certificate
// ("Transferir"). One of the two per opening; "&Saída" writes nothing.
class TFrmAlteraStatusEmpresa : public QDialog
{
    Q_OBJECT
public:
    // `askJustification` asks the reason and the status date (checked
    // against today only).
    TFrmAlteraStatusEmpresa(Database &db, Messenger &messenger, const CascadeRequest &request,
                            JustificationPrompt askJustification, QWidget *parent = nullptr);

    // Shows the dialog modally over the parent.
    static void run(QWidget *parent, Database &db, Messenger &messenger, const CascadeRequest &request,
                    const JustificationPrompt &askJustification);

    // What the controls do.
    void propagate();
    void transfer();

private:
    void buildUi();
    void fill();
    void finished();

    Database &m_db;
    Messenger &m_msg;
    CascadeRequest m_req;
    JustificationPrompt m_ask;
    CompanyCascade m_cascade;

    SelectionGrid *productGrid = nullptr;
    SelectionGrid *serviceGrid = nullptr;
    QLabel *propagateLabel = nullptr;
    QPushButton *propagateButton = nullptr;
    QGroupBox *transferBox = nullptr;
    QLineEdit *currentCompanyField = nullptr;
    QComboBox *newCompanyList = nullptr;
    QPushButton *transferButton = nullptr;
    QPushButton *exitButton = nullptr;
};
