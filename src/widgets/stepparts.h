#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class Messenger;
class QBoxLayout;
class QCheckBox;
class QDialog;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QObject;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

// The blocks of the step windows (folder copy, FTP and e-mail transfer,
// automatic result, reference update): each opens small, grows to its
// progress when the job starts and to its result when the job ends. Blocks
// are built in the order the window lists them, so the tab order follows.
namespace StepParts {

// The mark of a step done: ticked and out of the user's reach.
QCheckBox *tick(QWidget *parent, const QString &name, const QString &accessibleName);

// Lays group out as one row, wide stretched and side at its right, and adds
// it to layout. The caller builds the children inside group first.
void addRow(QBoxLayout *layout, QGroupBox *group, QWidget *wide, QWidget *side);

// "Arquivo a ser transferido": the folder and the name of the file that goes.
struct FileFields
{
    QLineEdit *folder;
    QLineEdit *name;
};
FileFields addFileGroup(QWidget *window, QBoxLayout *layout);

// A read-only memo's lines; none when it is empty.
QStringList memoLines(const QPlainTextEdit *memo);

// What the window shows as its job goes.
class StepView
{
public:
    // The row that starts the job: action, the cancel button (named cancelName)
    // and "&Saída", both of which reject window.
    void addButtons(QDialog *window, QBoxLayout *layout, const QString &actionName, const QString &actionText,
                    const QString &cancelName);
    // The "GbAcompanhamento" group, in layout; the window fills its grid,
    // then closes it with the bar and "Interrompe" below its rows.
    void addProgress(QWidget *window, QBoxLayout *layout, const QString &title);
    void closeProgress(int row, const QString &barName, const QString &interruptText);
    // The "GbResultado" group holding a read-only memo and, below it at the
    // right, the receipt button (off until a job earns it).
    void addResultMemo(QWidget *window, QBoxLayout *layout, const QString &title, const QString &accessibleName,
                       const QString &receiptName, const QString &receiptText);
    // The "GbResultado" group for a window that fills it itself.
    QGroupBox *resultGroup(QWidget *window, const QString &title);
    // A receipt button, off until a job earns it.
    QPushButton *receiptButton(QWidget *parent, const QString &name, const QString &text);

    // The action starts the job and the receipt button prints its receipt,
    // both under the common exception handler; "Interrompe" asks the job to
    // stop.
    void connectJob(QObject *window, Messenger &messenger, const std::function<void()> &start,
                    const std::function<void()> &stop, const std::function<void()> &printReceipt);

    // The job starts: no second start, no cancelling; the progress shows.
    void started();
    // The job ended: "Interrompe" goes off for good, the result shows and
    // "Saída" takes the focus.
    void ended();

    QPushButton *action = nullptr;
    QPushButton *cancel = nullptr;
    QPushButton *exit = nullptr;
    QGroupBox *progress = nullptr;
    QGridLayout *progressGrid = nullptr;
    QProgressBar *bar = nullptr;
    QPushButton *interrupt = nullptr;
    QGroupBox *result = nullptr;
    QPlainTextEdit *memo = nullptr;
    QPushButton *receipt = nullptr;
};

}
