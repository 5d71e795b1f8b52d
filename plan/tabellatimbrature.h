#pragma once
// The punches of one employee's day (wwTblTimbr), in valid-time order: the list of the
// day details, the punch cell's positioning and the storage operations of the punch
// editor. A punch belongs to the day of its valid time.
//
// Columns: IdDip, DataV, DataO, VersoV, VersoO, Caus, IdTerminale, Indirizzo, VTradO,
// VTradV. Qt::DisplayRole shows the times as "hh.mm" (empty when null), the terminal's
// address and the direction letters; Qt::EditRole gives the stored values (times as
// QDateTime, invalid when null).

#include <QAbstractTableModel>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

class TdtmPiano;

struct Timbratura {
    int IdDip = 0;
    QDateTime DataV;
    QDateTime DataO;  // invalid: the punch was inserted by hand
    QString VersoV;
    QString VersoO;
    QString Caus;
    QVariant IdTerminale;
    QString chiaveDataV;  // DataV exactly as stored: the row's key (empty for a new punch)
};

class TabellaTimbrature : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Colonna { ColIdDip, ColDataV, ColDataO, ColVersoV, ColVersoO, ColCaus, ColIdTerminale, ColIndirizzo, ColVTradO, ColVTradV, NumColonne };

    explicit TabellaTimbrature(TdtmPiano& piano, QObject* parent = nullptr);

    // Opens the list (when closed) on the employee's punches from `giorno` 00:00 to its
    // last second; the current punch is the first. Throws ErroreDb.
    void Limita(int idDip, const QDate& giorno);
    void Chiudi();
    bool Aperta() const { return m_aperta; }
    int IdDip() const { return m_idDip; }
    QDate Giorno() const { return m_giorno; }
    // Re-reads the day, staying on the same punch (by valid time) when it still exists.
    void Aggiorna();

    int Righe() const { return int(m_righe.size()); }
    const Timbratura& Riga(int riga) const { return m_righe.at(riga); }
    int RigaCorrente() const { return m_corrente; }  // -1 when the day has no punches
    const Timbratura* Corrente() const;
    void ImpostaRigaCorrente(int riga);  // clamped; emits rigaCorrenteCambiata on a change
    // Moves to the first punch whose valid time is at or after `quando`, or to the last
    // punch when none is: a token's time has no seconds, so the punch it was made from is
    // the first one not earlier than it. Returns the row, -1 when the day is empty.
    int PosizionaVicino(const QDateTime& quando);

    // Entry / exit letter of a direction code (TPresenzeMem), empty for anything else.
    QString LetteraVerso(const QString& verso) const;
    QString Indirizzo(int riga) const;

    // --- Storage -----------------------------------------------------------------------
    // Each throws ErroreDb (a duplicate valid time is a key violation, a missing valid time
    // or direction a required-field violation), re-reads the day, moves to the punch just
    // written and emits timbratureCambiate.
    void Inserisci(const Timbratura& t);
    void Modifica(int riga, const Timbratura& t);
    // Asks ConfirmDelete first: anything but Yes keeps the punch and returns false.
    bool Cancella(int riga);
    // Question 3; true on Yes.
    bool ConfirmDelete();

    // --- QAbstractItemModel ------------------------------------------------------------
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void statoCambiato(bool aperta);
    void rigaCorrenteCambiata(int riga);
    // A punch of (idDip, giorno) was written or deleted: the grid rebuilds the day's
    // punch texts (TdtmPiano::RefreshMaster).
    void timbratureCambiate(int idDip, const QDate& giorno);

private:
    void carica(const QString& chiaveDaTenere, int rigaDaTenere);
    void scritta(const Timbratura& t);

    TdtmPiano& m_piano;
    QList<Timbratura> m_righe;
    bool m_aperta = false;
    int m_idDip = 0;
    QDate m_giorno;
    int m_corrente = -1;
};
