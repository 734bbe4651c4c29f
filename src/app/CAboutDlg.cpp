#include "app/CAboutDlg.h"

#include "app/ContextHelp.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include <tiffio.h>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Kurvo"));
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("AboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/kurvo.svg")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* version = new QLabel(QStringLiteral("Kurvo Version 1.2"), this);
    version->setObjectName(QStringLiteral("AboutVersion"));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    // The TIFF library's own version and copyright lines, from the library in use.
    auto* credit = new QLabel(QStringLiteral("TIFF files are read with:\n") +
                                  QString::fromLatin1(TIFFGetVersion()),
                              this);
    credit->setObjectName(QStringLiteral("AboutCredit"));

    auto* text = new QVBoxLayout;
    text->addWidget(version);
    text->addWidget(credit);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AddContextHelp(this);
}
