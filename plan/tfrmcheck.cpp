#include "tfrmcheck.h"

#include "icone.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QProgressBar* barra(const char* nome, QWidget* parent)
{
    auto* b = new QProgressBar(parent);
    b->setObjectName(QString::fromLatin1(nome));
    b->setRange(0, 100);
    b->setValue(0);
    b->setTextVisible(false);
    b->setFixedHeight(14);
    return b;
}

}  // namespace

TfrmCheck::TfrmCheck(TdtmPresenze& dtm, QWidget* finestraPiano)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), m_verifica(dtm), m_piano(finestraPiano)
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Verifica Piano di Lavoro"));
    setWindowIcon(IconaComando(QStringLiteral("piano")));

    auto* esterno = new QVBoxLayout(this);
    esterno->setContentsMargins(0, 0, 0, 0);
    // Without a title bar the raised border is what sets the panel apart from the window
    // beneath it.
    auto* cornice = new QFrame(this);
    cornice->setFrameStyle(QFrame::Panel | QFrame::Raised);
    cornice->setLineWidth(2);
    esterno->addWidget(cornice);

    auto* corpo = new QHBoxLayout(cornice);
    corpo->setContentsMargins(12, 12, 12, 12);
    corpo->setSpacing(12);
    m_immagine = new QLabel(cornice);
    m_immagine->setObjectName(QStringLiteral("imgCalendario"));
    m_immagine->setPixmap(IconaComando(QStringLiteral("calendario")).pixmap(48, 48));
    m_immagine->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    corpo->addWidget(m_immagine);

    auto* destra = new QVBoxLayout;
    destra->setSpacing(4);
    auto* lblGenerale = new QLabel(QStringLiteral("Verifica Piano Lavoro"), cornice);
    lblGenerale->setObjectName(QStringLiteral("lblVerifica"));
    m_barGenerale = barra("barGenerale", cornice);
    auto* lblGiorni = new QLabel(QStringLiteral("Aggiornamento Calendario"), cornice);
    lblGiorni->setObjectName(QStringLiteral("lblCalendario"));
    m_barGiorni = barra("barGiorni", cornice);
    destra->addWidget(lblGenerale);
    destra->addWidget(m_barGenerale);
    destra->addSpacing(6);
    destra->addWidget(lblGiorni);
    destra->addWidget(m_barGiorni);
    destra->addSpacing(8);

    m_btnAnnulla = new QPushButton(IconaComando(QStringLiteral("annulla")), QStringLiteral("&Annulla"), cornice);
    m_btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    m_btnAnnulla->setAutoDefault(false);
    m_btnAnnulla->setMinimumWidth(96);
    // The one place where the user may act while the check runs keeps the normal pointer.
    m_btnAnnulla->setCursor(Qt::ArrowCursor);
    auto* riga = new QHBoxLayout;
    riga->addStretch();
    riga->addWidget(m_btnAnnulla);
    destra->addLayout(riga);
    corpo->addLayout(destra, 1);

    setMinimumWidth(360);
    adjustSize();
    setFixedSize(size());

    connect(m_btnAnnulla, &QPushButton::clicked, this, &TfrmCheck::btnAnnullaClick);
}

void TfrmCheck::abilitaPiano(bool abilita)
{
    if (!m_piano)
        return;
    m_piano->setEnabled(abilita);
    if (abilita)
        m_piano->unsetCursor();
    else
        m_piano->setCursor(Qt::WaitCursor);
}

bool TfrmCheck::StartCheck(int idDip, const QDate& dal, const QDate& al)
{
    // Pending events run during the check: a second confirmation must not start another.
    if (m_inCorso)
        return false;
    m_inCorso = true;
    Adotta();
    if (isVisible())
        raise();
    else
        show();
    setCursor(Qt::WaitCursor);
    m_annulla = false;
    m_fase = 0;
    abilitaPiano(false);
    struct Chiusura {
        TfrmCheck* f;
        ~Chiusura()
        {
            f->unsetCursor();
            f->abilitaPiano(true);
            f->m_inCorso = false;
            f->close();
        }
    } chiusura{this};
    return m_verifica.StartCheck(idDip, dal, al, *this);
}

void TfrmCheck::Inizia(const QString&, int massimo)
{
    // The window has its own captions for its two bars; the phase tells which bar moves.
    ++m_fase;
    if (m_fase == 1) {
        m_barGiorni->setMaximum(1);
        m_barGiorni->setValue(0);
        m_barGenerale->setValue(20);
        // The panel shows before the first query runs.
        QCoreApplication::processEvents();
    } else {
        m_barGiorni->setMaximum(std::max(massimo, 1));
        m_barGiorni->setValue(0);
        m_barGenerale->setValue(40);
    }
}

void TfrmCheck::Valore(int valore)
{
    if (m_fase == 1)
        m_barGenerale->setValue(30);
    else
        m_barGiorni->setValue(valore);
}

bool TfrmCheck::Annullato()
{
    QCoreApplication::processEvents();
    return m_annulla;
}

void TfrmCheck::Termina()
{
    if (m_fase > 1)
        m_barGenerale->setValue(100);
}

void TfrmCheck::btnAnnullaClick()
{
    m_annulla = true;
}

void TfrmCheck::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    Centra();
}

void TfrmCheck::Adotta()
{
    // A tool window of the application's top-level window stays above it, and with it, but
    // never above other programs. Not a child of the work plan itself: disabling the work plan
    // while the check runs would disable this window and its "Annulla" too.
    QWidget* principale = m_piano ? m_piano->window() : nullptr;
    if (!principale || principale == m_piano || parentWidget() == principale)
        return;
    const bool visibile = isVisible();
    setParent(principale, windowFlags());
    if (visibile)
        show();
}

void TfrmCheck::Centra()
{
    if (!m_piano)
        return;
    const QRect r = m_piano->isWindow() ? m_piano->frameGeometry() : QRect(m_piano->mapToGlobal(QPoint(0, 0)), m_piano->size());
    move(r.left() + r.width() / 2 - width() / 2, r.top() + r.height() / 2 - height() / 2);
}
