#pragma once
// The employee selection table (wwTblAnagSel): Anagrafico of the production database, or
// the selection table the employee query filled in the work database, in the order the
// user chose. It feeds the work plan's employee picker and the loops of "process all" and
// of the reports, which walk it with Primo / Successivo / Fine.
//
// Columns: Nominativo (Cognome + " " + Nome), Matricola, Libero (titled "Commento"), Id,
// Cognome, Nome, Classe. Qt::UserRole on any column gives the employee's Id.

#include <QAbstractTableModel>
#include <QList>
#include <QString>

class TdtmPiano;

struct DipendenteSel {
    int Id = 0;
    QString Matricola;
    QString Cognome;
    QString Nome;
    QString Libero;
    QString Classe;
    QString Nominativo() const { return Cognome + QLatin1Char(' ') + Nome; }
};

class TabellaAnagSel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Colonna { ColNominativo, ColMatricola, ColLibero, ColId, ColCognome, ColNome, ColClasse, NumColonne };
    enum class Ordine { CognomeNome, Matricola, Libero };

    explicit TabellaAnagSel(TdtmPiano& piano, QObject* parent = nullptr);

    // The sort fields as the employee query reports them: "Cognome;Nome", "Matricola",
    // "Libero"; anything else (none chosen) is by name.
    static Ordine OrdineDaTesto(const QString& campi);
    static QString TestoOrdine(Ordine o);

    // Table and database of the selection: the database is "DBPresenze" or "DBPresUt"
    // (any case); a name such as "TAnagCk.DB" is cut before its first ".". Closes the
    // table when open. Throws ErroreDb for an unknown database or a malformed name.
    void ImpostaTabella(const QString& nome = QStringLiteral("Anagrafico"), const QString& database = QStringLiteral("DBPresenze"));
    QString NomeTabella() const { return m_tabella; }
    QString NomeDatabase() const { return m_database; }
    // Re-sorts an open table, staying on the same employee.
    void ImpostaOrdine(Ordine o);
    Ordine OrdineCorrente() const { return m_ordine; }

    // Reads the table in the chosen order, current row on the first employee. Throws
    // ErroreDb (for instance when the selection table does not exist).
    void Apri();
    void Chiudi();
    bool Aperta() const { return m_aperta; }

    int Righe() const { return int(m_righe.size()); }
    const DipendenteSel& Dipendente(int riga) const { return m_righe.at(riga); }
    int RigaCorrente() const { return m_corrente; }  // -1 when empty or closed
    void ImpostaRigaCorrente(int riga);
    int IdCorrente() const;  // -1 when there is no current row

    // Moves to the employee with this id; false (cursor unchanged) when absent.
    bool Trova(int id);
    // Walk: Primo(); while (!Fine()) { …; Successivo(); }
    void Primo();
    void Successivo();  // past the last row Fine() becomes true, the cursor stays on it
    bool Fine() const { return m_fine; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // Opened or closed: the employee picker is enabled exactly while it is open.
    void statoCambiato(bool aperta);
    void rigaCorrenteCambiata(int riga);

private:
    void leggi();

    TdtmPiano& m_piano;
    QList<DipendenteSel> m_righe;
    QString m_tabella = QStringLiteral("Anagrafico");
    QString m_database = QStringLiteral("DBPresenze");
    Ordine m_ordine = Ordine::CognomeNome;
    bool m_aperta = false;
    bool m_fine = true;
    int m_corrente = -1;
};
