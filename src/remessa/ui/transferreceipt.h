#pragma once
#include "reports/bandedreport.h"

struct RemessaWork;

// "Comprovante de Transferência de Arquivo", the receipt of a delivered file.
namespace TransferReceipt {

// The receipt of a file copied for hand delivery.
BandedReport forFolderCopy(const RemessaWork &work, const QString &copiedPath);

}

namespace TransferReceipt {

// The receipt of a file sent by FTP or e-mail: the result memo's lines as
// its remarks.
BandedReport forTransfer(const RemessaWork &work, const QString &fileName, const QStringList &remarks);

}

namespace TransferReceipt {

// The receipt of a result fetched from the regulator: its verdict and the
// result memo's lines.
BandedReport forResult(const RemessaWork &work, const QString &resultName, const QString &verdict,
                       const QStringList &memo);

}
