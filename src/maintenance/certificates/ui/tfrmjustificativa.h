#pragma once
#include <QDateTime>
#include <QDialog>
#include <functional>
#include <optional>

class Messenger;
class MaskedDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// What the justification dialog hands back: the text as typed and, when a
// date was asked for, the status date as typed ("dd/mm/yyyy").
struct Justification
{
    QString text;
    QString date;
};

// Asks for a justification (and a status date when askDate); nothing when
// cancelled. The windows take one of these so tests can answer it.
using JustificationPrompt = std::function<std::optional<Justification>(bool askDate, const QDateTime &issue)>;

// "Justificativa": the reason of a status change or of a change to an
// approved certificate, and the date the status took effect.
class TFrmJustificativa : public QDialog
{
    Q_OBJECT
public:
    TFrmJustificativa(Messenger &messenger, bool askDate, const QDateTime &issue, QWidget *parent = nullptr);

    Justification answer() const;
    // The dialog shown modally over the parent.
    static JustificationPrompt prompt(Messenger &messenger, QWidget *parent);

    void confirm();

private:
    Messenger &m_msg;
    bool m_askDate;
    QDateTime m_issue;
    QLineEdit *reasonField = nullptr;
    QLabel *statusDateLabel = nullptr;
    MaskedDateEdit *statusDateField = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;
};
