#include "rptpreass.h"

#include "messaggi.h"
#include "tdtmpresenze.h"
#include "testiora.h"

#include <QSqlQuery>

namespace {
constexpr int kLunghezza = 76;
const QChar kSeparatoreOra = QLatin1Char(':');
}  // namespace

QString TrptPreAss::Taglia(const QString& testo)
{
    return testo.size() < kLunghezza + 2 ? testo.left(kLunghezza) : testo.left(kLunghezza) + QStringLiteral(" *");
}

QString TrptPreAss::TestoTimbrature(int idDip, const QDate& giorno)
{
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT ALL DataV, VersoV FROM Timbrature\n"
                                                   "  WHERE IdDip = :IdDipCorr AND\n"
                                                   "        DataV >= :DataInizio AND\n"
                                                   "        DataV < :DataFine\n"
                                                   "  ORDER BY DataV"),
                                    {{"IdDipCorr", idDip}, {"DataInizio", Sql::data(giorno)}, {"DataFine", Sql::data(giorno.addDays(1))}});
    QString t;
    while (q.next()) {
        t += q.value(1).toString() == QLatin1String("E") ? m_dtm.mem().LetteraE : m_dtm.mem().LetteraU;
        t += TestiOra::FormatoOra(kSeparatoreOra, Sql::leggiDataOra(q.value(0)).time()) + QLatin1Char(' ');
    }
    return Taglia(t);
}

DocumentoStampa TrptPreAss::Crea(const QString& descrizione, const ParametriTabellone& p, const QList<RigaTabellone>& righe)
{
    using namespace Msg;
    const auto ora = [](const QTime& t) { return TestiOra::FormatoOra(kSeparatoreOra, t); };
    DocumentoStampa doc = Stampa::NuovoDocumento(
        m_dtm, descrizione + QLatin1Char(' ') + m_dtm.TestoScelta(EtDel) + QLatin1Char(' ') + p.Data.toString(QStringLiteral("dd/MM/yyyy")), true);
    doc.selezione = p.Fascia ? m_dtm.TestoScelta(EtFasciaDalle) + QLatin1Char(' ') + ora(p.Dalle) + QLatin1Char(' ') +
                                   m_dtm.TestoScelta(EtFasciaAlle) + QLatin1Char(' ') + ora(p.Alle)
                             : m_dtm.TestoScelta(EtSituazioneAlle) + QLatin1Char(' ') + ora(p.Ora);
    doc.colonne = {{QStringLiteral("Matricola"), 10},
                   {QStringLiteral("Dipendente"), 30},
                   {QStringLiteral("Stato"), 22},
                   {QStringLiteral("Timbrature"), 78, false, true}};
    int presenti = 0;
    for (const RigaTabellone& r : righe) {
        if (r.Stato == Tabellone::kPresente)
            ++presenti;
        doc.aggiungiRiga({r.Matricola, r.Dipendente(), r.StatoEsteso, TestoTimbrature(r.Id, p.Data)});
    }
    if (!righe.isEmpty())
        doc.aggiungiTotale({QStringLiteral("Totale Dipendenti Selezionati"), QString::number(righe.size()),
                            QStringLiteral("Totale Dipendenti Presenti"), QString::number(presenti),
                            QStringLiteral("Totale Dipendenti Assenti"), QString::number(righe.size() - presenti)});
    return doc;
}
