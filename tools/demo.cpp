#include "demo.h"

#include "database.h"
#include "festivita.h"
#include "tdtmpresenze.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <QTime>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// splitmix64: the sequence depends on the seed alone, on every compiler and library,
// which the standard distributions do not promise.
class Casuale {
public:
    explicit Casuale(quint64 seme) : m_stato(seme) {}
    quint64 prossimo()
    {
        quint64 z = (m_stato += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int tra(int minimo, int massimo) { return minimo + int(prossimo() % quint64(massimo - minimo + 1)); }
    bool evento(int permille) { return tra(0, 999) < permille; }

private:
    quint64 m_stato;
};

// An employee's own stream: his data and punches do not change when the company grows.
quint64 semeDi(quint32 seme, int n)
{
    return Casuale((quint64(seme) << 32) ^ quint64(n) * 0xD1B54A32D192ED03ull).prossimo();
}

// ---------------------------------------------------------------------------------------
// Timetables

enum Orario { Giornaliero, PartTime, Notte, Mattino, Pomeriggio, Riposo, SmontoNotte, Festivo, NumOrari };

struct TimbraturaTipica {
    char verso;
    int ore;
    char gio;  // "A" the timetable's own day, "S" the following one
};

struct DefOrario {
    const char* descr;
    int oreMedie;
    int prima, ultima;  // punch window
    char chiusura;      // "A" same day, "S" next day (the "GioDescr" codes)
    int passoEntrata, passoUscita;
    int minimoStra, passoStra;
    std::vector<TimbraturaTipica> tipiche;
    // How the staff actually works it: start and end (past 1440 for a night), lunch break
    // (-1: none) and the longest overtime whose exit still falls inside the punch window.
    int inizio, fine, pausaDa, pausaA, straMax;
};

// Windows are wide enough for early arrivals and two hours of overtime. The night window
// ends at 09:00 of the next day and "Smonto notte" (the day after the last night) opens
// only at 10:00, so a night's exit is never also read as a punch of the following day.
// The afternoon shift allows 90 minutes of overtime so that its exit stays before midnight.
const DefOrario kOrari[NumOrari] = {
    {"Giornaliero 08:00-17:00", 480, 360, 1320, 'A', 15, 15, 30, 15,
     {{'E', 480, 'A'}, {'U', 720, 'A'}, {'E', 780, 'A'}, {'U', 1020, 'A'}}, 480, 1020, 720, 780, 120},
    {"Part-time mattino 08:30-12:30", 240, 360, 1200, 'A', 15, 15, 15, 15, {{'E', 510, 'A'}, {'U', 750, 'A'}}, 510, 750, -1, -1, 120},
    {"Notte 22:00-06:00", 480, 1200, 540, 'S', 5, 5, 30, 15, {{'E', 1320, 'A'}, {'U', 360, 'S'}}, 1320, 1800, -1, -1, 120},
    {"Turno mattino 06:00-14:00", 480, 240, 1200, 'A', 5, 5, 30, 15, {{'E', 360, 'A'}, {'U', 840, 'A'}}, 360, 840, -1, -1, 120},
    {"Turno pomeriggio 14:00-22:00", 480, 720, 1439, 'A', 5, 5, 30, 15, {{'E', 840, 'A'}, {'U', 1320, 'A'}}, 840, 1320, -1, -1, 90},
    {"Riposo", 0, 0, 1439, 'A', 15, 15, 0, 15, {}, 0, 0, -1, -1, 0},
    {"Smonto notte", 0, 600, 1439, 'A', 15, 15, 0, 15, {}, 0, 0, -1, -1, 0},
    {"Festivo", 0, 0, 1439, 'A', 15, 15, 0, 15, {}, 0, 0, -1, -1, 0},
};

// ---------------------------------------------------------------------------------------
// Rotations: the engine picks the day by weekday alone, so a crew that alternates mornings
// and afternoons week by week cannot be one rotation; the two crews are two rotations.

enum Rotazione { Ufficio, SettPartTime, SquadraMattino, SquadraPomeriggio, Notti, NumRotazioni };

struct DefTurno {
    const char* descr;
    Orario giorni[7];  // Sunday first, as NumOrd
    // Night crews keep working on holidays (continuous production): they get no holiday
    // timetable, which also keeps a night's morning exit out of a holiday's punch window.
    bool conFestivo;
};

const DefTurno kTurni[NumRotazioni] = {
    {"Settimana ufficio lun-ven", {Riposo, Giornaliero, Giornaliero, Giornaliero, Giornaliero, Giornaliero, Riposo}, true},
    {"Part-time mattino lun-ven", {Riposo, PartTime, PartTime, PartTime, PartTime, PartTime, Riposo}, true},
    {"Due turni - squadra mattino", {Riposo, Mattino, Mattino, Mattino, Mattino, Mattino, Riposo}, true},
    {"Due turni - squadra pomeriggio", {Riposo, Pomeriggio, Pomeriggio, Pomeriggio, Pomeriggio, Pomeriggio, Riposo}, true},
    {"Notti da domenica a giovedì", {Notte, Notte, Notte, Notte, Notte, SmontoNotte, Riposo}, false},
};

// ---------------------------------------------------------------------------------------
// Organisation

struct Unita {
    const char* descr;
    int padre;  // index in the same list, -1: under the root
};

const Unita kReparti[] = {
    {"Produzione", -1},            // 0
    {"Reparto Stampaggio", 0},     // 1
    {"Reparto Lavorazioni meccaniche", 0},  // 2
    {"Reparto Montaggio", 0},      // 3
    {"Reparto Verniciatura", 0},   // 4
    {"Manutenzione", 0},           // 5
    {"Logistica", -1},             // 6
    {"Magazzino", 6},              // 7
    {"Spedizioni", 6},             // 8
    {"Qualità", -1},               // 9
    {"Controllo qualità", 9},      // 10
    {"Ufficio tecnico", -1},       // 11
    {"Amministrazione", -1},       // 12
    {"Contabilità", 12},           // 13
    {"Risorse umane", 12},         // 14
    {"Commerciale", -1},           // 15
    {"Acquisti", 15},              // 16
    {"Vendite", 15},               // 17
};
constexpr int kNumReparti = int(std::size(kReparti));
// Production and logistics use the gate by the shop floor; everyone else the office one.
bool repartoProduttivo(int reparto) { return reparto <= 8; }

const Unita kQualifiche[] = {
    {"Operaio", -1},                // 0
    {"Operaio comune", 0},          // 1
    {"Operaio qualificato", 0},     // 2
    {"Operaio specializzato", 0},   // 3
    {"Impiegato", -1},              // 4
    {"Impiegato d'ordine", 4},      // 5
    {"Impiegato di concetto", 4},   // 6
    {"Quadro", -1},                 // 7
};

// Grades of the engineering workers' contract, two plausible ones per qualification.
const char* const kLivelli[][2] = {
    {"Livello D1", "Livello D1"}, {"Livello D1", "Livello D2"}, {"Livello C1", "Livello C2"}, {"Livello C3", "Livello B1"},
    {"Livello C2", "Livello C2"}, {"Livello C2", "Livello C3"}, {"Livello B1", "Livello B2"}, {"Livello A1", "Livello A1"},
};

struct Posto {
    int reparto;
    int qualifica;
    int peso;
};

const std::vector<Posto> kPosti[NumRotazioni] = {
    // Day timetable: day workers on the shop floor and every office.
    {{3, 1, 10}, {3, 2, 8}, {5, 3, 5}, {5, 2, 2}, {7, 1, 5}, {7, 2, 3}, {8, 1, 4}, {8, 5, 2}, {10, 2, 3}, {10, 6, 3},
     {11, 6, 7}, {13, 5, 3}, {13, 6, 3}, {14, 5, 2}, {14, 6, 2}, {16, 6, 3}, {17, 5, 2}, {17, 6, 4}, {0, 7, 2}, {6, 7, 1},
     {9, 7, 1}, {11, 7, 1}, {12, 7, 1}, {15, 7, 1}},
    // Part-time mornings: mostly clerks.
    {{13, 5, 4}, {14, 5, 3}, {17, 5, 3}, {16, 5, 2}, {8, 1, 2}, {10, 2, 1}},
    // The two shift crews: the production lines and the warehouse that feeds them.
    {{1, 1, 6}, {1, 2, 5}, {1, 3, 2}, {2, 1, 4}, {2, 2, 5}, {2, 3, 3}, {3, 1, 3}, {3, 2, 2}, {4, 1, 3}, {4, 2, 2}, {7, 1, 2}},
    {{1, 1, 6}, {1, 2, 5}, {1, 3, 2}, {2, 1, 4}, {2, 2, 5}, {2, 3, 3}, {3, 1, 3}, {3, 2, 2}, {4, 1, 3}, {4, 2, 2}, {7, 1, 2}},
    // Nights: the presses and machining run round the clock, with a maintenance man.
    {{1, 1, 3}, {1, 2, 3}, {1, 3, 1}, {2, 2, 3}, {2, 3, 2}, {5, 3, 1}},
};

const Posto& scegliPosto(const std::vector<Posto>& posti, Casuale& r)
{
    int totale = 0;
    for (const Posto& p : posti)
        totale += p.peso;
    int x = r.tra(0, totale - 1);
    for (const Posto& p : posti) {
        if (x < p.peso)
            return p;
        x -= p.peso;
    }
    return posti.back();
}

// ---------------------------------------------------------------------------------------
// Names: common Italian surnames, with a good share from Lombardy where the company is.

const char* const kCognomi[] = {
    "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci", "Marino", "Greco", "Bruno", "Gallo",
    "Conti", "De Luca", "Mancini", "Costa", "Giordano", "Rizzo", "Lombardi", "Moretti", "Barbieri", "Fontana", "Santoro",
    "Mariani", "Rinaldi", "Caruso", "Ferrara", "Galli", "Martini", "Leone", "Longo", "Gentile", "Martinelli", "Vitale",
    "Lombardo", "Serra", "Coppola", "De Santis", "D'Angelo", "Marchetti", "Parisi", "Villa", "Conte", "Ferraro", "Ferri",
    "Fabbri", "Bianco", "Marini", "Grasso", "Valentini", "Messina", "Sala", "De Angelis", "Gatti", "Pellegrini", "Palumbo",
    "Sanna", "Farina", "Rizzi", "Monti", "Cattaneo", "Morelli", "Amato", "Silvestri", "Mazza", "Testa", "Grassi",
    "Pellegrino", "Carbone", "Giuliani", "Benedetti", "Barone", "Rossetti", "Caputo", "Montanari", "Guerra", "Palmieri",
    "Bernardi", "Martino", "Fiore", "De Rosa", "Ferretti", "Bellini", "Basile", "Riva", "Donati", "Piras", "Vitali",
    "Battaglia", "Sartori", "Neri", "Costantini", "Milani", "Pagano", "Ruggiero", "Sorrentino", "D'Amico", "Orlando",
    "Negri", "Brambilla", "Crippa", "Sironi", "Brivio", "Pozzi", "Ghezzi", "Bonfanti", "Mauri", "Galbiati", "Redaelli",
    "Cereda", "Zanetti", "Mapelli", "Fumagalli", "Ronchi", "Longoni", "Colombi", "Bergamaschi", "Invernizzi", "Locatelli",
    "Pirovano", "Radaelli", "Scotti", "Tagliabue", "Vismara", "Zucchi",
};

const char* const kNomiM[] = {
    "Marco", "Giuseppe", "Giovanni", "Antonio", "Luca", "Andrea", "Francesco", "Alessandro", "Mario", "Roberto",
    "Stefano", "Paolo", "Massimo", "Davide", "Simone", "Matteo", "Lorenzo", "Fabio", "Daniele", "Claudio", "Riccardo",
    "Federico", "Giorgio", "Alberto", "Emanuele", "Gabriele", "Michele", "Nicola", "Salvatore", "Vincenzo", "Pietro",
    "Filippo", "Tommaso", "Enrico", "Diego", "Cristian", "Mattia", "Niccolò", "Carlo", "Sergio", "Gianluca", "Maurizio",
};

const char* const kNomiF[] = {
    "Maria", "Anna", "Giulia", "Francesca", "Sara", "Laura", "Chiara", "Valentina", "Elena", "Alessandra", "Silvia",
    "Federica", "Martina", "Paola", "Roberta", "Elisa", "Cristina", "Simona", "Barbara", "Monica", "Daniela", "Giovanna",
    "Ilaria", "Claudia", "Marta", "Alice", "Serena", "Beatrice", "Veronica", "Stefania", "Lucia", "Rita", "Emanuela",
    "Manuela", "Patrizia", "Noemi",
};

template <class T, std::size_t N>
const T& unoDi(const T (&v)[N], Casuale& r)
{
    return v[r.tra(0, int(N) - 1)];
}

QString codice10(qint64 n)
{
    return QString::number(n).rightJustified(10, QLatin1Char('0'));
}

QVariant nullo()
{
    return QVariant(QMetaType(QMetaType::Int));
}

// ---------------------------------------------------------------------------------------
// Punches

// Rates per worked day, in thousandths.
constexpr int kAssenza = 30;
constexpr int kRitardo = 40;
constexpr int kPocoInRitardo = 20;     // one to four minutes: enough to lose a rounding step
constexpr int kUscitaAnticipata = 15;  // a few minutes before the end
constexpr int kStraordinario = 120;
constexpr int kUscitaDimenticata = 15;
constexpr int kVersoSbagliato = 10;
constexpr int kCausaSuRitardo = 300;   // of late entries, those keyed with a cause code
constexpr int kAltroTerminale = 80;

struct Timbratura {
    int secondi;  // from midnight of the work day; past 86400 on the next calendar day
    char verso;
    bool causa;
};

// One worked day as the terminals record it.
std::vector<Timbratura> giornata(const DefOrario& t, Casuale& r)
{
    std::vector<Timbratura> v;
    auto sec = [&r](int minuto) { return minuto * 60 + r.tra(0, 59); };
    // Most people come a little early and leave a little late; a punch within the minute
    // of the start still counts as on time.
    auto arrivo = [&r](int minuto, int anticipo) {
        return r.evento(kPocoInRitardo) ? minuto + r.tra(1, 4) : minuto - r.tra(0, anticipo);
    };
    const bool ritardo = r.evento(kRitardo);
    v.push_back({sec(ritardo ? t.inizio + r.tra(5, 40) : arrivo(t.inizio, 14)), 'E', ritardo && r.evento(kCausaSuRitardo)});
    if (t.pausaDa >= 0) {
        v.push_back({sec(t.pausaDa + r.tra(0, 8)), 'U', false});
        v.push_back({sec(arrivo(t.pausaA, 8)), 'E', false});
    }
    const int uscita = r.evento(kStraordinario)      ? t.fine + r.tra(15, t.straMax)
                       : r.evento(kUscitaAnticipata) ? t.fine - r.tra(1, 5)
                                                     : t.fine + r.tra(0, 9);
    v.push_back({sec(uscita), 'U', false});
    if (r.evento(kUscitaDimenticata))
        v.pop_back();
    if (r.evento(kVersoSbagliato)) {
        std::vector<std::size_t> uscite;
        for (std::size_t n = 0; n < v.size(); ++n)
            if (v[n].verso == 'U')
                uscite.push_back(n);
        if (!uscite.empty())
            v[uscite[std::size_t(r.tra(0, int(uscite.size()) - 1))]].verso = 'E';
    }
    return v;
}

int numOrd(const QDate& d)
{
    return d.dayOfWeek() % 7 + 1;  // Sunday 1 … Saturday 7
}

struct Dipendente {
    int id;
    Rotazione turno;
    int reparto;
    int qualifica;
    int terminale;
    QDate assunzione;
    int flusso = 0;  // the employee's own stream of punches
};

// Exactly what the terminals hold at midnight of the day after the last: every punch recorded
// from midnight of `primo` on. The night begun the day before the first day leaves its exit
// inside; the night begun on the last day has only its entry so far. Nothing before hiring.
int scriviTimbrature(Database& db, const std::vector<Dipendente>& dipendenti, const QDate& primo, int giorni, quint32 seme,
                     const QSet<QDate>& festivi)
{
    int scritte = 0;
    QSqlQuery timb = db.prepara(QStringLiteral(
        "INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, Caus, IdTerminale) "
        "VALUES (:id, :dataV, :dataO, :versoV, :versoO, :caus, :term)"));
    const qint64 fineSecondi = qint64(giorni) * 86400;
    const QString versoE = QStringLiteral("E"), versoU = QStringLiteral("U"), causa = QStringLiteral("0001");
    for (const Dipendente& d : dipendenti) {
        // A stream apart from the personal data, so that both stay stable on their own.
        Casuale r(semeDi(seme ^ 0x5A5A5A5Au, d.flusso));
        const DefTurno& turno = kTurni[d.turno];
        qint64 precedente = -86400 * 2;
        for (int g = -1; g < giorni; ++g) {
            const QDate giorno = primo.addDays(g);
            if (turno.conFestivo && festivi.contains(giorno))
                continue;
            const DefOrario& t = kOrari[turno.giorni[numOrd(giorno) - 1]];
            if (t.oreMedie <= 0 || r.evento(kAssenza))
                continue;
            for (const Timbratura& p : giornata(t, r)) {
                // The key refuses two punches of one employee in the same second.
                qint64 s = qint64(g) * 86400 + p.secondi;
                if (s <= precedente)
                    s = precedente + 1;
                precedente = s;
                const int terminale = r.evento(kAltroTerminale) ? 3 - d.terminale : d.terminale;
                if (s < 0 || s >= fineSecondi || giorno < d.assunzione)
                    continue;
                // Punch times are wall-clock values: UTC has no daylight-saving gap to fall into.
                const QVariant quando = Sql::dataOra(QDateTime(primo.addDays(s / 86400), QTime(0, 0).addSecs(int(s % 86400)), Qt::UTC));
                const QString& verso = p.verso == 'E' ? versoE : versoU;
                timb.bindValue(QStringLiteral(":id"), d.id);
                timb.bindValue(QStringLiteral(":dataV"), quando);
                timb.bindValue(QStringLiteral(":dataO"), quando);
                timb.bindValue(QStringLiteral(":versoV"), verso);
                timb.bindValue(QStringLiteral(":versoO"), verso);
                timb.bindValue(QStringLiteral(":caus"), p.causa ? QVariant(causa) : QVariant(QMetaType(QMetaType::QString)));
                timb.bindValue(QStringLiteral(":term"), terminale);
                Database::esegui(timb);
                ++scritte;
            }
        }
    }
    return scritte;
}

}  // namespace

RisultatoDemo GeneraDemo(TdtmPresenze& dtm, const OpzioniDemo& o)
{
    if (o.dipendenti < 0 || o.giorni < 0)
        throw std::invalid_argument("GeneraDemo: numero di dipendenti o di giorni negativo");

    RisultatoDemo ris;
    Database& db = dtm.db();
    const QDate oggi = o.oggi.isValid() ? o.oggi : dtm.Oggi();
    const QDate primo = oggi.addDays(-o.giorni);  // first day with punches
    const QDate dataInst(primo.year(), primo.month(), 1);
    Casuale generale(semeDi(o.seme, -1));

    Transazione tr(db);

    // --- Company and general settings -------------------------------------------------------
    const QString ragSoc = QStringLiteral("Officine Meccaniche Lombarde S.p.A.");
    db.esegui(db.esisteRiga(QStringLiteral("SELECT 1 FROM Aziende WHERE Id = 1"))
                  ? QStringLiteral("UPDATE Aziende SET RagSoc = :rs, Descr = :descr, CodAzEst = :cod WHERE Id = 1")
                  : QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr, CodAzEst) VALUES (1, :rs, :descr, :cod)"),
              {{"rs", ragSoc}, {"descr", QStringLiteral("OML Brescia")}, {"cod", QStringLiteral("OML0001")}});

    // The same values the installation date routine of the general settings writes.
    db.esegui(QStringLiteral("DELETE FROM ConfigGen"));
    db.esegui(QStringLiteral("INSERT INTO ConfigGen (DataInst, Inizio, Fine, CarMensa, CarPres, Delimitatore, Separatore) "
                             "VALUES (:d, :inizio, :fine, :mensa, :pres, :delim, :sep)"),
              {{"d", Sql::data(dataInst)}, {"inizio", QStringLiteral("0000")}, {"fine", QStringLiteral("2359")},
               {"mensa", QStringLiteral("S")}, {"pres", QStringLiteral("P")}, {"delim", QStringLiteral("\"")},
               {"sep", QStringLiteral(";")}});
    db.esegui(QStringLiteral("DELETE FROM ContrAccant"));
    db.esegui(QStringLiteral("INSERT INTO ContrAccant (AccantonPiano, AccantonVoci, InvioSaldi, AcquisTimb) VALUES (:p, :v, :s, :a)"),
              {{"p", Sql::data(dataInst.addDays(-1))}, {"v", Sql::data(dataInst.addDays(-33))},
               {"s", Sql::data(dataInst.addDays(-1))}, {"a", Sql::data(dataInst.addDays(-1))}});

    // --- Organisation, under the roots the database is created with ---------------------------
    auto creaAlbero = [&db, &dtm](const QString& tabella, const QString& campoPadre, const Unita* unita, int quante) {
        std::vector<int> ids;
        int id = dtm.NuovoId(tabella);
        QSqlQuery q = db.prepara(QStringLiteral("INSERT INTO %1 (Id, Descr, %2) VALUES (:id, :descr, :padre)").arg(tabella, campoPadre));
        for (int n = 0; n < quante; ++n, ++id) {
            q.bindValue(QStringLiteral(":id"), id);
            q.bindValue(QStringLiteral(":descr"), QString::fromUtf8(unita[n].descr));
            q.bindValue(QStringLiteral(":padre"), unita[n].padre < 0 ? 1 : ids[std::size_t(unita[n].padre)]);
            Database::esegui(q);
            ids.push_back(id);
        }
        return ids;
    };
    const std::vector<int> idReparto = creaAlbero(QStringLiteral("UnitaPianta"), QStringLiteral("IdPiantaPadre"), kReparti, kNumReparti);
    const std::vector<int> idQualifica = creaAlbero(QStringLiteral("UnitaRuolo"), QStringLiteral("IdRuoloPadre"), kQualifiche,
                                                    int(std::size(kQualifiche)));

    // --- Timetables, as the timetable editor writes them ----------------------------------------
    int idOrario[NumOrari];
    {
        int id = dtm.NuovoId(QStringLiteral("OrariRep"));
        QSqlQuery orario = db.prepara(QStringLiteral(
            "INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO, OreMedie, OreMinime, UsoPrior, NTimTipo, Mensa, PrimaTimb, UltimaTimb, ChiusGio) "
            "VALUES (:id, :descr, :cv, :tipo, :medie, :minime, :prior, :ntim, :mensa, :prima, :ultima, :chius)"));
        QSqlQuery arroTim = db.prepara(QStringLiteral(
            "INSERT INTO ArroTim (IdOrario, Inizio, Fine, ArrVerso, TipoArrot, MinutiArrot) VALUES (:id, :inizio, :fine, :verso, :tipo, :passo)"));
        QSqlQuery arroStra = db.prepara(QStringLiteral(
            "INSERT INTO ArroStra (IdOrario, Inizio, Fine, TipoArrot, MinutiArrot) VALUES (:id, :inizio, :fine, :tipo, :passo)"));
        QSqlQuery tipica = db.prepara(QStringLiteral("INSERT INTO TimbTipo (IdOrario, Verso, Ore, Gio) VALUES (:id, :verso, :ore, :gio)"));
        auto banda = [&arroStra](int idOr, int inizio, int fine, const char* tipo, const QVariant& passo) {
            arroStra.bindValue(QStringLiteral(":id"), idOr);
            arroStra.bindValue(QStringLiteral(":inizio"), inizio);
            arroStra.bindValue(QStringLiteral(":fine"), fine);
            arroStra.bindValue(QStringLiteral(":tipo"), QString::fromLatin1(tipo));
            arroStra.bindValue(QStringLiteral(":passo"), passo);
            Database::esegui(arroStra);
        };
        for (int n = 0; n < NumOrari; ++n, ++id) {
            const DefOrario& t = kOrari[n];
            idOrario[n] = id;
            orario.bindValue(QStringLiteral(":id"), id);
            orario.bindValue(QStringLiteral(":descr"), QString::fromUtf8(t.descr));
            orario.bindValue(QStringLiteral(":cv"), QString::number(id));
            orario.bindValue(QStringLiteral(":tipo"), QStringLiteral("E"));
            orario.bindValue(QStringLiteral(":medie"), t.oreMedie);
            orario.bindValue(QStringLiteral(":minime"), t.oreMedie);
            orario.bindValue(QStringLiteral(":prior"), QStringLiteral("N"));
            orario.bindValue(QStringLiteral(":ntim"), QStringLiteral("0"));
            orario.bindValue(QStringLiteral(":mensa"), QStringLiteral("A"));
            orario.bindValue(QStringLiteral(":prima"), t.prima);
            orario.bindValue(QStringLiteral(":ultima"), t.ultima);
            orario.bindValue(QStringLiteral(":chius"), QString(QLatin1Char(t.chiusura)));
            Database::esegui(orario);

            // Entries round up and exits down, so rounding never adds working time.
            for (const auto& [verso, tipo, passo] : {std::tuple{"E", "E", t.passoEntrata}, std::tuple{"U", "D", t.passoUscita}}) {
                arroTim.bindValue(QStringLiteral(":id"), id);
                arroTim.bindValue(QStringLiteral(":inizio"), 0);
                arroTim.bindValue(QStringLiteral(":fine"), 1439);
                arroTim.bindValue(QStringLiteral(":verso"), QString::fromLatin1(verso));
                arroTim.bindValue(QStringLiteral(":tipo"), QString::fromLatin1(tipo));
                arroTim.bindValue(QStringLiteral(":passo"), passo);
                Database::esegui(arroTim);
            }

            // Overtime below the minimum counts nothing; from it upward, whole steps.
            if (t.minimoStra > 0) {
                banda(id, 0, t.minimoStra - 1, "I", nullo());
                banda(id, t.minimoStra, 1439, "D", t.passoStra);
            } else {
                banda(id, 0, 1439, "D", t.passoStra);
            }

            for (const TimbraturaTipica& tt : t.tipiche) {
                tipica.bindValue(QStringLiteral(":id"), id);
                tipica.bindValue(QStringLiteral(":verso"), QString(QLatin1Char(tt.verso)));
                tipica.bindValue(QStringLiteral(":ore"), tt.ore);
                tipica.bindValue(QStringLiteral(":gio"), QString(QLatin1Char(tt.gio)));
                Database::esegui(tipica);
            }
        }
        ris.orari = NumOrari;
    }

    // --- Shift rotations ----------------------------------------------------------------------
    int idTurno[NumRotazioni];
    {
        int id = dtm.NuovoId(QStringLiteral("Turni"));
        QSqlQuery turno = db.prepara(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (:id, :descr, 7)"));
        QSqlQuery giorno = db.prepara(QStringLiteral(
            "INSERT INTO CompTurni (IdTurno, NumOrd, DataInizio, TipoOrario, IdDaUsare) VALUES (:id, :num, :inizio, :tipo, :orario)"));
        for (int n = 0; n < NumRotazioni; ++n, ++id) {
            idTurno[n] = id;
            turno.bindValue(QStringLiteral(":id"), id);
            turno.bindValue(QStringLiteral(":descr"), QString::fromUtf8(kTurni[n].descr));
            Database::esegui(turno);
            for (int g = 0; g < 7; ++g) {
                giorno.bindValue(QStringLiteral(":id"), id);
                giorno.bindValue(QStringLiteral(":num"), g + 1);
                giorno.bindValue(QStringLiteral(":inizio"), Sql::data(dataInst));
                giorno.bindValue(QStringLiteral(":tipo"), QStringLiteral("O"));
                giorno.bindValue(QStringLiteral(":orario"), idOrario[kTurni[n].giorni[g]]);
                Database::esegui(giorno);
            }
        }
        ris.turni = NumRotazioni;
    }

    // --- Holiday calendar 1 ------------------------------------------------------------------
    const QDate ultimo = oggi.addDays(-1);
    const int annoDa = o.giorni > 0 ? primo.year() : oggi.year();
    const int annoA = o.giorni > 0 ? ultimo.year() : oggi.year();
    QSet<QDate> festivi;
    for (int anno = annoDa - 1; anno <= annoA; ++anno)  // also the day before the first, for the nights
        for (const QDate& d : Festivita::Nazionali(anno))
            festivi.insert(d);
    {
        if (!db.esisteRiga(QStringLiteral("SELECT 1 FROM Calendari WHERE Id = 1")))
            db.esegui(QStringLiteral("INSERT INTO Calendari (Id, Descr) VALUES (1, :descr)"), {{"descr", QStringLiteral("Calendario")}});
        QSet<QString> presenti;
        QSqlQuery c = db.esegui(QStringLiteral("SELECT Giorno FROM RelCalend WHERE IdCalend = 1 AND Tipo = :tipo"),
                                {{"tipo", QStringLiteral("F")}});
        while (c.next())
            presenti.insert(c.value(0).toString());
        QSqlQuery ins = db.prepara(QStringLiteral("INSERT INTO RelCalend (IdCalend, Giorno, Tipo) VALUES (1, :giorno, :tipo)"));
        for (int anno = annoDa; anno <= annoA; ++anno) {
            for (const QDate& d : Festivita::Nazionali(anno)) {
                const QVariant giorno = Sql::data(d);
                if (presenti.contains(giorno.toString()))
                    continue;
                ins.bindValue(QStringLiteral(":giorno"), giorno);
                ins.bindValue(QStringLiteral(":tipo"), QStringLiteral("F"));
                Database::esegui(ins);
                ++ris.festivi;
            }
        }
    }

    // --- Port, local station and two terminals -----------------------------------------------
    if (!db.esisteRiga(QStringLiteral("SELECT 1 FROM Porte WHERE Id = 1")))
        db.esegui(QStringLiteral("INSERT INTO Porte (Id, BaudRate, BitNo, StopBit, Parity) VALUES (1, :baud, :bit, :stop, :par)"),
                  {{"baud", 9600}, {"bit", 8}, {"stop", 1}, {"par", QStringLiteral("N")}});
    if (!db.esisteRiga(QStringLiteral("SELECT 1 FROM Postaz WHERE Id = 1")))
        db.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom) VALUES (1, :descr, 1)"), {{"descr", QStringLiteral("L")}});
    for (const auto& [id, descr] : {std::pair{1, "Ingresso uffici"}, std::pair{2, "Ingresso reparti"}}) {
        if (db.esisteRiga(QStringLiteral("SELECT 1 FROM Terminali WHERE Id = :id"), {{"id", id}}))
            continue;
        // Addresses 0 and 1 on station 1: the label is the station's character and the address's.
        const QString dipSet(QChar(48 + id - 1));
        db.esegui(QStringLiteral("INSERT INTO Terminali (Id, Descr, IdPostaz, Indirizzo, DipSet, Tipo) VALUES (:id, :descr, 1, :ind, :dip, 100)"),
                  {{"id", id}, {"descr", QString::fromUtf8(descr)}, {"ind", QString(QChar(48 + 1)) + dipSet}, {"dip", dipSet}});
    }

    // --- Employees --------------------------------------------------------------------------
    // Shares by exact quota, then shuffled, so that even a small company has every crew.
    std::vector<Rotazione> turni;
    {
        const int n = o.dipendenti;
        const int partTime = (n * 10 + 50) / 100, dueTurni = (n * 15 + 50) / 100, notti = (n * 5 + 50) / 100;
        turni.insert(turni.end(), std::size_t(partTime), SettPartTime);
        turni.insert(turni.end(), std::size_t((dueTurni + 1) / 2), SquadraMattino);
        turni.insert(turni.end(), std::size_t(dueTurni / 2), SquadraPomeriggio);
        turni.insert(turni.end(), std::size_t(notti), Notti);
        if (int(turni.size()) > n)
            turni.resize(std::size_t(n));
        turni.insert(turni.end(), std::size_t(n - int(turni.size())), Ufficio);
        for (std::size_t i = turni.size(); i > 1; --i)
            std::swap(turni[i - 1], turni[std::size_t(generale.tra(0, int(i) - 1))]);
    }

    QSqlQuery anag = db.prepara(QStringLiteral(
        "INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Libero, Classe) VALUES (:id, :matr, :cognome, :nome, :libero, :classe)"));
    QSqlQuery badge = db.prepara(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES (:codice, :inizio, :id)"));
    QSqlQuery profilo = db.prepara(QStringLiteral(
        "INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, ModalTimbra, "
        "Autorizzato, TipoOrario, IdOrari, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, "
        "GestReperib, UltElabVoci, IdOrFestivo, IdCalendario) "
        "VALUES (:id, :inizio, 1, 1, :pianta, :ruolo, :assunz, :modal, :aut, :tipo, :orari, :inturn, :p1, :p2, :p3, :p4, :p5, "
        ":reperib, :ultelab, :festivo, 1)"));
    // The register logs every badge code it assigns for the systems downstream.
    QSqlQuery log = db.prepara(QStringLiteral("INSERT INTO AnagMod (Id, Badge, NumClient, TipoOp) VALUES (:id, :badge, 100, :op)"));

    std::vector<Dipendente> dipendenti;
    dipendenti.reserve(turni.size());
    const int primoId = dtm.NuovoId(QStringLiteral("Anagrafico"));
    int idLog = dtm.NuovoId(QStringLiteral("AnagMod"));
    // Badge numbers in a scattered but collision-free order (7919 is prime to 90000).
    const qint64 spostamento = o.seme % 90000;
    for (int i = 0; i < o.dipendenti; ++i) {
        Casuale r(semeDi(o.seme, i));
        Dipendente d;
        d.id = primoId + i;
        d.turno = turni[std::size_t(i)];
        const Posto& posto = scegliPosto(kPosti[d.turno], r);
        d.reparto = posto.reparto;
        d.qualifica = posto.qualifica;
        d.terminale = repartoProduttivo(d.reparto) ? 2 : 1;
        d.assunzione = primo.addDays(-r.tra(60, 7300));  // from two months to twenty years before the first day
        d.flusso = i;
        const bool uomo = r.evento(repartoProduttivo(d.reparto) ? 800 : 500);
        const QString cognome = QString::fromUtf8(unoDi(kCognomi, r));
        const QString nome = QString::fromUtf8(uomo ? unoDi(kNomiM, r) : unoDi(kNomiF, r));
        const QString livello = QString::fromUtf8(kLivelli[d.qualifica][r.tra(0, 1)]);
        const QString codBadge = codice10(10000 + (qint64(i) * 7919 + spostamento) % 90000);

        anag.bindValue(QStringLiteral(":id"), d.id);
        anag.bindValue(QStringLiteral(":matr"), codice10(1001 + i));
        anag.bindValue(QStringLiteral(":cognome"), cognome);
        anag.bindValue(QStringLiteral(":nome"), nome);
        anag.bindValue(QStringLiteral(":libero"), livello);
        anag.bindValue(QStringLiteral(":classe"), QStringLiteral("D"));
        Database::esegui(anag);

        badge.bindValue(QStringLiteral(":codice"), codBadge);
        badge.bindValue(QStringLiteral(":inizio"), Sql::data(d.assunzione));
        badge.bindValue(QStringLiteral(":id"), d.id);
        Database::esegui(badge);

        // Period dates as the installation date routine leaves them: never before hiring
        // nor before the installation.
        const QVariant assunz = Sql::data(d.assunzione);
        const QVariant periodo = Sql::data(std::max(d.assunzione, dataInst));
        profilo.bindValue(QStringLiteral(":id"), d.id);
        profilo.bindValue(QStringLiteral(":inizio"), assunz);
        profilo.bindValue(QStringLiteral(":pianta"), idReparto[std::size_t(d.reparto)]);
        profilo.bindValue(QStringLiteral(":ruolo"), idQualifica[std::size_t(d.qualifica)]);
        profilo.bindValue(QStringLiteral(":assunz"), assunz);
        profilo.bindValue(QStringLiteral(":modal"), QStringLiteral("T"));
        profilo.bindValue(QStringLiteral(":aut"), r.evento(100) ? QStringLiteral("N") : QStringLiteral("S"));
        profilo.bindValue(QStringLiteral(":tipo"), QStringLiteral("T"));
        profilo.bindValue(QStringLiteral(":orari"), idTurno[d.turno]);
        profilo.bindValue(QStringLiteral(":inturn"), assunz);
        for (int p = 1; p <= 5; ++p)
            profilo.bindValue(QStringLiteral(":p%1").arg(p), periodo);
        profilo.bindValue(QStringLiteral(":reperib"), QStringLiteral("N"));
        profilo.bindValue(QStringLiteral(":ultelab"), periodo);
        profilo.bindValue(QStringLiteral(":festivo"), kTurni[d.turno].conFestivo ? QVariant(idOrario[Festivo]) : nullo());
        Database::esegui(profilo);

        log.bindValue(QStringLiteral(":id"), idLog++);
        log.bindValue(QStringLiteral(":badge"), codBadge);
        log.bindValue(QStringLiteral(":op"), QStringLiteral("1"));
        Database::esegui(log);

        dipendenti.push_back(d);
    }
    ris.dipendenti = o.dipendenti;

    // --- Punches ------------------------------------------------------------------------------
    ris.timbrature = scriviTimbrature(db, dipendenti, primo, o.giorni, o.seme, festivi);

    tr.conferma();

    // The status bar and report headings name the company from the application memory.
    dtm.CaricaMemoria();
    emit dtm.ragioneSocialeCambiata(dtm.mem().RagSoc);
    return ris;
}

RisultatoDemo GeneraTimbrature(TdtmPresenze& dtm, const OpzioniDemo& o)
{
    if (o.giorni < 0)
        throw std::invalid_argument("GeneraTimbrature: numero di giorni negativo");
    RisultatoDemo ris;
    Database& db = dtm.db();
    const QDate oggi = o.oggi.isValid() ? o.oggi : dtm.Oggi();
    const QDate primo = oggi.addDays(-o.giorni);

    Transazione tr(db);
    // The demo's rotations, found by name among the stored ones.
    QHash<int, Rotazione> rotazioni;
    QSqlQuery t = db.esegui(QStringLiteral("SELECT Id, Descr FROM Turni"));
    while (t.next())
        for (int n = 0; n < NumRotazioni; ++n)
            if (t.value(1).toString() == QString::fromUtf8(kTurni[n].descr))
                rotazioni.insert(t.value(0).toInt(), Rotazione(n));
    QSet<QDate> festivi;
    QSqlQuery f = db.esegui(QStringLiteral("SELECT Giorno FROM RelCalend WHERE IdCalend = 1 AND Tipo = :tipo"), {{"tipo", QStringLiteral("F")}});
    while (f.next())
        festivi.insert(Sql::leggiData(f.value(0)));

    // Each employee by his latest profile; one who already has punches in the period keeps them.
    std::vector<Dipendente> dipendenti;
    QSqlQuery p = db.esegui(QStringLiteral("SELECT p.IdUtilizzatore, p.IdOrari, p.DataAssunz FROM Profilo p "
                                           "ORDER BY p.IdUtilizzatore, p.DataInizio DESC"));
    int ultimo = -1;
    while (p.next()) {
        const int id = p.value(0).toInt();
        if (id == ultimo)
            continue;
        ultimo = id;
        const auto r = rotazioni.constFind(p.value(1).toInt());
        if (r == rotazioni.cend()
            || db.esisteRiga(QStringLiteral("SELECT 1 FROM Timbrature WHERE IdDip = :id AND DataV >= :dal"),
                             {{"id", id}, {"dal", Sql::data(primo.addDays(-1))}}))
            continue;
        // Shift crews punch at the plant's gate, office hours at the offices'.
        const int terminale = *r == Ufficio || *r == SettPartTime ? 1 : 2;
        // The stream of the demo employee with the same id (a demo company's ids start at 1):
        // his punches come back as the demo made them, whoever else is left out.
        dipendenti.push_back({id, *r, 0, 0, terminale, Sql::leggiData(p.value(2)), id - 1});
    }
    ris.dipendenti = int(dipendenti.size());
    ris.timbrature = scriviTimbrature(db, dipendenti, primo, o.giorni, o.seme, festivi);
    tr.conferma();
    return ris;
}
