#include "tabellone.h"

#include "tabelle.h"
#include "tdtmpresenze.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

namespace Tabellone {

namespace {

constexpr int kGiorno = 86400;
// "End of day" is the day's 23:59, not its last second.
constexpr int kFineGiorno = kGiorno - 60;

const QChar kEntrata = QLatin1Char('E');
const QChar kUscita = QLatin1Char('U');
const QChar kGiornoA = QLatin1Char('A');

int secondiDi(const QTime& t)
{
    return t.hour() * 3600 + t.minute() * 60 + t.second();
}

// The minute of day of a moment, rounded to the nearest minute.
int minutoDi(int secondi)
{
    return int(std::lround((secondi % kGiorno) / 60.0));
}

// The punches are in time order: these return the index found, or -1.
int ultimaTra(const QList<TimbraturaTabellone>& t, int da, int a)
{
    for (qsizetype i = t.size() - 1; i >= 0; --i)
        if (t[i].secondi >= da && t[i].secondi <= a)
            return int(i);
    return -1;
}

int primaTra(const QList<TimbraturaTabellone>& t, int da, int a)
{
    for (qsizetype i = 0; i < t.size(); ++i)
        if (t[i].secondi >= da && t[i].secondi <= a)
            return int(i);
    return -1;
}

bool qualcunaDentro(const QList<TimbraturaTabellone>& t, int dopo, int prima)
{
    return std::any_of(t.begin(), t.end(), [&](const TimbraturaTabellone& x) { return x.secondi > dopo && x.secondi < prima; });
}

// Typical punches are in minute order.
const TimbraturaTipo* ultimaTipicaFinoA(const QList<TimbraturaTipo>& tt, int minuto)
{
    for (qsizetype i = tt.size() - 1; i >= 0; --i)
        if (tt[i].gio == kGiornoA && tt[i].ore <= minuto)
            return &tt[i];
    return nullptr;
}

const TimbraturaTipo* primaTipicaTra(const QList<TimbraturaTipo>& tt, int dopo, int prima)
{
    for (const TimbraturaTipo& x : tt)
        if (x.gio == kGiornoA && x.ore > dopo && x.ore < prima)
            return &x;
    return nullptr;
}

const TimbraturaTipo* primaTipica(const QList<TimbraturaTipo>& tt)
{
    for (const TimbraturaTipo& x : tt)
        if (x.gio == kGiornoA)
            return &x;
    return nullptr;
}

// Out at the reference time: does the timetable expect him in?
QString fuoriAllOra(bool conOrario, const QList<TimbraturaTipo>& tt, int minutoS)
{
    if (!conOrario)
        return kAssente;
    const TimbraturaTipo* x = ultimaTipicaFinoA(tt, minutoS);
    return x && x->verso == kEntrata ? kAssente : kFuoriOrario;
}

QString oraria(const ParametriTabellone& p, bool conOrario, const QList<TimbraturaTabellone>& t, const QList<TimbraturaTipo>& tt)
{
    const int S = kGiorno + secondiDi(p.Ora);
    const int mS = minutoDi(S);
    if (const int l = ultimaTra(t, kGiorno, S); l >= 0)
        return t[l].verso == kEntrata ? kPresente : fuoriAllOra(conOrario, tt, mS);
    if (const int y = ultimaTra(t, 0, kFineGiorno); y >= 0)
        return t[y].verso == kEntrata ? kPresente : fuoriAllOra(conOrario, tt, mS);
    const int dopo = primaTra(t, S, kGiorno + kFineGiorno);
    if (dopo < 0)
        return kAssente;
    if (t[dopo].verso == kUscita)
        return kPresente;
    if (!conOrario)
        return kAssente;
    const TimbraturaTipo* x = primaTipica(tt);
    if (!x)
        return kFuoriOrario;
    return x->ore < mS ? kAssente : kFuoriOrario;
}

QString perFascia(const ParametriTabellone& p, bool conOrario, const QList<TimbraturaTabellone>& t, const QList<TimbraturaTipo>& tt)
{
    const int S = kGiorno + secondiDi(p.Dalle);
    const int E = kGiorno + secondiDi(p.Alle);
    const int mS = minutoDi(S);
    const int mE = minutoDi(E);
    const bool dentro = qualcunaDentro(t, S, E);
    if (const int l = ultimaTra(t, kGiorno, S); l >= 0) {
        if (dentro)
            return kParziale;
        if (t[l].verso == kEntrata)
            return kPresente;
        if (!conOrario)
            return kAssente;
        const TimbraturaTipo* x = primaTipicaTra(tt, minutoDi(t[l].secondi), mE);
        if (!x)
            return kFuoriOrario;
        if (x->ore > mS)
            return kAssente;
        return x->verso == kUscita ? kFuoriOrario : kAssente;
    }
    if (const int y = ultimaTra(t, 0, kFineGiorno); y >= 0) {
        if (dentro)
            return kParziale;
        if (t[y].verso == kEntrata)
            return kPresente;
        if (!conOrario)
            return kAssente;
        // Any typical punch, of whatever day marker, between yesterday's last punch and the end.
        const int mY = minutoDi(t[y].secondi);
        const bool attesa = std::any_of(tt.begin(), tt.end(), [&](const TimbraturaTipo& x) { return x.ore > mY && x.ore < mE; });
        return attesa ? kAssente : kFuoriOrario;
    }
    for (const TimbraturaTabellone& x : t) {
        if (x.secondi <= S || x.secondi >= 2 * kGiorno)
            continue;
        if (x.secondi < E)
            return kParziale;
        if (x.verso == kUscita)
            return kPresente;
        break;
    }
    if (!conOrario)
        return kAssente;
    const TimbraturaTipo* x = primaTipica(tt);
    if (!x || x->ore < mE)
        return kAssente;
    return kFuoriOrario;
}

QString tabella()
{
    return QStringLiteral("':dbPresUt:TPresAss'");
}

QString nomeSelezione(const QString& selezione)
{
    return selezione.section(QLatin1Char('.'), 0, 0);
}

}  // namespace

QString Stato(const ParametriTabellone& p, const QString& modalTimbra, bool conOrario, const QList<TimbraturaTabellone>& timbrature,
              const QList<TimbraturaTipo>& tipiche)
{
    if (modalTimbra == QLatin1String("T"))
        return p.Fascia ? perFascia(p, conOrario, timbrature, tipiche) : oraria(p, conOrario, timbrature, tipiche);
    if (modalTimbra == QLatin1String("P")) {
        // One punch is enough: up to the time (hourly), or from midnight to the band's end.
        const int fine = kGiorno + secondiDi(p.Fascia ? p.Alle : p.Ora);
        const bool timbrato = std::any_of(timbrature.begin(), timbrature.end(), [&](const TimbraturaTabellone& x) {
            return p.Fascia ? x.secondi > kFineGiorno && x.secondi < fine : x.secondi >= kGiorno && x.secondi <= fine;
        });
        return timbrato ? kPresente : kNessunaTimbratura;
    }
    return kEsente;
}

bool ContaPresente(const QString& stato)
{
    return stato == kPresente || stato == kEsente;
}

int Costruisci(TdtmPresenze& dtm, const ParametriTabellone& p)
{
    Database& db = dtm.db();
    const QString tab = tabella();
    const QString src = p.Selezione.isEmpty() ? QStringLiteral("Anagrafico")
                                              : QStringLiteral("':dbPresUt:%1'").arg(nomeSelezione(p.Selezione));
    const QVariant dataRif = Sql::data(p.Data);
    Transazione tr(db);
    db.esegui(QStringLiteral("DELETE FROM %1").arg(tab));
    // One row per employee in scope: hired on or before the day and not dismissed before it,
    // with the profile valid on the day (the latest one begun by then, should two overlap).
    db.esegui(QStringLiteral("INSERT INTO %1 (Id, Matricola, Cognome, Nome, ModalTimbra, Stato, StatoEsteso, IdOrario, TipoG)\n"
                             "SELECT Src.Id, Src.Matricola, Src.Cognome, Src.Nome, Profilo.ModalTimbra, '', '', PianoSomma.IdOrario, ''\n"
                             "FROM %2 Src LEFT OUTER JOIN PianoSomma\n"
                             "  ON Src.Id = PianoSomma.IdDip AND PianoSomma.Data = :DataRif,\n"
                             "  Profilo\n"
                             "WHERE Src.Id = Profilo.IdUtilizzatore AND\n"
                             "  Profilo.DataAssunz <= :DataRif AND\n"
                             "  (Profilo.DataLicenz IS NULL OR Profilo.DataLicenz >= :DataRif) AND\n"
                             "  Profilo.DataInizio = (SELECT MAX(P2.DataInizio) FROM Profilo P2\n"
                             "    WHERE P2.IdUtilizzatore = Src.Id AND P2.DataInizio <= :DataRif AND\n"
                             "      (P2.DataFine IS NULL OR P2.DataFine >= :DataRif))")
                  .arg(tab, src),
              {{"DataRif", dataRif}});

    struct Dipendente {
        int id;
        QString modo;
        int orario;
        QList<TimbraturaTabellone> timbrature;
    };
    QList<Dipendente> dip;
    QHash<int, qsizetype> posizione;
    {
        QSqlQuery q = db.esegui(QStringLiteral("SELECT Id, ModalTimbra, IdOrario FROM %1").arg(tab));
        while (q.next()) {
            posizione.insert(q.value(0).toInt(), dip.size());
            dip.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).isNull() ? 0 : q.value(2).toInt(), {}});
        }
    }
    // The punches of the day and of the day before, through the key of each employee's punches.
    {
        const QDate ieri = p.Data.addDays(-1);
        QSqlQuery q = db.esegui(QStringLiteral("SELECT T.IdDip, T.DataV, T.VersoV FROM %1 P, Timbrature T\n"
                                               "WHERE T.IdDip = P.Id AND T.DataV >= :Da AND T.DataV < :A\n"
                                               "ORDER BY T.IdDip, T.DataV")
                                    .arg(tab),
                                {{"Da", Sql::data(ieri)}, {"A", Sql::data(p.Data.addDays(1))}});
        while (q.next()) {
            QDate giorno;
            int minuti = 0;
            const QString testo = q.value(1).toString();
            if (!Sql::scomponi(testo, &giorno, &minuti))
                continue;
            const int secondi = (giorno == ieri ? 0 : kGiorno) + minuti * 60 + (testo.size() >= 19 ? QStringView(testo).mid(17, 2).toInt() : 0);
            const QString verso = q.value(2).toString();
            if (const auto it = posizione.constFind(q.value(0).toInt()); it != posizione.constEnd())
                dip[*it].timbrature.append({secondi, verso.isEmpty() ? QChar() : verso.at(0)});
        }
    }
    QHash<int, QList<TimbraturaTipo>> tipiche;
    {
        QSqlQuery q = db.esegui(QStringLiteral("SELECT IdOrario, Verso, Ore, Gio FROM TimbTipo\n"
                                               "WHERE IdOrario IN (SELECT IdOrario FROM %1)\n"
                                               "ORDER BY IdOrario, Ore, Gio")
                                    .arg(tab));
        while (q.next()) {
            const QString verso = q.value(1).toString();
            const QString gio = q.value(3).toString();
            tipiche[q.value(0).toInt()].append(
                {verso.isEmpty() ? QChar() : verso.at(0), q.value(2).toInt(), gio.isEmpty() ? QChar() : gio.at(0)});
        }
    }
    {
        QSqlQuery upd = db.prepara(QStringLiteral("UPDATE %1 SET Stato = :Stato WHERE Id = :Id").arg(tab));
        for (const Dipendente& d : std::as_const(dip)) {
            upd.bindValue(QStringLiteral(":Stato"), Stato(p, d.modo, d.orario != 0, d.timbrature, tipiche.value(d.orario)));
            upd.bindValue(QStringLiteral(":Id"), d.id);
            Database::esegui(upd);
        }
    }
    if (p.Presenti && !p.Assenti)
        db.esegui(QStringLiteral("DELETE FROM %1 WHERE (Stato <> 'PR') AND (Stato <> 'ES')").arg(tab));
    else if (p.Assenti && !p.Presenti)
        db.esegui(QStringLiteral("DELETE FROM %1 WHERE (Stato = 'PR') OR (Stato = 'ES')").arg(tab));
    // The description in the user's language, else the Italian one every database holds.
    db.esegui(QStringLiteral("UPDATE %1 SET StatoEsteso = COALESCE(\n"
                             "  (SELECT Descr FROM Costanti1 WHERE Lingua = :Lingua AND NCampo = 'Attributo' AND ValCod = Stato),\n"
                             "  (SELECT Descr FROM Costanti1 WHERE Lingua = 'I' AND NCampo = 'Attributo' AND ValCod = Stato))")
                  .arg(tab),
              {{"Lingua", QString(dtm.cfg().Lingua)}});
    // Several justifications on one day: the smallest code.
    db.esegui(QStringLiteral("UPDATE %1 SET TipoG = (SELECT MIN(Giustif.TipoG) FROM Giustif WHERE Giustif.IdDip = Id AND Giustif.Data = :Data)")
                  .arg(tab),
              {{"Data", dataRif}});
    const int righe = db.valore(QStringLiteral("SELECT COUNT(*) FROM %1").arg(tab)).toInt();
    tr.conferma();
    return righe;
}

QStringList CampiIndice(const QString& campo)
{
    const Tabella* t = Schema::tabella(QStringLiteral("TPresAss"));
    const QString nome = QStringLiteral("IDX") + campo.toUpper();
    for (const Indice& i : t->indici)
        if (i.nome == nome)
            return i.campi;
    return {};
}

QList<RigaTabellone> Righe(TdtmPresenze& dtm, const QString& campo)
{
    QStringList ordine = CampiIndice(campo);
    if (ordine.isEmpty())
        ordine = CampiIndice(QStringLiteral("Matricola"));
    // Ties keep one order from run to run.
    ordine << QStringLiteral("Id");
    QSqlQuery q = dtm.db().esegui(
        QStringLiteral("SELECT Id, Matricola, Cognome, Nome, Stato, StatoEsteso, TipoG, ModalTimbra, IdOrario FROM %1 ORDER BY %2")
            .arg(tabella(), ordine.join(QStringLiteral(", "))));
    QList<RigaTabellone> r;
    while (q.next())
        r.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(), q.value(4).toString(),
                  q.value(5).toString(), q.value(6).toString(), q.value(7).toString(), q.value(8).isNull() ? 0 : q.value(8).toInt()});
    return r;
}

}  // namespace Tabellone
