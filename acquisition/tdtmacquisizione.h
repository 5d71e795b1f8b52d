#pragma once
// The data of the acquisition window and the work it starts: the serial ports of the
// computer, the stations and the terminals hanging on them, the transaction format, the
// acquisition run, the synchronisation run, the upload of a configuration file, the split of
// combined configuration files and the error punches. Headless: the window, the batch
// commands and the tests call the same functions, and the runs talk to terminals only
// through the LibreriaTerminali table they are given.
//
// Database failures throw ErroreDb with the engine's text; nothing here shows a dialog.
// What a run has to say goes to an OsservatoreAcquisizione.

#include "terminali.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <functional>
#include <optional>

class FileIni;
class TdtmPresenze;

// --- Ports, stations, terminals -------------------------------------------------------

// A row of Porte. Parity is "N", "O", "E", "M" or "S".
struct DatiPorta {
    int id = 0;  // 1..4
    int baudRate = 1200;
    int bitNo = 7;
    int stopBit = 1;
    QString parity = QStringLiteral("E");
    QString modString;

    QString descr() const { return QStringLiteral("COM%1").arg(id); }
    bool operator==(const DatiPorta&) const = default;
};

// A row of Postaz: "L" a local line on port idCom, "R" a remote line dialled through it.
struct DatiPostazione {
    int id = 0;
    QString descr;
    int idCom = 0;
    QString telNo;

    bool remota() const { return descr == QLatin1String("R"); }
    bool operator==(const DatiPostazione&) const = default;
};

// A row of Terminali.
struct DatiTerminale {
    int id = 0;
    QString descr;
    int idPostaz = 0;
    QString indirizzo;  // line label: character 48 + IdPostaz, then DipSet
    QString dipSet;     // terminal address as character 48 + address
    int tipo = 100;

    int indirizzoTerminale() const;  // the decoded DipSet
    bool operator==(const DatiTerminale&) const = default;
};

// A station's TelNo as the page shows it: with a switchboard, the outside-line prefix, a
// comma and the number; without, the number alone. Dividi splits at the first comma.
struct Telefono {
    bool centralino = false;
    QString prefisso;  // up to 3 digits, meaningful only with centralino
    QString numero;    // up to 16 digits

    static Telefono Dividi(const QString& telNo);
    QString Unisci() const;
    bool operator==(const Telefono&) const = default;
};

// The transaction format, PRES.INI [Trans_format]. Positions count from 1.
struct FormatoTransazione {
    int PosizBadge = 1;
    int LunghBadge = 10;
    int PosizVerso = 11;
    int PosizCausale = 12;
    int LunghCausale = 4;
    int PosizDataOra = 16;

    // Missing keys keep the defaults above.
    static FormatoTransazione Carica(const FileIni& ini);
    // Writes the six keys in one locked replacement of the file. Throws ErroreIni.
    static void Salva(FileIni& ini, const FormatoTransazione& f);
    bool operator==(const FormatoTransazione&) const = default;
};

// A transaction decoded without the database: what the badge lookup and the insert need.
struct TransazioneLetta {
    QString badge;       // ten characters
    QString verso;       // "E" or "U"
    QString caus;        // four characters, empty for "0000" or blanks
    QDateTime quando;    // seconds 0; invalid when the date or time is not one
    // Error-punch columns, fixed whatever the format says: 16-25, 1-10 and the digit in 11
    // (null when that column is not a digit).
    QString dataScarto;
    QString badgeScarto;
    QVariant versoScarto;
};

// --- What a run says --------------------------------------------------------------------

// The page's "Stato", "Terminale attivo", "Warnings" and switch, or their batch and test
// counterparts.
class OsservatoreAcquisizione {
public:
    virtual ~OsservatoreAcquisizione() = default;
    // The status text and the name of the terminal being served; both empty clear the two.
    virtual void Stato(const QString& testo, const QString& terminale) = 0;
    // One line for "Warnings", without the time the page puts in front.
    virtual void Avviso(const QString& testo) = 0;
    // The switch beside "Terminale attivo": on from the start of a run to its end.
    virtual void Interruttore(bool acceso) = 0;
    // Once per polling cycle: the window lets pending user events run here, so that its
    // "&Stop" (TdtmAcquisizione::RichiediStop) reaches the loop.
    virtual void Eventi() {}
};

// Batch: status lines on standard error (only when it is a terminal), warnings on standard
// output, each with the time in front.
class OsservatoreStderr : public OsservatoreAcquisizione {
public:
    OsservatoreStderr();
    void Stato(const QString& testo, const QString& terminale) override;
    void Avviso(const QString& testo) override;
    void Interruttore(bool) override {}

private:
    bool m_terminale;
};

// Tests: every call as text ("Stato <terminale>|<testo>", "Avviso <testo>",
// "Interruttore 1"); Eventi() runs `azione` on its n-th call (stop between polls).
class OsservatoreRegistro : public OsservatoreAcquisizione {
public:
    void Stato(const QString& testo, const QString& terminale) override;
    void Avviso(const QString& testo) override
    {
        chiamate << QStringLiteral("Avviso ") + testo;
        avvisi << testo;
    }
    void Interruttore(bool acceso) override { chiamate << QStringLiteral("Interruttore %1").arg(acceso ? 1 : 0); }
    void Eventi() override;

    QStringList chiamate;
    QStringList avvisi;
    int eventi = 0;
    int azioneDopo = 0;  // 0: never
    std::function<void()> azione;
};

// --- Run results ------------------------------------------------------------------------

// How one terminal's turn ended.
enum class EsitoTerminale {
    Completato,       // acquisition: type 6 came; sync and upload: the call succeeded
    NessunaRisposta,  // type 0 (warning 2612), the run goes on
    ErroreTerminale,  // type 1 (warning 2611), the run goes on
    PortaMancante,    // no Porte row for the station's port: the run ends
    PortaNonAperta,   // CreatePort or OpenPort failed: the run ends
    ChiamataFallita,  // Dial failed: the run ends
    SyncFallita,      // the second TermSync failed: closed, the run goes on
    InvioFallito,     // TermProg failed
    Interrotto,       // stopped on request
    ErroreDatabase,   // storing failed (the message is in the warning): the run ends
};

struct TurnoTerminale {
    int idTerminale = 0;
    EsitoTerminale esito = EsitoTerminale::Completato;
    bool operator==(const TurnoTerminale&) const = default;
};

struct EsitoRun {
    QList<TurnoTerminale> turni;  // the terminals visited, in order
    int transazioni = 0;          // transactions received (acquisition)
    int registrate = 0;           // stored as punches
    int rifiutate = 0;            // recorded in Terrtimb
    int duplicate = 0;            // of the rejected, those already stored (2602)
    bool interrotta = false;      // stopped on request
    bool logFallito = false;      // some line could not be written to transaz.dat

    // Every requested terminal was visited and ended normally.
    bool completa(int richiesti) const;
};

// --- Error punches ----------------------------------------------------------------------

struct TimbraturaScartata {
    QString data;     // DDMMYYhhmm as received
    QString badge;
    QVariant verso;   // null when the column was not a digit
    int idErr = 0;
    QString descrErr; // TestoErrore of idErr
};

// --- Combined configuration files -------------------------------------------------------

struct EsitoDivisione {
    QStringList scritti;          // full paths of the files written, in key order of appearance
    QStringList chiaviRifiutate;  // keys that are not a plain file name (a warning each)
    bool letturaFallita = false;
    bool scritturaFallita = false;
};

// --- The data module --------------------------------------------------------------------

class TdtmAcquisizione {
public:
    explicit TdtmAcquisizione(TdtmPresenze& dtm);
    ~TdtmAcquisizione();

    // Ports, by Id.
    QList<DatiPorta> Porte();
    std::optional<DatiPorta> Porta(int id);
    // The ports among 1..4 with no row, ascending.
    QList<int> PorteMancanti();
    // Stores port `id` with the defaults (1200 baud, 7 bits, 1 stop bit, "E", no modem string).
    void InserisciPorta(int id);
    // False, nothing deleted, when a station uses the port (it would stop every later run at
    // that terminal; the window may say ErrPortaInUso) or the database refuses.
    bool EliminaPorta(int id);
    void AggiornaPorta(const DatiPorta& p);
    // The 20-byte settings for the library; parity "N","O","E","M","S" as 0..4.
    static ImpostazioniPorta Impostazioni(const DatiPorta& p);

    // Every station with an empty Descr becomes "R" up to Id 20, "L" above (window preparation).
    void PreparaPostazioni();
    QList<DatiPostazione> Postazioni();
    std::optional<DatiPostazione> Postazione(int id);

    // Terminals, by Id.
    QList<DatiTerminale> Terminali();
    std::optional<DatiTerminale> Terminale(int id);
    // A new terminal on the local station of port 1 at the lowest address free there, in one
    // transaction; its Id is above every IdTerminale the punches name. Returns the Id, or 0
    // (nothing stored, ErrNessunIndirizzoLibero) when 16 terminals use that station. Throws
    // ErroreDb (nothing stored).
    int NuovoTerminale();
    // Deletes the terminal, then every station but 1 no terminal uses (failures ignored).
    void EliminaTerminale(int id);
    void RinominaTerminale(int id, const QString& descr);

    // "Locale"/"Remoto". A station used by this terminal alone changes in place; a shared
    // one is left to the others and the terminal gets a station of its own.
    void ImpostaCollegamento(int idTerminale, bool remoto);
    // Station resolution for port p (1..4): a local station of p, or a remote station of p
    // with the phone `telefono` (Telefono::Unisci). Returns the station now used, or nullopt
    // when nothing changed (a remote connection with an empty phone resolves no station).
    std::optional<int> RisolviPostazione(int idTerminale, int porta, bool remoto, const QString& telefono);
    // Address 0..15 stored as DipSet and Indirizzo. False, nothing stored, when another
    // terminal of the same station has it (ErrIndirizzoOccupato). A terminal moved to another
    // station keeps its address unless a terminal there has it: then it takes the lowest free.
    bool ImpostaIndirizzo(int idTerminale, int indirizzo);

    static QString DipSet(int indirizzo);
    static int DaDipSet(const QString& dipSet);
    static QString Indirizzo(int idPostaz, const QString& dipSet);

    // Transaction format in PRES.INI.
    FormatoTransazione CaricaFormato();
    void SalvaFormato(const FormatoTransazione& f);  // throws ErroreIni

    // Reads one transaction's text (up to 280 characters). 0, or 2603 when the date or time
    // is not a valid one; the error-punch columns are filled either way.
    static int Decodifica(const QByteArray& testo, const FormatoTransazione& f, TransazioneLetta* t);

    // The acquisition run over `terminali` in that order (Ids; unknown ones are skipped).
    // Each transaction is stored or rejected and committed durably before it is
    // acknowledged, and appended to transaz.dat in the application folder.
    EsitoRun Acquisisci(const LibreriaTerminali& lib, const QList<int>& terminali, OsservatoreAcquisizione& oss);
    // The synchronisation run: TermSync twice per terminal, the second counts.
    EsitoRun Sincronizza(const LibreriaTerminali& lib, const QList<int>& terminali, OsservatoreAcquisizione& oss);
    // Sends `file` to the terminal; false when nothing was sent (empty path, no port, ...).
    bool InviaConfigurazione(const LibreriaTerminali& lib, int idTerminale, const QString& file, OsservatoreAcquisizione& oss);
    // Asked by "&Stop": honoured before each terminal and between polls.
    void RichiediStop() { m_stop = true; }
    bool InCorso() const { return m_inCorso; }

    // "transaz.dat" in the application folder.
    QString FileLog() const;
    // "Sele" in the application folder; the list shows it when it exists, else that folder.
    QString CartellaSele() const;
    QString CartellaConfigurazione() const;
    // At least two lines, the second with "|" as its 7th character.
    static bool FileCombinato(const QString& file);
    // Splits a combined file into "Sele" (created when missing), one file per key, each
    // written atomically; a key that is not a plain file name is refused with a warning.
    EsitoDivisione DividiFileCombinato(const QString& file, OsservatoreAcquisizione& oss);
    // The editor for a configuration file: $VISUAL or $EDITOR split into program and
    // arguments, the file's path appended as one argument; empty when neither is set (the
    // window then asks the desktop).
    static QStringList ComandoEditor(const QString& file);

    // Error punches (Terrtimb) in table order, and their emptying.
    QList<TimbraturaScartata> TimbratureScartate();
    bool CiSonoTimbratureScartate();
    void SvuotaTimbratureScartate();

private:
    struct Corsa;
    struct FineCorsa;
    void caricaDispositivi();
    int postazioneLocale(int idTerminale, int porta);
    int postazioneRemota(int porta, const QString& telefono);
    int postazionePropria(int idTerminale, const DatiPostazione& modello);
    int idPostazioneRemota();
    bool condivisa(int idPostaz, int idTerminale);
    void assegnaPostazione(int idTerminale, int idPostaz);
    int apriTerminale(const LibreriaTerminali& lib, const DatiTerminale& t, Corsa& c, OsservatoreAcquisizione& oss,
                      EsitoTerminale* esito);
    void chiudiTerminale(const LibreriaTerminali& lib, Corsa& c, OsservatoreAcquisizione& oss, int pausaMs);
    int registra(const QByteArray& testo, const DatiTerminale& t, Corsa& c, OsservatoreAcquisizione& oss);

    TdtmPresenze& m_dtm;
    std::atomic<bool> m_stop{false};
    bool m_inCorso = false;
};
