#include "tfrmpianta.h"

#include "icone.h"
#include "messaggi.h"
#include "registrocomandi.h"
#include "rptpianta.h"
#include "tdtmpresenze.h"
#include "tfrmanteprima.h"
#include "tfrmpresenze.h"
#include "tfrmstampa.h"

#include <QAction>

TfrmPianta::TfrmPianta(TdtmPresenze& dtm, QWidget* parent) : TfrmUnita(dtm, TipoAlbero::Reparti, parent)
{
    setObjectName(QStringLiteral("frmPianta"));
    setWindowTitle(QStringLiteral("Reparto"));
    setWindowIcon(IconaComando(QStringLiteral("organico")));
    QAction* ruolo = NuovoComando(QStringLiteral("itmRuolo"), QStringLiteral("&Qualifica"), QKeySequence(Qt::Key_F7), QStringLiteral("avanti"));
    connect(ruolo, &QAction::triggered, this, [this] {
        if (!inModifica())
            emit apriQualifica();
    });
}

void TfrmPianta::itmStampaClick()
{
    if (inModifica())
        return;
    const TRecStampa scelta = m_stampa->Esegui(QStringLiteral("CR"));
    if (scelta.codice != Stampa::kAlberoUnita)
        return;
    Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptPianta(m_dtm, TipoAlbero::Reparti).Crea(Albero(), scelta.descrizione); });
}

TfrmRuolo::TfrmRuolo(TdtmPresenze& dtm, std::function<int()> repartoScelto, QWidget* parent)
    : TfrmUnita(dtm, TipoAlbero::Qualifiche, parent), m_repartoScelto(std::move(repartoScelto))
{
    setObjectName(QStringLiteral("frmRuolo"));
    setWindowTitle(QStringLiteral("Qualifica"));
    setWindowIcon(IconaComando(QStringLiteral("organico")));
    struct Elenco {
        const char* nome;
        QString testo;
        QString suggerimento;
        bool sottounita;
    };
    const Elenco elenchi[] = {
        {"btnAnagraficoFull", QStringLiteral("Con s&ottounità"), QStringLiteral("Anagrafico comprese le sottounità"), true},
        {"btnAnagrafico", QStringLiteral("Singola u&nità"), QStringLiteral("Anagrafico della singola unità"), false},
    };
    for (const Elenco& e : elenchi) {
        QAction* a = NuovoComando(QString::fromLatin1(e.nome), e.testo, {}, QStringLiteral("dipendenti"));
        a->setToolTip(e.suggerimento);
        connect(a, &QAction::triggered, this, [this, sotto = e.sottounita] { sotto ? btnAnagraficoFullClick() : btnAnagraficoClick(); });
    }
}

void TfrmRuolo::btnAnagraficoFullClick()
{
    elenca(true);
}

void TfrmRuolo::btnAnagraficoClick()
{
    elenca(false);
}

void TfrmRuolo::elenca(bool sottounita)
{
    const int reparto = m_repartoScelto ? m_repartoScelto() : 0;
    const int qualifica = UnitaSelezionata();
    if (inModifica() || reparto <= 0 || qualifica <= 0)
        return;
    int quanti = 0;
    try {
        quanti = TdtmPianta::ElencaDipendenti(m_dtm, reparto, qualifica, sottounita);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    if (quanti == 0)
        m_dtm.MostraErrore(Msg::ErrNessunDipendenteUnita);
    else
        emit apriAnagrafico();
}

void TfrmRuolo::itmStampaClick()
{
    if (inModifica())
        return;
    const TRecStampa scelta = m_stampa->Esegui(QStringLiteral("CQ"));
    if (scelta.codice == Stampa::kAlberoUnita) {
        Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptPianta(m_dtm, TipoAlbero::Qualifiche).Crea(Albero(), scelta.descrizione); });
    } else if (scelta.codice == Stampa::kOrganico) {
        // The staff needs a department: the department window's selection.
        const int reparto = m_repartoScelto ? m_repartoScelto() : 0;
        const int qualifica = UnitaSelezionata();
        if (reparto > 0 && qualifica > 0)
            Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptOrganico(m_dtm).Crea(reparto, qualifica, scelta.descrizione); });
    }
}

void RegistraOrganico(TfrmPresenze& frm, TdtmPresenze& dtm, std::function<void()> mostraAnagrafico)
{
    RegistroComandi& comandi = frm.Comandi();
    if (!mostraAnagrafico)
        mostraAnagrafico = [&comandi] { comandi.Esegui(QStringLiteral("Dipendenti")); };
    comandi.RegistraSingola(QStringLiteral("Qualifica"), [&comandi, &dtm, mostraAnagrafico] {
        auto* w = new TfrmRuolo(dtm, [&comandi] {
            const auto* reparti = qobject_cast<const TfrmPianta*>(comandi.Finestra(QStringLiteral("Organico")));
            return reparti ? reparti->UnitaSelezionata() : 0;
        });
        QObject::connect(w, &TfrmRuolo::apriAnagrafico, &comandi, mostraAnagrafico);
        return w;
    });
    comandi.RegistraSingola(QStringLiteral("Organico"), [&comandi, &dtm] {
        auto* w = new TfrmPianta(dtm);
        QObject::connect(w, &TfrmPianta::apriQualifica, &comandi, [&comandi] { comandi.Esegui(QStringLiteral("Qualifica")); });
        return w;
    });
}
