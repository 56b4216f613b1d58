#pragma once
#include "maintenance/selectionresults.h"
#include "maintenance/selectionsql.h"

class SelectionListModel;

// The certified-company selection: the legal-entity companies of one
// certificate (the company of a service is one of them).
namespace CertifiedCompanySelection {

struct Filter
{
    QString country; // CODIGOPAIS
    QString cnpj; // CGC, the exact digits
    QString tradeName; // anywhere in NOMFANTASIA
    QString legalName; // anywhere in RAZSOCIALEMP
};

// Columns: IDEMPRESA, CODIGOPAIS, CGC, RAZSOCIALEMP, NOMFANTASIA, NOMEPAIS.
SelectionSql::Statement statement(const SelectedCertificate &certificate, const Filter &filter = {});

CompanyKey rowOf(const SelectionListModel &model, int row);

}
