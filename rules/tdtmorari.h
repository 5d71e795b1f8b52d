#pragma once
// The timetables: one row of OrariRep each, with its two punch rounding rules (ArroTim, one
// per direction) and its overtime bands (ArroStra). This module reads them for the windows
// and the printed list, checks a timetable as the editor's fields hold it, writes it and
// deletes it. Every write is one short transaction at the moment of confirmation: on a
// shared database an open write transaction would stop every other workstation for as long
// as the user types. Headless; failures of the database are thrown as ErroreDb.
//
//   TdtmOrari orari(dtm);
//   QList<DatiOrario> elenco = orari.Elenco();            // by name, each with its id
//   VerificaOrario v = TdtmOrari::Controlla(valori);      // the editor's texts
//   if (v.ok()) esito = orari.Registra(v.orario);         // insert (Id 0) or modify
//   esito = orari.Cancella(id);                           // 0, or why it is refused

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <optional>

class TdtmPresenze;
struct CodiceDescr;

// One overtime band: day overtime totals Inizio..Fine (both included) and the rule for them.
struct FasciaStra {
    int Inizio = 0;
    int Fine = 0;
    QString TipoArrot;
    QVariant MinutiArrot;  // null on an "I" band

    bool operator==(const FasciaStra&) const = default;
};

struct DatiOrario {
    int Id = 0;  // 0: not stored yet
    QString Descr;
    int OreMedie = 0;
    int PrimaTimb = 0;
    int UltimaTimb = 1439;
    QString ChiusGio = QStringLiteral("A");
    // Steps of the ArroTim rows of entries and exits; none when the row is missing.
    std::optional<int> PassoEntrata = 1;
    std::optional<int> PassoUscita = 1;
    QList<FasciaStra> Fasce{{0, 1439, QStringLiteral("D"), 1}};  // by Inizio

    // The overtime minimum and step as the windows show them: one band gives minimum 0 and
    // its step, two or more the start and step of the second band, none 0 and 0.
    int MinimoStra() const;
    int PassoStra() const;
};

// The editor's fields as the user left them.
struct ValoriOrario {
    QString Descr;
    QString OreMedie;   // hh:mm
    QString Prima;      // hh:mm
    QString Ultima;     // hh:mm
    QString ChiusGio;   // code of the chosen closing mode; empty when none is chosen
    QString PassoEntrata;
    QString PassoUscita;
    QString MinimoStra;
    QString PassoStra;

    bool operator==(const ValoriOrario&) const = default;
};

enum class CampoOrario { Nessuno, Descr, OreMedie, Prima, Ultima, Chiusura, PassoEntrata, PassoUscita, MinimoStra, PassoStra };

// The outcome of checking the editor's fields: the message and the field it concerns, or the
// timetable to write.
struct VerificaOrario {
    int errore = 0;
    CampoOrario campo = CampoOrario::Nessuno;
    DatiOrario orario;
    bool ok() const { return errore == 0; }
};

class TdtmOrari : public QObject {
    Q_OBJECT
public:
    explicit TdtmOrari(TdtmPresenze& dtm, QObject* parent = nullptr);

    TdtmPresenze& dtm() const { return m_dtm; }

    // Every timetable by name (then id: two may share a name), with its rules.
    QList<DatiOrario> Elenco();
    std::optional<DatiOrario> Leggi(int id);
    // The closing modes (code list "GioDescr"), each code once, in description order.
    QList<CodiceDescr> Chiusure();

    // Stores the timetable in one transaction: OrariRep, then its two ArroTim rows and its
    // bands, replacing the old ones. Id 0 creates it with the next free id, which is set in
    // `orario`. Returns 0, or Msg::ErrOrarioScomparso when the timetable to modify is no longer
    // there (nothing written). Throws ErroreDb, after which nothing of it is stored.
    int Registra(DatiOrario& orario);
    // Deletes the timetable with its rounding rules, bands and typical punches in one
    // transaction, unless something uses it: then returns the message that says what
    // (1541 a rotation day, 1544 a profile's holiday timetable, 1543 a work-plan day),
    // checked in that order inside the same transaction. Returns 0 when deleted.
    int Cancella(int id);

    // --- The editor's rules, without the database --------------------------------------
    // The steps a rounding may use: those that divide an hour evenly, except 20.
    static bool PassoAccettato(int passo);
    static const QList<int>& PassiAccettati();
    // "hh:mm" as minutes of day; none when it is not a time of day.
    static std::optional<int> LeggiOrologio(const QString& testo);
    // The bands that store overtime minimum M and step S: below M nothing, from M whole steps.
    static QList<FasciaStra> FasceStraordinario(int minimo, int passo);
    // The fields of a new timetable, with the closing mode chosen first.
    static ValoriOrario ValoriPredefiniti(const QString& primaChiusura);
    // The fields showing a stored timetable.
    static ValoriOrario Valori(const DatiOrario& orario);
    // Checks every field before anything is written, in the order the user meets the
    // messages: times, window against closing mode and expected work, rounding steps, name,
    // overtime step and minimum.
    static VerificaOrario Controlla(const ValoriOrario& v);

private:
    QList<DatiOrario> leggi(const QVariant& id);

    TdtmPresenze& m_dtm;
};
