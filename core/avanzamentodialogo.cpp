#include "avanzamentodialogo.h"

#include "tdtmpresenze.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>

AvanzamentoDialogo::AvanzamentoDialogo(TdtmPresenze& dtm, QWidget* sopra) : m_dtm(dtm), m_sopra(sopra) {}

AvanzamentoDialogo::~AvanzamentoDialogo()
{
    Termina();
}

void AvanzamentoDialogo::Inizia(const QString& titolo, int massimo)
{
    if (!m_dialogo) {
        QWidget* finestra = m_sopra ? m_sopra->window() : QApplication::activeModalWidget();
        if (!finestra)
            finestra = QApplication::activeWindow();
        m_dialogo = new QProgressDialog(finestra);
        m_dialogo->setObjectName(QStringLiteral("dlgAvanzamento"));
        m_dialogo->setWindowTitle(m_dtm.cfg().NomeProg);
        m_dialogo->setWindowModality(Qt::WindowModal);
        m_dialogo->setAutoClose(false);
        m_dialogo->setAutoReset(false);
        m_dialogo->setMinimumWidth(360);
        auto* annulla = new QPushButton(QStringLiteral("&Annulla"), m_dialogo);
        annulla->setObjectName(QStringLiteral("btnAnnulla"));
        m_dialogo->setCancelButton(annulla);
        m_dialogo->setMinimumDuration(kAttesaMs);
        // The window beneath waits; the dialog keeps the arrow, so "Annulla" looks pressable.
        if (finestra) {
            m_finestraInAttesa = finestra;
            m_cursorePrima = finestra->testAttribute(Qt::WA_SetCursor) ? std::optional<QCursor>(finestra->cursor()) : std::nullopt;
            finestra->setCursor(Qt::WaitCursor);
        }
    }
    m_dialogo->setLabelText(titolo);
    m_dialogo->setRange(0, std::max(massimo, 0));
    m_dialogo->setValue(0);
}

void AvanzamentoDialogo::Valore(int valore)
{
    // A busy bar (no known count) has no value to show.
    if (m_dialogo && m_dialogo->maximum() > 0)
        m_dialogo->setValue(std::min(valore, m_dialogo->maximum()));
}

bool AvanzamentoDialogo::Annullato()
{
    QCoreApplication::processEvents();
    if (m_dialogo && m_dialogo->wasCanceled())
        m_annullato = true;
    return m_annullato;
}

void AvanzamentoDialogo::Termina()
{
    if (m_finestraInAttesa) {
        if (m_cursorePrima)
            m_finestraInAttesa->setCursor(*m_cursorePrima);
        else
            m_finestraInAttesa->unsetCursor();
    }
    m_finestraInAttesa = nullptr;
    delete m_dialogo;
}
