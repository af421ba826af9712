#include "app/AboutDlg.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Quorelle"));
    auto* layout = new QGridLayout(this);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/images/quorelle.png")).pixmap(32, 32));
    layout->addWidget(icon, 0, 0, Qt::AlignTop | Qt::AlignLeft);

    auto* text = new QLabel(QStringLiteral("Quorelle Version 1.1"), this);
    text->setObjectName(QStringLiteral("aboutText"));
    layout->addWidget(text, 0, 1, Qt::AlignVCenter | Qt::AlignLeft);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, 2, Qt::AlignTop | Qt::AlignRight);

    layout->setColumnStretch(1, 1);
    layout->setHorizontalSpacing(16);
    setFixedSize(sizeHint().expandedTo(QSize(330, 80)));
}
