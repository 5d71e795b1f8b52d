#include "verificapiano.h"

#include "database.h"
#include "tdtmpresenze.h"

#include <QList>

bool VerificaPiano::StartCheck(const QDate& dataI, const QDate& dataF)
{
    Database& db = m_dtm.db();
    m_annulla = false;
    m_creati = 0;
    QList<int> dipendenti;
    {
        QSqlQuery q = db.esegui(QStringLiteral("SELECT ID FROM ANAGRAFICO"));
        while (q.next())
            dipendenti.append(q.value(0).toInt());
    }
    if (abilitaPiano)
        abilitaPiano(false);
    struct Ripristina {
        const std::function<void(bool)>& f;
        ~Ripristina()
        {
            if (f)
                f(true);
        }
    } ripristina{abilitaPiano};
    if (barraGiorni)
        barraGiorni(0, 1);
    if (barraGenerale)
        barraGenerale(20);
    if (eventi)
        eventi();

    const int giorni = int(dataI.daysTo(dataF)) + 1;
    const int presenti = db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE IdDip=:IdDipCorr AND Data>=:DataI AND Data<=:DataF"),
                                   {{"IdDipCorr", m_dtm.IdDipCorrente}, {"DataI", Sql::data(dataI)}, {"DataF", Sql::data(dataF)}})
                             .toInt();
    if (barraGenerale)
        barraGenerale(30);
    if (presenti == giorni)
        return true;

    const int massimo = int(dipendenti.size()) * std::max(giorni, 0);
    int fatti = 0;
    QSqlQuery ins = db.prepara(QStringLiteral("INSERT INTO PianoSomma (IdDip,Data,Stato) VALUES (:IdDipCorr,:Data,1)"));
    for (int id : std::as_const(dipendenti)) {
        if (barraGenerale)
            barraGenerale(40);
        if (m_annulla)
            continue;
        // One transaction per employee keeps the check fast; a day that exists is refused
        // by the key and skipped, and what was inserted before a cancel stays.
        Transazione t(db);
        for (QDate d = dataI; d <= dataF && !m_annulla; d = d.addDays(1)) {
            if (eventi)
                eventi();
            if (m_annulla)
                break;
            if (barraGiorni)
                barraGiorni(++fatti, massimo);
            ins.bindValue(0, id);
            ins.bindValue(1, Sql::data(d));
            if (Database::eseguiSalvoVincoli(ins))
                ++m_creati;
        }
        t.conferma();
    }
    if (barraGenerale)
        barraGenerale(100);
    return !m_annulla;
}
