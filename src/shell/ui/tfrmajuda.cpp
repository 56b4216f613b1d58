#include "shell/ui/tfrmajuda.h"

#include "shell/appversion.h"
#include "widgets/dialogparts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
class Picture : public QWidget
{
public:
    explicit Picture(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(96, 96);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x4e, 0x79));
        p.drawRoundedRect(rect(), 16, 16);
        DialogParts::paintMark(p, QRectF(16, 16, 64, 64));
    }
};
}

TFrmAjuda::TFrmAjuda(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAjuda"));
    setWindowTitle(QStringLiteral("Sobre o Sistema..."));

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    auto *picture = new Picture(this);
    picture->setObjectName(QStringLiteral("Image1"));
    layout->addSpacing(16);
    layout->addWidget(picture, 0, Qt::AlignHCenter);

    auto *title = new QLabel(QStringLiteral("Corvane - Kestravo"), this);
    title->setObjectName(QStringLiteral("LbTitulo"));
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.5);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    auto *date = new QLabel(this);
    date->setObjectName(QStringLiteral("LbData"));
    date->setText(AppVersion::text() + QStringLiteral(" - 29 de Outubro de 2019"));
    date->setAlignment(Qt::AlignCenter);
    layout->addWidget(date);

    auto *email = new QLabel(QStringLiteral("E-mail: suporte@corvane.com.br"), this);
    email->setObjectName(QStringLiteral("LbEmail"));
    email->setAlignment(Qt::AlignCenter);
    email->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *site = new QLabel(QStringLiteral("www.corvane.com.br"), this);
    site->setObjectName(QStringLiteral("LbSite"));
    site->setAlignment(Qt::AlignCenter);
    site->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addSpacing(6);
    layout->addWidget(email);
    layout->addWidget(site);

    auto *ok = DialogParts::button(this, QStringLiteral("OKButton"), QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addStretch();
    layout->addSpacing(8);
    layout->addLayout(row);
    layout->addSpacing(12);

    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
    setFixedSize(360, sizeHint().height());
    // Centred on the desktop, not on the shell.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
