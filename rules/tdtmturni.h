#pragma once
// The shift rotations and the holiday calendar: what the rotation window and the calendar
// window show and change, headless. A rotation being inserted or modified is kept here, in
// memory, until its "OK": then it is written in one short transaction. A write transaction
// held while the user types would stop every other workstation (acquisition, processing) on a
// shared database for as long as the editing lasts.
//
// Timetables and rotations are always chosen by id: two of them may share a name.

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

class TdtmPresenze;

// One entry of a list: the id it stands for and the text shown.
struct VoceElenco {
    int id = 0;
    QString descr;
};

// A timetable as a rotation day shows it: name, punch window, closing and expected minutes.
struct OrarioTurno {
    int id = 0;  // 0: none chosen yet
    QString descr;
    int prima = 0;
    int ultima = 0;
    QString chiusura;  // "A" closes on its own day; any other code on the next one
    int oreMedie = 0;
    bool esiste = false;  // the timetable is in OrariRep
};

struct GiornoTurno {
    int numOrd = 0;  // 1 Sunday … 7 Saturday
    QString tipo;    // "O" uses the timetable; "G" a day without timetable (never written here)
    OrarioTurno orario;
};

// One bar of the week chart: row 1 at the top, hours from 0 to 24.
struct BarraTurno {
    int riga = 0;
    double inizio = 0;
    double fine = 0;
    bool rosso = false;  // the timetable expects work (OreMedie > 0); yellow otherwise

    bool operator==(const BarraTurno&) const = default;
};

class TdtmTurni : public QObject {
    Q_OBJECT
public:
    static constexpr int kGiorni = 7;
    enum class Modo { Consultazione = 1, Modifica = 2, Inserimento = 3 };
    // Where the focus goes with a refusal.
    enum class Campo { Nessuno, Orario, Descrizione };
    struct Esito {
        int errore = 0;  // Msg number; 0 when written
        Campo campo = Campo::Nessuno;
        bool ok() const { return errore == 0; }
    };

    explicit TdtmTurni(TdtmPresenze& dtm, QObject* parent = nullptr);

    // "Domenica" … "Sabato" for positions 1 … 7; the grid shows the first three letters.
    static QString NomeGiorno(int numOrd);
    static QString NomeGiornoBreve(int numOrd);

    // --- Rotations ---------------------------------------------------------------------------
    // Rotations and timetables by name (then id), read afresh each time. Throw ErroreDb.
    QList<VoceElenco> ElencoTurni() const;
    QList<OrarioTurno> ElencoOrari() const;
    QList<GiornoTurno> Composizione(int idTurno) const;

    // The rotation the window shows: in browsing the stored one, while editing the one in
    // memory. IdTurno is 0 when there is none (and, while inserting, until it is written).
    Modo modo() const { return m_modo; }
    int IdTurno() const { return m_id; }
    QString Descrizione() const { return m_descr; }
    const QList<GiornoTurno>& Giorni() const { return m_giorni; }
    int GiornoCorrente() const { return m_corrente; }

    // Browsing: makes rotation `id` current; an id that no longer exists (or 0) makes the
    // first rotation by name current. Discards anything being edited. Throws ErroreDb.
    void ApriTurno(int id);

    // A new rotation with its first day started; its proposed name is "Id" and the id it will
    // take. Throws ErroreDb.
    void IniziaInserimento();
    // The current rotation into editing; false (and nothing changes) when it has no days.
    bool IniziaModifica();
    void ImpostaDescrizione(const QString& descr);
    // Modifying: the day the user moved to. Inserting: the current day stays the last one.
    void ImpostaGiornoCorrente(int indice);
    // The timetable of the current day; `orario` is one of ElencoOrari().
    void ImpostaOrario(const OrarioTurno& orario);
    // "Prossimo" while inserting: with a timetable chosen, the next day is started. A refusal
    // (no timetable) names the field.
    Esito Prossimo();
    // Inserting, and the seventh day is started: "OK" takes the place of "Prossimo".
    bool UltimoGiorno() const { return m_modo == Modo::Inserimento && m_giorni.size() == kGiorni; }
    // "OK": checks everything first (a name, a timetable for every day), then writes the
    // rotation in one transaction and returns to browsing on it. A database failure throws
    // ErroreDb with nothing written and the editing kept as it was.
    Esito Conferma();
    // "Annulla": drops what was being edited; nothing was written.
    void Annulla();

    // Msg 1800 when a profile names the rotation, else 0.
    int UsoTurno(int id) const;
    // Deletes the rotation and its days in one transaction; the use is checked again inside
    // it. Returns 0, or 1800 with nothing deleted. Throws ErroreDb (nothing deleted).
    int CancellaTurno(int id);

    // The week chart of a rotation's days: a day closing on its own day is one bar on its row;
    // a day closing on the next one is a bar to 24 and a bar from 0 on the next row, the
    // seventh day's on row 1. Days without an existing timetable draw nothing.
    static QList<BarraTurno> Barre(const QList<GiornoTurno>& giorni);

    // --- Holiday calendar ---------------------------------------------------------------------
    // Processing reads only calendar 1 and type "F": the window lists, marks, writes and
    // removes only those rows.
    static constexpr int kCalendario = 1;

    // Creates calendar 1 when it is missing. Throws ErroreDb.
    void PreparaCalendario();
    QList<QDate> Festivi() const;
    bool Festivo(const QDate& giorno) const;
    // False when the date is already a holiday (nothing written). Throws ErroreDb.
    bool AggiungiFestivo(const QDate& giorno);
    // False when the date is not a holiday (nothing removed). Throws ErroreDb.
    bool RimuoviFestivo(const QDate& giorno);
    // The national holidays of `anno` that calendar 1 does not hold yet.
    QList<QDate> FestivitaMancanti(int anno) const;
    // Adds the dates not yet present, all or none; returns how many were added. Throws ErroreDb.
    int AggiungiFestivi(const QList<QDate>& giorni);

signals:
    // The mode changed (the window enables and disables its commands).
    void modoCambiato(TdtmTurni::Modo modo);

private:
    void imposta(Modo modo);
    void creaCalendario();
    QList<QDate> festiviTra(const QDate& dal, const QDate& al) const;

    TdtmPresenze& m_dtm;
    Modo m_modo = Modo::Consultazione;
    int m_id = 0;
    QString m_descr;
    QString m_descrProposta;  // "Id…" offered to a new rotation
    QList<GiornoTurno> m_giorni;
    QList<GiornoTurno> m_salvati;  // the days as stored, while modifying
    int m_corrente = 0;
};
