// The organisation chart without its windows: building a tree from rows in any order, ids
// taken at insertion and reused, deletion with its refusals and the profiles it resets, moves
// with the refused targets (also when another workstation changed the tree), a failure inside
// each transaction, listing a unit pair's employees, and both printed reports.

#include "organico.h"
#include "messaggi.h"
#include "rptpianta.h"
#include "tdtmpianta.h"

#include <QtTest>

Q_DECLARE_METATYPE(TipoAlbero)

namespace {

using namespace Organico;

QStringList righe(const AlberoUnita& a)
{
    QStringList l;
    for (int id : a.InOrdine())
        l << a.Riga(id);
    return l;
}

// A failure inside a transaction, the same on every engine: the table ("presut.T" for one of
// the work database) becomes a view that reads as before and refuses every write.
void guasta(Ambiente& a, QString tabella)
{
    const QString nome = tabella.section(QLatin1Char('.'), -1);
    if (tabella.contains(QLatin1Char('.')))
        tabella = a.db().dialetto().schemaLavoro() + QLatin1Char('.') + nome;
    a.esegui(QStringLiteral("ALTER TABLE %1 RENAME TO %2Guasta").arg(tabella, nome));
    a.esegui(QStringLiteral("CREATE VIEW %1 AS SELECT DISTINCT * FROM %1Guasta").arg(tabella));
}

QString campoProfilo(TipoAlbero t)
{
    return t == TipoAlbero::Reparti ? QStringLiteral("IdPianta") : QStringLiteral("IdRuolo");
}

}  // namespace

class TstPianta : public QObject {
    Q_OBJECT
private slots:
    void costruzione_data();
    void costruzione();
    void inserimento_data();
    void inserimento();
    void cancellazione_data();
    void cancellazione();
    void spostamento_data();
    void spostamento();
    void spostamentoDopoModificaAltrove();
    void guastoNellaTransazione_data();
    void guastoNellaTransazione();
    void elenco_data();
    void elenco();
    void stampe();
};

void TstPianta::costruzione_data()
{
    QTest::addColumn<QList<RigaUnita>>("righe");  // in table order
    QTest::addColumn<QStringList>("attese");
    const std::nullopt_t nessuno = std::nullopt;
    QTest::newRow("genitori prima, fratelli per nome")
        << QList<RigaUnita>{{1, nessuno, "Azienda"}, {2, 1, "Zeta"}, {3, 1, "Alfa"}, {4, 3, "Sotto"}}
        << QStringList{"-Azienda", "     -Alfa", "          -Sotto", "     -Zeta"};
    QTest::newRow("figli prima dei genitori")
        << QList<RigaUnita>{{4, 7, "Nipote"}, {2, 1, "Zeta"}, {3, 4, "Pronipote"}, {1, nessuno, "Azienda"}, {7, 1, "Alfa"}}
        << QStringList{"-Azienda", "     -Alfa", "          -Nipote", "               -Pronipote", "     -Zeta"};
    QTest::newRow("solo la prima unità in cima")
        << QList<RigaUnita>{{1, nessuno, "Azienda"}, {2, 1, "B"}, {3, 99, "Orfana"}, {4, 3, "Sotto l'orfana"}, {5, nessuno, "Altra"}}
        << QStringList{"-Azienda", "     -B"};
    QTest::newRow("maiuscole, accenti, omonimi per id")
        << QList<RigaUnita>{{1, nessuno, "Azienda"}, {2, 1, "zeta"}, {3, 1, "Àncora"}, {5, 1, "Amministrazione"}, {4, 1, "amministrazione"}}
        << QStringList{"-Azienda", "     -amministrazione", "     -Amministrazione", "     -Àncora", "     -zeta"};
    // Two units naming each other hang from neither: they are left out, and reading ends.
    QTest::newRow("ciclo nelle righe")
        << QList<RigaUnita>{{1, nessuno, "Azienda"}, {2, 3, "A"}, {3, 2, "B"}, {4, 1, "C"}} << QStringList{"-Azienda", "     -C"};
    QTest::newRow("tabella vuota") << QList<RigaUnita>{} << QStringList{};
}

void TstPianta::costruzione()
{
    QFETCH(QList<RigaUnita>, righe);
    QFETCH(QStringList, attese);
    QCOMPARE(::righe(AlberoUnita::Costruisci(righe)), attese);
}

void TstPianta::inserimento_data()
{
    QTest::addColumn<TipoAlbero>("tipo");
    QTest::newRow("reparti") << TipoAlbero::Reparti;
    QTest::newRow("qualifiche") << TipoAlbero::Qualifiche;
}

void TstPianta::inserimento()
{
    QFETCH(TipoAlbero, tipo);
    Ambiente a;
    popola(a);
    TdtmPianta p(a.dtm(), tipo);
    const QString tabella = p.Tabella();
    const int ultimo = a.valore(QStringLiteral("SELECT MAX(Id) FROM ") + tabella).toInt();
    const auto descr = [&](int id) { return a.valore(QStringLiteral("SELECT Descr FROM %1 WHERE Id = :id").arg(tabella), {{"id", id}}); };
    int errore = -1;

    // The next id, then the same id again once the newest unit is deleted.
    QCOMPARE(p.Inserisci(Azienda, QStringLiteral("  Nuova  "), &errore), ultimo + 1);
    QCOMPARE(errore, 0);
    QCOMPARE(descr(ultimo + 1).toString(), QStringLiteral("Nuova"));
    QCOMPARE(p.Cancella(ultimo + 1), 0);
    QCOMPARE(p.Inserisci(Produzione, QStringLiteral("Di nuovo"), &errore), ultimo + 1);

    // Taken when writing: a unit another workstation wrote since this one read is not doubled.
    const AlberoUnita letto = p.Leggi();
    Organico::unita(a, tabella.toLatin1().constData(), ultimo + 2, Azienda, QStringLiteral("Altrove"));
    QCOMPARE(p.Inserisci(letto.Radice(), QStringLiteral("Qui"), &errore), ultimo + 3);

    // Names stored exactly as typed, whatever they hold; too long or blank: refused.
    const QString strano = QStringLiteral("L'unità \"qualità\"; DROP TABLE %1").arg(tabella).left(p.LunghezzaDescr()).trimmed();
    const int id = p.Inserisci(Azienda, strano, &errore);
    QCOMPARE(descr(id).toString(), strano);
    QCOMPARE(p.Inserisci(Azienda, QString(p.LunghezzaDescr() + 1, QLatin1Char('x')), &errore), 0);
    QCOMPARE(errore, int(Msg::ErrDatoMancante));
    QCOMPARE(p.Inserisci(Azienda, QStringLiteral("   "), &errore), 0);
    QCOMPARE(errore, int(Msg::ErrDatoMancante));
    QCOMPARE(p.Inserisci(999, QStringLiteral("Sotto nessuno"), &errore), 0);
    QCOMPARE(errore, int(Msg::ErrUnitaScomparsa));
    QCOMPARE(a.conta(tabella), ultimo + 4);

    // Renaming: trimmed; blank keeps the name; a unit gone meanwhile is told.
    QCOMPARE(p.Rinomina(Produzione, QStringLiteral("  Officina ")), 0);
    QCOMPARE(descr(Produzione).toString(), QStringLiteral("Officina"));
    QCOMPARE(p.Rinomina(Produzione, QStringLiteral("   ")), 0);
    QCOMPARE(descr(Produzione).toString(), QStringLiteral("Officina"));
    QCOMPARE(p.Rinomina(Produzione, QString(p.LunghezzaDescr() + 1, QLatin1Char('x'))), int(Msg::ErrDatoMancante));
    QCOMPARE(p.Rinomina(999, QStringLiteral("Nessuna")), int(Msg::ErrUnitaScomparsa));
}

void TstPianta::cancellazione_data()
{
    inserimento_data();
}

void TstPianta::cancellazione()
{
    QFETCH(TipoAlbero, tipo);
    Ambiente a;
    popola(a);
    TdtmPianta p(a.dtm(), tipo);
    const QString profilo = campoProfilo(tipo);
    const auto staff = [&](int id) { return a.conta(QStringLiteral("Profilo"), QStringLiteral("%1 = %2").arg(profilo).arg(id)); };
    const bool reparti = tipo == TipoAlbero::Reparti;
    const int ramo = reparti ? int(Produzione) : int(Operaio);
    const int foglia = reparti ? int(Stampaggio) : int(Specializzato);
    const int newest = reparti ? int(Stampaggio) : int(Specializzato);
    const AlberoUnita letto = p.Leggi();

    QCOMPARE(p.CancellazioneVietata(letto, Azienda), int(Msg::ErrUnitaConSottounita));
    QCOMPARE(p.CancellazioneVietata(letto, ramo), int(Msg::ErrUnitaConSottounita));
    QCOMPARE(p.Cancella(ramo), int(Msg::ErrUnitaConSottounita));
    QCOMPARE(p.Cancella(999), int(Msg::ErrUnitaScomparsa));

    // A sub-unit written elsewhere after the tree was read still stops the deletion.
    const int altrove = p.Inserisci(foglia, QStringLiteral("Altrove"));
    if (reparti) {
        QCOMPARE(p.CancellazioneVietata(letto, Presse), 0);
        QCOMPARE(p.Cancella(Presse), 0);
        QCOMPARE(p.Cancella(Stampaggio), int(Msg::ErrUnitaConSottounita));
    }
    QCOMPARE(p.Cancella(altrove), 0);

    // The profiles of a deleted unit name none; a unit that takes its id again has no staff.
    const int altri = a.conta(QStringLiteral("Profilo"), profilo + QStringLiteral(" = -1"));
    const int avevano = staff(newest);
    QVERIFY(avevano > 0);
    QCOMPARE(p.Cancella(newest), 0);
    QCOMPARE(a.conta(QStringLiteral("Profilo"), profilo + QStringLiteral(" = -1")), altri + avevano);
    QCOMPARE(p.Inserisci(reparti ? int(Produzione) : int(Operaio), QStringLiteral("Nuova")), newest);
    QCOMPARE(staff(newest), 0);

    // The top unit goes neither with sub-units (1001) nor alone (1119).
    a.esegui(QStringLiteral("DELETE FROM %1 WHERE Id <> 1").arg(p.Tabella()));
    QCOMPARE(p.CancellazioneVietata(p.Leggi(), Azienda), int(Msg::ErrUnitaRadice));
    QCOMPARE(p.Cancella(Azienda), int(Msg::ErrUnitaRadice));
    QCOMPARE(a.conta(p.Tabella()), 1);
}

void TstPianta::spostamento_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("bersaglio");
    QTest::addColumn<bool>("sotto");
    QTest::addColumn<int>("nuovoPadre");  // 0: refused
    QTest::newRow("su un'unità") << int(Stampaggio) << int(Amministrazione) << true << int(Amministrazione);
    QTest::newRow("accanto a un'unità") << int(Presse) << int(AmministrazioneProd) << false << int(Produzione);
    QTest::newRow("accanto a una sorella") << int(Stampaggio) << int(AmministrazioneProd) << false << int(Produzione);
    QTest::newRow("accanto alla radice") << int(Amministrazione) << int(Azienda) << false << 0;
    QTest::newRow("su se stessa") << int(Produzione) << int(Produzione) << true << 0;
    QTest::newRow("su una sorella") << int(Stampaggio) << int(AmministrazioneProd) << true << 0;
    QTest::newRow("su una sua sottounità") << int(Produzione) << int(Presse) << true << 0;
    QTest::newRow("accanto a una sua sottounità") << int(Produzione) << int(Stampaggio) << false << 0;
    QTest::newRow("la radice") << int(Azienda) << int(Amministrazione) << true << 0;
}

void TstPianta::spostamento()
{
    QFETCH(int, id);
    QFETCH(int, bersaglio);
    QFETCH(bool, sotto);
    QFETCH(int, nuovoPadre);
    Ambiente a;
    popola(a);
    TdtmPianta p(a.dtm(), TipoAlbero::Reparti);
    const AlberoUnita prima = p.Leggi();
    QCOMPARE(TdtmPianta::SpostamentoAmmesso(prima, id, bersaglio, sotto), nuovoPadre != 0);
    if (nuovoPadre) {
        QCOMPARE(p.Sposta(id, bersaglio, sotto), 0);
        QCOMPARE(p.Leggi().Padre(id), nuovoPadre);
        QCOMPARE(p.Leggi().InOrdine().size(), prima.InOrdine().size());
    }
}

void TstPianta::spostamentoDopoModificaAltrove()
{
    Ambiente a;
    popola(a);
    TdtmPianta qui(a.dtm(), TipoAlbero::Reparti);
    const AlberoUnita letto = qui.Leggi();
    // Another workstation puts Amministrazione under Presse, below Stampaggio: dropping
    // Stampaggio onto Amministrazione, allowed by the tree read before, would close a cycle.
    TdtmPianta altrove(a.dtm(), TipoAlbero::Reparti);
    QCOMPARE(altrove.Sposta(Amministrazione, Presse, true), 0);
    QVERIFY(TdtmPianta::SpostamentoAmmesso(letto, Stampaggio, Amministrazione, true));
    QCOMPARE(qui.Sposta(Stampaggio, Amministrazione, true), int(Msg::ErrSpostamentoUnita));
    QCOMPARE(qui.Sposta(Amministrazione, Azienda, false), int(Msg::ErrSpostamentoUnita));
    QCOMPARE(qui.Sposta(Produzione, 999, true), int(Msg::ErrUnitaScomparsa));
    QCOMPARE(qui.Leggi().InOrdine().size(), 6);
    QCOMPARE(qui.Leggi().Padre(Stampaggio), int(Produzione));
}

void TstPianta::guastoNellaTransazione_data()
{
    QTest::addColumn<QString>("operazione");
    QTest::addColumn<QString>("tabella");  // the table whose write fails
    QTest::newRow("inserimento") << QStringLiteral("inserimento") << QStringLiteral("UnitaPianta");
    // The profiles were already given "none" when the unit's row refuses to go.
    QTest::newRow("cancellazione, unità") << QStringLiteral("cancellazione") << QStringLiteral("UnitaPianta");
    QTest::newRow("cancellazione, profili") << QStringLiteral("cancellazione") << QStringLiteral("Profilo");
    QTest::newRow("spostamento") << QStringLiteral("spostamento") << QStringLiteral("UnitaPianta");
    QTest::newRow("elenco") << QStringLiteral("elenco") << QStringLiteral("presut.TAnagCk");
}

void TstPianta::guastoNellaTransazione()
{
    QFETCH(QString, operazione);
    QFETCH(QString, tabella);
    Ambiente a;
    popola(a);
    TdtmPianta p(a.dtm(), TipoAlbero::Reparti);
    a.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TPiantaSel' (Id) VALUES (42)"));
    const QStringList prima = righe(p.Leggi());
    const int staffPresse = a.conta(QStringLiteral("Profilo"), QStringLiteral("IdPianta = 4"));
    guasta(a, tabella);
    if (operazione == QLatin1String("inserimento"))
        QVERIFY_THROWS_EXCEPTION(ErroreDb, p.Inserisci(Azienda, QStringLiteral("Nuova")));
    else if (operazione == QLatin1String("cancellazione"))
        QVERIFY_THROWS_EXCEPTION(ErroreDb, p.Cancella(Presse));
    else if (operazione == QLatin1String("spostamento"))
        QVERIFY_THROWS_EXCEPTION(ErroreDb, p.Sposta(Presse, Amministrazione, true));
    else
        QVERIFY_THROWS_EXCEPTION(ErroreDb, TdtmPianta::ElencaDipendenti(a.dtm(), Azienda, Qualifiche, true));
    QCOMPARE(righe(p.Leggi()), prima);
    QCOMPARE(a.conta(QStringLiteral("Profilo"), QStringLiteral("IdPianta = 4")), staffPresse);
    QCOMPARE(Anagrafe::ids(a, QStringLiteral("SELECT Id FROM ':dbPresUt:TPiantaSel'")), QList<int>{42});
}

void TstPianta::elenco_data()
{
    QTest::addColumn<int>("reparto");
    QTest::addColumn<int>("qualifica");
    QTest::addColumn<bool>("sottounita");
    QTest::addColumn<QList<int>>("dipendenti");
    // Neri has no badge; Gialli has two profiles and is listed once; Blu's appointment is
    // missing, which only the staff report minds.
    QTest::newRow("radici con sottounità: chiunque abbia un badge") << int(Azienda) << int(Qualifiche) << true << QList<int>{1, 2, 3, 4, 6, 7};
    QTest::newRow("radici da sole") << int(Azienda) << int(Qualifiche) << false << QList<int>{};
    QTest::newRow("Produzione e Operaio con sottounità") << int(Produzione) << int(Operaio) << true << QList<int>{1, 2, 6, 7};
    QTest::newRow("Produzione e Operaio da sole") << int(Produzione) << int(Operaio) << false << QList<int>{2, 6, 7};
    QTest::newRow("omonimi: l'Amministrazione scelta") << int(AmministrazioneProd) << int(Impiegato) << true << QList<int>{4};
    QTest::newRow("nessuno") << int(Amministrazione) << int(Operaio) << true << QList<int>{};
}

void TstPianta::elenco()
{
    QFETCH(int, reparto);
    QFETCH(int, qualifica);
    QFETCH(bool, sottounita);
    QFETCH(QList<int>, dipendenti);
    Ambiente a;
    popola(a);
    a.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TAnagCk' (Id, Cognome) VALUES (99, 'Vecchio')"));
    QCOMPARE(TdtmPianta::ElencaDipendenti(a.dtm(), reparto, qualifica, sottounita), int(dipendenti.size()));
    QCOMPARE(Anagrafe::selezione(a, QStringLiteral("TAnagCk")), dipendenti);
    if (dipendenti.contains(3))
        QCOMPARE(a.valore(QStringLiteral("SELECT Cognome FROM ':dbPresUt:TAnagCk' WHERE Id = 3")).toString(), QStringLiteral("D'Amico"));
    if (reparto == Produzione && sottounita)
        QCOMPARE(Anagrafe::ids(a, QStringLiteral("SELECT Id FROM ':dbPresUt:TPiantaSel' ORDER BY Id")),
                 (QList<int>{Produzione, Presse, AmministrazioneProd, Stampaggio}));
}

void TstPianta::stampe()
{
    Ambiente a;
    popola(a);
    const AlberoUnita reparti = TdtmPianta(a.dtm(), TipoAlbero::Reparti).Leggi();
    const DocumentoStampa albero = TrptPianta(a.dtm(), TipoAlbero::Reparti).Crea(reparti, QStringLiteral("Struttura"));
    QCOMPARE(albero.colonne.size(), 1);
    QCOMPARE(albero.colonne[0].titolo, a.dtm().TestoScelta(Msg::EtReparti));
    QStringList linee;
    for (const RigaStampa& r : albero.righe)
        linee << r.celle.value(0);
    const QStringList attese{"-Azienda",       "     -Amministrazione",      "     -Produzione", "          -Amministrazione",
                             "          -Stampaggio", "               -Presse"};
    QCOMPARE(linee, attese);
    QCOMPARE(Anagrafe::ids(a, QStringLiteral("SELECT Livello FROM ':dbPresUt:RTree' ORDER BY IndiceAss")), (QList<int>{0, 1, 1, 2, 2, 3}));
    QCOMPARE(a.valore(QStringLiteral("SELECT Descr FROM ':dbPresUt:RTree' WHERE IndiceAss = 5")).toString(), attese[5]);

    // Staff of the whole company: grouped by department, then qualification, by id (the two
    // "Amministrazione" stay apart); Blu (no appointment) and Neri (no badge) are left out;
    // Gialli appears once, under the newer profile.
    const DocumentoStampa staff = TrptOrganico(a.dtm()).Crea(Azienda, Qualifiche, QStringLiteral("Organico"));
    QCOMPARE(staff.selezione, QStringLiteral("Reparto: Azienda   Qualifica: Qualifiche"));
    QStringList celle;
    for (const RigaStampa& r : staff.righe)
        celle << (r.tipo == RigaStampa::Tipo::Gruppo ? r.celle.value(0) : r.celle.mid(0, 2).join(QLatin1Char('|')));
    QCOMPARE(celle, (QStringList{"Reparto: Amministrazione", "Qualifica: Impiegato", "D'Amico Nome|0000000503",
                                 "Reparto: Amministrazione", "Qualifica: Impiegato", "Verdi Nome|0000000504",
                                 "Reparto: Presse", "Qualifica: Operaio specializzato", "Rossi Nome|0000000501",
                                 "Reparto: Produzione", "Qualifica: Operaio", "Bianchi Nome|0000000502",
                                 "Reparto: Stampaggio", "Qualifica: Operaio specializzato", "Gialli Nome|0000000506"}));
    QCOMPARE(staff.righe[2].celle.value(3), QStringLiteral("Livello 2"));
    QCOMPARE(Anagrafe::ids(a, QStringLiteral("SELECT LivelloPianta * 10 + LivelloRuolo FROM ':dbPresUt:ROrganic' WHERE IdDip = 1")),
             QList<int>{32});
    // A branch: Produzione with Operaio and below.
    QCOMPARE(TrptOrganico(a.dtm()).Prepara(Produzione, Operaio), 3);
}

QTEST_GUILESS_MAIN(TstPianta)
#include "tst_pianta.moc"
