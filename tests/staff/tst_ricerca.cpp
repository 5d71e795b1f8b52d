// The employee selection query without its dialog: the conditions each match kind writes
// and the values it binds, zero filling, the range check, names with quotes and wildcards,
// units, class and order, the copy into the selection table, and the component.

#include "anagrafe.h"
#include "ddl.h"
#include "tqalight.h"

#include <QtTest>

#include <stdexcept>

Q_DECLARE_METATYPE(CampoRicerca)
Q_DECLARE_METATYPE(Confronto)
Q_DECLARE_METATYPE(ClasseRicerca)

namespace {

using Anagrafe::ids;
using Anagrafe::selezione;
const QString kSel = QStringLiteral("AnagraficoSelezione");
const QStringList kCampi{"Id", "Matricola", "Cognome", "Nome", "Libero", "Classe"};

QList<int> trovati(const RicercaAnagrafico& r, bool ordina = true)
{
    QList<int> l;
    for (const QSqlRecord& rec : r.Righe())
        l << rec.value(QStringLiteral("Id")).toInt();
    if (ordina)
        std::sort(l.begin(), l.end());
    return l;
}

// Fields, or names of the indexes, of a table of the work database (lower case).
QStringList campi(Ambiente& amb, const QString& tabella)
{
    return amb.db().campiEsistenti(tabella, true);
}
QStringList indici(Ambiente& amb, const QString& tabella)
{
    QStringList l;
    for (const Database::InfoIndice& i : amb.db().indiciEsistenti(tabella, true))
        l << i.nome;
    return l;
}
QStringList minuscole(QStringList l)
{
    for (QString& s : l)
        s = s.toLower();
    return l;
}

class DialogoFinto : public DialogoQA {
public:
    DialogoFinto(std::function<int(bool)> passi, int* creati) : m_passi(std::move(passi)) { ++*creati; }
    int Esegui(QWidget*, bool paginaRicerca) override { return m_passi(paginaRicerca); }

private:
    std::function<int(bool)> m_passi;
};

// The component with a stand-in dialog that runs `passi` on its search.
struct Componente {
    Componente()
    {
        Anagrafe::popola(amb);
        qa.setFabbrica([this](TQALight& q) {
            return std::make_unique<DialogoFinto>([this, &r = q.Ricerca()](bool pagina) { pagine << pagina; return passi(r); }, &creati);
        });
    }
    Ambiente amb;
    TQALight qa{amb.dtm()};
    std::function<int(RicercaAnagrafico&)> passi;
    int creati = 0;
    QList<bool> pagine;
};

}  // namespace

class TstRicerca : public QObject {
    Q_OBJECT
private slots:
    void condizioni_data();
    void condizioni();
    void istruzioneCompleta();
    void nomiComeScritti_data();
    void nomiComeScritti();
    void intervalloRovesciato_data();
    void intervalloRovesciato();
    void organico();
    void classe_data();
    void classe();
    void ordine_data();
    void ordine();
    void copia();
    void tabellaSelezione();
    void copiaConProfilo();
    void impostazioniIncompatibili();
    void archivioNonValido_data();
    void archivioNonValido();
    void componente();
    void componenteTutti();
};

void TstRicerca::condizioni_data()
{
    QTest::addColumn<CampoRicerca>("campo");
    QTest::addColumn<Confronto>("tipo");
    QTest::addColumn<QString>("da");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QStringList>("attese");
    QTest::addColumn<QVariantList>("valori");
    QTest::addColumn<QList<int>>("persone");

    const auto C = CampoRicerca::Cognome, M = CampoRicerca::Matricola, B = CampoRicerca::CodiceBadge;
    const QString like = QStringLiteral(" like :Param1 escape '\\'");
    QTest::newRow("uguale") << C << Confronto::Uguale << "Rossi" << "" << QStringList{"Anagrafico.Cognome= :Param1"} << QVariantList{"Rossi"}
                            << QList<int>{1};
    QTest::newRow("inizia con Ros") << C << Confronto::IniziaCon << "Ros" << "" << QStringList{"Anagrafico.Cognome" + like}
                                    << QVariantList{"Ros%"} << QList<int>{1, 2};
    QTest::newRow("finisce con") << CampoRicerca::Nome << Confronto::FinisceCon << "na" << "" << QStringList{"Anagrafico.Nome" + like}
                                 << QVariantList{"%na"} << QList<int>{2, 6, 7};
    QTest::newRow("contiene") << CampoRicerca::Nome << Confronto::Contiene << "ar" << "" << QStringList{"Anagrafico.Nome" + like}
                              << QVariantList{"%ar%"} << QList<int>{1, 4};
    QTest::newRow("da a") << C << Confronto::DaA << "B" << "R" << QStringList{"Anagrafico.Cognome>= :Param1", "Anagrafico.Cognome<= :Param2"}
                          << QVariantList{"B", "R"} << QList<int>{3, 5, 8, 9};
    // As plain text "120" sorts before "50": only the filled values give the numeric range.
    QTest::newRow("matricola 12..120") << M << Confronto::DaA << "12" << "120"
                                       << QStringList{"Anagrafico.Matricola>= :Param1", "Anagrafico.Matricola<= :Param2"}
                                       << QVariantList{"0000000012", "0000000120"} << QList<int>{1, 2, 3};
    QTest::newRow("matricola solo a") << M << Confronto::DaA << "" << "12" << QStringList{"Anagrafico.Matricola<= :Param1"}
                                      << QVariantList{"0000000012"} << QList<int>{1, 5};
    QTest::newRow("matricola uguale non riempita") << M << Confronto::Uguale << "12" << "" << QStringList{"Anagrafico.Matricola= :Param1"}
                                                   << QVariantList{"12"} << QList<int>{};
    QTest::newRow("badge uguale riempito") << B << Confronto::Uguale << "345" << "" << QStringList{"Badge.Codice= :Param1"}
                                           << QVariantList{"0000000345"} << QList<int>{1};
    QTest::newRow("badge da a riempito") << B << Confronto::DaA << "345" << "1000"
                                         << QStringList{"Badge.Codice>= :Param1", "Badge.Codice<= :Param2"}
                                         << QVariantList{"0000000345", "0000001000"} << QList<int>{1, 2, 3};
    QTest::newRow("badge finisce con non riempito") << B << Confronto::FinisceCon << "45" << "" << QStringList{"Badge.Codice" + like}
                                                    << QVariantList{"%45"} << QList<int>{1};
    QTest::newRow("secondo valore solo negli intervalli") << C << Confronto::IniziaCon << "Ros" << "Z" << QStringList{"Anagrafico.Cognome" + like}
                                                          << QVariantList{"Ros%"} << QList<int>{1, 2};
    QTest::newRow("soli spazi") << C << Confronto::Uguale << "   " << "" << QStringList{} << QVariantList{}
                                << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
}

void TstRicerca::condizioni()
{
    QFETCH(CampoRicerca, campo);
    QFETCH(Confronto, tipo);
    QFETCH(QString, da);
    QFETCH(QString, a);
    QFETCH(QStringList, attese);
    QFETCH(QVariantList, valori);
    QFETCH(QList<int>, persone);

    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.setConfronto(campo, tipo);
    r.setValore(campo, 0, da);
    r.setValore(campo, 1, a);
    const IstruzioneRicerca i = r.Istruzione();
    QCOMPARE(i.condizioni, attese);
    QVariantList legati;
    for (const auto& [nome, valore] : i.parametri) {
        QCOMPARE(nome, QStringLiteral("Param%1").arg(legati.size() + 1));
        legati << valore;
    }
    QCOMPARE(legati, valori);
    QVERIFY2(i.sql.contains(attese.join(QLatin1String(" and "))), qPrintable(i.sql));
    // The badge table joins only for a badge condition; no profile without a unit.
    const bool badge = campo == CampoRicerca::CodiceBadge && !attese.isEmpty();
    QCOMPARE(i.sql.contains(QLatin1String(", Badge where")), badge);
    QCOMPARE(i.sql.contains(QLatin1String("Badge.IdUtilizzatore=Anagrafico.Id")), badge);
    QVERIFY(!i.sql.contains(QLatin1String("Profilo")));

    QCOMPARE(r.Cerca(), persone.isEmpty() ? RicercaAnagrafico::Esito::Nessuno : RicercaAnagrafico::Esito::Trovati);
    QCOMPARE(trovati(r), persone);
    QCOMPARE(r.CercatoConCondizioni(), !attese.isEmpty());
    QCOMPARE(amb.registro().avvisi,
             persone.isEmpty() ? QStringList{"Nessun record soddisfa le condizioni di ricerca impostate!"} : QStringList{});
}

void TstRicerca::istruzioneCompleta()
{
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.impostazioni().classe = ClasseRicerca::ctEmployees;
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Ros"));
    r.setConfronto(CampoRicerca::CodiceBadge, Confronto::Uguale);
    r.setValore(CampoRicerca::CodiceBadge, 0, QStringLiteral("345"));
    r.setUnita(Organico::Reparto, {{Anagrafe::Produzione, QStringLiteral("Produzione")}, {Anagrafe::Magazzino, QStringLiteral("Magazzino")}});
    r.setUnita(Organico::Qualifica, {{Anagrafe::Operaio, QStringLiteral("Operaio")}});
    r.setOrdine(QStringLiteral("Ordina per Matricola"));
    const IstruzioneRicerca i = r.Istruzione();
    QCOMPARE(i.sql, QStringLiteral("select distinct Id, Matricola, Cognome, Nome, Libero, Classe from Anagrafico, Profilo, Badge "
                                   "where Anagrafico.Cognome like :Param1 escape '\\' and Badge.Codice= :Param2 "
                                   "and Profilo.IdPianta in (:Param3, :Param4) and Profilo.IdRuolo in (:Param5) "
                                   "and Anagrafico.Classe = 'D' and Profilo.IdUtilizzatore=Anagrafico.Id "
                                   "and Badge.IdUtilizzatore=Anagrafico.Id order by Anagrafico.Matricola"));
    QCOMPARE(i.parametri.at(4), (std::pair<QString, QVariant>{"Param5", int(Anagrafe::Operaio)}));
    r.Cerca();
    QCOMPARE(trovati(r), QList<int>{1});
}

void TstRicerca::nomiComeScritti_data()
{
    QTest::addColumn<Confronto>("tipo");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QList<int>>("persone");
    QTest::newRow("apostrofo uguale") << Confronto::Uguale << "D'Amico" << QList<int>{5};
    QTest::newRow("apostrofo inizia con") << Confronto::IniziaCon << "D'A" << QList<int>{5};
    QTest::newRow("percento contenuto") << Confronto::Contiene << "a%R" << QList<int>{6};
    QTest::newRow("percento iniziale") << Confronto::FinisceCon << "%Rosa" << QList<int>{6};
    QTest::newRow("trattino basso") << Confronto::Contiene << "l_M" << QList<int>{8};
    QTest::newRow("barra rovescia") << Confronto::Contiene << "\\" << QList<int>{};
}

void TstRicerca::nomiComeScritti()
{
    QFETCH(Confronto, tipo);
    QFETCH(QString, testo);
    QFETCH(QList<int>, persone);
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.setConfronto(CampoRicerca::Cognome, tipo);
    r.setValore(CampoRicerca::Cognome, 0, testo);
    r.Cerca();
    QCOMPARE(trovati(r), persone);
}

void TstRicerca::intervalloRovesciato_data()
{
    QTest::addColumn<CampoRicerca>("campo");
    QTest::addColumn<QString>("da");
    QTest::addColumn<QString>("a");
    QTest::addColumn<bool>("rifiutato");
    QTest::newRow("matricola 120..12") << CampoRicerca::Matricola << "120" << "12" << true;
    QTest::newRow("matricola 9..10, confrontate riempite") << CampoRicerca::Matricola << "9" << "10" << false;
    QTest::newRow("cognome Rossi..Bianchi") << CampoRicerca::Cognome << "Rossi" << "Bianchi" << true;
    QTest::newRow("cognome uguali") << CampoRicerca::Cognome << "Rossi" << "Rossi" << false;
    QTest::newRow("badge 346..345") << CampoRicerca::CodiceBadge << "346" << "345" << true;
}

void TstRicerca::intervalloRovesciato()
{
    QFETCH(CampoRicerca, campo);
    QFETCH(QString, da);
    QFETCH(QString, a);
    QFETCH(bool, rifiutato);
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.Cerca();  // an earlier result, which a refused search leaves alone
    r.setConfronto(campo, Confronto::DaA);
    r.setValore(campo, 0, da);
    r.setValore(campo, 1, a);
    const RicercaAnagrafico::Esito e = r.Cerca();
    QCOMPARE(e == RicercaAnagrafico::Esito::IntervalloErrato, rifiutato);
    QCOMPARE(r.IntervalloErrato(), rifiutato ? std::optional<CampoRicerca>(campo) : std::nullopt);
    if (rifiutato) {
        QCOMPARE(amb.registro().avvisi,
                 QStringList{"Il valore indicato nel campo [A...] non deve essere inferiore a quello del campo [Da...]!"});
        QCOMPARE(r.Righe().size(), 9);
    }
}

void TstRicerca::organico()
{
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    QStringList nomi;
    for (const UnitaScelta& u : r.elencoUnita(Organico::Reparto))
        nomi << u.descr;
    QCOMPARE(nomi, (QStringList{"Azienda", "Magazzino", "Produzione", "Uffici"}));

    QCOMPARE(r.testoUnita(Organico::Reparto), QString());
    r.setUnita(Organico::Reparto, {{Anagrafe::Produzione, QStringLiteral("Produzione")}});
    QCOMPARE(r.testoUnita(Organico::Reparto), QStringLiteral("Produzione"));
    r.setUnita(Organico::Reparto, {{Anagrafe::Produzione, QStringLiteral("Produzione")}, {Anagrafe::Magazzino, QStringLiteral("Magazzino")}});
    QCOMPARE(r.testoUnita(Organico::Reparto), QStringLiteral("Produzione ..."));
    QCOMPARE(r.Istruzione().condizioni, QStringList{"Profilo.IdPianta in (:Param1, :Param2)"});
    r.Cerca();
    QCOMPARE(trovati(r), (QList<int>{1, 2, 5}));

    // Department and qualification hold on the same profile: Rossi's 2023 profile is in
    // Produzione as an Operaio, his clerk's profile is in Uffici.
    r.setUnita(Organico::Reparto, {{Anagrafe::Produzione, QStringLiteral("Produzione")}});
    r.setUnita(Organico::Qualifica, {{Anagrafe::Impiegato, QStringLiteral("Impiegato")}});
    r.Cerca();
    QCOMPARE(trovati(r), QList<int>{5});
}

void TstRicerca::classe_data()
{
    QTest::addColumn<ClasseRicerca>("classe");
    QTest::addColumn<QList<int>>("persone");
    QTest::newRow("tutti") << ClasseRicerca::ctSelect << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("dipendenti") << ClasseRicerca::ctEmployees << QList<int>{1, 2, 3, 5, 6, 7, 8, 9};
    QTest::newRow("ospiti") << ClasseRicerca::ctGuests << QList<int>{4};
}

void TstRicerca::classe()
{
    QFETCH(ClasseRicerca, classe);
    QFETCH(QList<int>, persone);
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.impostazioni().classe = classe;
    r.Cerca();
    QCOMPARE(trovati(r), persone);
    QVERIFY(!r.CercatoConCondizioni());  // the component's filter is no condition of the user
}

void TstRicerca::ordine_data()
{
    // The order of the results, the sort fields handed to the caller, and the selection
    // (copied in the order found) walked by them.
    QTest::addColumn<QString>("voce");
    QTest::addColumn<QList<int>>("risultati");
    QTest::addColumn<QString>("sortFields");
    QTest::addColumn<QString>("elenco");
    QTest::addColumn<QList<int>>("selezione");
    const QList<int> nominativo{3, 5, 9, 8, 1, 2, 6, 7, 4};
    const QList<int> matricola{5, 1, 2, 3, 4, 6, 7, 8, 9};
    QTest::newRow("nominativo") << "Ordina per Nominativo" << nominativo << "Cognome;Nome" << "Cognome, Nome, Id" << nominativo;
    QTest::newRow("matricola") << "Ordina per Matricola" << matricola << "Matricola" << "Matricola, Id" << matricola;
    QTest::newRow("badge") << "Ordina per N. Badge" << QList<int>{5, 1, 2, 3} << "" << "Cognome, Nome, Id" << QList<int>{3, 5, 1, 2};
    QTest::newRow("campo libero") << "Ordina per Campo Libero" << QList<int>{4, 6, 7, 8, 9, 1, 3, 2, 5} << "" << "Cognome, Nome, Id"
                                           << nominativo;
    QTest::newRow("voce sconosciuta") << "Ordina per altro" << nominativo << "" << "Cognome, Nome, Id" << nominativo;
}

void TstRicerca::ordine()
{
    QFETCH(QString, voce);
    QFETCH(QList<int>, risultati);
    QFETCH(QString, sortFields);
    QFETCH(QString, elenco);
    QFETCH(QList<int>, selezione);
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.setOrdine(voce);
    r.Cerca();
    QCOMPARE(trovati(r, false), risultati);
    QCOMPARE(r.SortFields(), sortFields);
    QCOMPARE(OrdineSelezione(sortFields), elenco);
    r.Conferma(risultati);
    QCOMPARE(ids(amb, IstruzioneSelezione(QStringLiteral("DBPresUt"), kSel, sortFields, QStringLiteral("Id"))), selezione);

    QCOMPARE(RicercaAnagrafico::SortFields(QStringLiteral("ordina per commento")), QStringLiteral("Libero"));
    QCOMPARE(OrdineSelezione(QStringLiteral("Libero")), QStringLiteral("Libero, Id"));
    // Equal comments keep the order of their ids.
    QCOMPARE(ids(amb, IstruzioneSelezione(QStringLiteral("DBPresenze"), QStringLiteral("Anagrafico"), QStringLiteral("Libero"),
                                          QStringLiteral("Id"))),
             (QList<int>{4, 6, 7, 8, 9, 1, 3, 2, 5}));
}

void TstRicerca::copia()
{
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.Cerca();
    QCOMPARE(r.Conferma({7, 3}), int(RicercaAnagrafico::RisSelezione));
    QCOMPARE(selezione(amb), (QList<int>{3, 7}));
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT Matricola, Cognome, Nome, Libero, Classe FROM ':dbPresUt:AnagraficoSelezione' WHERE Id = 3"));
    QVERIFY(q.next());
    QCOMPARE((QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(), q.value(4).toString()}),
             (QStringList{"0000000120", "Bianchi", "Luca", "Turno A", "D"}));
    QCOMPARE(campi(amb, kSel), minuscole(kCampi));
    QStringList attesi;
    for (const char* n : {"idxAnagLibero", "idxAnagMatricola", "idxAnagNominativo", "PK_Anagrafico_Id"})
        attesi << RicercaAnagrafico::NomeIndice(kSel, QLatin1String(n)).toLower();
    attesi.sort();
    QStringList presenti = indici(amb, kSel);
    presenti.sort();
    QCOMPARE(presenti, attesi);
    for (const Database::InfoIndice& i : amb.db().indiciEsistenti(kSel, true))
        QCOMPARE(i.unico, i.nome == RicercaAnagrafico::NomeIndice(kSel, QStringLiteral("PK_Anagrafico_Id")).toLower());

    // With conditions and no marks: the whole result.
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Ros"));
    r.Cerca();
    QCOMPARE(r.Conferma({}), int(RicercaAnagrafico::RisSelezione));
    QCOMPARE(selezione(amb), (QList<int>{1, 2}));
    // No condition and no mark: everybody, and the selection table is left as it was.
    r.Azzera();
    r.Cerca();
    QCOMPARE(r.Conferma({}), int(RicercaAnagrafico::RisTutti));
    QCOMPARE(selezione(amb), (QList<int>{1, 2}));
    QVERIFY(r.IdScelti().isEmpty());
    // Without DumpTable the choice is only reported.
    r.impostazioni().dumpTable = false;
    QCOMPARE(r.Conferma({9, 4}), int(RicercaAnagrafico::RisSelezione));
    QList<int> scelti = r.IdScelti();
    std::sort(scelti.begin(), scelti.end());
    QCOMPARE(scelti, (QList<int>{4, 9}));
    QCOMPARE(selezione(amb), (QList<int>{1, 2}));
}

void TstRicerca::tabellaSelezione()
{
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.Cerca();

    // Another shape: rebuilt, whatever it held.
    amb.esegui(QStringLiteral("CREATE TABLE ':dbPresUt:AnagraficoSelezione' (Id INTEGER, Cognome VARCHAR(30), Libero INTEGER)"));
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:AnagraficoSelezione' VALUES (99, 'Vecchio', 1)"));
    r.Conferma({5});
    QCOMPARE(campi(amb, kSel), minuscole(kCampi));
    QCOMPARE(selezione(amb), QList<int>{5});
    // The same shape: only emptied (an index of our own survives).
    amb.esegui(Ddl::creaIndice(amb.db().dialetto(), amb.db().dialetto().schemaLavoro(), kSel, Indice{QStringLiteral("idxSegno"), {QStringLiteral("Nome")}}));
    r.Conferma({4});
    QCOMPARE(selezione(amb), QList<int>{4});
    QVERIFY(indici(amb, kSel).contains(QStringLiteral("idxsegno")));

    // A second selection table beside the first, each with its own indexes.
    r.impostazioni().tempTableName = QStringLiteral("SelPiano");
    r.Conferma({2, 3});
    QCOMPARE(selezione(amb, QStringLiteral("SelPiano")), (QList<int>{2, 3}));
    QCOMPARE(indici(amb, QStringLiteral("SelPiano")).size(), 4);
    QCOMPARE(selezione(amb), QList<int>{4});

    // The register's declared table keeps its shape; its Codice stays empty.
    const QStringList forma = campi(amb, QStringLiteral("TAnagCk"));
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TAnagCk' (Id, Cognome, Codice) VALUES (42, 'Vecchio', '0000000001')"));
    r.impostazioni().tempTableName = QStringLiteral("TAnagCk");
    r.Conferma({1, 2});
    QCOMPARE(selezione(amb, QStringLiteral("TAnagCk")), (QList<int>{1, 2}));
    QCOMPARE(campi(amb, QStringLiteral("TAnagCk")), forma);
    QCOMPARE(amb.conta(QStringLiteral("':dbPresUt:TAnagCk'"), QStringLiteral("Codice IS NOT NULL")), 0);
    // A declared work table without room for the selection is refused, never rebuilt.
    r.impostazioni().tempTableName = QStringLiteral("TPiantaSel");
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TPiantaSel' (Id, IdPiantaPadre) VALUES (10, 1)"));
    QVERIFY_THROWS_EXCEPTION(ErroreDb, r.Conferma({1}));
    QCOMPARE(amb.conta(QStringLiteral("':dbPresUt:TPiantaSel'")), 1);
}

void TstRicerca::copiaConProfilo()
{
    Ambiente amb;
    Anagrafe::popola(amb);
    RicercaAnagrafico r(amb.dtm());
    r.impostazioni().classe = ClasseRicerca::ctEmployees;
    r.impostazioni().modo = ModoCopia::dmProfile;
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Ros"));
    QVERIFY(r.Istruzione().sql.startsWith(
        QLatin1String("select distinct Id, Matricola, Cognome, Nome, Libero, Classe, Profilo.* from Anagrafico, Profilo where ")));
    r.Cerca();
    QCOMPARE(r.Righe().size(), 3);  // Rossi has two profiles
    r.Conferma({});
    const QStringList presenti = campi(amb, kSel);
    QCOMPARE(presenti.mid(0, 6), minuscole(kCampi));
    QVERIFY(presenti.contains(QStringLiteral("idpianta")) && presenti.contains(QStringLiteral("ultelabvoci")));
    // One row per person, with his latest profile, for the result and for marked people.
    QCOMPARE(selezione(amb), (QList<int>{1, 2}));
    QCOMPARE(amb.valore(QStringLiteral("SELECT IdPianta FROM ':dbPresUt:AnagraficoSelezione' WHERE Id = 1")).toInt(), int(Anagrafe::Produzione));
    r.Conferma({1});
    QCOMPARE(Banco::colonna(amb.db(), QStringLiteral("SELECT DataInizio FROM ':dbPresUt:AnagraficoSelezione'")),
             QStringLiteral("2023-01-01 00:00:00"));
    r.impostazioni().modo = ModoCopia::dmDefault;
    r.Conferma({2});
    QCOMPARE(campi(amb, kSel), minuscole(kCampi));
}

void TstRicerca::impostazioniIncompatibili()
{
    Ambiente amb;
    TQALight q(amb.dtm());
    const auto rifiuta = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const std::invalid_argument& e) {
            const QString t = QString::fromStdString(e.what());
            return t.contains(QLatin1String("DumpMode")) && t.contains(QLatin1String("ClassTypeFilter"));
        }
        return false;
    };
    QVERIFY(rifiuta([&] { q.setDumpMode(ModoCopia::dmProfile); }));
    QCOMPARE(q.DumpMode(), ModoCopia::dmDefault);
    q.setClassTypeFilter(ClasseRicerca::ctEmployees);
    q.setDumpMode(ModoCopia::dmProfile);
    QVERIFY(rifiuta([&] { q.setClassTypeFilter(ClasseRicerca::ctGuests); }));
    QVERIFY(rifiuta([&] { q.setClassTypeFilter(ClasseRicerca::ctSelect); }));
    QCOMPARE(q.ClassTypeFilter(), ClasseRicerca::ctEmployees);
    q.setDumpMode(ModoCopia::dmDefault);
    q.setClassTypeFilter(ClasseRicerca::ctGuests);
    QCOMPARE(q.ClassTypeFilter(), ClasseRicerca::ctGuests);
}

void TstRicerca::archivioNonValido_data()
{
    QTest::addColumn<QString>("persone");
    QTest::addColumn<QString>("selezione");
    QTest::addColumn<QString>("tabella");
    QTest::newRow("archivio sconosciuto") << "DBAltro" << "DBPresUt" << "AnagraficoSelezione";
    QTest::newRow("persone nel database di lavoro") << "DBPresUt" << "DBPresUt" << "AnagraficoSelezione";
    QTest::newRow("selezione nel database di produzione") << "DBPresenze" << "DBPresenze" << "AnagraficoSelezione";
    QTest::newRow("nome di tabella non valido") << "DBPresenze" << "DBPresUt" << "Sel; DROP";
}

void TstRicerca::archivioNonValido()
{
    QFETCH(QString, persone);
    QFETCH(QString, selezione);
    QFETCH(QString, tabella);
    Componente c;
    c.qa.setDataBaseName(persone);
    c.qa.setTempDataBaseName(selezione);
    c.qa.setTempTableName(tabella);
    QCOMPARE(c.qa.Execute(), int(TQALight::RisAnnullato));
    QCOMPARE(c.creati, 0);
    QVERIFY(!c.qa.ActiveDialog());
    QCOMPARE(c.amb.registro().avvisi, QStringList{"Archivio non valido."});
}

void TstRicerca::componente()
{
    Componente c;
    TQALight& q = c.qa;
    QCOMPARE(q.TempTableName(), kSel);
    QVERIFY(q.DumpTable() && q.StartOnSearchPage() && !q.AutoReset() && !q.FreeDialog() && !q.ActiveDialog());
    q.setTempTableName(QStringLiteral("SelPiano"));

    // Each use records the conditions it finds, then searches for "Anna" by personnel number.
    QStringList visti;
    c.passi = [&visti](RicercaAnagrafico& r) {
        visti << r.valore(CampoRicerca::Nome, 0) + QLatin1Char('/') + QString::number(r.Righe().size());
        r.setValore(CampoRicerca::Nome, 0, QStringLiteral("Anna"));
        r.setOrdine(QStringLiteral("Ordina per Matricola"));
        r.Cerca();
        return r.Conferma({});
    };
    q.Ricerca().setValore(CampoRicerca::Nome, 0, QStringLiteral("Zeno"));  // gone when the dialog is created
    QCOMPARE(q.Execute(), int(TQALight::RisSelezione));
    QCOMPARE(q.Result(), int(TQALight::RisSelezione));
    QCOMPARE(q.SortFields(), QStringLiteral("Matricola"));
    QCOMPARE(q.IstruzioneSelezione(QStringLiteral("Id")), QStringLiteral("SELECT Id FROM ':dbPresUt:SelPiano' ORDER BY Matricola, Id"));
    QCOMPARE(ids(c.amb, q.IstruzioneSelezione(QStringLiteral("Id"))), QList<int>{2});
    QVERIFY(q.ActiveDialog());

    q.setStartOnSearchPage(false);
    q.Execute();  // the same dialog, conditions and results kept
    q.setAutoReset(true);
    q.Execute();  // conditions cleared, results kept
    q.setAutoReset(false);
    q.setFreeDialog(true);
    q.Execute();  // kept, then the dialog goes
    QVERIFY(!q.ActiveDialog());
    q.Execute();  // a new dialog: nothing of the old one
    QCOMPARE(c.creati, 2);
    QCOMPARE(visti, (QStringList{"/0", "Anna/1", "/1", "Anna/1", "/0"}));
    QCOMPARE(c.pagine, (QList<bool>{true, false, false, false, false}));

    TQALight senza(c.amb.dtm());
    QVERIFY_THROWS_EXCEPTION(std::logic_error, senza.Execute());
}

void TstRicerca::componenteTutti()
{
    Componente c;
    c.qa.setClassTypeFilter(ClasseRicerca::ctEmployees);
    c.passi = [](RicercaAnagrafico& r) {
        r.setOrdine(QStringLiteral("Ordina per Matricola"));
        r.Cerca();
        return r.Conferma({});
    };
    QCOMPARE(c.qa.Execute(), int(TQALight::RisTutti));
    QVERIFY(!Anagrafe::esisteTabella(c.amb, kSel));
    QCOMPARE(c.qa.IstruzioneSelezione(QStringLiteral("Id")), QStringLiteral("SELECT Id FROM Anagrafico WHERE Classe = 'D' ORDER BY Matricola, Id"));
    QCOMPARE(ids(c.amb, c.qa.IstruzioneSelezione(QStringLiteral("Id"))), (QList<int>{5, 1, 2, 3, 6, 7, 8, 9}));
}

QTEST_GUILESS_MAIN(TstRicerca)
#include "tst_ricerca.moc"
