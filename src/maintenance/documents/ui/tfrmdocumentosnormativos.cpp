#include "maintenance/documents/ui/tfrmdocumentosnormativos.h"

#include "base/messenger.h"
#include "maintenance/certificates/ui/statusgroup.h"
#include "maintenance/documents/ui/itemcaption.h"
#include "maintenance/documents/ui/tfrmgerahistorico.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/ui/selectionparts.h"
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
    referentsBox = new QGroupBox(QStringLiteral("Documentos Normativos referentes a :"), this);
    referentsBox->setObjectName(QStringLiteral("RgReferentes"));
    auto *radios = new QVBoxLayout(referentsBox);
    productsChoice = new QRadioButton(QStringLiteral("Produtos"), referentsBox);
    productsChoice->setObjectName(QStringLiteral("RbProdutos"));
    servicesChoice = new QRadioButton(QStringLiteral("Serviços"), referentsBox);
    servicesChoice->setObjectName(QStringLiteral("RbServicos"));
    radios->addWidget(productsChoice);
    radios->addWidget(servicesChoice);
    (mode == DocNormLinks::Mode::Servicos ? servicesChoice : productsChoice)->setChecked(true);
    // The caller's tab decides; the user cannot switch.
    referentsBox->setEnabled(false);
    header->addWidget(referentsBox);

    auto *attention = new QGroupBox(QStringLiteral("Atenção"), this);
    attention->setObjectName(QStringLiteral("GbAtencao"));
    auto *attentionLayout = new QVBoxLayout(attention);
    attentionLabel = new QLabel(DocNormLinks::attention(mode), attention);
    attentionLabel->setObjectName(QStringLiteral("LbAtencao"));
    attentionLabel->setWordWrap(true);
    QFont bold = attentionLabel->font();
    bold.setBold(true);
    attentionLabel->setFont(bold);
    attentionLabel->setStyleSheet(QStringLiteral("color: maroon"));
    attentionLayout->addWidget(attentionLabel);
    header->addWidget(attention, 1);
    layout->addLayout(header);
    itemLabel = new QLabel(ItemCaption::describe(m_dm.itemKey()), this);
    itemLabel->setObjectName(QStringLiteral("LbItem"));
    itemLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont strong = itemLabel->font();
    strong.setBold(true);
    itemLabel->setFont(strong);
    layout->addWidget(itemLabel);

    m_model = new QStandardItemModel(0, 3, this);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("Identificação"), QStringLiteral("Título"), QStringLiteral("Tipo de Documento")});
    documentGrid = new QTableView(this);
    documentGrid->setObjectName(QStringLiteral("DBGDocNorm"));
    documentGrid->setAccessibleName(QStringLiteral("Documentos Normativos"));
    documentGrid->setModel(m_model);
    documentGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    documentGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    documentGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    documentGrid->verticalHeader()->hide();
    documentGrid->setColumnWidth(0, 100);
    documentGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    documentGrid->setColumnWidth(2, 170);
    layout->addWidget(documentGrid, 1);

    statusGroup = new StatusGroup(QStringLiteral("Status do documento normativo"),
                                  {QStringLiteral("LbStatus"), QStringLiteral("sbAtivDocNorm"),
                                   QStringLiteral("sbSuspDocNorm"), QStringLiteral("sbCanDocNorm")},
                                  this);
    statusGroup->setObjectName(QStringLiteral("GbStatusDocNorm"));
    layout->addWidget(statusGroup);

    editBox = new QGroupBox(QStringLiteral("Documento normativo"), this);
    editBox->setObjectName(QStringLiteral("GbEdicao"));
    auto *grid = new QGridLayout(editBox);
    identificationList = combo(editBox, QStringLiteral("cmbIdentificacao"));
    titleList = combo(editBox, QStringLiteral("cmbTitulo"));
    docTypeList = combo(editBox, QStringLiteral("cmbTipoDoc"));
    identificationField = DialogParts::readOnlyField(editBox, QStringLiteral("EdtIdentificacao"));
    titleField = DialogParts::readOnlyField(editBox, QStringLiteral("EdtTitulo"));
    docTypeField = DialogParts::readOnlyField(editBox, QStringLiteral("EdtTipoDoc"));
    entryDateField = new MaskedDateEdit(editBox);
    entryDateField->setObjectName(QStringLiteral("EdtDtEntrada"));
    grid->addWidget(DialogParts::label(editBox, QStringLiteral("LbIdentificacao"), QStringLiteral("Identificação"),
                                       identificationList),
                    0, 0);
    grid->addWidget(pair(editBox, identificationList, identificationField, QStringLiteral("Identificação")), 1, 0);
    grid->addWidget(DialogParts::label(editBox, QStringLiteral("LbTitulo"), QStringLiteral("Título"), titleList), 0, 1);
    grid->addWidget(pair(editBox, titleList, titleField, QStringLiteral("Título")), 1, 1);
    grid->addWidget(
        DialogParts::label(editBox, QStringLiteral("LbTipoDoc"), QStringLiteral("Tipo de Documento"), docTypeList), 0,
        2);
    grid->addWidget(pair(editBox, docTypeList, docTypeField, QStringLiteral("Tipo de Documento")), 1, 2);
    grid->addWidget(DialogParts::label(editBox, QStringLiteral("LbDtEntrada"),
                                       QStringLiteral("Dt. Entrada no Certificado"), entryDateField),
                    2, 0);
    grid->addWidget(entryDateField, 3, 0);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 2);
    applyButton = DialogParts::button(editBox, QStringLiteral("bbtAplicarDocNorm"), QStringLiteral("Aplicar"));
    cancelButton = DialogParts::button(editBox, QStringLiteral("bbtCancelarDocNorm"), QStringLiteral("Cancelar"));
    grid->addLayout(SelectionParts::spreadRow({}, {applyButton, cancelButton}), 3, 1, 1, 2);
    layout->addWidget(editBox);

    includeButton = DialogParts::button(this, QStringLiteral("btnIncluirDocNorm"), QStringLiteral("&Incluir"));
    deleteButton = DialogParts::button(this, QStringLiteral("btnExDocNorm"), QStringLiteral("E&xcluir "));
    historyButton = DialogParts::button(this, QStringLiteral("btnCadHistorico"), QStringLiteral("Cad. Histórico"));
    exitButton = DialogParts::button(this, QStringLiteral("btnSaida"), QStringLiteral("&Saída"));
    layout->addLayout(SelectionParts::spreadRow({includeButton, deleteButton, historyButton}, {exitButton}));

    Messenger &msg = m_ctx.messenger;
    connect(includeButton, &QPushButton::clicked, this, guarded(msg, [this] { includeNew(); }));
    connect(deleteButton, &QPushButton::clicked, this, guarded(msg, [this] { deleteCurrent(); }));
    connect(historyButton, &QPushButton::clicked, this, guarded(msg, [this] { openHistory(); }));
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(applyButton, &QPushButton::clicked, this, guarded(msg, [this] { applyInclusion(); }));
    connect(cancelButton, &QPushButton::clicked, this, guarded(msg, [this] { cancelInclusion(); }));
    connect(statusGroup, &StatusGroup::changeRequested, this,
            [this, &msg](const QString &letter) { guard(msg, [&] { changeDocumentStatus(letter); }); });
    connect(titleList, &QComboBox::activated, this, guarded(msg, [this] { titleChanged(); }));
    connect(identificationList, &QComboBox::activated, this, guarded(msg, [this] { identificationChanged(); }));
    connect(docTypeList, &QComboBox::activated, this, guarded(msg, [this] { docTypeChanged(); }));
    connect(documentGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &msg] { guard(msg, [this] { showCurrentLink(); }); });

    m_historyOpener = [this](StatusEvents::Table table, const StatusEvents::ItemKey &key, const QDateTime &issue) {
        TFrmGeraHistorico history(m_ctx.db, m_ctx.messenger, m_ctx.userCode, table, key, issue, this);
        history.exec();
    };

    resize(760, 560);
    reloadKeepingRow();
}

void TFrmDocumentosNormativos::reloadKeepingRow()
{
    reopen(currentLink() ? currentLink()->idDocNorm : 0);
    setBrowse();
}

std::optional<DocNormLinks::Link> TFrmDocumentosNormativos::currentLink() const
{
    const int row = documentGrid->currentIndex().row();
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
        documentGrid->setCurrentIndex(m_model->index(position, 0));
    showCurrentLink();
}

void TFrmDocumentosNormativos::showCurrentLink()
{
    const auto link = currentLink();
    statusGroup->setStatus(link.has_value(), link ? link->status : QString());
    if (m_editing)
        return;
    identificationField->setText(link ? QString::number(link->idDocNorm) : QString());
    titleField->setText(link ? link->nomeTitulo : QString());
    docTypeField->setText(link ? link->tipoDoc : QString());
    entryDateField->setMoment(link ? link->dataEntrada : QDateTime());
    deleteButton->setEnabled(link && !link->nomeTitulo.isEmpty());
    historyButton->setEnabled(link.has_value());
}

void TFrmDocumentosNormativos::setBrowse()
{
    m_editing = false;
    for (QLineEdit *e : {identificationField, titleField, docTypeField})
        qobject_cast<QStackedWidget *>(e->parentWidget())->setCurrentWidget(e);
    editBox->setEnabled(false);
    applyButton->setEnabled(false);
    cancelButton->setEnabled(false);
    documentGrid->setEnabled(true);
    includeButton->setEnabled(true);
    exitButton->setEnabled(true);
    showCurrentLink();
}

void TFrmDocumentosNormativos::setEditing()
{
    m_editing = true;
    for (QComboBox *c : {identificationList, titleList, docTypeList})
        qobject_cast<QStackedWidget *>(c->parentWidget())->setCurrentWidget(c);
    editBox->setEnabled(true);
    cancelButton->setEnabled(true);
    documentGrid->setEnabled(false);
    includeButton->setEnabled(false);
    deleteButton->setEnabled(false);
    historyButton->setEnabled(false);
    exitButton->setEnabled(false);
    entryDateField->setMoment(m_dm.item().issue);
    updateApply();
}

void TFrmDocumentosNormativos::fillChoices(std::optional<int> idTipoDoc)
{
    m_filling = true;
    m_candidates = m_dm.candidates(idTipoDoc);
    identificationList->clear();
    titleList->clear();
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
        identificationList->addItem(QString::number(m_candidates.at(i).idDocNorm), i);
    for (int i : byTitle)
        titleList->addItem(m_candidates.at(i).nomeTitulo, i);
    identificationList->setCurrentIndex(-1);
    titleList->setCurrentIndex(-1);
    m_filling = false;
    updateApply();
}

void TFrmDocumentosNormativos::includeNew()
{
    m_types = m_dm.documentTypes();
    m_filling = true;
    docTypeList->clear();
    for (const DocNormLinks::DocType &t : m_types)
        docTypeList->addItem(t.tipoDoc, t.idTipoDoc);
    docTypeList->model()->sort(0);
    docTypeList->setCurrentIndex(-1);
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
    identificationList->setCurrentIndex(identificationList->findData(index));
    titleList->setCurrentIndex(titleList->findData(index));
    if (index >= 0 && index < m_candidates.size())
        docTypeList->setCurrentIndex(docTypeList->findData(m_candidates.at(index).idTipoDoc));
    m_filling = false;
    updateApply();
}

void TFrmDocumentosNormativos::titleChanged()
{
    if (!m_filling)
        pickCandidate(titleList->currentData().isValid() ? titleList->currentData().toInt() : -1);
}

void TFrmDocumentosNormativos::identificationChanged()
{
    if (!m_filling)
        pickCandidate(identificationList->currentData().isValid() ? identificationList->currentData().toInt() : -1);
}

void TFrmDocumentosNormativos::docTypeChanged()
{
    if (m_filling || docTypeList->currentIndex() < 0)
        return;
    fillChoices(docTypeList->currentData().toInt());
}

void TFrmDocumentosNormativos::updateApply()
{
    applyButton->setEnabled(m_editing && !identificationList->currentText().isEmpty() &&
                            !titleList->currentText().isEmpty() && !docTypeList->currentText().isEmpty());
}

std::optional<DocNormLinks::Candidate> TFrmDocumentosNormativos::chosenCandidate() const
{
    const QVariant data = identificationList->currentData();
    if (!data.isValid() || data.toInt() < 0 || data.toInt() >= m_candidates.size())
        return std::nullopt;
    return m_candidates.at(data.toInt());
}

void TFrmDocumentosNormativos::applyInclusion()
{
    const auto chosen = chosenCandidate();
    if (!m_editing || !chosen)
        return;
    if (!m_dm.add(*chosen, entryDateField->boxText())) {
        // A refused date stays for correction; a failed write leaves the choice as it was.
        entryDateField->setFocus();
        return;
    }
    m_editing = false;
    reopen(chosen->idDocNorm);
    setBrowse();
}

void TFrmDocumentosNormativos::cancelInclusion()
{
    m_editing = false;
    reopen(currentLink() ? currentLink()->idDocNorm : 0);
    setBrowse();
}

void TFrmDocumentosNormativos::deleteCurrent()
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

void TFrmDocumentosNormativos::changeDocumentStatus(const QString &letter)
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

void TFrmDocumentosNormativos::openHistory()
{
    const auto link = currentLink();
    if (!link || !m_historyOpener)
        return;
    m_historyOpener(m_dm.eventTable(), m_dm.linkKey(*link), m_dm.item().issue);
    reopen(link->idDocNorm);
    setBrowse();
}
