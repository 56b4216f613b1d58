// The shell's part in the copies of the database (the first start of each
// day, the database menu) and the notice of certificates about to expire.
#include "app/tfrmcapasistema.h"

#include "base/apperror.h"
#include "base/clock.h"
#include "base/messenger.h"
#include "db/dberror.h"
#include "reports/expiringcertificates.h"
#include "shell/copysettings.h"
#include "shell/databasecopies.h"
#include "shell/programdatabase.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>

namespace CopyTexts {
const QString Copying = QStringLiteral("Copiando a base de dados, aguarde...");
const QString DailyFailed = QStringLiteral("Não foi possível fazer a cópia diária da base de dados.\n");
const QString CopyFailed = QStringLiteral("Não foi possível fazer a cópia da base de dados.\n");
const QString CopyDone = QStringLiteral("Cópia da base de dados gravada em %1.");
const QString RestoreQuestion = QStringLiteral(
    "A base de dados atual será substituída pela cópia %1.\n"
    "Antes disso, ela será guardada como cópia em %2.\n\nDeseja restaurar a cópia?");
const QString RestoreFailed = QStringLiteral("A cópia não foi restaurada; a base de dados não foi alterada.\n");
const QString RestoreDone = QStringLiteral("Base de dados restaurada de %1.\nA base anterior foi guardada em %2.\n"
                                           "Entre novamente no sistema.");
}

namespace {

// Runs a copy operation; its failure is told after the given lead text.
template <typename Work> bool told(Messenger &messenger, const QString &lead, Work work)
{
    try {
        work();
        return true;
    } catch (const DbError &e) {
        messenger.warning(lead + e.userMessage());
    } catch (const AppError &e) {
        messenger.warning(lead + e.message());
    }
    return false;
}

}

void TFrmCapaSistema::runDailyCopy()
{
    Database &db = m_database->database();
    const QString folder = DatabaseCopies::defaultFolder();
    if (!DatabaseCopies::dueOn(folder, Clock::today()))
        return;
    m_repairPanel->setText(CopyTexts::Copying);
    m_repairPanel->show();
    m_repairPanel->repaint();
    // A failed copy stops nothing: the program works on, and the next start
    // of the day tries again.
    told(m_messenger, CopyTexts::DailyFailed,
         [&] { DatabaseCopies::makeDailyIfDue(db, folder, Clock::today(), CopySettings::keep(db)); });
    m_repairPanel->hide();
}

void TFrmCapaSistema::copyDatabase()
{
    Database &db = m_database->database();
    QString made;
    if (told(m_messenger, CopyTexts::CopyFailed, [&] {
            made = DatabaseCopies::make(db, DatabaseCopies::defaultFolder(), Clock::today());
            DatabaseCopies::prune(DatabaseCopies::defaultFolder(), CopySettings::keep(db));
        }))
        m_messenger.information(CopyTexts::CopyDone.arg(QDir::toNativeSeparators(made)));
}

void TFrmCapaSistema::restoreDatabase()
{
    const QString folder = DatabaseCopies::defaultFolder();
    const QString chosen = m_copyChooser
        ? m_copyChooser(this)
        : QFileDialog::getOpenFileName(this, QStringLiteral("Restaurar Cópia da Base de Dados"), folder,
                                       QStringLiteral("Cópias da base de dados (*.mdb)"), nullptr,
                                       QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty())
        return;
    if (!m_messenger.confirm(
            CopyTexts::RestoreQuestion.arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(folder))))
        return;
    QString kept;
    if (!told(m_messenger, CopyTexts::RestoreFailed,
              [&] { kept = DatabaseCopies::restore(m_database->database(), chosen, folder, Clock::today()); }))
        return;
    m_messenger.information(
        CopyTexts::RestoreDone.arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(kept)));
    // The users, rights and certifier may differ in the restored register.
    told(m_messenger, QString(), [&] { m_database->refreshCertifierCode(); });
    if (m_state == State::PageMode)
        leavePage();
    askLogin();
}

void TFrmCapaSistema::showExpiringNotice()
{
    m_expiringNotice->clear();
    m_expiringNotice->hide();
    if (!m_login.rights.manBase)
        return;
    const int days = ExpiringCertificates::DefaultDays;
    int found = 0;
    try {
        found = ExpiringCertificates::count(m_database->database(), Clock::today(), days);
    } catch (const DbError &) {
        return; // the page itself will tell what is wrong
    }
    const QString text = ExpiringCertificates::notice(found, days);
    m_expiringNotice->setText(text);
    m_expiringNotice->setVisible(!text.isEmpty());
}
