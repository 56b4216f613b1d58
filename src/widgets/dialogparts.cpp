#include "widgets/dialogparts.h"

#include "widgets/columnfit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

class Banner : public QWidget
{
public:
    Banner(QWidget *parent, const QString &title, const QString &subtitle)
        : QWidget(parent),
          m_title(title),
          m_subtitle(subtitle)
    {
        setFixedHeight(64);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, width(), 0);
        g.setColorAt(0, QColor(0x17, 0x3f, 0x66));
        g.setColorAt(1, QColor(0x2f, 0x6f, 0xa8));
        p.fillRect(rect(), g);
        DialogParts::paintMark(p, QRectF(14, 12, 40, 40));
        QFont f = font();
        f.setPointSizeF(f.pointSizeF() * 1.35);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(66, 10, width() - 76, 26), Qt::AlignLeft | Qt::AlignVCenter, m_title);
        p.setFont(font());
        p.setPen(QColor(0xd8, 0xe6, 0xf3));
        p.drawText(QRectF(66, 34, width() - 76, 20), Qt::AlignLeft | Qt::AlignVCenter, m_subtitle);
    }

private:
    QString m_title;
    QString m_subtitle;
};

}

namespace DialogParts {

void paintMark(QPainter &p, const QRectF &box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(box, box.width() * 0.2, box.width() * 0.2);
    const qreal w = box.width();
    const QRectF ring = box.adjusted(w * 0.22, w * 0.22, -w * 0.22, -w * 0.22);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x79), w * 0.11, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, 45 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xa9, 0x00));
    const qreal d = w * 0.18;
    p.drawEllipse(QRectF(ring.right() - d * 0.55, ring.center().y() - d / 2, d, d));
    p.restore();
}

QWidget *banner(QWidget *parent, const QString &title, const QString &subtitle)
{
    return new Banner(parent, title, subtitle);
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    if (buddy) {
        l->setBuddy(buddy);
        nameAfterLabel(buddy, text);
    }
    return l;
}

void nameAfterLabel(QWidget *buddy, const QString &labelText)
{
    if (!qobject_cast<QComboBox *>(buddy) || !buddy->accessibleName().isEmpty())
        return;
    QString words = labelText;
    words.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    buddy->setAccessibleName(words.trimmed());
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setMinimumWidth(88);
    return b;
}

QPushButton *namedButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QLineEdit *lineEdit(QWidget *parent, const QString &name, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QLineEdit *columnEdit(QWidget *parent, const QString &name, const QString &table, const QString &column)
{
    QLineEdit *e = lineEdit(parent, name);
    ColumnFit::fit(e, table, column);
    return e;
}

QLineEdit *passwordEdit(QWidget *parent, const QString &name, int maxLength)
{
    QLineEdit *e = lineEdit(parent, name, maxLength);
    maskPassword(e);
    return e;
}

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &text)
{
    auto *c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}

QRadioButton *radioButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *r = new QRadioButton(text, parent);
    r->setObjectName(name);
    return r;
}

QLineEdit *readOnlyField(QWidget *parent, const QString &name)
{
    QLineEdit *e = lineEdit(parent, name);
    e->setReadOnly(true);
    return e;
}

QTableView *rowGrid(QWidget *parent, const QString &name)
{
    auto *v = new QTableView(parent);
    v->setObjectName(name);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->verticalHeader()->setVisible(false);
    v->horizontalHeader()->setStretchLastSection(true);
    return v;
}

QHBoxLayout *buttonRow(QPushButton *ok, QPushButton *cancel)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(16, 4, 16, 8);
    row->addStretch();
    row->addWidget(ok);
    if (cancel)
        row->addWidget(cancel);
    return row;
}

OkCancel addOkCancel(QDialog *dialog, QBoxLayout *layout, const QString &okName, const QString &cancelName)
{
    const OkCancel buttons{button(dialog, okName, QStringLiteral("Ok")),
                           button(dialog, cancelName, QStringLiteral("Cancela"))};
    buttons.ok->setDefault(true);
    layout->addLayout(buttonRow(buttons.ok, buttons.cancel));
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return buttons;
}

void maskPassword(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

void fixDialogFrame(QDialog *dialog, int width)
{
    dialog->setWindowFlags((dialog->windowFlags() | Qt::MSWindowsFixedSizeDialogHint) &
                           ~Qt::WindowContextHelpButtonHint);
    dialog->setModal(true);
    dialog->layout()->setContentsMargins(0, 0, 0, 8);
    dialog->adjustSize();
    dialog->setFixedSize(width, dialog->sizeHint().height());
}

QHBoxLayout *toolbarRow(QWidget *panel)
{
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 3, 6, 3);
    row->setSpacing(2);
    return row;
}

QToolButton *toolbarButton(QWidget *panel, QBoxLayout *row, const char *name, const QString &hint, const QIcon &icon)
{
    auto *b = new QToolButton(panel);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setAccessibleName(hint); // icon only: screen readers say the hint
    b->setAutoRaise(true);
    b->setIcon(icon);
    b->setIconSize(QSize(28, 28));
    b->setFixedSize(40, 40);
    row->addWidget(b);
    return b;
}

void toolbarGap(QWidget *panel, QBoxLayout *row)
{
    auto *line = new QFrame(panel);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(30);
    row->addSpacing(4);
    row->addWidget(line);
    row->addSpacing(4);
}

}
