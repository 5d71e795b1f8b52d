#include "tdtmorari.h"

#include "messaggi.h"

#include "database.h"
#include "tdtmpresenze.h"
#include "testiora.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>

namespace {

const QString kEntrata = QStringLiteral("E");
const QString kUscita = QStringLiteral("U");
const QString kStessoGiorno = QStringLiteral("A");
const QString kFasciaInizio = QStringLiteral("I");
const QString kFasciaDifetto = QStringLiteral("D");

// The three tables that name a timetable, in the order their use is checked, with the
// message that refuses the deletion.
struct Uso {
    const char* sql;
    int errore;
};
const Uso kUsi[] = {
    {"SELECT IdDaUsare FROM CompTurni WHERE IdDaUsare = :id", Msg::ErrOrarioInTurno},
    {"SELECT IdOrFestivo FROM Profilo WHERE IdOrFestivo = :id", Msg::ErrOrarioFestivo},
    {"SELECT IdOrario FROM PianoSomma WHERE IdOrario = :id", Msg::ErrOrarioInPiano},
};

std::optional<int> intero(const QString& testo)
{
    bool ok = false;
    const int n = testo.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

}  // namespace

int DatiOrario::MinimoStra() const
{
    return Fasce.size() >= 2 ? Fasce.at(1).Inizio : 0;
}

int DatiOrario::PassoStra() const
{
    if (Fasce.isEmpty())
        return 0;
    return (Fasce.size() >= 2 ? Fasce.at(1) : Fasce.at(0)).MinutiArrot.toInt();
}

TdtmOrari::TdtmOrari(TdtmPresenze& dtm, QObject* parent) : QObject(parent), m_dtm(dtm) {}

// --- Reading -------------------------------------------------------------------------------

QList<DatiOrario> TdtmOrari::leggi(const QVariant& id)
{
    Database& db = m_dtm.db();
    // All timetables, or the one of `id` when it is given.
    const auto leggiTabella = [&](const QString& colonne, const QString& tabella, const QString& colonnaId, const QString& ordine) {
        if (id.isNull())
            return db.esegui(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(colonne, tabella, ordine));
        return db.esegui(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = :id ORDER BY %4").arg(colonne, tabella, colonnaId, ordine),
                         {{"id", id}});
    };
    QList<DatiOrario> orari;
    QHash<int, qsizetype> posizione;
    QSqlQuery o = leggiTabella(QStringLiteral("Id, Descr, OreMedie, PrimaTimb, UltimaTimb, ChiusGio"), QStringLiteral("OrariRep"),
                               QStringLiteral("Id"), QStringLiteral("Descr, Id"));
    while (o.next()) {
        DatiOrario d;
        d.Id = o.value(0).toInt();
        d.Descr = o.value(1).toString();
        d.OreMedie = o.value(2).toInt();
        d.PrimaTimb = o.value(3).toInt();
        d.UltimaTimb = o.value(4).toInt();
        d.ChiusGio = o.value(5).toString();
        d.PassoEntrata.reset();
        d.PassoUscita.reset();
        d.Fasce.clear();
        posizione.insert(d.Id, orari.size());
        orari.append(d);
    }
    // The first row of a direction counts, as the window finds it by timetable and direction.
    QSqlQuery a = leggiTabella(QStringLiteral("IdOrario, ArrVerso, MinutiArrot"), QStringLiteral("ArroTim"), QStringLiteral("IdOrario"),
                               QStringLiteral("IdOrario, ArrVerso, Inizio"));
    while (a.next()) {
        const auto p = posizione.constFind(a.value(0).toInt());
        if (p == posizione.cend())
            continue;
        DatiOrario& d = orari[*p];
        const QString verso = a.value(1).toString();
        if (verso != kEntrata && verso != kUscita)
            continue;
        std::optional<int>& passo = verso == kEntrata ? d.PassoEntrata : d.PassoUscita;
        if (!passo)
            passo = a.value(2).isNull() ? 0 : a.value(2).toInt();
    }
    QSqlQuery s = leggiTabella(QStringLiteral("IdOrario, Inizio, Fine, TipoArrot, MinutiArrot"), QStringLiteral("ArroStra"),
                               QStringLiteral("IdOrario"), QStringLiteral("IdOrario, Inizio"));
    while (s.next()) {
        const auto p = posizione.constFind(s.value(0).toInt());
        if (p != posizione.cend())
            orari[*p].Fasce.append({s.value(1).toInt(), s.value(2).toInt(), s.value(3).toString(),
                                    s.value(4).isNull() ? QVariant() : QVariant(s.value(4).toInt())});
    }
    return orari;
}

QList<DatiOrario> TdtmOrari::Elenco()
{
    return leggi(QVariant());
}

std::optional<DatiOrario> TdtmOrari::Leggi(int id)
{
    const QList<DatiOrario> l = leggi(id);
    return l.isEmpty() ? std::nullopt : std::optional<DatiOrario>(l.first());
}

QList<CodiceDescr> TdtmOrari::Chiusure()
{
    QList<CodiceDescr> l;
    for (const CodiceDescr& c : m_dtm.Codici(QStringLiteral("Costanti4"), QStringLiteral("GioDescr"))) {
        const QString codice = c.codice.trimmed();
        if (std::none_of(l.cbegin(), l.cend(), [&](const CodiceDescr& x) { return x.codice == codice; }))
            l.append({c.descr, codice});
    }
    std::stable_sort(l.begin(), l.end(), [](const CodiceDescr& a, const CodiceDescr& b) { return a.descr < b.descr; });
    return l;
}

// --- Writing -------------------------------------------------------------------------------

int TdtmOrari::Registra(DatiOrario& orario)
{
    Database& db = m_dtm.db();
    const bool nuovo = orario.Id == 0;
    int id = orario.Id;
    {
        Transazione t(db);
        if (nuovo) {
            // Read inside the transaction, which holds the write lock: no other workstation
            // can take the same id meanwhile.
            id = m_dtm.NuovoId(QStringLiteral("OrariRep"));
            db.esegui(QStringLiteral("INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO, OreMedie, OreMinime, UsoPrior, NTimTipo, Mensa, "
                                     "PrimaTimb, UltimaTimb, ChiusGio) VALUES (:id, :descr, :cv, 'E', :medie, :minime, 'N', '0', 'A', "
                                     ":prima, :ultima, :chius)"),
                      {{"id", id},
                       {"descr", orario.Descr},
                       {"cv", QString::number(id)},
                       {"medie", orario.OreMedie},
                       {"minime", orario.OreMedie},
                       {"prima", orario.PrimaTimb},
                       {"ultima", orario.UltimaTimb},
                       {"chius", orario.ChiusGio}});
        } else {
            QSqlQuery u = db.esegui(QStringLiteral("UPDATE OrariRep SET Descr = :descr, OreMedie = :medie, OreMinime = :minime, "
                                                   "PrimaTimb = :prima, UltimaTimb = :ultima, ChiusGio = :chius WHERE Id = :id"),
                                    {{"descr", orario.Descr},
                                     {"medie", orario.OreMedie},
                                     {"minime", orario.OreMedie},
                                     {"prima", orario.PrimaTimb},
                                     {"ultima", orario.UltimaTimb},
                                     {"chius", orario.ChiusGio},
                                     {"id", id}});
            // Rules written for a timetable that another workstation deleted would belong
            // to nobody, and to the next timetable that takes the id.
            if (u.numRowsAffected() == 0)
                return Msg::ErrOrarioScomparso;
        }
        db.esegui(QStringLiteral("DELETE FROM ArroTim WHERE IdOrario = :id"), {{"id", id}});
        QSqlQuery r = db.prepara(QStringLiteral("INSERT INTO ArroTim (IdOrario, Inizio, Fine, ArrVerso, TipoArrot, MinutiArrot) "
                                                "VALUES (:id, 0, 1439, :verso, :tipo, :passo)"));
        // Entries round up and exits down, so rounding never adds working time.
        for (const auto& [verso, tipo, passo] : {std::tuple{kEntrata, QStringLiteral("E"), orario.PassoEntrata},
                                                 std::tuple{kUscita, QStringLiteral("D"), orario.PassoUscita}}) {
            r.bindValue(QStringLiteral(":id"), id);
            r.bindValue(QStringLiteral(":verso"), verso);
            r.bindValue(QStringLiteral(":tipo"), tipo);
            r.bindValue(QStringLiteral(":passo"), passo ? QVariant(*passo) : QVariant());
            Database::esegui(r);
        }
        db.esegui(QStringLiteral("DELETE FROM ArroStra WHERE IdOrario = :id"), {{"id", id}});
        // In order of Inizio: the engine takes the first band that covers the day's overtime.
        QSqlQuery f = db.prepara(QStringLiteral("INSERT INTO ArroStra (IdOrario, Inizio, Fine, TipoArrot, MinutiArrot) "
                                                "VALUES (:id, :inizio, :fine, :tipo, :passo)"));
        for (const FasciaStra& b : std::as_const(orario.Fasce)) {
            f.bindValue(QStringLiteral(":id"), id);
            f.bindValue(QStringLiteral(":inizio"), b.Inizio);
            f.bindValue(QStringLiteral(":fine"), b.Fine);
            f.bindValue(QStringLiteral(":tipo"), b.TipoArrot);
            f.bindValue(QStringLiteral(":passo"), b.MinutiArrot);
            Database::esegui(f);
        }
        t.conferma();
    }
    orario.Id = id;
    m_dtm.ArchivioCambiato(QStringLiteral("OrariRep"));
    return 0;
}

int TdtmOrari::Cancella(int id)
{
    Database& db = m_dtm.db();
    {
        // The checks run inside the deleting transaction, which holds the write lock: a
        // rotation or profile saved meanwhile on another workstation cannot slip in between.
        Transazione t(db);
        for (const Uso& u : kUsi)
            if (db.esisteRiga(QString::fromLatin1(u.sql), {{"id", id}}))
                return u.errore;
        // The typical punches go too: a later timetable that takes the same id must not
        // inherit them.
        for (const char* tabella : {"ArroStra", "ArroTim", "TimbTipo"})
            db.esegui(QStringLiteral("DELETE FROM %1 WHERE IdOrario = :id").arg(QLatin1String(tabella)), {{"id", id}});
        db.esegui(QStringLiteral("DELETE FROM OrariRep WHERE Id = :id"), {{"id", id}});
        t.conferma();
    }
    m_dtm.ArchivioCambiato(QStringLiteral("OrariRep"));
    return 0;
}

// --- The editor's rules --------------------------------------------------------------------

const QList<int>& TdtmOrari::PassiAccettati()
{
    // 20 divides an hour too, but was never offered: timetables are set in quarters and halves.
    static const QList<int> passi = {1, 2, 3, 4, 5, 6, 10, 12, 15, 30, 60};
    return passi;
}

bool TdtmOrari::PassoAccettato(int passo)
{
    return PassiAccettati().contains(passo);
}

std::optional<int> TdtmOrari::LeggiOrologio(const QString& testo)
{
    if (testo.size() != 5 || testo.at(2) != QLatin1Char(':'))
        return std::nullopt;
    for (int i : {0, 1, 3, 4})
        if (!testo.at(i).isDigit() || testo.at(i).unicode() > '9')
            return std::nullopt;
    const int ore = testo.mid(0, 2).toInt();
    const int minuti = testo.mid(3, 2).toInt();
    if (ore > 23 || minuti > 59)
        return std::nullopt;
    return ore * 60 + minuti;
}

QList<FasciaStra> TdtmOrari::FasceStraordinario(int minimo, int passo)
{
    if (minimo <= 0)
        return {{0, 1439, kFasciaDifetto, passo}};
    return {{0, minimo - 1, kFasciaInizio, QVariant()}, {minimo, 1439, kFasciaDifetto, passo}};
}

ValoriOrario TdtmOrari::ValoriPredefiniti(const QString& primaChiusura)
{
    DatiOrario d;
    d.ChiusGio = primaChiusura;
    return Valori(d);
}

ValoriOrario TdtmOrari::Valori(const DatiOrario& o)
{
    const auto passo = [](const std::optional<int>& p) { return p ? QString::number(*p) : QString(); };
    return {o.Descr,
            TestiOra::OrologioMinuti(o.OreMedie),
            TestiOra::OrologioMinuti(o.PrimaTimb),
            TestiOra::OrologioMinuti(o.UltimaTimb),
            o.ChiusGio,
            passo(o.PassoEntrata),
            passo(o.PassoUscita),
            QString::number(o.MinimoStra()),
            QString::number(o.PassoStra())};
}

VerificaOrario TdtmOrari::Controlla(const ValoriOrario& v)
{
    const auto rifiuta = [](int errore, CampoOrario campo) { return VerificaOrario{errore, campo, {}}; };
    VerificaOrario esito;
    DatiOrario& o = esito.orario;

    const std::optional<int> d = LeggiOrologio(v.OreMedie);
    if (!d)
        return rifiuta(Msg::ErrDatoMancante, CampoOrario::OreMedie);
    const std::optional<int> p = LeggiOrologio(v.Prima);
    if (!p)
        return rifiuta(Msg::ErrDatoMancante, CampoOrario::Prima);
    const std::optional<int> u = LeggiOrologio(v.Ultima);
    if (!u)
        return rifiuta(Msg::ErrDatoMancante, CampoOrario::Ultima);

    o.ChiusGio = v.ChiusGio.trimmed().isEmpty() ? kStessoGiorno : v.ChiusGio.trimmed();
    if (o.ChiusGio == kStessoGiorno) {
        if (*u < *p)
            return rifiuta(Msg::ErrUltimaTimbratura, CampoOrario::Prima);
        if (*u - *p < *d)
            return rifiuta(Msg::ErrFinestraCorta, CampoOrario::OreMedie);
    } else {
        // The window runs from p to u of the next day: a last minute later than the first
        // would make it longer than a day and take in two days' punches. Exactly 24 hours
        // (u = p) is a round-the-clock timetable.
        if (*u > *p)
            return rifiuta(Msg::ErrUltimaTimbratura, CampoOrario::Chiusura);
        if (*u + 1440 - *p < *d)
            return rifiuta(Msg::ErrFinestraCorta, CampoOrario::OreMedie);
    }

    o.PassoEntrata = intero(v.PassoEntrata);
    if (!o.PassoEntrata || !PassoAccettato(*o.PassoEntrata))
        return rifiuta(Msg::ErrDatoMancante, CampoOrario::PassoEntrata);
    o.PassoUscita = intero(v.PassoUscita);
    if (!o.PassoUscita || !PassoAccettato(*o.PassoUscita))
        return rifiuta(Msg::ErrDatoMancante, CampoOrario::PassoUscita);

    if (v.Descr.trimmed().isEmpty())
        return rifiuta(Msg::ErrDatoMancante, CampoOrario::Descr);

    // An overtime step that is not a number has always been taken as 1.
    const int passoStra = intero(v.PassoStra).value_or(1);
    if (!PassoAccettato(passoStra))
        return rifiuta(Msg::ErrDatoMancante, CampoOrario::PassoStra);
    const std::optional<int> minimo = intero(v.MinimoStra);
    if (!minimo || *minimo < 0 || *minimo > 1439)
        return rifiuta(Msg::ErrDatoMancante, CampoOrario::MinimoStra);

    o.Descr = v.Descr;
    o.OreMedie = *d;
    o.PrimaTimb = *p;
    o.UltimaTimb = *u;
    o.Fasce = FasceStraordinario(*minimo, passoStra);
    return esito;
}
