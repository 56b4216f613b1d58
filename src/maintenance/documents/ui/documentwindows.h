#pragma once
#include "maintenance/certificates/ui/certificatetab.h"

class ModificaCertificadoPanel;
class QWidget;

// Opens the normative documents and history windows for the item a tab of
// the modify panel shows as current.
namespace DocumentWindows {

// "Doc. Normativos": the mode follows the tab's caption; a tab without
// documents opens nothing.
void openDocuments(MaintenanceContext &context, const OpenCertificate &certificate, const QString &tabTitle,
                   const TabItem &item, QWidget *parent);
// "Cad. Histórico": the hand-made history of the item.
void openHistory(MaintenanceContext &context, const OpenCertificate &certificate, const TabItem &item, QWidget *parent);
// Gives the panel's two buttons these windows.
void install(ModificaCertificadoPanel &panel, MaintenanceContext &context);

}
