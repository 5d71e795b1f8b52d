#pragma once
// Data of the general settings: the company, the installation date with its control
// dates, the interface colours and the processing options.

#include <QDate>
#include <QString>

class TdtmPresenze;

class TdtmUtil {
public:
    explicit TdtmUtil(TdtmPresenze& dtm) : m_dtm(dtm) {}

    struct Azienda {
        int Id = 0;  // 0: not stored yet
        QString RagSoc;
        QString Descr;
        QString CodAzEst;
    };
    // The first company (lowest id), or an empty record when there is none.
    Azienda LeggiAzienda();
    // Stores the company (a new one takes the next id) and makes its name the company
    // name of the application. Throws ErroreDb (a required field left empty, …).
    void SalvaAzienda(Azienda& a);

    QDate DataInstallazione();
    // Sets the installation date to the first of the chosen month, moves the control dates
    // and the profiles' period dates forward, all in one transaction: on any failure
    // nothing changes and the error is thrown. Returns the date stored.
    QDate ImpostaDataInstallazione(const QDate& scelta);

    // Colour kinds "1", "2", "3": required-field labels, days with anomalies, grid rows.
    quint32 Colore(int tipo) const;
    void SalvaColore(int tipo, quint32 colore);

    void SalvaOpzioni(bool anomAssenza, bool calcolaAssenza, bool calcolaStraord);

private:
    TdtmPresenze& m_dtm;
};
