#include "tfrmabout.h"

#include "icone.h"
#include "tdtmpresenze.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

QString TfrmAbout::VersioneProdotto()
{
    char testo[64];
    std::snprintf(testo, sizeof testo, "%d.%d.%d.%d", QUORLIN_VERSIONE_MAJ, QUORLIN_VERSIONE_MIN, QUORLIN_VERSIONE_REL,
                  QUORLIN_VERSIONE_BUILD);
    return QString::fromLatin1(testo);
}

TfrmAbout::TfrmAbout(TdtmPresenze& dtm, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(dtm.cfg().NomeProg);

    auto* logo = new QLabel(this);
    logo->setPixmap(IconaComando(QStringLiteral("applicazione")).pixmap(64, 64));
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* prodotto = new QLabel(dtm.cfg().NomeProg, this);
    prodotto->setObjectName(QStringLiteral("lblProdotto"));
    QFont f = prodotto->font();
    f.setPointSizeF(f.pointSizeF() * 1.8);
    f.setBold(true);
    prodotto->setFont(f);

    auto* linea = new QFrame(this);
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Sunken);

    auto* versione = new QLabel(VersioneProdotto(), this);
    versione->setObjectName(QStringLiteral("lblVersioneProdotto"));
    // The release is followed by the name of the engine that holds the data.
    auto* versioneDb = new QLabel(dtm.mem().RelDB + QStringLiteral(" (%1)").arg(dtm.db().dialetto().nomeMotore()), this);
    versioneDb->setObjectName(QStringLiteral("lblVersioneDatabase"));
    versione->setTextInteractionFlags(Qt::TextSelectableByMouse);
    versioneDb->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* griglia = new QGridLayout;
    griglia->setHorizontalSpacing(16);
    griglia->addWidget(new QLabel(QStringLiteral("Versione prodotto"), this), 0, 0);
    griglia->addWidget(versione, 0, 1);
    griglia->addWidget(new QLabel(QStringLiteral("Versione database"), this), 1, 0);
    griglia->addWidget(versioneDb, 1, 1);
    griglia->setColumnStretch(1, 1);

    auto* testo = new QVBoxLayout;
    testo->addWidget(prodotto);
    testo->addWidget(linea);
    testo->addLayout(griglia);
    testo->addStretch();

    auto* corpo = new QHBoxLayout;
    corpo->setSpacing(18);
    corpo->addWidget(logo);
    corpo->addLayout(testo, 1);

    auto* pulsanti = new QDialogButtonBox(this);
    QPushButton* ok = pulsanti->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(pulsanti, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(20, 18, 20, 14);
    l->addLayout(corpo);
    l->addSpacing(10);
    l->addWidget(pulsanti);
    setMinimumWidth(380);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}
