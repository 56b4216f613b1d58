#pragma once
#include <QString>
#include <QStringList>
#include <memory>

class TDataStruct;

namespace ImportDescriptors {

// The 26 section headers, in the order of the file format description.
const QStringList &headers();
// A new descriptor for a header ("[CERTIFIC]"); nullptr for an unknown one
// (headers are upper case: "[certific]" is unknown).
std::unique_ptr<TDataStruct> createForHeader(const QString &header, const QString &certifierAcronym,
                                             const QString &userCode);
// A new descriptor for one of the 12 status tables ("STATUS_C", "EVENTO_EMP",
// ...), compared without blanks and in upper case; nullptr for any other name.
std::unique_ptr<TDataStruct> createForStatusTable(const QString &statusTable, const QString &certifierAcronym,
                                                  const QString &userCode);
// The history control row descriptor (CTR_HISTORICO).
std::unique_ptr<TDataStruct> createHistoryControl(const QString &certifierAcronym, const QString &userCode);

}
