// Settings page "Others": the working directory with its folder picker, and the label font size.
#include "config/othersconfigdlg.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "config/dlgcontrols.h"
#include "config/dlgnumber.h"
#include "platform/windowbridge.h"
#include "settings/userdefine.h"

COthersConfigDlg::COthersConfigDlg(QWidget* parent) : QWidget(parent), m_fnPickFolder(&PickFolderFromPlatform)
{
    setObjectName(QString::number(kTemplateId));
    auto* top = new QVBoxLayout(this);

    top->addWidget(MakeLabel(this, tr("Selecione o diretório de trabalho:")));
    auto* pathRow = new QHBoxLayout;
    m_pWorkPath = MakeEdit(this, 1026);
    m_pWorkPath->setReadOnly(true);
    m_pWorkPath->setEnabled(false);
    m_pBrowse = MakeButton(this, 1027, tr("Selecionar"));
    pathRow->addWidget(m_pWorkPath, 1);
    pathRow->addWidget(m_pBrowse);
    top->addLayout(pathRow);

    auto* fontBox = new QGroupBox(tr("Configuração da fonte"), this);
    auto* fontRow = new QHBoxLayout(fontBox);
    fontRow->addWidget(MakeLabel(fontBox, tr("Tamanho da fonte:")));
    m_pFontSize = MakeEdit(fontBox, 1033);
    fontRow->addWidget(m_pFontSize);
    top->addWidget(fontBox);
    top->addStretch(1);

    connect(m_pBrowse, &QPushButton::clicked, this, &COthersConfigDlg::OnBrowse);
}

QString COthersConfigDlg::PickFolderFromPlatform(QWidget* owner, const QString& title)
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QFileDialog::getExistingDirectory(owner, title, desktop, QFileDialog::ShowDirsOnly);
}

void COthersConfigDlg::OnBrowse()
{
    const QString path = m_fnPickFolder(this, tr("请选择工作目录"));
    if (!path.isEmpty())
        m_pWorkPath->setText(path);
}

void COthersConfigDlg::Fill(const CUserDefine& ud)
{
    m_pWorkPath->setText(QString::fromStdString(ud.WORKPATH));
    m_pFontSize->setText(DlgFormatInt(ud.PLTFONTSIZE));
}

void COthersConfigDlg::Apply(CUserDefine& ud) const
{
    const QString path = m_pWorkPath->text();
    if (path.isEmpty())
        ShowMessage(tr("未指定工作目录!").toStdString());
    else
        ud.WORKPATH = path.toStdString();
    ud.PLTFONTSIZE = DlgAtoi(m_pFontSize->text());
}

void COthersConfigDlg::SetReadOnly()
{
    m_pBrowse->setEnabled(false);
    m_pFontSize->setEnabled(false);
}
