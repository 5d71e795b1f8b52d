#include "registrocomandi.h"

#include "cursoreattesa.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// The MDI frame of a registered window. A window that closes itself (its own "Esci") takes
// its frame with it: hidden for a long-lived window, destroyed for a single-instance one. Left
// alone, the frame would stay on screen empty, and maximised it would keep the window's name
// in the caption and its buttons in the menu bar.
class CorniceMdi : public QMdiSubWindow {
public:
    CorniceMdi(QWidget* finestra, bool persistente)
    {
        setWidget(finestra);
        setWindowIcon(finestra->windowIcon());
        setAttribute(Qt::WA_DeleteOnClose, !persistente);
        finestra->installEventFilter(this);
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        // The frame closes the window itself; its hiding must not be taken for a close of its own.
        m_inChiusura = true;
        QMdiSubWindow::closeEvent(e);
        m_inChiusura = false;
    }

    bool eventFilter(QObject* o, QEvent* e) override
    {
        // A minimised or shaded frame hides its window too; only an explicit hide counts.
        if (o == widget() && e->type() == QEvent::Hide && widget()->isHidden() && !m_inChiusura && isVisible() && !isMinimized()
            && !isShaded()) {
            hide();
            if (testAttribute(Qt::WA_DeleteOnClose))
                deleteLater();
        }
        return QMdiSubWindow::eventFilter(o, e);
    }

private:
    bool m_inChiusura = false;
};

}  // namespace

RegistroComandi::RegistroComandi(TdtmPresenze& dtm, QMdiArea& area, QObject* parent) : QObject(parent), m_dtm(dtm), m_area(area) {}

RegistroComandi::~RegistroComandi() = default;

void RegistroComandi::Collega(QAction* a, const QString& nome)
{
    m_azioni.append({a, nome});
    a->setEnabled(m_abilitato && Registrato(nome));
    connect(a, &QAction::triggered, this, [this, nome] { Esegui(nome); });
}

RegistroComandi::Voce& RegistroComandi::registra(const QString& nome, Tipo tipo)
{
    if (!m_voci.contains(nome))
        m_ordine.append(nome);
    Voce& v = m_voci[nome];
    v = Voce{};
    v.tipo = tipo;
    for (const auto& [a, n] : std::as_const(m_azioni))
        if (n == nome)
            a->setEnabled(m_abilitato);
    return v;
}

void RegistroComandi::RegistraAzione(const QString& nome, Azione fai)
{
    registra(nome, Tipo::Azione).fai = std::move(fai);
}

void RegistroComandi::RegistraPersistente(const QString& nome, QWidget* finestra, bool massimizzata)
{
    Voce& v = registra(nome, Tipo::Persistente);
    v.massimizzata = massimizzata;
    v.cornice = new CorniceMdi(finestra, true);
    m_area.addSubWindow(v.cornice);
    v.cornice->hide();
}

void RegistroComandi::RegistraSingola(const QString& nome, Creatore crea, Riapertura riapertura)
{
    Voce& v = registra(nome, Tipo::Singola);
    v.crea = std::move(crea);
    v.riapertura = riapertura;
}

void RegistroComandi::RegistraModale(const QString& nome, CreatoreModale crea)
{
    registra(nome, Tipo::Modale).creaModale = std::move(crea);
}

bool RegistroComandi::Registrato(const QString& nome) const
{
    return m_voci.contains(nome);
}

void RegistroComandi::Esegui(const QString& nome)
{
    const auto it = m_voci.find(nome);
    if (it == m_voci.end())
        return;
    try {
        switch (it->tipo) {
        case Tipo::Azione:
            it->fai();
            break;
        case Tipo::Persistente:
            mostra(*it);
            break;
        case Tipo::Singola:
            apriSingola(*it);
            break;
        case Tipo::Modale:
            apriModale(*it);
            break;
        }
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
}

void RegistroComandi::mostra(Voce& v)
{
    if (!v.cornice)
        return;
    v.cornice->widget()->show();
    if (v.massimizzata)
        v.cornice->showMaximized();
    else
        v.cornice->show();
    m_area.setActiveSubWindow(v.cornice);
}

void RegistroComandi::apriSingola(Voce& v)
{
    // A frame already hidden is on its way out: a new window takes its place.
    if (v.cornice && !v.cornice->isHidden()) {
        if (v.riapertura == Riapertura::InPrimoPiano) {
            if (v.cornice->isMinimized())
                v.cornice->showNormal();
            m_area.setActiveSubWindow(v.cornice);
        }
        return;
    }
    QWidget* finestra = nullptr;
    {
        CursoreAttesa attesa;
        finestra = v.crea();
    }
    if (!finestra)
        return;
    v.cornice = new CorniceMdi(finestra, false);
    m_area.addSubWindow(v.cornice);
    v.cornice->show();
    m_area.setActiveSubWindow(v.cornice);
}

void RegistroComandi::apriModale(const Voce& v)
{
    const std::unique_ptr<QDialog> dlg = v.creaModale(m_area.window());
    if (dlg)
        dlg->exec();
}

QWidget* RegistroComandi::Finestra(const QString& nome) const
{
    const QMdiSubWindow* c = Cornice(nome);
    return c ? c->widget() : nullptr;
}

QMdiSubWindow* RegistroComandi::Cornice(const QString& nome) const
{
    const auto it = m_voci.constFind(nome);
    return it == m_voci.constEnd() ? nullptr : it->cornice.data();
}

void RegistroComandi::Abilita(bool abilita)
{
    m_abilitato = abilita;
    for (const auto& [a, nome] : std::as_const(m_azioni))
        a->setEnabled(abilita && Registrato(nome));
}

void RegistroComandi::ChiudiFinestre()
{
    for (Tipo tipo : {Tipo::Singola, Tipo::Persistente})
        for (const QString& nome : std::as_const(m_ordine)) {
            const auto it = m_voci.constFind(nome);
            if (it->tipo == tipo && it->cornice && !it->cornice->isHidden())
                it->cornice->close();
        }
}
