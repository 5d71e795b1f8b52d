#pragma once
// The main data module: configuration, the connection to both databases, numbered
// messages, code lists, next ids and the current employee. Headless: windows, batch
// commands and tests all use it the same way.

#include "database.h"
#include "presentatore.h"
#include "presenzecfg.h"
#include "testiora.h"

#include <QDate>
#include <QObject>

#include <functional>
#include <memory>
#include <stdexcept>

class FileIni;

// The opening stopped before anything was changed: the numbered message that says why, and
// its detail (the file, what is missing in it).
class ErroreAvvio : public std::runtime_error {
public:
    ErroreAvvio(int numero, const QString& dettaglio)
        : std::runtime_error(dettaglio.toStdString()), m_numero(numero), m_dettaglio(dettaglio)
    {
    }
    int numero() const { return m_numero; }
    QString dettaglio() const { return m_dettaglio; }

private:
    int m_numero;
    QString m_dettaglio;
};

struct CodiceDescr {
    QString descr;
    QString codice;
};

class TdtmPresenze : public QObject {
    Q_OBJECT
public:
    // When the databases may be created: never (a missing file is an error), only in the
    // default folder beside PRES.INI (first start), or always (the init command). Only the
    // init command completes a production database that lacks declared tables or fields.
    enum class ModoCreazione { Mai, CartellaPredefinita, Sempre };

    explicit TdtmPresenze(QObject* parent = nullptr);
    ~TdtmPresenze() override;

    // Reads PRES.INI (writing back missing defaults) and the registry value. A file that
    // cannot be read, or is not INI text, throws ErroreAvvio; one whose defaults cannot be
    // written is reported (ErrIni) and its values are used all the same.
    void LeggiConfigurazione(const QString& fileIni);
    // The opening sequence: configuration, private folder, production database, work
    // database (error message 1 and on when it fails), current employee -1, login gate.
    // A production database that is empty, not ours or incomplete throws ErroreAvvio and is
    // left as it was (the init command creates an empty one and completes an incomplete one,
    // after schemaDaCompletare); other failures to open it throw ErroreDb. Returns false when
    // the login was cancelled.
    bool Apri(const QString& fileIni, ModoCreazione creazione);
    void Chiudi();

    // Login gate, installed by the application (a dialog) or by tests; none means no login.
    std::function<bool(TdtmPresenze&)> login;

    TPresenzeCfg& cfg() { return m_cfg; }
    const TPresenzeCfg& cfg() const { return m_cfg; }
    TPresenzeMem& mem() { return m_mem; }
    const TPresenzeMem& mem() const { return m_mem; }
    Database& db() { return *m_db; }
    FileIni& ini();
    QString FileProduzione() const;
    QString FileLavoro() const;
    // The production database PRES.INI names, the environment completing the server's keys.
    // A key that names no engine or port throws ErroreAvvio.
    Connessione ConnessioneProduzione() const;
    // The production database PRES.INI names on `motore`, whatever Motore says: the file of
    // PATH, or the server of the connection keys. A port or name that is not one throws
    // ErroreAvvio.
    Connessione ConnessioneSu(Dialetto::Motore motore) const;
    // This workstation's schema of work tables on a server: [Ambiente START] Schema, or one
    // named after the host.
    QString SchemaLavoro() const;
    QString CartellaPriv() const;
    // True when `file` names one of the application's own files, however the path is spelled
    // (a link, "..", a relative name): the two databases with their journals and PRES.INI
    // with its lock. An output is never written over them.
    bool FileDellApplicazione(const QString& file) const;

    // Where messages go; with none set they go to standard error.
    void setPresentatore(Presentatore* p) { m_presentatore = p; }
    Presentatore* presentatore() const { return m_presentatore; }

    // --- Services ------------------------------------------------------------------
    // The table's highest Id + 1. Read inside the transaction that inserts the row, it stays
    // this caller's until the commit: write transactions of every copy take turns.
    int NuovoId(const QString& tabella);
    void MostraErrore(int n);
    // The message followed by a detail (a file name, an argument), set off by one blank
    // unless the detail brings its own separator (": ").
    void MostraErroreCon(int n, const QString& testo);
    // Every database failure shown to the user: one message followed by the engine's text
    // (its own message for a lost connection and for data a key or required field refused).
    void MostraErroreDb(const ErroreDb& e);
    static QString ConDettaglio(const QString& messaggio, const QString& dettaglio);
    QString TestoErrore(int n);
    bool Chiedi(int n);
    // The question followed by what it is about (a date, a list of dates), set off as in
    // MostraErroreCon.
    bool ChiediCon(int n, const QString& testo);
    QString TestoScelta(int n);
    // Descriptions and codes of a code list in the current language, in code order.
    QList<CodiceDescr> Codici(const QString& tabella, const QString& nomeCampo, const QString& colonnaCodice = QStringLiteral("ValCod"));
    bool CampoObbligatorio(const QString& tabella, const QString& campo) const;

    // The direction list of punch tokens (filled from the "Verso" code list).
    TestiOra::ListaVersi& ListaVersi() { return m_versi; }
    void CaricaListaVersi();
    QString TokenTimbratura(const QString& verso, const QTime& ora) const;

    // Fills the application memory from the database: release, installation date,
    // company name, entry and exit letters, preview flag.
    void CaricaMemoria();

    // The work plan's current employee, for its own display: −1 until it chooses one. The
    // engine, the check and every other data module take the employee as a parameter.
    int IdDipCorrente = -1;

    // A data module committed a change to a master table ("OrariRep", …): every module that
    // keeps a lookup of that table reads it again before its next use.
    void ArchivioCambiato(const QString& tabella) { emit archivioCambiato(tabella); }

    // Today's date for every rule that depends on it; tests and batch runs may fix it.
    QDate Oggi() const { return m_oggi.isValid() ? m_oggi : QDate::currentDate(); }
    void setOggi(const QDate& d) { m_oggi = d; }

signals:
    void ragioneSocialeCambiata(const QString& ragSoc);
    void archivioCambiato(const QString& tabella);
    // The init command is about to add these tables and fields ("Tabella", "Tabella.Campo")
    // to an existing production database.
    void schemaDaCompletare(const QString& file, const QStringList& mancanti);

private:
    QString testoMessaggio(bool scelta, int n);
    Presentatore& presentatoreAttivo();
    void apriCartellaPriv();
    void controllaProduzione(bool nuovo, ModoCreazione creazione);
    void installaLogo();

    TPresenzeCfg m_cfg;
    TPresenzeMem m_mem;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<FileIni> m_ini;
    Presentatore* m_presentatore = nullptr;
    TestiOra::ListaVersi m_versi;
    QDate m_oggi;
};
