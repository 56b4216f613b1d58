#pragma once
#include "maintenance/documents/historyregistration.h"

#include <QDialog>

class MaskedDateEdit;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "Histórico": the history entries typed by hand for one item of a
// certificate; adds new ones and removes those the regulator has not
// received yet.
class TFrmGeraHistorico : public QDialog
{
    Q_OBJECT
public:
    TFrmGeraHistorico(Database &db, Messenger &messenger, const QString &userCode, StatusEvents::Table table,
                      const StatusEvents::ItemKey &key, const QDateTime &issue, QWidget *parent = nullptr);

    // What the controls do.
    void reloadKeepingRow();
    void includeNew();
    void applyEdit();
    void cancelEdit();
    void deleteCurrent();

    // SeqEvento of the row shown in the edits; 0 with none.
    int currentSeqEvento() const;
    bool isEditing() const { return m_editing; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reopen(int seqEvento);
    void setBrowse();
    void rowChanged();

    Messenger &m_msg;
    HistoryRegistration m_history;
    QList<HistoryRegistration::Entry> m_entries;
    QTableView *statusGrid;
    QStandardItemModel *m_model;
    MaskedDateEdit *dateField;
    QLineEdit *reasonField;
    QPushButton *includeButton;
    QPushButton *deleteButton;
    QPushButton *applyButton;
    QPushButton *cancelButton;
    QPushButton *exitButton;
    bool m_editing = false;
    bool m_shown = false;
};
