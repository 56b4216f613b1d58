#include "maintenance/documents/ui/tfrmdocumentosnormativos.h"

#include "base/messenger.h"
#include "maintenance/certificates/ui/statusgroup.h"
#include "maintenance/documents/ui/itemcaption.h"
#include "maintenance/documents/ui/tfrmgerahistorico.h"
#include "maintenance/maintenancedates.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QComboBox *combo(QWidget *parent, const QString &name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(false);
    return c;
}

// A combo and the read-only edit that stands in its place while browsing.
// Their label stands outside the stack, where a screen reader cannot find
// it: both carry its text as their name.
QStackedWidget *pair(QWidget *parent, QComboBox *c, QLineEdit *e, const QString &label)
{
    c->setAccessibleName(label);
    e->setAccessibleName(label);
    auto *stack = new QStackedWidget(parent);
    stack->addWidget(e);
    stack->addWidget(c);
    stack->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    stack->setFixedHeight(c->sizeHint().height());
    return stack;
}

}

TFrmDocumentosNormativos::TFrmDocumentosNormativos(MaintenanceContext &context, DocNormLinks::Mode mode,
                                                   const DocNormLinks::Item &item, QWidget *parent)
    : QDialog(parent),
      m_ctx(context),
      m_dm(context.db, context.messenger, context.userCode, mode, item)
{
    setObjectName(QStringLiteral("FrmDocumentosNormativos"));
    setWindowTitle(QStringLiteral("Documentos Normativos"));
    auto *layout = new QVBoxLayout(this);

    auto *header = new QHBoxLayout;
    RgReferentes = new QGroupBox(QStringLiteral("Documentos Normativos referentes a :"), this);
    RgReferentes->setObjectName(QStringLiteral("RgReferentes"));
    auto *radios = new QVBoxLayout(RgReferentes);
    RbProdutos = new QRadioButton(QStringLiteral("Produtos"), RgReferentes);
    RbProdutos->setObjectName(QStringLiteral("RbProdutos"));
    RbServicos = new QRadioButton(QStringLiteral("Serviços"), RgReferentes);
    RbServicos->setObjectName(QStringLiteral("RbServicos"));
    radios->addWidget(RbProdutos);
    radios->addWidget(RbServicos);
    (mode == DocNormLinks::Mode::Servicos ? RbServicos : RbProdutos)->setChecked(true);
    // The caller's tab decides; the user cannot switch.
    RgReferentes->setEnabled(false);
    header->addWidget(RgReferentes);

    auto *attention = new QGroupBox(QStringLiteral("Atenção"), this);
    attention->setObjectName(QStringLiteral("GbAtencao"));
    auto *attentionLayout = new QVBoxLayout(attention);
    LbAtencao = new QLabel(DocNormLinks::attention(mode), attention);
    LbAtencao->setObjectName(QStringLiteral("LbAtencao"));
    LbAtencao->setWordWrap(true);
    QFont bold = LbAtencao->font();
    bold.setBold(true);
    LbAtencao->setFont(bold);
    LbAtencao->setStyleSheet(QStringLiteral("color: maroon"));
    attentionLayout->addWidget(LbAtencao);
    header->addWidget(attention, 1);
    layout->addLayout(header);
    LbItem = new QLabel(ItemCaption::describe(m_dm.itemKey()), this);
    LbItem->setObjectName(QStringLiteral("LbItem"));
    LbItem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont strong = LbItem->font();
    strong.setBold(true);
    LbItem->setFont(strong);
    layout->addWidget(LbItem);

    m_model = new QStandardItemModel(0, 3, this);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("Identificação"), QStringLiteral("Título"), QStringLiteral("Tipo de Documento")});
    DBGDocNorm = new QTableView(this);
    DBGDocNorm->setObjectName(QStringLiteral("DBGDocNorm"));
    DBGDocNorm->setAccessibleName(QStringLiteral("Documentos Normativos"));
    DBGDocNorm->setModel(m_model);
    DBGDocNorm->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGDocNorm->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGDocNorm->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGDocNorm->verticalHeader()->hide();
    DBGDocNorm->setColumnWidth(0, 100);
    DBGDocNorm->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    DBGDocNorm->setColumnWidth(2, 170);
    layout->addWidget(DBGDocNorm, 1);

    GbStatusDocNorm = new StatusGroup(QStringLiteral("Status do documento normativo"),
                                      {QStringLiteral("LbStatus"), QStringLiteral("sbAtivDocNorm"),
                                       QStringLiteral("sbSuspDocNorm"), QStringLiteral("sbCanDocNorm")},
                                      this);
    GbStatusDocNorm->setObjectName(QStringLiteral("GbStatusDocNorm"));
    layout->addWidget(GbStatusDocNorm);

    GbEdicao = new QGroupBox(QStringLiteral("Documento normativo"), this);
    GbEdicao->setObjectName(QStringLiteral("GbEdicao"));
    auto *grid = new QGridLayout(GbEdicao);
    cmbIdentificacao = combo(GbEdicao, QStringLiteral("cmbIdentificacao"));
    cmbTitulo = combo(GbEdicao, QStringLiteral("cmbTitulo"));
    cmbTipoDoc = combo(GbEdicao, QStringLiteral("cmbTipoDoc"));
    EdtIdentificacao = DialogParts::readOnlyField(GbEdicao, QStringLiteral("EdtIdentificacao"));
    EdtTitulo = DialogParts::readOnlyField(GbEdicao, QStringLiteral("EdtTitulo"));
    EdtTipoDoc = DialogParts::readOnlyField(GbEdicao, QStringLiteral("EdtTipoDoc"));
    EdtDtEntrada = new MaskedDateEdit(GbEdicao);
    EdtDtEntrada->setObjectName(QStringLiteral("EdtDtEntrada"));
    grid->addWidget(DialogParts::label(GbEdicao, QStringLiteral("LbIdentificacao"), QStringLiteral("Identificação"),
                                       cmbIdentificacao),
                    0, 0);
    grid->addWidget(pair(GbEdicao, cmbIdentificacao, EdtIdentificacao, QStringLiteral("Identificação")), 1, 0);
    grid->addWidget(DialogParts::label(GbEdicao, QStringLiteral("LbTitulo"), QStringLiteral("Título"), cmbTitulo), 0,
                    1);
    grid->addWidget(pair(GbEdicao, cmbTitulo, EdtTitulo, QStringLiteral("Título")), 1, 1);
    grid->addWidget(
        DialogParts::label(GbEdicao, QStringLiteral("LbTipoDoc"), QStringLiteral("Tipo de Documento"), cmbTipoDoc), 0,
        2);
    grid->addWidget(pair(GbEdicao, cmbTipoDoc, EdtTipoDoc, QStringLiteral("Tipo de Documento")), 1, 2);
    grid->addWidget(DialogParts::label(GbEdicao, QStringLiteral("LbDtEntrada"),
                                       QStringLiteral("Dt. Entrada no Certificado"), EdtDtEntrada),
                    2, 0);
    grid->addWidget(EdtDtEntrada, 3, 0);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 2);
    bbtAplicarDocNorm = DialogParts::button(GbEdicao, QStringLiteral("bbtAplicarDocNorm"), QStringLiteral("Aplicar"));
    bbtCancelarDocNorm = DialogParts::button(GbEdicao, QStringLiteral("bbtCancelarDocNorm"),
                                             QStringLiteral("Cancelar"));
    auto *editButtons = new QHBoxLayout;
    editButtons->addStretch();
    editButtons->addWidget(bbtAplicarDocNorm);
    editButtons->addWidget(bbtCancelarDocNorm);
    grid->addLayout(editButtons, 3, 1, 1, 2);
    layout->addWidget(GbEdicao);

    btnIncluirDocNorm = DialogParts::button(this, QStringLiteral("btnIncluirDocNorm"), QStringLiteral("&Incluir"));
    btnExDocNorm = DialogParts::button(this, QStringLiteral("btnExDocNorm"), QStringLiteral("E&xcluir "));
    btnCadHistorico = DialogParts::button(this, QStringLiteral("btnCadHistorico"), QStringLiteral("Cad. Histórico"));
    btnSaida = DialogParts::button(this, QStringLiteral("btnSaida"), QStringLiteral("&Saída"));
    auto *row = new QHBoxLayout;
    row->addWidget(btnIncluirDocNorm);
    row->addWidget(btnExDocNorm);
    row->addWidget(btnCadHistorico);
    row->addStretch();
    row->addWidget(btnSaida);
    layout->addLayout(row);

    Messenger &msg = m_ctx.messenger;
    connect(btnIncluirDocNorm, &QPushButton::clicked, this, guarded(msg, [this] { btnIncluirDocNormClick(); }));
    connect(btnExDocNorm, &QPushButton::clicked, this, guarded(msg, [this] { btnExDocNormClick(); }));
    connect(btnCadHistorico, &QPushButton::clicked, this, guarded(msg, [this] { btnCadHistoricoClick(); }));
    connect(btnSaida, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbtAplicarDocNorm, &QPushButton::clicked, this, guarded(msg, [this] { bbtAplicarDocNormClick(); }));
    connect(bbtCancelarDocNorm, &QPushButton::clicked, this, guarded(msg, [this] { bbtCancelarDocNormClick(); }));
    connect(GbStatusDocNorm, &StatusGroup::changeRequested, this,
            [this, &msg](const QString &letter) { guard(msg, [&] { sbStatusDocNormClick(letter); }); });
    connect(cmbTitulo, &QComboBox::activated, this, guarded(msg, [this] { cmbTituloChange(); }));
    connect(cmbIdentificacao, &QComboBox::activated, this, guarded(msg, [this] { cmbIdentificacaoChange(); }));
    connect(cmbTipoDoc, &QComboBox::activated, this, guarded(msg, [this] { cmbTipoDocChange(); }));
    connect(DBGDocNorm->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &msg] { guard(msg, [this] { dtsDocNorProdDataChange(); }); });

    m_historyOpener = [this](StatusEvents::Table table, const StatusEvents::ItemKey &key, const QDateTime &issue) {
        TFrmGeraHistorico history(m_ctx.db, m_ctx.messenger, m_ctx.userCode, table, key, issue, this);
        history.exec();
    };

    resize(760, 560);
    FormShow();
}

void TFrmDocumentosNormativos::FormShow()
{
    reopen(currentLink() ? currentLink()->idDocNorm : 0);
    setBrowse();
}

std::optional<DocNormLinks::Link> TFrmDocumentosNormativos::currentLink() const
{
    const int row = DBGDocNorm->currentIndex().row();
    if (row < 0 || row >= m_links.size())
        return std::nullopt;
    return m_links.at(row);
}

void TFrmDocumentosNormativos::reopen(int idDocNorm)
{
    m_links = m_dm.links();
    m_model->removeRows(0, m_model->rowCount());
    int position = m_links.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_links.size(); ++i) {
        const DocNormLinks::Link &l = m_links.at(i);
        m_model->appendRow({new QStandardItem(QString::number(l.idDocNorm)), new QStandardItem(l.nomeTitulo),
                            new QStandardItem(l.tipoDoc)});
        if (l.idDocNorm == idDocNorm)
            position = i;
    }
    if (position >= 0)
        DBGDocNorm->setCurrentIndex(m_model->index(position, 0));
    dtsDocNorProdDataChange();
}

void TFrmDocumentosNormativos::dtsDocNorProdDataChange()
{
    const auto link = currentLink();
    GbStatusDocNorm->setStatus(link.has_value(), link ? link->status : QString());
    if (m_editing)
        return;
    EdtIdentificacao->setText(link ? QString::number(link->idDocNorm) : QString());
    EdtTitulo->setText(link ? link->nomeTitulo : QString());
    EdtTipoDoc->setText(link ? link->tipoDoc : QString());
    EdtDtEntrada->setMoment(link ? link->dataEntrada : QDateTime());
    btnExDocNorm->setEnabled(link && !link->nomeTitulo.isEmpty());
    btnCadHistorico->setEnabled(link.has_value());
}

void TFrmDocumentosNormativos::setBrowse()
{
    m_editing = false;
    for (QLineEdit *e : {EdtIdentificacao, EdtTitulo, EdtTipoDoc})
        qobject_cast<QStackedWidget *>(e->parentWidget())->setCurrentWidget(e);
    GbEdicao->setEnabled(false);
    bbtAplicarDocNorm->setEnabled(false);
    bbtCancelarDocNorm->setEnabled(false);
    DBGDocNorm->setEnabled(true);
    btnIncluirDocNorm->setEnabled(true);
    btnSaida->setEnabled(true);
    dtsDocNorProdDataChange();
}

void TFrmDocumentosNormativos::setEditing()
{
    m_editing = true;
    for (QComboBox *c : {cmbIdentificacao, cmbTitulo, cmbTipoDoc})
        qobject_cast<QStackedWidget *>(c->parentWidget())->setCurrentWidget(c);
    GbEdicao->setEnabled(true);
    bbtCancelarDocNorm->setEnabled(true);
    DBGDocNorm->setEnabled(false);
    btnIncluirDocNorm->setEnabled(false);
    btnExDocNorm->setEnabled(false);
    btnCadHistorico->setEnabled(false);
    btnSaida->setEnabled(false);
    EdtDtEntrada->setMoment(m_dm.item().issue);
    updateApply();
}

void TFrmDocumentosNormativos::fillChoices(std::optional<int> idTipoDoc)
{
    m_filling = true;
    m_candidates = m_dm.candidates(idTipoDoc);
    cmbIdentificacao->clear();
    cmbTitulo->clear();
    // Sorted drop-down lists; each entry remembers its candidate.
    QList<int> byId, byTitle;
    for (int i = 0; i < m_candidates.size(); ++i)
        byId << i;
    byTitle = byId;
    std::sort(byId.begin(), byId.end(),
              [this](int a, int b) { return m_candidates.at(a).idDocNorm < m_candidates.at(b).idDocNorm; });
    std::sort(byTitle.begin(), byTitle.end(), [this](int a, int b) {
        return QString::localeAwareCompare(m_candidates.at(a).nomeTitulo, m_candidates.at(b).nomeTitulo) < 0;
    });
    for (int i : byId)
        cmbIdentificacao->addItem(QString::number(m_candidates.at(i).idDocNorm), i);
    for (int i : byTitle)
        cmbTitulo->addItem(m_candidates.at(i).nomeTitulo, i);
    cmbIdentificacao->setCurrentIndex(-1);
    cmbTitulo->setCurrentIndex(-1);
    m_filling = false;
    updateApply();
}

void TFrmDocumentosNormativos::btnIncluirDocNormClick()
{
    m_types = m_dm.documentTypes();
    m_filling = true;
    cmbTipoDoc->clear();
    for (const DocNormLinks::DocType &t : m_types)
        cmbTipoDoc->addItem(t.tipoDoc, t.idTipoDoc);
    cmbTipoDoc->model()->sort(0);
    cmbTipoDoc->setCurrentIndex(-1);
    m_filling = false;
    fillChoices(std::nullopt);
    if (m_candidates.isEmpty()) {
        // Empty lists would look like a fault: say why instead.
        m_ctx.messenger.information(DocNormTexts::NoneToAdd);
        return;
    }
    setEditing();
}

void TFrmDocumentosNormativos::pickCandidate(int index)
{
    m_filling = true;
    cmbIdentificacao->setCurrentIndex(cmbIdentificacao->findData(index));
    cmbTitulo->setCurrentIndex(cmbTitulo->findData(index));
    if (index >= 0 && index < m_candidates.size())
        cmbTipoDoc->setCurrentIndex(cmbTipoDoc->findData(m_candidates.at(index).idTipoDoc));
    m_filling = false;
    updateApply();
}

void TFrmDocumentosNormativos::cmbTituloChange()
{
    if (!m_filling)
        pickCandidate(cmbTitulo->currentData().isValid() ? cmbTitulo->currentData().toInt() : -1);
}

void TFrmDocumentosNormativos::cmbIdentificacaoChange()
{
    if (!m_filling)
        pickCandidate(cmbIdentificacao->currentData().isValid() ? cmbIdentificacao->currentData().toInt() : -1);
}

void TFrmDocumentosNormativos::cmbTipoDocChange()
{
    if (m_filling || cmbTipoDoc->currentIndex() < 0)
        return;
    fillChoices(cmbTipoDoc->currentData().toInt());
}

void TFrmDocumentosNormativos::updateApply()
{
    bbtAplicarDocNorm->setEnabled(m_editing && !cmbIdentificacao->currentText().isEmpty() &&
                                  !cmbTitulo->currentText().isEmpty() && !cmbTipoDoc->currentText().isEmpty());
}

std::optional<DocNormLinks::Candidate> TFrmDocumentosNormativos::chosenCandidate() const
{
    const QVariant data = cmbIdentificacao->currentData();
    if (!data.isValid() || data.toInt() < 0 || data.toInt() >= m_candidates.size())
        return std::nullopt;
    return m_candidates.at(data.toInt());
}

void TFrmDocumentosNormativos::bbtAplicarDocNormClick()
{
    const auto chosen = chosenCandidate();
    if (!m_editing || !chosen)
        return;
    if (!m_dm.add(*chosen, EdtDtEntrada->boxText())) {
        // A refused date stays for correction; a failed write leaves the choice as it was.
        EdtDtEntrada->setFocus();
        return;
    }
    m_editing = false;
    reopen(chosen->idDocNorm);
    setBrowse();
}

void TFrmDocumentosNormativos::bbtCancelarDocNormClick()
{
    m_editing = false;
    reopen(currentLink() ? currentLink()->idDocNorm : 0);
    setBrowse();
}

void TFrmDocumentosNormativos::btnExDocNormClick()
{
    const auto link = currentLink();
    if (!link)
        return;
    if (m_dm.received(*link)) {
        m_ctx.messenger.error(DocNormTexts::Received);
        return;
    }
    if (!m_ctx.messenger.confirm(DocNormTexts::ConfirmDelete))
        return;
    m_dm.remove(*link);
    reopen(0);
    setBrowse();
}

void TFrmDocumentosNormativos::sbStatusDocNormClick(const QString &letter)
{
    const auto link = currentLink();
    if (!link || !m_ctx.askJustification)
        return;
    const auto answer = m_ctx.askJustification(true, m_dm.item().issue);
    if (!answer)
        return;
    // The dialog has checked the date.
    m_dm.changeStatus(*link, letter, answer->text, MaintenanceDates::parse(answer->date));
    reopen(link->idDocNorm);
    setBrowse();
}

void TFrmDocumentosNormativos::btnCadHistoricoClick()
{
    const auto link = currentLink();
    if (!link || !m_historyOpener)
        return;
    m_historyOpener(m_dm.eventTable(), m_dm.linkKey(*link), m_dm.item().issue);
    reopen(link->idDocNorm);
    setBrowse();
}
