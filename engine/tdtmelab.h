#pragma once
// The daily processing engine: turns one employee's punches of each day into the day's
// timetable, ordinary, excess, presence and shortfall minutes and its state.
//
// The working punch set and the anomaly list of the day being processed are kept in
// memory; after a run the work tables ETimb and EEvid hold those of the last processed day.
// Each processed day keeps its own anomalies in AnomalieGiorno (anomaliegiorno.h).

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QString>

#include <map>
#include <optional>

class Avanzamento;
class TdtmPresenze;

// What a run over several employees did.
struct EsitoElaborazione {
    int Dipendenti = 0;         // employees processed to the end of the period
    int Giorni = 0;             // days processed
    int GiorniConAnomalie = 0;  // of which left in state 2
    int IdDipErrore = 0;        // the employee whose run failed; 0 when none failed
    QString Errore;             // the engine's text of that failure
    bool Annullato = false;     // stopped by the user before the last employee
};

// The profiles of an employee for a period, in the order processing takes them (the first
// governs the whole period): those overlapping it and not closed by a dismissal before it.
// Binds :IdDipCorr, :DataInizio and :DataFine; `campi` is the select list.
QString SqlProfiliDelPeriodo(const QString& campi);

// Puts an employee's days back in state 1 with no figures, as if never processed: the
// processing's cancel of one day, the notes loading's closing cancel, the deletion of punches.
// `dove` is the condition on PianoSomma that picks the days.
QString SqlAzzeraGiorni(const QString& dove);

class TdtmElab {
public:
    // One row of the working punch set.
    struct Timbratura {
        int IdDip = 0;
        QString DataV;  // stored valid time: identifies the stored punch at write-back
        QVariant DataO;
        QString VersoV;
        QString VersoVLetto;  // valid direction as stored, before any correction
        QVariant VersoO;
        QVariant Caus;
        QChar TipoUtil = QLatin1Char('S');
        QChar Arrot = QLatin1Char('N');
        int OraM = 0;
    };

    // The engine's working state of the day being processed.
    struct ContestoGiorno {
        int IdDipCorr = 0;
        QDate DataCorr;
        int IdOrarioCorr = -1;
        int NumTimb = 0;
        bool Bloccato = false;
        bool ConAnomalie = false;
        bool ConTimbrature = false;
        int TotPresenza = 0;
        int OreOrd = 0;
        int TotStraord = 0;
        int OreAss = 0;
    };

    explicit TdtmElab(TdtmPresenze& dtm);
    ~TdtmElab();

    // Processes employee idDip for every day from inizio to fine (both included) that is
    // earlier than today and not closed. Reports nothing: its results are the rows it
    // writes. A failure ends the run (the failing day is left as it was); UltimoErrore()
    // then tells what happened.
    void ElaboraPeriodo(int idDip, const QDate& inizio, const QDate& fine);
    // ElaboraPeriodo for each employee in turn, one unit of progress each; stops at the
    // first failure or when the user cancels between two employees.
    EsitoElaborazione ElaboraDipendenti(const QList<int>& ids, const QDate& inizio, const QDate& fine, Avanzamento& avanzamento);
    // Returns a processed day to state 1 (within the employee's profile) and removes its
    // anomalies.
    void AnnullaGiorno(int idDip, const QDate& data);

    // Last day of the work period shown by the work plan: the run stops there. Invalid
    // (the default) means no limit other than the run's end.
    void setFinePianoMostrato(const QDate& d) { m_finePiano = d; }

    // date + minuti (0..1439) as a stored date-time text.
    static QString MinutiInData(int minuti, const QDate& data);

    // --- Results of the last run ----------------------------------------------------
    QString UltimoErrore() const { return m_errore; }
    int GiorniElaborati() const { return m_giorni; }
    int GiorniConAnomalie() const { return m_giorniStato2; }
    const ContestoGiorno& Contesto() const { return m_ctx; }
    const QList<Timbratura>& InsiemeLavoro() const { return m_etimb; }
    const QList<int>& Anomalie() const { return m_eevid; }

private:
    struct Profilo {
        QDate DataInizio, DataFine;
        QString TipoOrario;
        int IdOrari = 0;
        int IdOrFestivo = 0;
        QString Autorizzato;
        QString ModalTimbra;
    };
    struct Fascia {
        int Inizio, Fine;
        QString TipoArrot;
        int MinutiArrot;
    };
    struct Orario {
        int OreMedie = 0, PrimaTimb = 0, UltimaTimb = 0;
        QString ChiusGio;
        int passoEntrata = 0, passoUscita = 0;
        QList<Fascia> fasce;
    };
    struct GiornoTurno {
        QString TipoOrario;
        int IdDaUsare = 0;
    };

    void preparaIstruzioni();
    void iniziaDipendente(int idDip);
    // The days of the current employee inside the open transaction; a failure sets
    // UltimoErrore() and leaves the transaction with the days before it.
    void elaboraDipendente(const QDate& inizio, const QDate& fine);
    void scriviLavoro(bool riuscito);
    void elaboraGiorno(const Profilo& p);
    std::optional<Profilo> leggiProfilo(int idDip, const QDate& inizio, const QDate& fine);
    const Orario* orario(int id);
    const GiornoTurno* giornoTurno(int idTurno, int numOrd);
    bool festivo(const QDate& d);

    void SvuotaLavoro();
    void ScegliOrario(const Profilo& p);
    void CaricaOrario(int id, int codice);
    void ValutaGiorno(const Profilo& p);
    void ArrotondaTimbrature();
    void ArrotondaStraordinario(const Profilo& p);
    void RegistraAnomalia(const QString& prodotto, int codice, QChar tipo);
    void ScriviGiorno(const Profilo& p);
    void scriviAnomalieGiorno();
    void ordinaInsieme();
    void scriviTabelleLavoro();

    TdtmPresenze& m_dtm;
    QDate m_finePiano;
    ContestoGiorno m_ctx;
    QList<Timbratura> m_etimb;
    QList<int> m_eevid;
    const Orario* m_orario = nullptr;     // timetable loaded for the day
    bool m_orarioDaRegistrare = false;    // the loaded timetable is recorded on the day

    // Per-run caches: the rules do not change while a run goes on.
    QHash<int, std::optional<Orario>> m_orari;
    QHash<qint64, std::optional<GiornoTurno>> m_turni;
    QSet<QDate> m_festivi;
    QSet<int> m_codiciA;
    QHash<QString, std::pair<int, int>> m_piano;  // the run's work-plan rows by day: state, timetable
    std::map<QString, Timbratura> m_timbrature;   // the run's punches by valid time, as written
    QSet<QString> m_giorniAnomalie;               // the run's days that had anomalies when it began
    QString m_dataCorr;                           // the day being processed, as stored
    bool m_anomAssenza = true, m_calcolaAssenza = true, m_calcolaStraord = true;

    QString m_errore;
    int m_giorni = 0;
    int m_giorniStato2 = 0;
    bool m_lavoroDaScrivere = false;

    struct Istruzioni;
    Istruzioni* m_q = nullptr;
};
