#include "comandiarchivio.h"

#include "icone.h"
#include "messaggi.h"
#include "presenzecfg.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QToolBar>

namespace {

struct Voce {
    const char* nome;  // objectName after "itm"
    const char* testo;
    const char* suggerimento;
    const char* icona;
    QKeySequence tasto;
};

const Voce& voce(ComandiArchivio::Comando c)
{
    static const std::array<Voce, ComandiArchivio::NumComandi> voci{{
        {"Esci", "&Esci", "Esci", "esci", QKeySequence(Qt::ALT | Qt::Key_F4)},
        {"Stampa", "&Stampa", "Stampa", "stampa", QKeySequence(Qt::Key_F5)},
        {"Inserisci", "&Inserisci", "Inserisci", "inserisci", QKeySequence(Qt::Key_F2)},
        {"Modifica", "&Modifica", "Modifica", "modifica", QKeySequence(Qt::Key_F3)},
        {"Cancella", "&Cancella", "Cancella", "cancella", QKeySequence(Qt::Key_F4)},
        // The menu bar shows "?" as text; the toolbar has its own button with the picture.
        {"Aiuto", "&?", "Help", nullptr, QKeySequence(QKeySequence::HelpContents)},
    }};
    return voci[size_t(c)];
}

}  // namespace

ComandiArchivio::ComandiArchivio(QWidget* finestra, TdtmPresenze& dtm, int contestoAiuto)
    : QObject(finestra), m_finestra(finestra), m_dtm(dtm), m_contesto(contestoAiuto)
{
    Collega(Aiuto, [this] { MostraAiuto(m_finestra, m_dtm, m_contesto); });
}

QAction* ComandiArchivio::crea(Comando c)
{
    const Voce& v = voce(c);
    auto* a = new QAction(v.icona ? IconaComando(QString::fromLatin1(v.icona)) : QIcon(), QString::fromLatin1(v.testo), m_finestra);
    a->setObjectName(QStringLiteral("itm") + QLatin1String(v.nome));
    a->setToolTip(QString::fromLatin1(v.suggerimento));
    a->setShortcut(v.tasto);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, [this, c] { esegui(c); });
    // The keys work whether or not the window shows the entry in a menu.
    m_finestra->addAction(a);
    return a;
}

QAction* ComandiArchivio::Collega(Comando c, std::function<void()> gestore)
{
    m_gestori[size_t(c)] = std::move(gestore);
    if (!m_azioni[size_t(c)])
        m_azioni[size_t(c)] = crea(c);
    return m_azioni[size_t(c)];
}

QAction* ComandiArchivio::Pulsante(Comando c)
{
    QAction* menu = Azione(c);
    if (!menu || (c != Esci && c != Aiuto))
        return menu;
    QAction*& pulsante = c == Esci ? m_btnEsci : m_btnAiuto;
    if (!pulsante) {
        pulsante = new QAction(IconaComando(QString::fromLatin1(c == Esci ? "esci" : "aiuto")), menu->toolTip(), m_finestra);
        pulsante->setObjectName(QString::fromLatin1(c == Esci ? "btnEsci" : "btnHelp"));
        pulsante->setToolTip(menu->toolTip());
        connect(pulsante, &QAction::triggered, menu, &QAction::trigger);
        // The button follows its menu entry.
        connect(menu, &QAction::enabledChanged, pulsante, &QAction::setEnabled);
    }
    return pulsante;
}

void ComandiArchivio::esegui(Comando c)
{
    const auto& gestore = m_gestori[size_t(c)];
    if (!gestore || !m_azioni[size_t(c)]->isEnabled())
        return;
    if (c == Cancella && m_chiediCancella && !m_dtm.Chiedi(Msg::SclCancella))
        return;
    gestore();
}

QMenu* ComandiArchivio::RiempiMenu(QMenuBar* barra, const QString& archivio)
{
    QMenu* file = barra->addMenu(QStringLiteral("&File"));
    if (Azione(Stampa)) {
        file->addAction(Azione(Stampa));
        file->addSeparator();
    }
    if (Azione(Esci))
        file->addAction(Azione(Esci));
    QMenu* record = nullptr;
    for (Comando c : {Inserisci, Modifica, Cancella}) {
        if (!Azione(c))
            continue;
        if (!record)
            record = barra->addMenu(archivio);
        record->addAction(Azione(c));
    }
    barra->addAction(Azione(Aiuto));
    return record;
}

void ComandiArchivio::RiempiBarra(QToolBar* barra)
{
    barra->setIconSize(QSize(24, 24));
    barra->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const auto gruppo = [&](std::initializer_list<Comando> comandi) {
        bool primo = true;
        for (Comando c : comandi) {
            if (!Pulsante(c))
                continue;
            if (primo && !barra->actions().isEmpty())
                barra->addSeparator();
            primo = false;
            barra->addAction(Pulsante(c));
        }
    };
    gruppo({Esci});
    gruppo({Inserisci, Modifica, Cancella});
    gruppo({Stampa});
    gruppo({Aiuto});
}

void ComandiArchivio::ModificaAlDoppioClic(QAbstractItemView* vista)
{
    connect(vista, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid() && Azione(Modifica))
            Azione(Modifica)->trigger();
    });
}

void AspettoGriglia(QTableView* griglia, const TPresenzeCfg& cfg, SelezioneGriglia selezione)
{
    griglia->setAlternatingRowColors(true);
    QPalette pal = griglia->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::AlternateBase, ColoreDaIni(cfg.ColoreGrid));
    // Black on a light blue: the selected text stays readable over every cell colour.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::Highlight, QColor(0xC9, 0xDD, 0xF2));
        pal.setColor(g, QPalette::HighlightedText, Qt::black);
    }
    griglia->setPalette(pal);
    griglia->verticalHeader()->hide();
    griglia->verticalHeader()->setDefaultSectionSize(griglia->fontMetrics().height() + 8);
    griglia->horizontalHeader()->setHighlightSections(false);
    griglia->setWordWrap(false);
    switch (selezione) {
    case SelezioneGriglia::Riga:
    case SelezioneGriglia::Righe:
        griglia->setSelectionBehavior(QAbstractItemView::SelectRows);
        griglia->setSelectionMode(selezione == SelezioneGriglia::Riga ? QAbstractItemView::SingleSelection
                                                                      : QAbstractItemView::ExtendedSelection);
        griglia->setEditTriggers(QAbstractItemView::NoEditTriggers);
        griglia->setTabKeyNavigation(false);
        break;
    case SelezioneGriglia::Cella:
        griglia->setSelectionBehavior(QAbstractItemView::SelectItems);
        griglia->setSelectionMode(QAbstractItemView::SingleSelection);
        break;
    }
}
