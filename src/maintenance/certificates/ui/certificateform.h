#pragma once
#include "maintenance/certificates/certificate.h"

#include <QWidget>

class Database;
class MaskedDateEdit;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

// The general data of a certificate as both the new-certificate panel and
// the tab "Dados Gerais" show it; each names its controls its own way.
class CertificateForm : public QWidget
{
    Q_OBJECT
public:
    struct Names
    {
        const char *sigla;
        const char *numero;
        const char *classeCertif;
        const char *classeProd;
        const char *emissao;
        const char *validade;
        const char *laboratorio;
        const char *relatorio;
        const char *signatarios;
        const char *observacoes;
        QString classeCertifLabel;
    };
    CertificateForm(const Names &names, QWidget *parent = nullptr);

    // Class lists and signatories, read afresh.
    void fillLists(const Database &db);
    // The values on screen laid over a row (status, flags, audit kept).
    Certificate read(const Certificate &base) const;
    void show(const Certificate &row);
    void clearAll();
    // Number and issue date disabled, their labels maroon.
    void setNumberLocked(bool locked);
    void setClassesLocked(bool locked);
    bool numberLocked() const { return m_numberLocked; }
    QFormLayout *formLayout() const { return m_form; }

    QLineEdit *sigla = nullptr;
    QLineEdit *numero = nullptr;
    QComboBox *classeCertif = nullptr;
    QComboBox *classeProd = nullptr;
    MaskedDateEdit *emissao = nullptr;
    MaskedDateEdit *validade = nullptr;
    QLineEdit *laboratorio = nullptr;
    QLineEdit *relatorio = nullptr;
    QComboBox *signatarios = nullptr;
    QLineEdit *observacoes = nullptr;

signals:
    // The user changed a value (typing or choosing).
    void edited();

private:
    QFormLayout *m_form;
    QLabel *m_lbNumero = nullptr;
    QLabel *m_lbEmissao = nullptr;
    bool m_numberLocked = false;
};
