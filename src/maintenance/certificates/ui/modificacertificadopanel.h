#pragma once
#include "maintenance/ui/maintenancecontext.h"

#include <QList>
#include <QWidget>
#include <functional>
#include <optional>

class CertificateTab;
class DadosGeraisTab;
class QPushButton;
class QTabWidget;

// Panel "ModificaCertificado": one open certificate on its tabs.
// "Dados Gerais" is always the first tab; the tabs
// of companies, products and services are added with addTab() and get the
// same opening, closing and leave guard.
class ModificaCertificadoPanel : public QWidget
{
    Q_OBJECT
public:
    using CertificateChooser = std::function<std::optional<CertificateKey>()>;
    // Gets the open certificate and the tab that is current.
    using TabAction = std::function<void(const OpenCertificate &, CertificateTab *)>;

    ModificaCertificadoPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    void addTab(CertificateTab *tab);
    QList<CertificateTab *> tabs() const { return m_tabs; }
    DadosGeraisTab *dadosGerais() const { return m_dadosGerais; }

    // How "Seleciona Certificado" picks a certificate.
    void setCertificateChooser(CertificateChooser chooser) { m_chooser = std::move(chooser); }
    // "Doc. Normativos" and "Cad. Histórico" stay disabled until their
    // windows are provided.
    void setDocumentsAction(TabAction action);
    void setHistoryAction(TabAction action);

    bool isOpen() const { return !m_open.key.isEmpty(); }
    const OpenCertificate &openCertificate() const { return m_open; }

    // Loads a certificate on every tab and shows "Dados Gerais".
    void load(const CertificateKey &key);
    // Closes the certificate on every tab.
    void closeAll();

    // What the controls do.
    void chooseCertificate();
    void leavePanel();
    // Whether the current tab may be left (its refusal shown when not).
    bool mayLeaveTab();

signals:
    void leave();

private:
    void tabChanged(int index);
    void updateButtons();
    void reloadHeader();

    MaintenanceContext &m_ctx;
    QTabWidget *tabWidget;
    DadosGeraisTab *m_dadosGerais;
    QList<CertificateTab *> m_tabs;
    QPushButton *chooseButton;
    QPushButton *documentsButton;
    QPushButton *historyButton;
    QPushButton *exitButton;
    CertificateChooser m_chooser;
    TabAction m_documents;
    TabAction m_history;
    OpenCertificate m_open;
    int m_currentTab = 0;
    bool m_switching = false;
};
