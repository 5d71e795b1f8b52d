#pragma once
// "Calendario": the holidays of calendar 1, the one processing reads. A month calendar
// (Monday first, week-ends in red, holidays on yellow) with the month and year moves, the
// "Data" field and the list of every holiday; Aggiungi, Rimuovi, the national holidays of
// the year shown, and the printed list.

#include <QDate>
#include <QMainWindow>

#include <memory>

class CampoData;
class QCalendarWidget;
class QLabel;
class QListWidget;
class TdtmPresenze;
class TdtmTurni;
class TfrmStampa;

class TfrmCalendario : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 130;

    TfrmCalendario(TdtmPresenze& dtm, TdtmTurni& turni, QWidget* parent = nullptr);
    ~TfrmCalendario() override;

    void btnAggiungiClick();
    void btnRimuoviClick();
    void btnFestivitaClick();
    void btnStampaClick();

private:
    void creaComandi();
    QWidget* creaMese();
    void Initialize();
    void cambiaMese(int mesi);
    void paginaCambiata();
    void giornoScelto(const QDate& d);
    void segna();
    void caricaElenco();

    TdtmPresenze& m_dtm;
    TdtmTurni& m_turni;
    std::unique_ptr<TfrmStampa> m_stampa;
    QList<QDate> m_festivi;

    QLabel* m_mese = nullptr;
    QLabel* m_anno = nullptr;
    QCalendarWidget* m_calendario = nullptr;
    CampoData* m_data = nullptr;
    QListWidget* m_elenco = nullptr;
};
