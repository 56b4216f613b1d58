#pragma once

class BandedReport;
class Messenger;
class QPrinter;
class QWidget;

namespace ReportPreview {

// The printer every report starts from: A4 portrait, 12 mm margins.
void preparePrinter(QPrinter &printer);
// Shows the report in the print preview, from which the user prints; returns
// when the preview is closed.
void exec(const BandedReport &report, QWidget *parent, Messenger &messenger);
// Prints straight to the given printer.
void print(const BandedReport &report, QPrinter &printer);

}
