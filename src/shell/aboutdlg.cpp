// The About box.
#include "shell/aboutdlg.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>

namespace {
// 182 x 73 dialog units, a dialog unit being a quarter of the average character width across and an
// eighth of the character height down.
QSize DialogSize(const QFontMetrics& fm)
{
    return QSize(182 * fm.averageCharWidth() / 4, 73 * fm.height() / 8);
}
}  // namespace

QIcon AppIcon()
{
    QSvgRenderer renderer(QStringLiteral(":/icons/tessaline.svg"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(tr("Sobre o Tessaline"));
    setModal(true);

    auto* pIcon = new QLabel(this);
    pIcon->setObjectName(QStringLiteral("icon128"));
    pIcon->setPixmap(AppIcon().pixmap(32, 32));
    auto* pText = new QLabel(QStringLiteral("Tessaline 2.2e"), this);
    pText->setObjectName(QStringLiteral("version"));
    pText->setTextFormat(Qt::PlainText);
    auto* pOk = new QPushButton(tr("OK"), this);
    pOk->setObjectName(QStringLiteral("1"));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pLayout = new QGridLayout(this);
    pLayout->addWidget(pIcon, 0, 0, Qt::AlignTop | Qt::AlignLeft);
    pLayout->addWidget(pText, 0, 1, Qt::AlignVCenter | Qt::AlignLeft);
    pLayout->addWidget(pOk, 0, 2, Qt::AlignTop | Qt::AlignRight);
    pLayout->setColumnStretch(1, 1);
    setFixedSize(DialogSize(fontMetrics()).expandedTo(minimumSizeHint()));
}
