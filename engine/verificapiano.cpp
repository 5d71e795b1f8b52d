#include "verificapiano.h"

#include "avanzamento.h"
#include "database.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QList>

bool VerificaPiano::StartCheck(int idDip, const QDate& dataI, const QDate& dataF, Avanzamento& avanzamento)
{
    Database& db = m_dtm.db();
    m_creati = 0;
    struct Termina {
        Avanzamento& a;
        ~Termina() { a.Termina(); }
    } termina{avanzamento};

    avanzamento.Inizia(m_dtm.TestoScelta(Msg::EtVerifica), 1);
    QList<int> dipendenti;
    {
        QSqlQuery q = db.esegui(QStringLiteral("SELECT ID FROM ANAGRAFICO"));
        while (q.next())
            dipendenti.append(q.value(0).toInt());
    }
    const int giorni = int(dataI.daysTo(dataF)) + 1;
    const int presenti = db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE IdDip=:IdDipCorr AND Data>=:DataI AND Data<=:DataF"),
                                   {{"IdDipCorr", idDip}, {"DataI", Sql::data(dataI)}, {"DataF", Sql::data(dataF)}})
                             .toInt();
    avanzamento.Valore(1);
    if (presenti == giorni)
        return true;

    const int massimo = int(dipendenti.size()) * std::max(giorni, 0);
    avanzamento.Inizia(m_dtm.TestoScelta(Msg::EtAggiornamentoCalendario), massimo);
    int fatti = 0;
    bool annullato = false;
    QSqlQuery ins = db.prepara(QStringLiteral("INSERT INTO PianoSomma (IdDip,Data,Stato) VALUES (:IdDipCorr,:Data,1)"));
    for (int id : std::as_const(dipendenti)) {
        // One transaction per employee keeps the check fast; a day that exists is refused
        // by the key and skipped, and what was inserted before a cancel stays.
        Transazione t(db);
        for (QDate d = dataI; d <= dataF; d = d.addDays(1)) {
            if (avanzamento.Annullato()) {
                annullato = true;
                break;
            }
            avanzamento.Valore(++fatti);
            ins.bindValue(0, id);
            ins.bindValue(1, Sql::data(d));
            if (Database::eseguiSalvoVincoli(ins))
                ++m_creati;
        }
        t.conferma();
        if (annullato)
            break;
    }
    return !annullato;
}
