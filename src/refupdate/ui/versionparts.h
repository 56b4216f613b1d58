#pragma once
#include "refupdate/refupdaterun.h"
#include "refupdate/refversion.h"

#include <QObject>
#include <functional>

class Database;
class JobRunner;
class Messenger;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QVBoxLayout;

// What the reference-version windows have in common.
namespace VersionParts {

// "Versão Atual das Tabelas Auxiliares": the installed version and its file.
struct CurrentVersion
{
    QLineEdit *version;
    QLineEdit *fileName;
};
CurrentVersion addCurrentVersion(QWidget *window, QVBoxLayout *layout);

// A tick shown when a step is done (hidden until then).
QLabel *stepTick(QWidget *parent, const char *name);

// The history grids: a handful of rows, read-only.
enum class Columns { History, Choice };
void fill(QStandardItemModel *model, const QList<RefVersion::Installation> &rows, Columns columns);
QTableView *grid(QWidget *parent, const char *name, QStandardItemModel *model);
// A group titled title holding such a grid, stretched in layout.
QTableView *addGrid(QWidget *window, QVBoxLayout *layout, const QString &title, const char *name,
                    QStandardItemModel *model);

}

// The installing half of the update and reinstall windows: the "Instala
// Nova Versão" and "Resultado Final" groups, the buttons, and the
// installation itself, run off the window thread on a connection of its own
// to the window's database file.
class VersionInstaller : public QObject
{
    Q_OBJECT
public:
    // Adds the groups and the buttons to layout; "Cancela" rejects and
    // "Saída" accepts window.
    VersionInstaller(QDialog *window, QVBoxLayout *layout, Database &db, Messenger &messenger);

    using Work = std::function<RefUpdate::Outcome(Database &)>;
    // Shows the installation going on and runs work; installed() follows.
    void install(const Work &work);
    // What the result line says for an outcome.
    static QString resultText(const RefUpdate::Outcome &outcome);
    // The "Resultado Final" group with text (kept when empty).
    void showResult(const QString &text = QString());

    bool isRunning() const;
    // The window fits its size to the groups as they appear.
    bool adjustsWindow = false;
    JobRunner *runner() const { return m_runner; }

    QGroupBox *installBox;
    QLabel *installing;
    QLabel *installedTick;
    QGroupBox *resultBox;
    QLineEdit *result;
    QPushButton *updateButton;
    QPushButton *cancelButton;
    QPushButton *leaveButton;

signals:
    // The installation ended; its box, if it failed, was shown.
    void installed(const RefUpdate::Outcome &outcome);
    // The window reached its result.
    void resultShown();

private:
    QDialog *m_window;
    Database &m_db;
    Messenger &m_messenger;
    JobRunner *m_runner;
};
