#include "markets/Dia_Find.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "framework/DialogUnits.h"
#include "base/Globals.h"

CDia_Find::CDia_Find(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Find a Quote"));
    const DialogUnits units(font());

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("groupPrompt"));
    units.place(frame, 7, 7, 201, 61);

    auto* prompt = new QLabel(QStringLiteral("Enter a part of a company name or a qoute symbol:"), this);
    prompt->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    units.place(prompt, 20, 17, 175, 12);

    m_pEdit = new QLineEdit(this);
    m_pEdit->setObjectName(QStringLiteral("ctl103"));
    units.place(m_pEdit, 39, 39, 137, 14);
    prompt->setBuddy(m_pEdit);

    m_pOK = new QPushButton(QStringLiteral("OK"), this);
    m_pOK->setObjectName(QStringLiteral("ctl1"));
    m_pOK->setDefault(true);
    units.place(m_pOK, 100, 76, 50, 14);

    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pCancel->setObjectName(QStringLiteral("ctl2"));
    units.place(m_pCancel, 158, 76, 50, 14);

    setTabOrder(m_pEdit, m_pOK);
    setTabOrder(m_pOK, m_pCancel);
    setFixedSize(units.size(215, 97));

    connect(m_pOK, &QPushButton::clicked, this, &CDia_Find::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    m_pEdit->setFocus();
}

void CDia_Find::showEvent(QShowEvent* event)
{
    // Every search starts from an empty edit, also when the object is reused.
    if (!event->spontaneous()) {
        m_strText.clear();
        m_pEdit->clear();
        m_pEdit->setFocus();
    }
    QDialog::showEvent(event);
}

void CDia_Find::OnOK()
{
    m_strText = m_pEdit->text().toStdString();
    g_strFindText = m_strText;
    accept();
}
