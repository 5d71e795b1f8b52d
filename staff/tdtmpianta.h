#pragma once
// The organisation chart: the department tree (UnitaPianta) and the qualification tree
// (UnitaRuolo), what their windows show and change, headless. Each window reads its tree
// once and again after every change; every change is one short transaction that checks the
// stored rows again under the write lock, because another workstation may have changed the
// tree since it was read (a sub-unit added, a unit deleted or moved).
//
// Units are always named by id: two departments may both be called "Amministrazione".

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

class TdtmPresenze;

enum class TipoAlbero { Reparti, Qualifiche };

struct RigaUnita {
    int id = 0;
    std::optional<int> padre;  // none: a unit at the top
    QString descr;
};

// A tree as the windows show it: one top unit, siblings by name (then id). Built from the
// rows in table order, whatever order parents and children come in.
class AlberoUnita {
public:
    // Each row goes under its parent if that is already placed, else provisionally at the top;
    // units waiting at the top go under a row that turns out to be their parent. The first
    // unit left at the top is the tree's top; any other, with all below it, is not shown.
    static AlberoUnita Costruisci(const QList<RigaUnita>& righe);

    bool vuoto() const { return m_radice == 0; }
    int Radice() const { return m_radice; }  // 0 when the table has no row
    bool Contiene(int id) const { return m_unita.contains(id); }
    QString Descr(int id) const { return m_unita.value(id).descr; }
    int Padre(int id) const { return m_unita.value(id).padre; }  // 0 for the top
    QList<int> Figli(int id) const { return m_unita.value(id).figli; }
    // Depth below the top (the top is 0).
    int Livello(int id) const;
    // True when `id` lies below `antenato` (not when it is `antenato`).
    bool Sotto(int id, int antenato) const;
    // `id` and every unit below it, in display order.
    QList<int> Ramo(int id) const;
    // Every unit shown, in display order (the top, then each sub-unit's branch in turn).
    QList<int> InOrdine() const { return m_radice ? Ramo(m_radice) : QList<int>(); }
    // The printed line of a unit: "-" and its name after five spaces per level.
    QString Riga(int id) const;

private:
    struct Nodo {
        QString descr;
        int padre = 0;
        QList<int> figli;
    };
    void ordinaFigli();
    QHash<int, Nodo> m_unita;  // only the units shown
    int m_radice = 0;
};

class TdtmPianta {
public:
    // The top unit every company has: it cannot be deleted.
    static constexpr int kRadice = 1;
    // The unit of a profile that names none (also of profiles whose unit was deleted).
    static constexpr int kNessuna = -1;

    TdtmPianta(TdtmPresenze& dtm, TipoAlbero tipo);

    TipoAlbero Tipo() const { return m_tipo; }
    QString Tabella() const;
    QString CampoPadre() const;
    // Longest name the table stores.
    int LunghezzaDescr() const;

    // The stored rows in table order (by id), and the tree they make. Throw ErroreDb.
    QList<RigaUnita> Righe() const;
    AlberoUnita Leggi() const { return AlberoUnita::Costruisci(Righe()); }

    // A named unit under `idPadre`; the name is trimmed first. The id is the highest stored
    // plus 1, taken inside the writing transaction: two workstations never get the same one,
    // and the id of the newest unit, once deleted, is given again. Returns the new id, or 0
    // with `errore` set (ErrDatoMancante for an empty or too long name, ErrUnitaScomparsa when
    // the parent is gone). Throws ErroreDb (nothing written).
    int Inserisci(int idPadre, const QString& nome, int* errore = nullptr);
    // The trimmed name for unit `id`. A blank name changes nothing and returns 0, as an
    // accepted one does; too long: ErrDatoMancante; the unit is gone: ErrUnitaScomparsa.
    // Throws ErroreDb.
    int Rinomina(int id, const QString& nome);
    // The refusal of a deletion as the stored tree gives it: 1001 when the unit has
    // sub-units, 1119 for the top unit, 0 when it may go.
    int CancellazioneVietata(const AlberoUnita& albero, int id) const;
    // Deletes unit `id`; the profiles that name it are given kNessuna in the same transaction,
    // so a unit that later takes the same id does not inherit their staff. The sub-units are
    // counted again inside the transaction. Returns 0, 1001, 1119 or ErrUnitaScomparsa.
    // Throws ErroreDb (nothing changed).
    int Cancella(int id);

    // Where a dragged unit may go: onto a unit (it becomes a sub-unit of `bersaglio`) or
    // beside it (`sotto` false: it takes the parent of `bersaglio`). Refused: onto itself,
    // onto a sibling, onto or beside one of its own sub-units, beside the top unit (it would
    // leave the tree), and moving the top unit.
    static bool SpostamentoAmmesso(const AlberoUnita& albero, int id, int bersaglio, bool sotto);
    // The move, checked again on the stored rows inside its transaction (a move made
    // meanwhile elsewhere might otherwise close a cycle that hides a branch for good).
    // Returns 0, ErrSpostamentoUnita or ErrUnitaScomparsa. Throws ErroreDb.
    int Sposta(int id, int bersaglio, bool sotto);

    // --- Both trees -------------------------------------------------------------------------
    // The employees of department `idReparto` and qualification `idQualifica` (with their
    // sub-units when asked): TPiantaSel and TRuoloSel receive the units, TAnagCk the
    // employees with a badge and a profile in both sets, each once. Returns how many.
    // Throws ErroreDb.
    static int ElencaDipendenti(TdtmPresenze& dtm, int idReparto, int idQualifica, bool sottounita);

private:
    QHash<int, std::optional<int>> padriSalvati() const;

    TdtmPresenze& m_dtm;
    TipoAlbero m_tipo;
};
