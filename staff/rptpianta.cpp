#include "rptpianta.h"

#include "messaggi.h"

#include "database.h"
#include "tabelle.h"
#include "tdtmpresenze.h"

#include <QSet>
#include <QSqlQuery>

DocumentoStampa TrptPianta::Crea(const AlberoUnita& albero, const QString& titolo)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_dtm, titolo, false);
    const int intestazione = m_tipo == TipoAlbero::Reparti ? Msg::EtReparti : Msg::EtQualifiche;
    // Fixed pitch, so that the indentation of each level lines up.
    doc.colonne = {{m_dtm.TestoScelta(intestazione), 60, false, true}};
    // RTree keeps the printed lines for whoever reads them after; its field is narrower than
    // a long name deep in the tree, so it takes what fits while the page shows all of it.
    const int larghezza = Schema::tabella(QStringLiteral("RTree"))->campo(QStringLiteral("Descr"))->lunghezza;
    Database& db = m_dtm.db();
    Transazione tr(db);
    db.esegui(QStringLiteral("DELETE FROM ':dbPresUt:RTree'"));
    QSqlQuery ins = db.prepara(QStringLiteral("INSERT INTO ':dbPresUt:RTree' (IndiceAss, Livello, Descr) VALUES (:indice, :livello, :descr)"));
    int indice = 0;
    for (int id : albero.InOrdine()) {
        const QString riga = albero.Riga(id);
        ins.bindValue(QStringLiteral(":indice"), indice++);
        ins.bindValue(QStringLiteral(":livello"), albero.Livello(id));
        ins.bindValue(QStringLiteral(":descr"), riga.left(larghezza));
        Database::esegui(ins);
        doc.aggiungiRiga({riga});
    }
    tr.conferma();
    return doc;
}

int TrptOrganico::Prepara(int idReparto, int idQualifica)
{
    const AlberoUnita reparti = TdtmPianta(m_dtm, TipoAlbero::Reparti).Leggi();
    const AlberoUnita qualifiche = TdtmPianta(m_dtm, TipoAlbero::Qualifiche).Leggi();
    const QList<int> ramoReparto = reparti.Ramo(idReparto);
    const QList<int> ramoQualifica = qualifiche.Ramo(idQualifica);
    const QSet<int> inReparto(ramoReparto.begin(), ramoReparto.end());
    const QSet<int> inQualifica(ramoQualifica.begin(), ramoQualifica.end());

    Database& db = m_dtm.db();
    Transazione tr(db);
    db.esegui(QStringLiteral("DELETE FROM ':dbPresUt:ROrganic'"));
    // Newest profile and badge first: the first row of an employee inside both branches is
    // the one printed.
    QSqlQuery q = db.esegui(QStringLiteral(
        "SELECT Anagrafico.Id, Anagrafico.Cognome, Anagrafico.Nome, Badge.Codice, Anagrafico.Matricola, Nomine.Descr, "
        "Profilo.IdPianta, Profilo.IdRuolo, Anagrafico.Libero "
        "FROM Anagrafico, Profilo, Badge, Nomine "
        "WHERE Profilo.IdUtilizzatore = Anagrafico.Id AND Badge.IdUtilizzatore = Anagrafico.Id AND Nomine.Id = Profilo.IdNomina "
        "ORDER BY Anagrafico.Id, Profilo.DataInizio DESC, Badge.DataInizio DESC"));
    QSqlQuery ins = db.prepara(QStringLiteral(
        "INSERT INTO ':dbPresUt:ROrganic' (IdDip, Cognome, Nome, Badge, Matricola, Nomina, IdPianta, IdRuolo, DescrPianta, "
        "DescrRuolo, LivelloPianta, LivelloRuolo, Note) VALUES (:dip, :cognome, :nome, :badge, :matricola, :nomina, :pianta, "
        ":ruolo, :descrPianta, :descrRuolo, :livPianta, :livRuolo, :note)"));
    QSet<int> presi;
    while (q.next()) {
        const int dip = q.value(0).toInt();
        const int pianta = q.value(6).toInt();
        const int ruolo = q.value(7).toInt();
        if (presi.contains(dip) || !inReparto.contains(pianta) || !inQualifica.contains(ruolo))
            continue;
        presi.insert(dip);
        const std::pair<const char*, QVariant> valori[] = {
            {":dip", dip},
            {":cognome", q.value(1)},
            {":nome", q.value(2)},
            {":badge", q.value(3)},
            {":matricola", q.value(4)},
            {":nomina", q.value(5)},
            {":pianta", pianta},
            {":ruolo", ruolo},
            {":descrPianta", reparti.Descr(pianta)},
            {":descrRuolo", qualifiche.Descr(ruolo)},
            {":livPianta", reparti.Livello(pianta)},
            {":livRuolo", qualifiche.Livello(ruolo)},
            {":note", q.value(8)},
        };
        for (const auto& [nome, valore] : valori)
            ins.bindValue(QString::fromLatin1(nome), valore);
        Database::esegui(ins);
    }
    tr.conferma();
    return int(presi.size());
}

DocumentoStampa TrptOrganico::Crea(int idReparto, int idQualifica, const QString& titolo)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_dtm, titolo, false);
    doc.colonne = {{QStringLiteral("Dipendente"), 40}, {QStringLiteral("Badge"), 12}, {QStringLiteral("Matricola"), 12},
                   {QStringLiteral("Livello"), 20}};
    Prepara(idReparto, idQualifica);
    const AlberoUnita reparti = TdtmPianta(m_dtm, TipoAlbero::Reparti).Leggi();
    const AlberoUnita qualifiche = TdtmPianta(m_dtm, TipoAlbero::Qualifiche).Leggi();
    doc.selezione = QStringLiteral("Reparto: %1   Qualifica: %2").arg(reparti.Descr(idReparto), qualifiche.Descr(idQualifica));
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral(
        "SELECT IdPianta, DescrPianta, IdRuolo, DescrRuolo, Cognome, Nome, Badge, Matricola, Note FROM ':dbPresUt:ROrganic' "
        "ORDER BY DescrPianta, IdPianta, DescrRuolo, IdRuolo, Cognome, Nome, IdDip"));
    int reparto = 0, qualifica = 0;
    while (q.next()) {
        if (q.value(0).toInt() != reparto) {
            reparto = q.value(0).toInt();
            qualifica = 0;
            doc.aggiungiGruppo(QStringLiteral("Reparto: ") + q.value(1).toString(), false);
        }
        if (q.value(2).toInt() != qualifica) {
            qualifica = q.value(2).toInt();
            doc.aggiungiGruppo(QStringLiteral("Qualifica: ") + q.value(3).toString(), false);
        }
        doc.aggiungiRiga({q.value(4).toString() + QLatin1Char(' ') + q.value(5).toString(), q.value(6).toString(), q.value(7).toString(),
                          q.value(8).toString()});
    }
    return doc;
}
