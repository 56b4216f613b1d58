#pragma once
#include "remessa/remessacontrol.h"
#include "remessa/remessawork.h"
#include "shell/loginstate.h"

#include <QDialog>
#include <functional>

class BandedReport;
class Database;
class Messenger;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "Controle de Remessas": every remittance with its state, the events of the
// selected one, and the next step the newest remittance allows.
class TFrmPrincipalRemessas : public QDialog
{
    Q_OBJECT
public:
    TFrmPrincipalRemessas(Database &db, Messenger &messenger, const LoginState &login, QWidget *parent = nullptr);

    // Re-reads the working values, rebuilds the list and selects the first row.
    void refresh();
    void prepareRemittance();
    void transferRemittance();
    void receiveResult();
    void cancelRemittance();
    void printListing();
    void clearEventHistory();

    // The listing of the selected remittance's events.
    BandedReport listing() const;
    QString selectedNumber() const;
    // Opens the preparation window; tests replace it to drive it themselves.
    std::function<void(class TFrmNovaRemessa &)> execPreparation;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildUi();
    void selectionChanged();
    const RemessaControl::Remittance *selected() const;
    // The selected remittance as the step windows receive it.
    RemessaWork selectedWork() const;
    // The mode choice of the next step for the selected remittance.
    template <class Choice> void openChoiceForSelected();

    Database &m_db;
    Messenger &m_messenger;
    LoginState m_login;
    RemessaControl::WorkingValues m_values;
    QList<RemessaControl::Remittance> m_list;
    QList<RemessaControl::Event> m_events;

    QTableView *remittanceGrid;
    QTableView *eventGrid;
    QStandardItemModel *m_remModel;
    QStandardItemModel *m_evModel;
    QLabel *m_eventsLabel;
    QPushButton *prepareButton;
    QPushButton *transferButton;
    QPushButton *receiveButton;
    QPushButton *cancelButton;
    QPushButton *listingButton;
    QPushButton *clearButton;
    QPushButton *exitButton;
};
