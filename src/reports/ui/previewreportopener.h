#pragma once
#include "widgets/reportopener.h"

// The shell's reports, shown in this subsystem's print preview.
class PreviewReportOpener : public ReportOpener
{
public:
    void previewUserList(Database &db, const QString &userName, QWidget *parent, Messenger &messenger) override;
};
