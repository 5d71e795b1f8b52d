#pragma once
// The conditions of an employee search and everything done with them: the statement with
// its bound parameters, the search itself, and the copy of the chosen people into a
// selection table of the work database. Headless: the search dialog only shows and edits
// what this class holds, and tests drive it directly.

#include "tabelle.h"

#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <optional>
#include <utility>

class TdtmPresenze;

// Match kinds, in the order the dialog lists them.
enum class Confronto { Uguale, IniziaCon, FinisceCon, Contiene, DaA };
// The fields of the first two tabs.
enum class CampoRicerca { Cognome, Nome, Matricola, CodiceBadge };
// The unit conditions of the "Organico" tab.
enum class Organico { Reparto, Qualifica };

enum class ClasseRicerca { ctSelect, ctEmployees, ctGuests };
enum class ModoCopia { dmDefault, dmProfile };

struct UnitaScelta {
    int id = 0;
    QString descr;
    bool operator==(const UnitaScelta& o) const { return id == o.id && descr == o.descr; }
};

// What a search is run against and where its result goes; kept by TQALight.
struct ImpostazioniRicerca {
    QString dataBaseName = QStringLiteral("DBPresenze");
    QString tempDataBaseName = QStringLiteral("DBPresUt");
    QString tempTableName = QStringLiteral("AnagraficoSelezione");
    bool dumpTable = true;
    ClasseRicerca classe = ClasseRicerca::ctSelect;
    ModoCopia modo = ModoCopia::dmDefault;
};

struct IstruzioneRicerca {
    QString sql;
    QStringList condizioni;                         // the user's conditions, in tab order
    QList<std::pair<QString, QVariant>> parametri;  // "Param1", "Param2", ... and their values
    bool conCondizioni() const { return !condizioni.isEmpty(); }
};

class RicercaAnagrafico {
public:
    enum class Esito { Trovati, Nessuno, IntervalloErrato };
    // Results of the dialog: a selection was made, it was cancelled, all people were chosen.
    enum Risultato { RisSelezione = 1, RisAnnullato = 2, RisTutti = 8 };

    explicit RicercaAnagrafico(TdtmPresenze& dtm);

    ImpostazioniRicerca& impostazioni() { return m_imp; }
    const ImpostazioniRicerca& impostazioni() const { return m_imp; }

    // --- Conditions --------------------------------------------------------------------
    // Match kinds back to "inizia con ...", values and units cleared, first order entry.
    void Azzera();
    void AzzeraRisultati();
    bool Vuota() const;  // no value and no unit given

    Confronto confronto(CampoRicerca c) const { return m_campi[idx(c)].confronto; }
    void setConfronto(CampoRicerca c, Confronto k) { m_campi[idx(c)].confronto = k; }
    // quale 0 is the value "da ...", 1 the second value "a ..." of a range. Setting a value
    // is leaving its box: personnel numbers of a range and badge codes compared whole or as
    // a range are left-filled with "0" to 10 characters.
    QString valore(CampoRicerca c, int quale) const { return m_campi[idx(c)].valori[quale ? 1 : 0]; }
    void setValore(CampoRicerca c, int quale, const QString& testo);
    static bool RiempieZeri(CampoRicerca c, Confronto k);
    static QString RiempiZeri(const QString& testo);

    QList<UnitaScelta> unita(Organico o) const { return m_unita[o == Organico::Reparto ? 0 : 1]; }
    void setUnita(Organico o, const QList<UnitaScelta>& scelte) { m_unita[o == Organico::Reparto ? 0 : 1] = scelte; }
    // The chosen units as the tab lists them: the only name, or the first followed by " ...".
    QString testoUnita(Organico o) const;
    // Departments or qualifications that can be chosen, by name.
    QList<UnitaScelta> elencoUnita(Organico o) const;

    // Order entries the dialog offers. The statement also understands "Ordina per N. Badge"
    // and "Ordina per Campo Libero"; any other entry orders as the first one.
    static QStringList VociOrdine();
    QString ordine() const { return m_ordine; }
    void setOrdine(const QString& voce) { m_ordine = voce; }
    // The sort fields a caller applies to the selection: "Cognome;Nome", "Matricola",
    // "Libero", or empty (the entry contains none of NOMINATIVO, MATRICOLA, COMMENTO).
    static QString SortFields(const QString& voce);
    QString SortFields() const { return SortFields(m_ordine); }

    // --- Search ------------------------------------------------------------------------
    // The people tables can be read on dataBaseName, and (when the result is copied) the
    // selection table's database is the open work database.
    bool ArchivioValido() const;
    IstruzioneRicerca Istruzione() const;
    // A range whose second value is lower than the first, if any (first in tab order).
    std::optional<CampoRicerca> IntervalloErrato() const;
    // Runs the search; shows the message of a wrong range or of an empty result.
    Esito Cerca();
    const QList<QSqlRecord>& Righe() const { return m_righe; }
    bool CercatoConCondizioni() const { return m_conCondizioni; }

    // --- Ending with a selection ----------------------------------------------------------
    // After a search with conditions or with marked people: copies the marked people (or
    // the whole result) into the selection table, when dumpTable, and returns RisSelezione;
    // otherwise copies nothing and returns RisTutti. Throws ErroreDb.
    int Conferma(const QList<int>& idMarcati);
    QList<int> IdScelti() const { return m_scelti; }

    // Fields of the selection table: those of the statement's select list.
    QStringList CampiSelezione() const;
    // Name of an index of a selection table: index names are unique in a whole database,
    // and several selection tables live side by side in the work database.
    static QString NomeIndice(const QString& tabella, const QString& indice);
    // Creates, empties or rebuilds the selection table (inside the caller's transaction).
    void PreparaTabellaSelezione();

private:
    struct Valori {
        Confronto confronto = Confronto::IniziaCon;
        std::array<QString, 2> valori;
    };
    static int idx(CampoRicerca c) { return int(c); }
    QString valoreEffettivo(CampoRicerca c, int quale) const;
    QString tabellaSql(const QString& tabella) const;
    QString selectList() const;
    QList<Campo> campiSelezione() const;
    QList<QSqlRecord> esegui(const QString& sql, const QList<std::pair<QString, QVariant>>& parametri) const;
    QList<QSqlRecord> rileggi(const QList<int>& id) const;
    void copia(const QList<QSqlRecord>& righe);

    TdtmPresenze& m_dtm;
    ImpostazioniRicerca m_imp;
    std::array<Valori, 4> m_campi;
    std::array<QList<UnitaScelta>, 2> m_unita;
    QString m_ordine;
    QList<QSqlRecord> m_righe;
    bool m_conCondizioni = false;
    QList<int> m_scelti;
};

// Where a selection lives, as a statement names it: "':dbPresUt:<tabella>'" for the work
// database, the plain name for the production one.
QString RiferimentoSelezione(const QString& dataBaseName, const QString& tabella);
// The ORDER BY list that walks a selection in the order chosen in the search dialog:
// "Cognome;Nome" and empty give "Cognome, Nome, Id", "Matricola" gives "Matricola, Id",
// "Libero" gives "Libero, Id". Id always closes the list, so equal names keep one order.
QString OrdineSelezione(const QString& sortFields);
// "SELECT <campi> FROM <selection> ORDER BY <list>", for the work plan and the reports.
QString IstruzioneSelezione(const QString& dataBaseName, const QString& tabella, const QString& sortFields,
                            const QString& campi = QStringLiteral("*"));
