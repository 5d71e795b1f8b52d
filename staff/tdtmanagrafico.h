#pragma once
// The employee register: for every employee (Anagrafico, class "D") the badge whose code the
// terminals send (Badge) and the profile that drives the processing (Profilo). This module
// reads them for the register window and the printed lists, checks an employee as the editor
// or an import holds it, writes it and deletes it. Headless; failures of the database are
// thrown as ErroreDb.
//
// Every write is one short transaction at the moment of confirmation, under the database's
// write lock: the new employee's id, the badge log's ids and the check that the badge code is
// free are all taken inside it, so two workstations never hand out the same id or the same
// code. Departments, qualifications, rotations and timetables are named by id: two of them
// may share a name.
//
//   TdtmAnagrafico anag(dtm);
//   DatiDipendente d = anag.Nuovo();                 // the creation values
//   d.Cognome = ...;
//   EsitoAnag e = anag.Registra(d);                  // checks, then writes; d.Id is set
//   if (!e.ok()) dtm.MostraErrore(e.errore());       // and focus e.campo
//   anag.Cancella(id);                               // the employee and all his data

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class TdtmPresenze;

// A unit of the department or qualification tree, with the names from the top of its tree
// down to it ("Azienda / Produzione / Montaggio"), which tell apart two units of one name.
struct UnitaOrganico {
    int id = 0;
    QString descr;
    QString percorso;
};

// A rotation or a timetable as a list offers it.
struct VoceAnagrafico {
    int id = 0;
    QString descr;
};

struct DatiDipendente {
    static constexpr int kNessunaUnita = -1;  // the profile's "none chosen" department or qualification

    int Id = 0;  // 0: not stored yet
    QString Matricola;
    QString Cognome;
    QString Nome;
    QString Libero;  // "Livello"
    QString Note;
    QString Codice;  // badge code
    int IdPianta = kNessunaUnita;
    int IdRuolo = kNessunaUnita;
    QDate DataAssunz;
    QDate DataLicenz;  // invalid: still employed
    bool Autorizzato = true;
    int IdOrari = 0;      // the rotation; 0: none
    int IdOrFestivo = 0;  // the holiday timetable; 0: none

    // Read with the employee, for display only; never written.
    bool ConProfilo = false;  // false: the profile fields hold no stored values
    QString DescrPianta;
    QString DescrRuolo;
    QString DescrTurno;
    QString DescrOrFest;

    // The values the editor edits, without the display fields.
    bool StessiValori(const DatiDipendente& o) const;
};

// The fields of the editor, in the order the user meets them.
enum class CampoAnag { Nessuno, Cognome, Nome, Matricola, Codice, Assunzione, Licenziamento, Note, Reparto, Qualifica, Livello,
                       Turno, OrarioFestivo };

// Why a value is refused.
enum class MotivoAnag {
    Mancante,       // required and empty, or a unit still "none chosen"
    TroppoLungo,    // longer than its field
    Sconosciuto,    // a unit, rotation or timetable that does not exist
    BadgeInUso,     // the badge code belongs to another employee
    DateInvertite,  // leaving date before the hiring date
};

struct DifettoAnag {
    CampoAnag campo = CampoAnag::Nessuno;
    MotivoAnag motivo = MotivoAnag::Mancante;
    int errore() const;  // the editor's message: 103, or 1108 for the dates
};

// The outcome of a confirmation: 0, or the message to show and the field to focus.
struct EsitoAnag {
    int errore = 0;
    CampoAnag campo = CampoAnag::Nessuno;
    bool ok() const { return errore == 0; }
};

// How the register is ordered: by name, by personnel number, by the free field "Livello".
enum class OrdineAnag { Nominativo, Matricola, Libero };

class TdtmAnagrafico : public QObject {
    Q_OBJECT
public:
    // Ids below this are never given to a new employee.
    static constexpr int kPrimoId = 10;
    static constexpr int kLungCognome = 30;
    static constexpr int kLungNome = 20;
    static constexpr int kLungCodice = 10;  // Matricola and badge code
    static constexpr int kLungLibero = 20;

    explicit TdtmAnagrafico(TdtmPresenze& dtm, QObject* parent = nullptr);

    TdtmPresenze& dtm() const { return m_dtm; }

    // --- Reading ----------------------------------------------------------------------------
    // Every employee (class "D") in the order asked, or only those of the selection table
    // TAnagCk of the work database, with badge, latest profile and the names of its units,
    // rotation and holiday timetable; a missing badge or profile leaves its fields empty.
    // By name means by surname, first name, personnel number. Throws ErroreDb.
    QList<DatiDipendente> Elenco(OrdineAnag ordine, bool soloSelezione = false);
    // One employee as stored; an employee without badge or profile gets the creation values
    // of the missing row. Nothing when he is not there.
    std::optional<DatiDipendente> Leggi(int id);
    // The creation values of a new employee, badge and profile.
    DatiDipendente Nuovo() const;

    // The units of the department (UnitaPianta) or qualification (UnitaRuolo) tree by name,
    // then path; a unit whose parents are missing or go round in a circle has the path of
    // the parents found. Throws ErroreDb.
    QList<UnitaOrganico> Reparti();
    QList<UnitaOrganico> Qualifiche();
    // Rotations (Turni) and timetables (OrariRep) by name, then id.
    QList<VoceAnagrafico> Turni();
    QList<VoceAnagrafico> Orari();

    // --- The editor's rules --------------------------------------------------------------------
    // "0" in front of a code shorter than 10 characters; an empty code stays empty.
    static QString RiempiZeri(const QString& codice);
    // Every failure of the employee, in the order the editor reports them: surname and first
    // name, the lengths of the texts, department, qualification, badge code (empty, or held by
    // another employee), hiring and leaving dates, rotation, holiday timetable. Reads the
    // database: run it inside the writing transaction, where nobody can take a code meanwhile.
    QList<DifettoAnag> Verifica(const DatiDipendente& d);

    // --- Writing ----------------------------------------------------------------------------
    // The confirmation of the editor in one transaction: the checks, then for a new employee
    // Anagrafico, Profilo and Badge (the id taken now, at least kPrimoId), for a stored one
    // Badge, Profilo and Anagrafico, with the dates of badge and profile put in step with the
    // hiring and leaving dates, then the badge log. Codes are zero-filled first. Returns the
    // first failure (nothing written); Msg::ErrDipendenteScomparso when the employee was
    // deleted meanwhile; Msg::ErrRegistroBadge when the log cannot be written. On success sets
    // d.Id. Throws ErroreDb, after which nothing of it is stored.
    EsitoAnag Registra(DatiDipendente& d);
    // Deletes the employee and everything that refers to him (CancellaDipendente) in one
    // transaction, then drops him from the selection table. Returns 0, Msg::ErrRegistroBadge
    // or Msg::ErrDipendenteScomparso (nothing deleted). Throws ErroreDb (nothing deleted).
    int Cancella(int id);

    // Writes a new employee with id `id`, without checks, inside the caller's transaction:
    // Anagrafico, Profilo, Badge and the badge log entry. For the import, which checks first.
    void ScriviNuovo(const DatiDipendente& d, int id);
    // The id of the next new employee (inside the transaction that writes him).
    int NuovoIdDipendente();

    // Pause between the tries to open the badge log (1000 ms; tests shorten it).
    void setPausaRegistro(int ms) { m_pausaRegistro = ms; }
    int pausaRegistro() const { return m_pausaRegistro; }

private:
    QList<UnitaOrganico> unita(const QString& tabella, const QString& campoPadre);
    QList<VoceAnagrafico> voci(const QString& tabella);

    TdtmPresenze& m_dtm;
    int m_pausaRegistro = 1000;
};
