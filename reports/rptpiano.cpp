#include "rptpiano.h"

#include "messaggi.h"

#include "anomaliegiorno.h"
#include "database.h"
#include "dialetto.h"
#include "tdtmpresenze.h"
#include "testiora.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlQuery>

namespace Stampa {

namespace {

const QString kFormatoData = QStringLiteral("dd/MM/yyyy");

struct Dipendente {
    int id = 0;
    QString cognome, nome, matricola;
};

struct GiornoPiano {
    QDate data;
    QVariant ordinario, eccedenza, presenza, carenza;
    QString note, orario, stato;
};

QString nomeTabella(const QString& tabella)
{
    return tabella.section(QLatin1Char('.'), 0, 0);
}

// The selection's table and database are spelled into the statements, so only plain names
// and the two database aliases are accepted.
void controllaSelezione(const SelezioneStampa& sel)
{
    static const QRegularExpression nome(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const bool db = sel.database.compare(QLatin1String("dbPresenze"), Qt::CaseInsensitive) == 0
        || sel.database.compare(QLatin1String("dbPresUt"), Qt::CaseInsensitive) == 0;
    if (!db || !nome.match(nomeTabella(sel.tabella)).hasMatch())
        throw ErroreDb(QStringLiteral("Tabella di selezione non valida: %1:%2").arg(sel.database, sel.tabella));
}

// Weekday as the reports show it: the first two letters of a fixed Italian table.
QString giornoSettimana(const QDate& d)
{
    static const QStringList nomi = {QStringLiteral("Domenica"),  QStringLiteral("Lunedì"),  QStringLiteral("Martedì"),
                                     QStringLiteral("Mercoledì"), QStringLiteral("Giovedì"), QStringLiteral("Venerdì"),
                                     QStringLiteral("Sabato")};
    return nomi.at(d.dayOfWeek() % 7).left(2);
}

QString intestazioneDipendente(const Dipendente& d)
{
    return QStringLiteral("Dipendente ") + d.cognome + QLatin1Char(' ') + d.nome + QStringLiteral("    ") + d.matricola;
}

int minuti(const QVariant& v)
{
    return v.isNull() ? 0 : v.toInt();
}

// Reads the selection, the work-plan days and the punches with statements prepared once
// for the whole report.
class LettorePiano {
public:
    LettorePiano(TdtmPresenze& dtm, const ParametriPiano& par, bool soloAnomalie, bool originali)
        : m_dtm(dtm), m_par(par)
    {
        const QString piano = QStringLiteral(
            "SELECT IdDip, Data, IdOrario, ValOrdinario, ValEccedenza, ValPresenza, ValCarenza, Note,\n"
            "       OrariRep.Descr, Costanti3.Descr\n"
            "  FROM Costanti3, PianoSomma LEFT OUTER JOIN OrariRep ON PianoSomma.IdOrario = OrariRep.Id\n"
            "  WHERE PianoSomma.IdDip = :IdDipCorr AND PianoSomma.Data >= :DataIniz AND PianoSomma.Data < :DataFine AND\n"
            "%1"
            "        CAST(PianoSomma.Stato AS VARCHAR(2)) = Costanti3.ValCod AND Costanti3.NCampo = 'StatoRid' AND Costanti3.Lingua = :LinguaCorr\n"
            "  ORDER BY PianoSomma.IdDip, PianoSomma.Data");
        m_giorni = dtm.db().prepara(piano.arg(soloAnomalie ? QStringLiteral("        PianoSomma.Stato = 2 AND\n") : QString()));
        // One statement per employee and period instead of one per day: a punch belongs to
        // the day of its (valid or original) time, as in the day-by-day reading.
        const QString campo = originali ? QStringLiteral("DataO") : QStringLiteral("DataV");
        const QString verso = originali ? QStringLiteral("VersoO") : QStringLiteral("VersoV");
        m_timbrature = dtm.db().prepara(QStringLiteral("SELECT ALL %1, %2 FROM Timbrature\n"
                                                       "  WHERE IdDip = :IdDipCorr AND\n"
                                                       "        %1 IS NOT NULL AND\n"
                                                       "        %1 >= :DataInizio AND\n"
                                                       "        %1 < :DataFine\n"
                                                       "  ORDER BY %1")
                                            .arg(campo, verso));
    }

    QList<Dipendente> dipendenti()
    {
        const SelezioneStampa& sel = m_par.selezione;
        controllaSelezione(sel);
        QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Id, Cognome, Nome, Matricola FROM ':%1:%2'\n  ORDER BY %3")
                                            .arg(sel.database, nomeTabella(sel.tabella), OrdineSelezione(sel.ordine)));
        QList<Dipendente> out;
        while (q.next())
            out.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()});
        return out;
    }

    QList<GiornoPiano> giorni(int idDip)
    {
        m_giorni.bindValue(QStringLiteral(":IdDipCorr"), idDip);
        m_giorni.bindValue(QStringLiteral(":DataIniz"), Sql::data(m_par.dal));
        m_giorni.bindValue(QStringLiteral(":DataFine"), Sql::data(m_par.al.addDays(1)));
        m_giorni.bindValue(QStringLiteral(":LinguaCorr"), QString(m_dtm.cfg().Lingua));
        Database::esegui(m_giorni);
        QList<GiornoPiano> out;
        while (m_giorni.next()) {
            GiornoPiano g;
            g.data = Sql::leggiData(m_giorni.value(1));
            g.ordinario = m_giorni.value(3);
            g.eccedenza = m_giorni.value(4);
            g.presenza = m_giorni.value(5);
            g.carenza = m_giorni.value(6);
            g.note = m_giorni.value(7).toString();
            g.orario = m_giorni.value(8).toString();
            g.stato = m_giorni.value(9).toString();
            out.append(g);
        }
        m_giorni.finish();
        return out;
    }

    // The recorded anomalies of every day of the period that has some, one text per day.
    QHash<QDate, QString> anomalie(int idDip)
    {
        QHash<QDate, QString> out;
        const QHash<QDate, QList<AnomaliaGiorno>> a = AnomalieGiorno::Leggi(m_dtm.db(), idDip, m_par.dal, m_par.al);
        for (auto it = a.cbegin(); it != a.cend(); ++it)
            out.insert(it.key(), AnomalieGiorno::Testi(it.value()).join(QStringLiteral("; ")));
        return out;
    }

    // Uncut punch text of every day of the period that has punches.
    QHash<QDate, QString> timbrature(int idDip)
    {
        m_timbrature.bindValue(QStringLiteral(":IdDipCorr"), idDip);
        m_timbrature.bindValue(QStringLiteral(":DataInizio"), Sql::data(m_par.dal));
        m_timbrature.bindValue(QStringLiteral(":DataFine"), Sql::data(m_par.al.addDays(1)));
        Database::esegui(m_timbrature);
        const QString entrata = m_dtm.mem().LetteraE;
        const QString uscita = m_dtm.mem().LetteraU;
        QHash<QDate, QString> out;
        while (m_timbrature.next()) {
            const QDateTime quando = Sql::leggiDataOra(m_timbrature.value(0));
            const bool e = m_timbrature.value(1).toString() == QLatin1String("E");
            out[quando.date()] += (e ? entrata : uscita) + TestiOra::FormatoOra(QLatin1Char(':'), quando.time()) + QLatin1Char(' ');
        }
        m_timbrature.finish();
        return out;
    }

private:
    TdtmPresenze& m_dtm;
    const ParametriPiano& m_par;
    QSqlQuery m_giorni;
    QSqlQuery m_timbrature;
};

// Date, weekday, state and timetable: the first cells of a day line.
QStringList inizioRiga(const GiornoPiano& g)
{
    return {g.data.toString(kFormatoData), giornoSettimana(g.data), g.stato.left(7), g.orario.left(6)};
}

enum class Genere { Dettaglio, Note, Anomalie };

QList<ColonnaStampa> colonneDettaglio(Genere genere)
{
    QList<ColonnaStampa> c = {{QStringLiteral("Data"), 12},
                              {QString(), 4},
                              {QStringLiteral("Stato"), 8},
                              {QStringLiteral("Orario"), 7}};
    if (genere != Genere::Dettaglio) {
        c << ColonnaStampa{QStringLiteral("Timbrature"), 58, false, true} << ColonnaStampa{QStringLiteral("Ord"), 6, true}
          << ColonnaStampa{QStringLiteral("Stra"), 6, true} << ColonnaStampa{QStringLiteral("Pres"), 6, true}
          << ColonnaStampa{QStringLiteral("Ass"), 6, true} << ColonnaStampa{QStringLiteral("Note"), 46};
        if (genere == Genere::Anomalie) {
            // The line keeps the notes report's width: the note shares its room with the
            // anomalies, and both wrap inside their cells rather than push the punches out.
            c.last().larghezza = 21;
            c << ColonnaStampa{QStringLiteral("Anomalie"), 25};
        }
    } else {
        c << ColonnaStampa{QStringLiteral("Timbrature"), 72, false, true} << ColonnaStampa{QStringLiteral("Ordinari"), 9, true}
          << ColonnaStampa{QStringLiteral("Straordinari"), 12, true} << ColonnaStampa{QStringLiteral("Presenza"), 9, true}
          << ColonnaStampa{QStringLiteral("Assenze"), 9, true};
    }
    return c;
}

// The detail, notes and anomalies reports differ in columns, punch width, page breaks and
// the totals line; the walk is the same.
DocumentoStampa giornaliero(TdtmPresenze& dtm, const ParametriPiano& par, Genere genere, bool originali)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(dtm, par.titolo, true);
    doc.selezione = par.rigaSelezione;
    doc.colonne = colonneDettaglio(genere);
    const int larghezza = genere == Genere::Dettaglio ? 69 : 55;
    const bool anomalie = genere == Genere::Anomalie;

    LettorePiano lettore(dtm, par, anomalie, originali);
    for (const Dipendente& dip : lettore.dipendenti()) {
        const QList<GiornoPiano> giorni = lettore.giorni(dip.id);
        if (giorni.isEmpty())
            continue;
        const QHash<QDate, QString> timb = lettore.timbrature(dip.id);
        const QHash<QDate, QString> perche = anomalie ? lettore.anomalie(dip.id) : QHash<QDate, QString>();
        doc.aggiungiGruppo(intestazioneDipendente(dip), !anomalie);
        int ordinario = 0, eccedenza = 0, carenza = 0;
        for (const GiornoPiano& g : giorni) {
            QStringList celle = inizioRiga(g);
            celle << TagliaTimbrature(timb.value(g.data), larghezza) << OreGiorno(g.ordinario) << OreGiorno(g.eccedenza)
                  << OreGiorno(g.presenza) << OreGiorno(g.carenza);
            if (genere != Genere::Dettaglio)
                celle << g.note.left(50);
            if (anomalie)
                celle << perche.value(g.data);
            doc.aggiungiRiga(celle);
            ordinario += minuti(g.ordinario);
            eccedenza += minuti(g.eccedenza);
            carenza += minuti(g.carenza);
        }
        if (!anomalie)
            doc.aggiungiTotale({QStringLiteral("Totale Ore Ordinarie"), TestiOra::MinutiInOre(ordinario, QLatin1Char('.'), 0),
                                QStringLiteral("Totale Ore Straordinarie"), TestiOra::MinutiInOre(eccedenza, QLatin1Char('.'), 0),
                                QStringLiteral("Totale Ore Assenza"), TestiOra::MinutiInOre(carenza, QLatin1Char('.'), 0)});
    }
    return doc;
}

}  // namespace

bool PeriodoTroppoLungo(int codice, const QDate& dal, const QDate& al)
{
    const bool limitato = codice == kDettaglio || codice == kNoteOriginali || codice == kNoteValide;
    return limitato && dal.daysTo(al) > 30;
}

QString RigaSelezionePiano(TdtmPresenze& dtm, const QDate& dal, const QDate& al)
{
    return dtm.TestoScelta(Msg::SclPeriodoDal) + QLatin1Char(' ') + dal.toString(kFormatoData) + QStringLiteral("   ") + dtm.TestoScelta(Msg::SclAl)
        + QLatin1Char(' ') + al.toString(kFormatoData);
}

QString OrdineSelezione(const QString& ordine)
{
    if (ordine.compare(QLatin1String("Matricola"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Matricola, Id");
    if (ordine.compare(QLatin1String("Libero"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Libero, Id");
    return QStringLiteral("Cognome, Nome, Id");
}

QString QueryTotali(const QString& tabella, const QString& database)
{
    const QString t = nomeTabella(tabella);
    const QString d = database;
    return QStringList{
        QStringLiteral("SELECT ") + t + QStringLiteral(".Id, ") + t + QStringLiteral(".Matricola,"),
        t + QStringLiteral(".Cognome, ") + t + QStringLiteral(".Nome,"),
        QStringLiteral("  Badge.Codice, PianoSomma.IdDip, PianoSomma.Data,"),
        QStringLiteral("  PianoSomma.ValOrdinario, PianoSomma.ValEccedenza,"),
        QStringLiteral("  PianoSomma.ValPresenza, PianoSomma.ValCarenza"),
        QStringLiteral("    FROM ':") + d + QLatin1Char(':') + t + QStringLiteral("', Badge,"),
        QStringLiteral("         PianoSomma WHERE"),
        t + QStringLiteral(".Id = Badge.IdUtilizzatore AND"),
        t + QStringLiteral(".Id = PianoSomma.IdDip AND"),
        QStringLiteral("    PianoSomma.Data >= :DataIniz AND"),
        QStringLiteral("    PianoSomma.Data < :DataFine"),
        QStringLiteral("    ORDER BY ") + t + QStringLiteral(".Cognome, ") + t + QStringLiteral(".Nome,")
            + QStringLiteral("PianoSomma.IdDip, PianoSomma.Data"),
    }.join(QLatin1Char('\n'));
}

QString TagliaTimbrature(const QString& testo, int larghezza)
{
    if (testo.size() < larghezza + 2)
        return testo.left(larghezza);
    return testo.left(larghezza) + QStringLiteral(" *");
}

QString OreGiorno(const QVariant& valore)
{
    if (valore.isNull() || valore.toInt() < 1)
        return {};
    return TestiOra::MinutiInOrario(valore.toInt(), QLatin1Char('.'));
}

SelezioneStampa SelezioneDipendenti(TdtmPresenze& dtm, const QList<int>& ids)
{
    Database& db = dtm.db();
    Transazione t(db);
    db.esegui(QStringLiteral("DELETE FROM ':dbPresUt:SelezioneStampa'"));
    QSqlQuery ins = db.prepara(QStringLiteral(
        "INSERT INTO ':dbPresUt:SelezioneStampa' (Id, Matricola, Cognome, Nome, Libero, Classe)\n"
        "  SELECT Id, Matricola, Cognome, Nome, Libero, Classe FROM Anagrafico\n"
        "  WHERE Id = :Id AND NOT EXISTS (SELECT 1 FROM ':dbPresUt:SelezioneStampa' WHERE Id = :IdPresente)"));
    for (int id : ids) {
        ins.bindValue(QStringLiteral(":Id"), id);
        ins.bindValue(QStringLiteral(":IdPresente"), id);
        Database::esegui(ins);
    }
    t.conferma();
    return {QStringLiteral("SelezioneStampa"), QStringLiteral("dbPresUt"), QStringLiteral("Cognome;Nome")};
}

std::optional<DocumentoStampa> DocumentoPiano(TdtmPresenze& dtm, int codice, const ParametriPiano& par)
{
    switch (codice) {
    case kTimbOriginali: return TrptPLTimb(dtm, true).Crea(par);
    case kTimbValide: return TrptPLTimb(dtm, false).Crea(par);
    case kDettaglio: return TrptPLDett(dtm).Crea(par);
    case kNoteOriginali: return TrptPLNote(dtm, true).Crea(par);
    case kNoteValide: return TrptPLNote(dtm, false).Crea(par);
    case kTotali: return TrptPLTot(dtm).Crea(par);
    case kAnomalie: return TrptPLAnom(dtm).Crea(par);
    default: return std::nullopt;
    }
}

}  // namespace Stampa

DocumentoStampa TrptPLTimb::Crea(const ParametriPiano& par)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_dtm, par.titolo, true);
    doc.selezione = par.rigaSelezione;
    doc.colonne = {{QStringLiteral("Data"), 12}, {QString(), 4}, {QStringLiteral("Timbrature"), 128, false, true}};
    Stampa::LettorePiano lettore(m_dtm, par, false, m_originali);
    for (const Stampa::Dipendente& dip : lettore.dipendenti()) {
        const QList<Stampa::GiornoPiano> giorni = lettore.giorni(dip.id);
        if (giorni.isEmpty())
            continue;
        const QHash<QDate, QString> timb = lettore.timbrature(dip.id);
        doc.aggiungiGruppo(Stampa::intestazioneDipendente(dip), true);
        for (const Stampa::GiornoPiano& g : giorni)
            doc.aggiungiRiga({g.data.toString(Stampa::kFormatoData), Stampa::giornoSettimana(g.data),
                              Stampa::TagliaTimbrature(timb.value(g.data), 125)});
    }
    return doc;
}

DocumentoStampa TrptPLDett::Crea(const ParametriPiano& par)
{
    return Stampa::giornaliero(m_dtm, par, Stampa::Genere::Dettaglio, true);
}

DocumentoStampa TrptPLNote::Crea(const ParametriPiano& par)
{
    return Stampa::giornaliero(m_dtm, par, Stampa::Genere::Note, m_originali);
}

DocumentoStampa TrptPLAnom::Crea(const ParametriPiano& par)
{
    return Stampa::giornaliero(m_dtm, par, Stampa::Genere::Anomalie, true);
}

DocumentoStampa TrptPLTot::Crea(const ParametriPiano& par)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_dtm, par.titolo, true);
    doc.selezione = par.rigaSelezione;
    doc.colonne = {{QStringLiteral("Matricola"), 11},         {QStringLiteral("Dipendente"), 40},
                   {QStringLiteral("Badge"), 11},             {QStringLiteral("Ore Ordinarie"), 13, true},
                   {QStringLiteral("Ore Straordinarie"), 16, true}, {QStringLiteral("Ore Presenza"), 13, true},
                   {QStringLiteral("Ore Assenza"), 12, true}};
    Stampa::controllaSelezione(par.selezione);
    QSqlQuery q = m_dtm.db().esegui(Stampa::QueryTotali(par.selezione.tabella, par.selezione.database),
                                    {{"DataIniz", Sql::data(par.dal)}, {"DataFine", Sql::data(par.al.addDays(1))}});
    const auto ore = [](int m) { return TestiOra::MinutiInOre(m, QLatin1Char('.'), 2); };
    std::array<int, 4> totali{};
    std::array<int, 4> somme{};
    QVariant idCorrente;
    QStringList dati;
    const auto chiudi = [&] {
        if (idCorrente.isNull())
            return;
        doc.aggiungiRiga(dati + QStringList{ore(somme[0]), ore(somme[1]), ore(somme[2]), ore(somme[3])});
        for (int i = 0; i < 4; ++i)
            totali[i] += somme[i];
    };
    while (q.next()) {
        if (q.value(0) != idCorrente) {
            chiudi();
            idCorrente = q.value(0);
            dati = {q.value(1).toString(), q.value(2).toString() + QLatin1Char(' ') + q.value(3).toString(), q.value(4).toString()};
            somme = {};
        }
        for (int i = 0; i < 4; ++i)
            somme[i] += Stampa::minuti(q.value(7 + i));
    }
    chiudi();
    doc.aggiungiTotale({QStringLiteral("Totale Ore Ordinarie"), ore(totali[0]), QStringLiteral("Totale Ore Straordinarie"),
                        ore(totali[1]), QStringLiteral("Totale Ore Presenza"), ore(totali[2]), QStringLiteral("Totale Ore Assenza"),
                        ore(totali[3])});
    return doc;
}
