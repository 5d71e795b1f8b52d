#include "tdtmpiano.h"

#include "messaggi.h"

#include "fileini.h"
#include "testipiano.h"

#include <QSqlQuery>

namespace {


}  // namespace

TdtmPiano::TdtmPiano(TdtmPresenze& dtm, QObject* parent)
    : QObject(parent), m_dtm(dtm), m_piano(*this, this), m_timbr(*this, this), m_anagSel(*this, this)
{
    // The punch list always shows the day of the grid's current row; a re-read of the
    // grid (which also signals its current row) re-reads the punches as well.
    connect(&m_piano, &TabellaPiano::rigaCorrenteCambiata, this, &TdtmPiano::seguiRiga);
    connect(&m_timbr, &TabellaTimbrature::timbratureCambiate, this, &TdtmPiano::RefreshMaster);
    // A timetable or terminal written elsewhere shows in the pickers and the grid at once.
    connect(&m_dtm, &TdtmPresenze::archivioCambiato, this, [this](const QString& tabella) {
        if (tabella == QLatin1String("OrariRep") || tabella == QLatin1String("Terminali"))
            m_ricercheLette = false;
    });
}

void TdtmPiano::seguiRiga()
{
    const GiornoPiano* g = m_piano.GiornoCorrente();
    if (!g) {
        if (!m_piano.Aperta())
            return;
        m_timbr.Limita(m_piano.IdDip(), QDate());
        return;
    }
    if (m_timbr.Aperta() && m_timbr.IdDip() == g->IdDip && m_timbr.Giorno() == g->Data)
        m_timbr.Aggiorna();
    else
        m_timbr.Limita(g->IdDip, g->Data);
}

// --- Lookup lists ---------------------------------------------------------------------

void TdtmPiano::BuildStructures()
{
    m_stati = m_dtm.Codici(QStringLiteral("Costanti3"), QStringLiteral("StatoRid"));
    m_versi = m_dtm.Codici(QStringLiteral("Costanti4"), QStringLiteral("Verso"));
    m_nomiVersi.clear();
    for (const CodiceDescr& v : std::as_const(m_versi))
        m_nomiVersi.append({v.codice, v.descr});
    // Punch tokens everywhere take their letters from this list.
    m_dtm.ListaVersi() = m_nomiVersi;

    m_giorni.fill(QString());
    for (const CodiceDescr& g : m_dtm.Codici(QStringLiteral("Costanti4"), QStringLiteral("Giorni3"))) {
        bool ok = false;
        const int n = g.codice.toInt(&ok);
        if (ok && n >= 1 && n <= 7)
            m_giorni[size_t(n - 1)] = g.descr;
    }
    m_testoInModifica = m_dtm.TestoScelta(Msg::SclInModifica);
}

QString TdtmPiano::NomeBreveGiorno(int giorno) const
{
    return giorno >= 1 && giorno <= 7 ? m_giorni[size_t(giorno - 1)] : QString();
}

QString TdtmPiano::DataGiorno(const QDate& d) const
{
    if (!d.isValid())
        return {};
    return d.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ') + NomeBreveGiorno(TestiPiano::GiornoSettimana(d));
}

QString TdtmPiano::DescrStato(const QVariant& stato) const
{
    if (stato.isNull())
        return {};
    const QString codice = QString::number(stato.toInt());
    for (const CodiceDescr& s : m_stati)
        if (s.codice.trimmed() == codice)
            return s.descr;
    return codice;
}

bool TdtmPiano::StatoValido(int stato) const
{
    if (m_stati.isEmpty())
        return true;
    const QString codice = QString::number(stato);
    for (const CodiceDescr& s : m_stati)
        if (s.codice.trimmed() == codice)
            return true;
    return false;
}

QString TdtmPiano::TestoInModifica()
{
    if (m_testoInModifica.isEmpty())
        m_testoInModifica = m_dtm.TestoScelta(Msg::SclInModifica);
    return m_testoInModifica;
}

// --- Timetable and terminal lookups ------------------------------------------------------

void TdtmPiano::ApriTabelleRicerca()
{
    m_ricercheLette = false;
    caricaRicerche();
}

void TdtmPiano::caricaRicerche()
{
    if (m_ricercheLette)
        return;
    m_orari.clear();
    m_descrOrari.clear();
    m_indirizzi.clear();
    QSqlQuery o = m_dtm.db().esegui(QStringLiteral("SELECT Id, Descr FROM OrariRep ORDER BY Descr, Id"));
    while (o.next()) {
        m_orari.append({o.value(0).toInt(), o.value(1).toString()});
        m_descrOrari.insert(o.value(0).toInt(), o.value(1).toString());
    }
    QSqlQuery t = m_dtm.db().esegui(QStringLiteral("SELECT Id, Indirizzo FROM Terminali ORDER BY Descr, Id"));
    while (t.next())
        m_indirizzi.insert(t.value(0).toInt(), t.value(1).toString());
    m_ricercheLette = true;
}

const QList<VoceOrario>& TdtmPiano::ElencoOrari()
{
    caricaRicerche();
    return m_orari;
}

QString TdtmPiano::DescrizioneOrario(const QVariant& idOrario)
{
    if (idOrario.isNull())
        return {};
    caricaRicerche();
    return m_descrOrari.value(idOrario.toInt());
}

QString TdtmPiano::IndirizzoTerminale(const QVariant& idTerminale)
{
    if (idTerminale.isNull())
        return {};
    caricaRicerche();
    return m_indirizzi.value(idTerminale.toInt());
}

// --- Current row helpers ----------------------------------------------------------------

bool TdtmPiano::StatoBloccato() const
{
    return m_piano.RigaCorrente() >= 0 && m_piano.StatoBloccato(m_piano.RigaCorrente());
}

int TdtmPiano::PosizionaSuToken(const QString& token)
{
    const GiornoPiano* g = m_piano.GiornoCorrente();
    if (!g || token.size() < TestiPiano::kLunghezzaToken)
        return -1;
    const int minuti = qRound(TestiOra::OraDaTesto(token) * 1440.0);
    return m_timbr.PosizionaVicino(QDateTime(g->Data, QTime(0, 0).addSecs(minuti * 60), Qt::UTC));
}

void TdtmPiano::RefreshMaster()
{
    if (m_piano.Aperta())
        m_piano.Aggiorna();
}

QString TdtmPiano::Nominativo(int idDip)
{
    // Names do not change while the work plan is open; the caption asks at every row.
    const auto trovato = m_nominativi.constFind(idDip);
    if (trovato != m_nominativi.constEnd())
        return *trovato;
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Cognome, Nome FROM Anagrafico WHERE Id = :Id"), {{"Id", idDip}});
    const QString nome = q.next() ? (q.value(0).toString().trimmed() + QLatin1Char(' ') + q.value(1).toString().trimmed()).trimmed() : QString();
    m_nominativi.insert(idDip, nome);
    return nome;
}

// --- Column widths ----------------------------------------------------------------------

int TdtmPiano::Larghezza(int colonna) const
{
    return colonna >= 0 && colonna < NumColonnePiano ? m_dtm.cfg().LarghezzeColonne[size_t(colonna)] : 0;
}

void TdtmPiano::ImpostaLarghezza(int colonna, int larghezza)
{
    if (colonna >= 0 && colonna < NumColonnePiano)
        m_dtm.cfg().LarghezzeColonne[size_t(colonna)] = larghezza;
}

std::array<int, NumColonnePiano> TdtmPiano::Larghezze() const
{
    return m_dtm.cfg().LarghezzeColonne;
}

void TdtmPiano::SalvaLarghezze()
{
    FileIni& ini = m_dtm.ini();
    for (int c = 0; c < NumColonnePiano; ++c)
        ini.scriviIntero(Ini::Desktop, TPresenzeCfg::chiaveColonna(c), m_dtm.cfg().LarghezzeColonne[size_t(c)]);
}
