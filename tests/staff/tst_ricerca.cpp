// The employee selection query without its dialog: the conditions each match kind writes
// and the values it binds, zero filling, the range check, names with quotes and wildcards,
// units, class filter and order, the copy into the selection table (created, emptied,
// rebuilt), the component's settings and its use of the dialog.

#include "anagrafe.h"
#include "ricercaanagrafico.h"
#include "tqalight.h"

#include <QSqlQuery>
#include <QtTest>

#include <stdexcept>

Q_DECLARE_METATYPE(CampoRicerca)
Q_DECLARE_METATYPE(Confronto)
Q_DECLARE_METATYPE(ClasseRicerca)

namespace {

using Anagrafe::ids;
using Anagrafe::selezione;

QList<int> idTrovati(const RicercaAnagrafico& r)
{
    QList<int> l;
    for (const QSqlRecord& rec : r.Righe())
        l << rec.value(QStringLiteral("Id")).toInt();
    return l;
}

QList<int> ordinati(QList<int> l)
{
    std::sort(l.begin(), l.end());
    return l;
}

// Index names and uniqueness of a table of the work database.
QMap<QString, bool> indici(Ambiente& amb, const QString& tabella)
{
    QMap<QString, bool> m;
    QSqlQuery q = amb.db().esegui(QStringLiteral("PRAGMA presut.index_list(%1)").arg(tabella));
    while (q.next())
        m.insert(q.value(1).toString(), q.value(2).toInt() == 1);
    return m;
}

QStringList colonne(Ambiente& amb, const QString& tabella)
{
    QStringList l;
    QSqlQuery q = amb.db().esegui(QStringLiteral("PRAGMA presut.table_info(%1)").arg(tabella));
    while (q.next())
        l << q.value(1).toString();
    return l;
}

// A dialog stand-in: runs the given steps on the component's search and returns their result.
class DialogoFinto : public DialogoQA {
public:
    DialogoFinto(std::function<int(bool)> passi, int* creati) : m_passi(std::move(passi)) { ++*creati; }
    int Esegui(QWidget*, bool paginaRicerca) override { return m_passi(paginaRicerca); }

private:
    std::function<int(bool)> m_passi;
};

struct Base {
    Base() { Anagrafe::popola(amb); }
    Ambiente amb;
};

}  // namespace

class TstRicerca : public QObject {
    Q_OBJECT
private slots:
    void condizioni_data();
    void condizioni();
    void istruzioneCompleta();
    void riempimento_data();
    void riempimento();
    void nomiComeScritti_data();
    void nomiComeScritti();
    void intervalloMatricola();
    void intervalloRovesciato_data();
    void intervalloRovesciato();
    void organico();
    void classe_data();
    void classe();
    void nessunRisultato();
    void ordineRisultati_data();
    void ordineRisultati();
    void sortFields_data();
    void sortFields();
    void marcatiCopiati();
    void risultatoSenzaMarchi();
    void senzaCondizioniTutti();
    void senzaCopia();
    void tabellaSvuotata();
    void tabellaRicostruita();
    void tabellaDichiarata();
    void tabelleAffiancate();
    void copiaConProfilo();
    void ordineSelezione_data();
    void ordineSelezione();
    void impostazioniIncompatibili();
    void archivioNonValido_data();
    void archivioNonValido();
    void usoDelComponente();
    void azzeraENuovoDialogo();
    void senzaDialogo();
    void istruzioneTutti();
};

void TstRicerca::condizioni_data()
{
    QTest::addColumn<CampoRicerca>("campo");
    QTest::addColumn<Confronto>("tipo");
    QTest::addColumn<QString>("da");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QStringList>("attese");
    QTest::addColumn<QVariantList>("valori");
    QTest::addColumn<QList<int>>("trovati");

    const auto C = CampoRicerca::Cognome;
    const QString like = QStringLiteral(" like :Param1 escape '\\'");
    QTest::newRow("cognome uguale") << C << Confronto::Uguale << "Rossi" << "" << QStringList{"Anagrafico.Cognome= :Param1"}
                                    << QVariantList{"Rossi"} << QList<int>{1};
    QTest::newRow("cognome inizia con Ros") << C << Confronto::IniziaCon << "Ros" << "" << QStringList{"Anagrafico.Cognome" + like}
                                            << QVariantList{"Ros%"} << QList<int>{1, 2};
    QTest::newRow("nome finisce con") << CampoRicerca::Nome << Confronto::FinisceCon << "na" << ""
                                      << QStringList{"Anagrafico.Nome" + like} << QVariantList{"%na"} << QList<int>{2, 6, 7};
    QTest::newRow("nome contiene") << CampoRicerca::Nome << Confronto::Contiene << "ar" << "" << QStringList{"Anagrafico.Nome" + like}
                                   << QVariantList{"%ar%"} << QList<int>{1, 4};
    QTest::newRow("cognome da a") << C << Confronto::DaA << "B" << "R" << QStringList{"Anagrafico.Cognome>= :Param1", "Anagrafico.Cognome<= :Param2"}
                                  << QVariantList{"B", "R"} << QList<int>{3, 5, 8, 9};
    QTest::newRow("matricola da a riempita") << CampoRicerca::Matricola << Confronto::DaA << "12" << "120"
                                             << QStringList{"Anagrafico.Matricola>= :Param1", "Anagrafico.Matricola<= :Param2"}
                                             << QVariantList{"0000000012", "0000000120"} << QList<int>{1, 2, 3};
    QTest::newRow("matricola solo da") << CampoRicerca::Matricola << Confronto::DaA << "300" << ""
                                       << QStringList{"Anagrafico.Matricola>= :Param1"} << QVariantList{"0000000300"}
                                       << QList<int>{6, 7, 8, 9};
    QTest::newRow("matricola solo a") << CampoRicerca::Matricola << Confronto::DaA << "" << "12"
                                      << QStringList{"Anagrafico.Matricola<= :Param1"} << QVariantList{"0000000012"} << QList<int>{1, 5};
    QTest::newRow("matricola uguale non riempita") << CampoRicerca::Matricola << Confronto::Uguale << "12" << ""
                                                   << QStringList{"Anagrafico.Matricola= :Param1"} << QVariantList{"12"} << QList<int>{};
    QTest::newRow("badge uguale riempito") << CampoRicerca::CodiceBadge << Confronto::Uguale << "345" << ""
                                           << QStringList{"Badge.Codice= :Param1"} << QVariantList{"0000000345"} << QList<int>{1};
    QTest::newRow("badge da a riempito") << CampoRicerca::CodiceBadge << Confronto::DaA << "345" << "1000"
                                         << QStringList{"Badge.Codice>= :Param1", "Badge.Codice<= :Param2"}
                                         << QVariantList{"0000000345", "0000001000"} << QList<int>{1, 2, 3};
    QTest::newRow("badge finisce con non riempito") << CampoRicerca::CodiceBadge << Confronto::FinisceCon << "45" << ""
                                                    << QStringList{"Badge.Codice" + like} << QVariantList{"%45"} << QList<int>{1};
    QTest::newRow("secondo valore solo per intervalli") << C << Confronto::IniziaCon << "Ros" << "Z"
                                                        << QStringList{"Anagrafico.Cognome" + like} << QVariantList{"Ros%"}
                                                        << QList<int>{1, 2};
    QTest::newRow("valore di soli spazi") << C << Confronto::Uguale << "   " << "" << QStringList{} << QVariantList{}
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
    QFETCH(QList<int>, trovati);

    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.setConfronto(campo, tipo);
    r.setValore(campo, 0, da);
    r.setValore(campo, 1, a);
    const IstruzioneRicerca i = r.Istruzione();
    QCOMPARE(i.condizioni, attese);
    QVariantList legati;
    QStringList nomi;
    for (const auto& [nome, valore] : i.parametri) {
        nomi << nome;
        legati << valore;
    }
    QCOMPARE(legati, valori);
    for (int n = 0; n < nomi.size(); ++n)
        QCOMPARE(nomi.at(n), QStringLiteral("Param%1").arg(n + 1));
    for (const QString& c : attese)
        QVERIFY2(i.sql.contains(c), qPrintable(i.sql));
    // The badge table joins only when a badge condition is written.
    const bool badge = campo == CampoRicerca::CodiceBadge && !attese.isEmpty();
    QCOMPARE(i.sql.contains(QLatin1String(", Badge")), badge);
    QCOMPARE(i.sql.contains(QLatin1String("Badge.IdUtilizzatore=Anagrafico.Id")), badge);
    QVERIFY(!i.sql.contains(QLatin1String("Profilo")));
    QCOMPARE(i.conCondizioni(), !attese.isEmpty());

    const RicercaAnagrafico::Esito e = r.Cerca();
    QCOMPARE(e, trovati.isEmpty() ? RicercaAnagrafico::Esito::Nessuno : RicercaAnagrafico::Esito::Trovati);
    QCOMPARE(ordinati(idTrovati(r)), trovati);
}

void TstRicerca::istruzioneCompleta()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
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
    QCOMPARE(i.parametri.size(), 5);
    QCOMPARE(i.parametri.at(2).second.toInt(), int(Anagrafe::Produzione));
    QCOMPARE(i.parametri.at(3).second.toInt(), int(Anagrafe::Magazzino));
    QCOMPARE(i.parametri.at(4).second.toInt(), int(Anagrafe::Operaio));
    QCOMPARE(r.Cerca(), RicercaAnagrafico::Esito::Trovati);
    QCOMPARE(idTrovati(r), QList<int>{1});

    // The badge order needs the badge table even without a badge condition.
    RicercaAnagrafico s(b.amb.dtm());
    s.setOrdine(QStringLiteral("Ordina per N. Badge"));
    QCOMPARE(s.Istruzione().sql, QStringLiteral("select distinct Id, Matricola, Cognome, Nome, Libero, Classe from Anagrafico, Badge "
                                                 "where Badge.IdUtilizzatore=Anagrafico.Id order by Badge.Codice"));
    QVERIFY(!s.Istruzione().conCondizioni());
}

void TstRicerca::riempimento_data()
{
    QTest::addColumn<CampoRicerca>("campo");
    QTest::addColumn<Confronto>("tipo");
    QTest::addColumn<bool>("riempie");
    QTest::newRow("matricola intervallo") << CampoRicerca::Matricola << Confronto::DaA << true;
    QTest::newRow("matricola uguale") << CampoRicerca::Matricola << Confronto::Uguale << false;
    QTest::newRow("matricola inizia con") << CampoRicerca::Matricola << Confronto::IniziaCon << false;
    QTest::newRow("badge uguale") << CampoRicerca::CodiceBadge << Confronto::Uguale << true;
    QTest::newRow("badge intervallo") << CampoRicerca::CodiceBadge << Confronto::DaA << true;
    QTest::newRow("badge contiene") << CampoRicerca::CodiceBadge << Confronto::Contiene << false;
    QTest::newRow("cognome intervallo") << CampoRicerca::Cognome << Confronto::DaA << false;
}

void TstRicerca::riempimento()
{
    QFETCH(CampoRicerca, campo);
    QFETCH(Confronto, tipo);
    QFETCH(bool, riempie);
    Ambiente amb;
    RicercaAnagrafico r(amb.dtm());
    QCOMPARE(RicercaAnagrafico::RiempieZeri(campo, tipo), riempie);
    r.setConfronto(campo, tipo);
    r.setValore(campo, 0, QStringLiteral("12"));
    r.setValore(campo, 1, QStringLiteral(" 345 "));
    QCOMPARE(r.valore(campo, 0), riempie ? QStringLiteral("0000000012") : QStringLiteral("12"));
    QCOMPARE(r.valore(campo, 1), riempie ? QStringLiteral("0000000345") : QStringLiteral(" 345 "));
    // An empty value stays empty; a value of ten characters or more is left as it is.
    r.setValore(campo, 0, QString());
    QCOMPARE(r.valore(campo, 0), QString());
    r.setValore(campo, 0, QStringLiteral("12345678901"));
    QCOMPARE(r.valore(campo, 0), QStringLiteral("12345678901"));
}

void TstRicerca::nomiComeScritti_data()
{
    QTest::addColumn<Confronto>("tipo");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QList<int>>("trovati");
    QTest::newRow("apostrofo uguale") << Confronto::Uguale << "D'Amico" << QList<int>{5};
    QTest::newRow("apostrofo inizia con") << Confronto::IniziaCon << "D'A" << QList<int>{5};
    QTest::newRow("percento contenuto") << Confronto::Contiene << "a%R" << QList<int>{6};
    QTest::newRow("percento uguale") << Confronto::Uguale << "Sala%Rosa" << QList<int>{6};
    QTest::newRow("percento finale") << Confronto::FinisceCon << "%Rosa" << QList<int>{6};
    QTest::newRow("trattino basso") << Confronto::Contiene << "l_M" << QList<int>{8};
    QTest::newRow("barra rovescia") << Confronto::Contiene << "\\" << QList<int>{};
}

void TstRicerca::nomiComeScritti()
{
    QFETCH(Confronto, tipo);
    QFETCH(QString, testo);
    QFETCH(QList<int>, trovati);
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.setConfronto(CampoRicerca::Cognome, tipo);
    r.setValore(CampoRicerca::Cognome, 0, testo);
    r.Cerca();
    QCOMPARE(ordinati(idTrovati(r)), trovati);
}

void TstRicerca::intervalloMatricola()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.setConfronto(CampoRicerca::Matricola, Confronto::DaA);
    r.setValore(CampoRicerca::Matricola, 0, QStringLiteral("12"));
    r.setValore(CampoRicerca::Matricola, 1, QStringLiteral("120"));
    QCOMPARE(r.valore(CampoRicerca::Matricola, 0), QStringLiteral("0000000012"));
    QCOMPARE(r.valore(CampoRicerca::Matricola, 1), QStringLiteral("0000000120"));
    QCOMPARE(r.Cerca(), RicercaAnagrafico::Esito::Trovati);
    // As text, "120" would come before "50" and "7" after "12": only the filled values
    // give the numeric range.
    QCOMPARE(ordinati(idTrovati(r)), (QList<int>{1, 2, 3}));

    // Values typed before the kind became a range are filled when searched.
    RicercaAnagrafico s(b.amb.dtm());
    s.setValore(CampoRicerca::Matricola, 0, QStringLiteral("7"));
    s.setValore(CampoRicerca::Matricola, 1, QStringLiteral("12"));
    s.setConfronto(CampoRicerca::Matricola, Confronto::DaA);
    QCOMPARE(s.Istruzione().parametri.at(0).second.toString(), QStringLiteral("0000000007"));
    s.Cerca();
    QCOMPARE(ordinati(idTrovati(s)), (QList<int>{1, 5}));
}

void TstRicerca::intervalloRovesciato_data()
{
    QTest::addColumn<CampoRicerca>("campo");
    QTest::addColumn<QString>("da");
    QTest::addColumn<QString>("a");
    QTest::addColumn<bool>("rifiutato");
    QTest::newRow("matricola 120..12") << CampoRicerca::Matricola << "120" << "12" << true;
    QTest::newRow("matricola 12..120") << CampoRicerca::Matricola << "12" << "120" << false;
    QTest::newRow("matricola 9..10 riempite") << CampoRicerca::Matricola << "9" << "10" << false;
    QTest::newRow("cognome Rossi..Bianchi") << CampoRicerca::Cognome << "Rossi" << "Bianchi" << true;
    QTest::newRow("cognome uguali") << CampoRicerca::Cognome << "Rossi" << "Rossi" << false;
    QTest::newRow("badge 346..345") << CampoRicerca::CodiceBadge << "346" << "345" << true;
    QTest::newRow("nome Z..A") << CampoRicerca::Nome << "Z" << "A" << true;
}

void TstRicerca::intervalloRovesciato()
{
    QFETCH(CampoRicerca, campo);
    QFETCH(QString, da);
    QFETCH(QString, a);
    QFETCH(bool, rifiutato);
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.Cerca();  // an earlier search, whose results a refused one must leave alone
    const QList<int> prima = idTrovati(r);
    r.setConfronto(campo, Confronto::DaA);
    r.setValore(campo, 0, da);
    r.setValore(campo, 1, a);
    b.amb.registro().avvisi.clear();
    const RicercaAnagrafico::Esito e = r.Cerca();
    if (!rifiutato) {
        QVERIFY(e != RicercaAnagrafico::Esito::IntervalloErrato);
        QVERIFY(!r.IntervalloErrato());
        return;
    }
    QCOMPARE(e, RicercaAnagrafico::Esito::IntervalloErrato);
    QCOMPARE(r.IntervalloErrato(), std::optional<CampoRicerca>(campo));
    QCOMPARE(b.amb.registro().avvisi,
             QStringList{QStringLiteral("Il valore indicato nel campo [A...] non deve essere inferiore a quello del campo [Da...]!")});
    QCOMPARE(idTrovati(r), prima);
}

void TstRicerca::organico()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    const QList<UnitaScelta> reparti = r.elencoUnita(Organico::Reparto);
    QStringList nomi;
    for (const UnitaScelta& u : reparti)
        nomi << u.descr;
    QCOMPARE(nomi, (QStringList{"Azienda", "Magazzino", "Produzione", "Uffici"}));
    QCOMPARE(r.elencoUnita(Organico::Qualifica).size(), 3);

    QCOMPARE(r.testoUnita(Organico::Reparto), QString());
    r.setUnita(Organico::Reparto, {{Anagrafe::Produzione, QStringLiteral("Produzione")}});
    QCOMPARE(r.testoUnita(Organico::Reparto), QStringLiteral("Produzione"));
    r.setUnita(Organico::Reparto, {{Anagrafe::Produzione, QStringLiteral("Produzione")}, {Anagrafe::Magazzino, QStringLiteral("Magazzino")}});
    QCOMPARE(r.testoUnita(Organico::Reparto), QStringLiteral("Produzione ..."));
    QCOMPARE(r.Istruzione().condizioni, QStringList{"Profilo.IdPianta in (:Param1, :Param2)"});
    r.Cerca();
    QCOMPARE(ordinati(idTrovati(r)), (QList<int>{1, 2, 5}));

    // Department and qualification together: both on the same profile.
    r.setUnita(Organico::Reparto, {{Anagrafe::Produzione, QStringLiteral("Produzione")}});
    r.setUnita(Organico::Qualifica, {{Anagrafe::Impiegato, QStringLiteral("Impiegato")}});
    QCOMPARE(r.Istruzione().condizioni, (QStringList{"Profilo.IdPianta in (:Param1)", "Profilo.IdRuolo in (:Param2)"}));
    r.Cerca();
    QCOMPARE(idTrovati(r), QList<int>{5});
}

void TstRicerca::classe_data()
{
    QTest::addColumn<ClasseRicerca>("classe");
    QTest::addColumn<QList<int>>("trovati");
    QTest::newRow("tutti") << ClasseRicerca::ctSelect << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("dipendenti") << ClasseRicerca::ctEmployees << QList<int>{1, 2, 3, 5, 6, 7, 8, 9};
    QTest::newRow("ospiti") << ClasseRicerca::ctGuests << QList<int>{4};
}

void TstRicerca::classe()
{
    QFETCH(ClasseRicerca, classe);
    QFETCH(QList<int>, trovati);
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.impostazioni().classe = classe;
    r.Cerca();
    QCOMPARE(ordinati(idTrovati(r)), trovati);
    // The class filter is the component's, not the user's: it is no search condition.
    QVERIFY(!r.CercatoConCondizioni());
}

void TstRicerca::nessunRisultato()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.setConfronto(CampoRicerca::Cognome, Confronto::Uguale);
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Zanetti"));
    QCOMPARE(r.Cerca(), RicercaAnagrafico::Esito::Nessuno);
    QVERIFY(r.Righe().isEmpty());
    QCOMPARE(b.amb.registro().avvisi, QStringList{QStringLiteral("Nessun record soddisfa le condizioni di ricerca impostate!")});
}

void TstRicerca::ordineRisultati_data()
{
    QTest::addColumn<QString>("voce");
    QTest::addColumn<QList<int>>("attesi");
    QTest::newRow("nominativo") << "Ordina per Nominativo" << QList<int>{3, 5, 9, 8, 1, 2, 6, 7, 4};
    QTest::newRow("matricola") << "Ordina per Matricola" << QList<int>{5, 1, 2, 3, 4, 6, 7, 8, 9};
    QTest::newRow("badge") << "Ordina per N. Badge" << QList<int>{5, 1, 2, 3};
    QTest::newRow("voce sconosciuta come la prima") << "Ordina per altro" << QList<int>{3, 5, 9, 8, 1, 2, 6, 7, 4};
}

void TstRicerca::ordineRisultati()
{
    QFETCH(QString, voce);
    QFETCH(QList<int>, attesi);
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.setOrdine(voce);
    r.Cerca();
    QCOMPARE(idTrovati(r), attesi);
}

void TstRicerca::sortFields_data()
{
    QTest::addColumn<QString>("voce");
    QTest::addColumn<QString>("campi");
    QTest::newRow("nominativo") << "Ordina per Nominativo" << "Cognome;Nome";
    QTest::newRow("matricola") << "Ordina per Matricola" << "Matricola";
    QTest::newRow("commento in minuscolo") << "ordina per commento" << "Libero";
    QTest::newRow("badge") << "Ordina per N. Badge" << "";
    QTest::newRow("campo libero") << "Ordina per Campo Libero" << "";
}

void TstRicerca::sortFields()
{
    QFETCH(QString, voce);
    QFETCH(QString, campi);
    QCOMPARE(RicercaAnagrafico::SortFields(voce), campi);
}

void TstRicerca::marcatiCopiati()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.Cerca();
    QCOMPARE(r.Righe().size(), 9);
    QCOMPARE(r.Conferma({7, 3}), int(RicercaAnagrafico::RisSelezione));
    QCOMPARE(selezione(b.amb), (QList<int>{3, 7}));
    QCOMPARE(ordinati(r.IdScelti()), (QList<int>{3, 7}));
    QSqlQuery q = b.amb.db().esegui(QStringLiteral("SELECT Matricola, Cognome, Nome, Libero, Classe FROM ':dbPresUt:AnagraficoSelezione' WHERE Id = 3"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("0000000120"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("Bianchi"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("Luca"));
    QCOMPARE(q.value(3).toString(), QStringLiteral("Turno A"));
    QCOMPARE(q.value(4).toString(), QStringLiteral("D"));

    QCOMPARE(colonne(b.amb, QStringLiteral("AnagraficoSelezione")), (QStringList{"Id", "Matricola", "Cognome", "Nome", "Libero", "Classe"}));
    const QMap<QString, bool> idx = indici(b.amb, QStringLiteral("AnagraficoSelezione"));
    QCOMPARE(idx.size(), 4);
    QCOMPARE(idx.value(RicercaAnagrafico::NomeIndice(QStringLiteral("AnagraficoSelezione"), QStringLiteral("PK_Anagrafico_Id"))), true);
    for (const char* n : {"idxAnagNominativo", "idxAnagMatricola", "idxAnagLibero"}) {
        const QString nome = RicercaAnagrafico::NomeIndice(QStringLiteral("AnagraficoSelezione"), QLatin1String(n));
        QVERIFY2(idx.contains(nome) && !idx.value(nome), qPrintable(nome));
    }
}

void TstRicerca::risultatoSenzaMarchi()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Sala"));
    r.Cerca();
    QCOMPARE(r.Conferma({}), int(RicercaAnagrafico::RisSelezione));
    QCOMPARE(selezione(b.amb), (QList<int>{6, 7}));
}

void TstRicerca::senzaCondizioniTutti()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Ros"));
    r.Cerca();
    r.Conferma({});
    QCOMPARE(selezione(b.amb), (QList<int>{1, 2}));

    // No condition and no mark: everybody, and the selection table is left as it was.
    r.Azzera();
    r.Cerca();
    QCOMPARE(r.Righe().size(), 9);
    QCOMPARE(r.Conferma({}), int(RicercaAnagrafico::RisTutti));
    QCOMPARE(selezione(b.amb), (QList<int>{1, 2}));
    QVERIFY(r.IdScelti().isEmpty());

    // Marks alone are enough for a selection.
    QCOMPARE(r.Conferma({9}), int(RicercaAnagrafico::RisSelezione));
    QCOMPARE(selezione(b.amb), QList<int>{9});
}

void TstRicerca::senzaCopia()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.impostazioni().dumpTable = false;
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Ros"));
    r.Cerca();
    QCOMPARE(r.Conferma({}), int(RicercaAnagrafico::RisSelezione));
    QVERIFY(!Anagrafe::esisteTabella(b.amb, QStringLiteral("AnagraficoSelezione")));
    QCOMPARE(ordinati(r.IdScelti()), (QList<int>{1, 2}));
}

void TstRicerca::tabellaSvuotata()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.Cerca();
    r.Conferma({1, 2, 3});
    // A mark of our own on the table: it survives only if the table is not rebuilt.
    b.amb.esegui(QStringLiteral("CREATE INDEX presut.idxSegno ON AnagraficoSelezione (Nome)"));
    r.Conferma({4});
    QCOMPARE(selezione(b.amb), QList<int>{4});
    QVERIFY(indici(b.amb, QStringLiteral("AnagraficoSelezione")).contains(QStringLiteral("idxSegno")));
}

void TstRicerca::tabellaRicostruita()
{
    Base b;
    b.amb.esegui(QStringLiteral("CREATE TABLE presut.AnagraficoSelezione (Id INTEGER, Cognome VARCHAR(30))"));
    b.amb.esegui(QStringLiteral("INSERT INTO presut.AnagraficoSelezione VALUES (99, 'Vecchio')"));
    RicercaAnagrafico r(b.amb.dtm());
    r.Cerca();
    r.Conferma({5});
    QCOMPARE(colonne(b.amb, QStringLiteral("AnagraficoSelezione")), (QStringList{"Id", "Matricola", "Cognome", "Nome", "Libero", "Classe"}));
    QCOMPARE(selezione(b.amb), QList<int>{5});
    QCOMPARE(b.amb.valore(QStringLiteral("SELECT Cognome FROM presut.AnagraficoSelezione")).toString(), QStringLiteral("D'Amico"));

    // Same number of fields but another type in one of them: rebuilt as well.
    b.amb.esegui(QStringLiteral("DROP TABLE presut.AnagraficoSelezione"));
    b.amb.esegui(QStringLiteral("CREATE TABLE presut.AnagraficoSelezione (Id INTEGER, Matricola VARCHAR(10), Cognome VARCHAR(30), "
                                "Nome VARCHAR(20), Libero INTEGER, Classe VARCHAR(1))"));
    b.amb.esegui(QStringLiteral("CREATE INDEX presut.idxSegno ON AnagraficoSelezione (Nome)"));
    r.Conferma({6});
    QVERIFY(!indici(b.amb, QStringLiteral("AnagraficoSelezione")).contains(QStringLiteral("idxSegno")));
    QCOMPARE(b.amb.valore(QStringLiteral("SELECT type FROM pragma_table_info('AnagraficoSelezione', 'presut') WHERE name = 'Libero'")).toString(),
             QStringLiteral("VARCHAR(20)"));
    QCOMPARE(selezione(b.amb), QList<int>{6});
}

void TstRicerca::tabellaDichiarata()
{
    // The register's own selection table keeps its declared shape and indexes.
    Base b;
    const QStringList prima = colonne(b.amb, QStringLiteral("TAnagCk"));
    b.amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TAnagCk' (Id, Cognome, Codice) VALUES (42, 'Vecchio', '0000000001')"));
    RicercaAnagrafico r(b.amb.dtm());
    r.impostazioni().tempTableName = QStringLiteral("TAnagCk");
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Ros"));
    r.Cerca();
    QCOMPARE(r.Conferma({}), int(RicercaAnagrafico::RisSelezione));
    QCOMPARE(selezione(b.amb, QStringLiteral("TAnagCk")), (QList<int>{1, 2}));
    QCOMPARE(colonne(b.amb, QStringLiteral("TAnagCk")), prima);
    QVERIFY(indici(b.amb, QStringLiteral("TAnagCk")).contains(QStringLiteral("idxTAnagCkId")));
    QCOMPARE(b.amb.conta(QStringLiteral("presut.TAnagCk"), QStringLiteral("Codice IS NOT NULL")), 0);

    // A declared work table without room for the selection is refused, not rebuilt.
    r.impostazioni().tempTableName = QStringLiteral("TPiantaSel");
    b.amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TPiantaSel' (Id, IdPiantaPadre) VALUES (10, 1)"));
    QVERIFY_THROWS_EXCEPTION(ErroreDb, r.Conferma({}));
    QCOMPARE(b.amb.conta(QStringLiteral("presut.TPiantaSel")), 1);
}

void TstRicerca::tabelleAffiancate()
{
    // Two selection tables in the same work database: each has its own four indexes.
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.Cerca();
    r.Conferma({1});
    r.impostazioni().tempTableName = QStringLiteral("SelPiano");
    r.Conferma({2, 3});
    QCOMPARE(selezione(b.amb), QList<int>{1});
    QCOMPARE(selezione(b.amb, QStringLiteral("SelPiano")), (QList<int>{2, 3}));
    QCOMPARE(indici(b.amb, QStringLiteral("SelPiano")).size(), 4);
    QCOMPARE(indici(b.amb, QStringLiteral("AnagraficoSelezione")).size(), 4);
}

void TstRicerca::copiaConProfilo()
{
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.impostazioni().classe = ClasseRicerca::ctEmployees;
    r.impostazioni().modo = ModoCopia::dmProfile;
    r.setConfronto(CampoRicerca::Cognome, Confronto::IniziaCon);
    r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Ros"));
    const IstruzioneRicerca i = r.Istruzione();
    QVERIFY2(i.sql.startsWith(QLatin1String("select distinct Id, Matricola, Cognome, Nome, Libero, Classe, Profilo.* from Anagrafico, Profilo where ")),
             qPrintable(i.sql));
    QVERIFY(i.sql.contains(QLatin1String("Profilo.IdUtilizzatore=Anagrafico.Id")));
    r.Cerca();
    QCOMPARE(r.Righe().size(), 3);  // Rossi has two profiles
    QCOMPARE(r.Conferma({}), int(RicercaAnagrafico::RisSelezione));
    const QStringList campi = colonne(b.amb, QStringLiteral("AnagraficoSelezione"));
    QCOMPARE(campi.mid(0, 6), (QStringList{"Id", "Matricola", "Cognome", "Nome", "Libero", "Classe"}));
    QVERIFY(campi.contains(QStringLiteral("IdPianta")) && campi.contains(QStringLiteral("UltElabVoci")));
    QCOMPARE(selezione(b.amb), (QList<int>{1, 2}));
    // One row per person, with the latest profile.
    QCOMPARE(b.amb.valore(QStringLiteral("SELECT IdPianta FROM presut.AnagraficoSelezione WHERE Id = 1")).toInt(), int(Anagrafe::Produzione));

    // Marked people are read again with their profile.
    QCOMPARE(r.Conferma({1}), int(RicercaAnagrafico::RisSelezione));
    QCOMPARE(selezione(b.amb), QList<int>{1});
    QCOMPARE(b.amb.valore(QStringLiteral("SELECT DataInizio FROM presut.AnagraficoSelezione")).toString(), QStringLiteral("2023-01-01 00:00:00"));

    // Back to the plain copy: the profile-shaped table is rebuilt.
    r.impostazioni().modo = ModoCopia::dmDefault;
    r.Conferma({2});
    QCOMPARE(colonne(b.amb, QStringLiteral("AnagraficoSelezione")).size(), 6);
}

void TstRicerca::ordineSelezione_data()
{
    QTest::addColumn<QString>("sortFields");
    QTest::addColumn<QString>("elenco");
    QTest::addColumn<QList<int>>("attesi");
    QTest::newRow("nominativo") << "Cognome;Nome" << "Cognome, Nome, Id" << QList<int>{3, 5, 9, 8, 1, 2, 6, 7, 4};
    QTest::newRow("matricola") << "Matricola" << "Matricola, Id" << QList<int>{5, 1, 2, 3, 4, 6, 7, 8, 9};
    QTest::newRow("libero, pari per Id") << "Libero" << "Libero, Id" << QList<int>{4, 6, 7, 8, 9, 1, 3, 2, 5};
    QTest::newRow("vuoto come nominativo") << "" << "Cognome, Nome, Id" << QList<int>{3, 5, 9, 8, 1, 2, 6, 7, 4};
}

void TstRicerca::ordineSelezione()
{
    QFETCH(QString, sortFields);
    QFETCH(QString, elenco);
    QFETCH(QList<int>, attesi);
    QCOMPARE(OrdineSelezione(sortFields), elenco);

    // The selection is copied in another order than the one it is walked in.
    Base b;
    RicercaAnagrafico r(b.amb.dtm());
    r.setOrdine(QStringLiteral("Ordina per Matricola"));
    r.Cerca();
    r.Conferma({9, 8, 7, 6, 5, 4, 3, 2, 1});
    const QString sql = IstruzioneSelezione(QStringLiteral("DBPresUt"), QStringLiteral("AnagraficoSelezione"), sortFields, QStringLiteral("Id"));
    QCOMPARE(sql, QStringLiteral("SELECT Id FROM ':dbPresUt:AnagraficoSelezione' ORDER BY ") + elenco);
    QCOMPARE(ids(b.amb, sql), attesi);
    // The register itself is walked the same way.
    QCOMPARE(ids(b.amb, IstruzioneSelezione(QStringLiteral("DBPresenze"), QStringLiteral("Anagrafico"), sortFields, QStringLiteral("Id"))),
             attesi);
}

void TstRicerca::impostazioniIncompatibili()
{
    Ambiente amb;
    TQALight q(amb.dtm());
    const auto nominaEntrambe = [](const std::invalid_argument& e) {
        const QString t = QString::fromStdString(e.what());
        return t.contains(QLatin1String("DumpMode")) && t.contains(QLatin1String("ClassTypeFilter"));
    };
    bool rifiutato = false;
    try {
        q.setDumpMode(ModoCopia::dmProfile);
    } catch (const std::invalid_argument& e) {
        rifiutato = nominaEntrambe(e);
    }
    QVERIFY(rifiutato);
    QCOMPARE(q.DumpMode(), ModoCopia::dmDefault);

    q.setClassTypeFilter(ClasseRicerca::ctEmployees);
    q.setDumpMode(ModoCopia::dmProfile);
    QCOMPARE(q.DumpMode(), ModoCopia::dmProfile);
    for (const ClasseRicerca c : {ClasseRicerca::ctSelect, ClasseRicerca::ctGuests}) {
        rifiutato = false;
        try {
            q.setClassTypeFilter(c);
        } catch (const std::invalid_argument& e) {
            rifiutato = nominaEntrambe(e);
        }
        QVERIFY(rifiutato);
        QCOMPARE(q.ClassTypeFilter(), ClasseRicerca::ctEmployees);
    }
    q.setDumpMode(ModoCopia::dmDefault);
    q.setClassTypeFilter(ClasseRicerca::ctGuests);
    QCOMPARE(q.ClassTypeFilter(), ClasseRicerca::ctGuests);
}

void TstRicerca::archivioNonValido_data()
{
    QTest::addColumn<QString>("dataBaseName");
    QTest::addColumn<QString>("tempDataBaseName");
    QTest::addColumn<QString>("tempTableName");
    QTest::newRow("archivio sconosciuto") << "DBAltro" << "DBPresUt" << "AnagraficoSelezione";
    QTest::newRow("persone nel database di lavoro") << "DBPresUt" << "DBPresUt" << "AnagraficoSelezione";
    QTest::newRow("selezione nel database di produzione") << "DBPresenze" << "DBPresenze" << "AnagraficoSelezione";
    QTest::newRow("nome di tabella non valido") << "DBPresenze" << "DBPresUt" << "Selezione; DROP";
}

void TstRicerca::archivioNonValido()
{
    QFETCH(QString, dataBaseName);
    QFETCH(QString, tempDataBaseName);
    QFETCH(QString, tempTableName);
    Ambiente amb;
    TQALight q(amb.dtm());
    int creati = 0;
    q.setFabbrica([&creati](TQALight&) { return std::make_unique<DialogoFinto>([](bool) { return 1; }, &creati); });
    q.setDataBaseName(dataBaseName);
    q.setTempDataBaseName(tempDataBaseName);
    q.setTempTableName(tempTableName);
    QCOMPARE(q.Execute(), int(TQALight::RisAnnullato));
    QCOMPARE(q.Result(), int(TQALight::RisAnnullato));
    QCOMPARE(creati, 0);
    QVERIFY(!q.ActiveDialog());
    QCOMPARE(amb.registro().avvisi, QStringList{QStringLiteral("Archivio non valido.")});
}

void TstRicerca::usoDelComponente()
{
    Base b;
    TQALight q(b.amb.dtm());
    QCOMPARE(q.TempTableName(), QStringLiteral("AnagraficoSelezione"));
    QVERIFY(q.DumpTable() && q.StartOnSearchPage() && !q.AutoReset() && !q.FreeDialog() && !q.ActiveDialog());
    q.setTempTableName(QStringLiteral("SelPiano"));

    int creati = 0;
    QList<bool> pagine;
    QList<int> valoriVisti;
    std::function<int(RicercaAnagrafico&)> passi;
    q.setFabbrica([&](TQALight& qa) {
        return std::make_unique<DialogoFinto>(
            [&, &r = qa.Ricerca()](bool pagina) {
                pagine << pagina;
                return passi(r);
            },
            &creati);
    });

    // Conditions set before the first use are cleared when the dialog is created.
    q.Ricerca().setValore(CampoRicerca::Cognome, 0, QStringLiteral("Zanetti"));
    passi = [](RicercaAnagrafico& r) {
        if (!r.Vuota())
            return int(TQALight::RisAnnullato);
        r.setValore(CampoRicerca::Cognome, 0, QStringLiteral("Ros"));
        r.setOrdine(QStringLiteral("Ordina per Matricola"));
        r.Cerca();
        return r.Conferma({});
    };
    QCOMPARE(q.Execute(), int(TQALight::RisSelezione));
    QCOMPARE(q.Result(), int(TQALight::RisSelezione));
    QCOMPARE(q.SortFields(), QStringLiteral("Matricola"));
    QVERIFY(q.ActiveDialog());
    QCOMPARE(Anagrafe::selezione(b.amb, QStringLiteral("SelPiano")), (QList<int>{1, 2}));
    QCOMPARE(q.IstruzioneSelezione(QStringLiteral("Id")), QStringLiteral("SELECT Id FROM ':dbPresUt:SelPiano' ORDER BY Matricola, Id"));
    QCOMPARE(ids(b.amb, q.IstruzioneSelezione(QStringLiteral("Id"))), (QList<int>{1, 2}));

    // The same dialog again, conditions kept; cancelling leaves the selection alone.
    passi = [](RicercaAnagrafico& r) {
        r.setOrdine(QStringLiteral("Ordina per Nominativo"));
        return r.valore(CampoRicerca::Cognome, 0) == QLatin1String("Ros") ? int(TQALight::RisAnnullato) : int(TQALight::RisSelezione);
    };
    q.setStartOnSearchPage(false);
    QCOMPARE(q.Execute(), int(TQALight::RisAnnullato));
    QCOMPARE(creati, 1);
    QCOMPARE(pagine, (QList<bool>{true, false}));
    QCOMPARE(q.SortFields(), QStringLiteral("Cognome;Nome"));
    QCOMPARE(Anagrafe::selezione(b.amb, QStringLiteral("SelPiano")), (QList<int>{1, 2}));
}

void TstRicerca::azzeraENuovoDialogo()
{
    Base b;
    TQALight q(b.amb.dtm());
    int creati = 0;
    QStringList visti;
    q.setFabbrica([&](TQALight& qa) {
        return std::make_unique<DialogoFinto>(
            [&, &r = qa.Ricerca()](bool) {
                visti << r.valore(CampoRicerca::Nome, 0) + QLatin1Char('/') + QString::number(r.Righe().size());
                r.setValore(CampoRicerca::Nome, 0, QStringLiteral("Anna"));
                r.Cerca();
                return int(TQALight::RisAnnullato);
            },
            &creati);
    });
    q.Execute();
    q.Execute();  // kept
    q.setAutoReset(true);
    q.Execute();  // conditions cleared, results kept
    q.setAutoReset(false);
    q.setFreeDialog(true);
    q.Execute();  // kept, then the dialog goes
    QVERIFY(!q.ActiveDialog());
    q.Execute();  // a new dialog: nothing of the old one
    QCOMPARE(creati, 2);
    QCOMPARE(visti, (QStringList{"/0", "Anna/1", "/1", "Anna/1", "/0"}));
}

void TstRicerca::senzaDialogo()
{
    Base b;
    TQALight q(b.amb.dtm());
    QVERIFY_THROWS_EXCEPTION(std::logic_error, q.Execute());
    QVERIFY(!q.ActiveDialog());
}

void TstRicerca::istruzioneTutti()
{
    Base b;
    TQALight q(b.amb.dtm());
    int creati = 0;
    q.setFabbrica([&creati](TQALight& qa) {
        return std::make_unique<DialogoFinto>(
            [&r = qa.Ricerca()](bool) {
                r.setOrdine(QStringLiteral("Ordina per Matricola"));
                r.Cerca();
                return r.Conferma({});
            },
            &creati);
    });
    q.setClassTypeFilter(ClasseRicerca::ctEmployees);
    QCOMPARE(q.Execute(), int(TQALight::RisTutti));
    QVERIFY(!Anagrafe::esisteTabella(b.amb, QStringLiteral("AnagraficoSelezione")));
    QCOMPARE(q.IstruzioneSelezione(QStringLiteral("Id")), QStringLiteral("SELECT Id FROM Anagrafico WHERE Classe = 'D' ORDER BY Matricola, Id"));
    QCOMPARE(ids(b.amb, q.IstruzioneSelezione(QStringLiteral("Id"))), (QList<int>{5, 1, 2, 3, 6, 7, 8, 9}));
}

QTEST_GUILESS_MAIN(TstRicerca)
#include "tst_ricerca.moc"
