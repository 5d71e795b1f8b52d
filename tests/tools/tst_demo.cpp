// The demo company generator, checked on what it leaves in a freshly created database:
// master data complete as the editors would write it, punches that the engine can read.

#include "ambiente.h"
#include "demo.h"
#include "festivita.h"
#include "tabelle.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <array>
#include <memory>
#include <stdexcept>

namespace {

const QDate kOggi(2026, 4, 20);  // 14 days back reach Easter Monday, 6 April 2026

QList<QVariantList> righe(Database& db, const QString& sql)
{
    QList<QVariantList> r;
    QSqlQuery q = db.esegui(sql);
    while (q.next()) {
        QVariantList riga;
        for (int n = 0; n < q.record().count(); ++n)
            riga << q.value(n);
        r << riga;
    }
    return r;
}

// How many values of the first column match the pattern.
int conformi(Database& db, const QString& sql, const QRegularExpression& schema)
{
    int n = 0;
    for (const QVariantList& r : righe(db, sql))
        n += schema.match(r.at(0).toString()).hasMatch() ? 1 : 0;
    return n;
}

int numOrd(const QDate& d)
{
    return d.dayOfWeek() % 7 + 1;
}

// What the generated database says about timetables, rotations, profiles and holidays,
// read back so that punches can be judged the way the engine will read them.
struct Modello {
    struct Orario {
        int medie = 0, prima = 0, ultima = 0;
        bool stessoGiorno = true;
        int inizio = -1, fine = -1;  // first typical entry and last typical exit
        int tipiche = 0;
    };
    struct Dip {
        int turno = 0;
        int festivo = 0;  // 0: no holiday timetable
        bool notturno = false;
    };
    QHash<int, Orario> orari;
    QHash<int, std::array<int, 7>> turni;
    QHash<int, Dip> dip;
    QSet<QDate> festivi;

    explicit Modello(Database& db)
    {
        for (const QVariantList& r : righe(db, QStringLiteral("SELECT Id, OreMedie, PrimaTimb, UltimaTimb, ChiusGio FROM OrariRep")))
            orari[r[0].toInt()] = {r[1].toInt(), r[2].toInt(), r[3].toInt(), r[4].toString() == QLatin1String("A")};
        for (const QVariantList& r : righe(db, QStringLiteral("SELECT IdOrario, Verso, Ore, Gio FROM TimbTipo ORDER BY IdOrario, Gio, Ore"))) {
            Orario& o = orari[r[0].toInt()];
            ++o.tipiche;
            if (r[1].toString() == QLatin1String("E") && o.inizio < 0)
                o.inizio = r[2].toInt();
            if (r[1].toString() == QLatin1String("U"))
                o.fine = r[2].toInt() + (r[3].toString() == QLatin1String("A") ? 0 : 1440);
        }
        for (const QVariantList& r : righe(db, QStringLiteral("SELECT IdTurno, NumOrd, IdDaUsare FROM CompTurni")))
            turni[r[0].toInt()][std::size_t(r[1].toInt() - 1)] = r[2].toInt();
        for (const QVariantList& r : righe(db, QStringLiteral("SELECT IdUtilizzatore, IdOrari, IdOrFestivo FROM Profilo"))) {
            Dip d{r[1].toInt(), r[2].isNull() ? 0 : r[2].toInt(), false};
            for (int o : turni.value(d.turno))
                d.notturno = d.notturno || !orari.value(o).stessoGiorno;
            dip[r[0].toInt()] = d;
        }
        for (const QVariantList& r : righe(db, QStringLiteral("SELECT Giorno FROM RelCalend WHERE IdCalend = 1 AND Tipo = 'F'")))
            festivi.insert(Sql::leggiData(r[0]));
    }

    // The timetable the engine chooses for an employee on a date (holiday first).
    int orarioDi(int idDip, const QDate& d) const
    {
        const Dip& p = dip[idDip];
        if (p.festivo && festivi.contains(d))
            return p.festivo;
        return turni[p.turno][std::size_t(numOrd(d) - 1)];
    }
};

struct Giorno {
    int idDip;
    QDate data;
    bool operator==(const Giorno& g) const { return idDip == g.idDip && data == g.data; }
};
size_t qHash(const Giorno& g, size_t seme = 0)
{
    return qHashMulti(seme, g.idDip, g.data);
}

// Punches grouped by employee and calendar day, in time order: (minute of day, direction).
QHash<Giorno, QList<QPair<int, QString>>> timbratureDelGiorno(Database& db)
{
    QHash<Giorno, QList<QPair<int, QString>>> g;
    for (const QVariantList& r : righe(db, QStringLiteral("SELECT IdDip, DataV, VersoV FROM Timbrature ORDER BY IdDip, DataV"))) {
        QDate d;
        int m = 0;
        Sql::scomponi(r[1].toString(), &d, &m);
        g[{r[0].toInt(), d}].append({m, r[2].toString()});
    }
    return g;
}

}  // namespace

class TstDemo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();


    void dipendentiBadgeEProfili();
    void profiliComeLiCreaLAnagrafico();
    void organizzazioneSottoLeRadici();
    void orariComeLiScriveLEditor();
    void turniDiSetteGiorni();
    void quoteDeiTurni();
    void aziendaEImpostazioni();
    void terminali();
    void calendarioDegliAnniCoperti_data();
    void calendarioDegliAnniCoperti();
    void dateNelFormatoMemorizzato();

    void timbratureSoloNelPeriodo();
    void ogniTimbraturaInUnaSolaFinestra();
    void nienteTimbratureNeiGiorniDiRiposoEFestivi();
    void irregolaritaAFrequenzeRealistiche();
    void notteConUscitaIlGiornoDopo();

    void stessoSemeStessiDati();
    void timbratureDeiDipendentiPresenti();
    void erroreAnnullaTutto();
    void opzioniNegativeRifiutate();

private:
    // 20 employees over 14 days for the detailed checks; 60 over 31 for the rates.
    std::unique_ptr<Ambiente> m_piccola, m_media;
    RisultatoDemo m_risPiccola{}, m_risMedia{};
};

void TstDemo::initTestCase()
{
    m_piccola = std::make_unique<Ambiente>();
    m_risPiccola = GeneraDemo(m_piccola->dtm(), {20, 14, kOggi, 20261209});
    m_media = std::make_unique<Ambiente>();
    m_risMedia = GeneraDemo(m_media->dtm(), {60, 31, kOggi, 77});
}

void TstDemo::dipendentiBadgeEProfili()
{
    Ambiente& a = *m_piccola;
    QCOMPARE(m_risPiccola.dipendenti, 20);
    QCOMPARE(a.conta(QStringLiteral("Anagrafico")), 20);
    QCOMPARE(a.conta(QStringLiteral("Badge")), 20);
    QCOMPARE(a.conta(QStringLiteral("Profilo")), 20);
    QCOMPARE(a.conta(QStringLiteral("AnagMod"), QStringLiteral("TipoOp = '1' AND NumClient = 100")), 20);
    QCOMPARE(a.conta(QStringLiteral("Timbrature")), m_risPiccola.timbrature);
    QCOMPARE(a.conta(QStringLiteral("OrariRep")), m_risPiccola.orari);
    QCOMPARE(a.conta(QStringLiteral("Turni")), m_risPiccola.turni);
    QCOMPARE(a.conta(QStringLiteral("RelCalend")), m_risPiccola.festivi);
    QVERIFY(m_risPiccola.timbrature > 20 * 5 * 2);

    // One badge and one profile per employee, ids from the next free id.
    QCOMPARE(a.valore(QStringLiteral("SELECT MIN(Id) FROM Anagrafico")).toInt(), 1);
    QCOMPARE(a.valore(QStringLiteral("SELECT MAX(Id) FROM Anagrafico")).toInt(), 20);
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(DISTINCT IdUtilizzatore) FROM Badge WHERE IdUtilizzatore IN (SELECT Id FROM Anagrafico)")).toInt(), 20);
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(DISTINCT IdUtilizzatore) FROM Profilo WHERE IdUtilizzatore IN (SELECT Id FROM Anagrafico)")).toInt(), 20);

    // Codes typed by users are ten characters filled with zeros; a badge code is one person's.
    const QRegularExpression dieciCifre(QStringLiteral("^[0-9]{10}$"));
    QCOMPARE(conformi(a.db(), QStringLiteral("SELECT Matricola FROM Anagrafico"), dieciCifre), 20);
    QCOMPARE(conformi(a.db(), QStringLiteral("SELECT Codice FROM Badge"), dieciCifre), 20);
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(DISTINCT Codice) FROM Badge")).toInt(), 20);
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(DISTINCT Matricola) FROM Anagrafico")).toInt(), 20);
    QCOMPARE(a.conta(QStringLiteral("Anagrafico"), QStringLiteral("Classe = 'D' AND length(Cognome) > 1 AND length(Nome) > 1")), 20);
    QCOMPARE(a.conta(QStringLiteral("Badge"), QStringLiteral("DataFine IS NULL")), 20);
    // Not one name repeated over and over.
    QVERIFY(a.valore(QStringLiteral("SELECT COUNT(DISTINCT Cognome) FROM Anagrafico")).toInt() >= 10);
}

void TstDemo::profiliComeLiCreaLAnagrafico()
{
    Ambiente& a = *m_media;
    const int n = 60;
    QCOMPARE(a.conta(QStringLiteral("Profilo"), QStringLiteral("IdNomina = 1 AND IdAzienda = 1 AND ModalTimbra = 'T' AND TipoOrario = 'T' "
                                                               "AND GestReperib = 'N' AND IdCalendario = 1 AND DataFine IS NULL AND DataLicenz IS NULL")),
             n);
    // Hired before the period; profile, badge and rotation entry all start at hiring.
    const QString primo = Sql::testoData(kOggi.addDays(-31));
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(*) FROM Profilo p JOIN Badge b ON b.IdUtilizzatore = p.IdUtilizzatore "
                                     "WHERE p.DataInizio = p.DataAssunz AND p.InTurnazione = p.DataAssunz AND b.DataInizio = p.DataAssunz "
                                     "AND p.DataAssunz < :primo"),
                      {{"primo", primo}})
                 .toInt(),
             n);
    // Period dates as the installation date routine leaves them.
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(*) FROM Profilo p, ConfigGen c WHERE "
                                     "p.InPeriodo1 = CASE WHEN p.DataAssunz > c.DataInst THEN p.DataAssunz ELSE c.DataInst END AND p.InPeriodo2 = p.InPeriodo1 AND p.InPeriodo3 = p.InPeriodo1 "
                                     "AND p.InPeriodo4 = p.InPeriodo1 AND p.InPeriodo5 = p.InPeriodo1 AND p.UltElabVoci = p.InPeriodo1"))
                 .toInt(),
             n);
    // Department and qualification are units of the trees, never the bare roots.
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(*) FROM Profilo p JOIN UnitaPianta u ON u.Id = p.IdPianta "
                                     "JOIN UnitaRuolo r ON r.Id = p.IdRuolo WHERE p.IdPianta <> 1 AND p.IdRuolo <> 1"))
                 .toInt(),
             n);
    QVERIFY(a.valore(QStringLiteral("SELECT COUNT(DISTINCT IdPianta) FROM Profilo")).toInt() >= 6);
    QVERIFY(a.valore(QStringLiteral("SELECT COUNT(DISTINCT IdRuolo) FROM Profilo")).toInt() >= 3);
    // Overtime authorised for most, not for all.
    const int nonAut = a.conta(QStringLiteral("Profilo"), QStringLiteral("Autorizzato = 'N'"));
    QCOMPARE(a.conta(QStringLiteral("Profilo"), QStringLiteral("Autorizzato = 'S'")) + nonAut, n);
    QVERIFY2(nonAut >= 1 && nonAut <= n / 4, qPrintable(QString::number(nonAut)));
    // The holiday timetable, where given, exists and expects no work.
    const int conFestivo = a.conta(QStringLiteral("Profilo"), QStringLiteral("IdOrFestivo IS NOT NULL"));
    QVERIFY(conFestivo > n / 2);
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(*) FROM Profilo p JOIN OrariRep o ON o.Id = p.IdOrFestivo WHERE o.OreMedie = 0")).toInt(),
             conFestivo);
}

void TstDemo::organizzazioneSottoLeRadici()
{
    Ambiente& a = *m_piccola;
    for (const auto& [tabella, padre] : {std::pair{"UnitaPianta", "IdPiantaPadre"}, std::pair{"UnitaRuolo", "IdRuoloPadre"}}) {
        const QString t = QLatin1String(tabella), p = QLatin1String(padre);
        // Root 1 untouched, everything else hangs from an existing unit and reaches the root.
        QVERIFY(a.valore(QStringLiteral("SELECT %1 FROM %2 WHERE Id = 1").arg(p, t)).isNull());
        QCOMPARE(a.conta(t, QStringLiteral("Id <> 1 AND %1 NOT IN (SELECT Id FROM %2)").arg(p, t)), 0);
        QHash<int, int> padri;
        for (const QVariantList& r : righe(a.db(), QStringLiteral("SELECT Id, %1 FROM %2 WHERE Id <> 1").arg(p, t)))
            padri[r[0].toInt()] = r[1].toInt();
        QVERIFY(padri.size() >= 7);
        int conFigli = 0;
        for (auto it = padri.cbegin(); it != padri.cend(); ++it) {
            int u = it.key(), passi = 0;
            while (u != 1 && passi++ < 10)
                u = padri.value(u, -1);
            QCOMPARE(u, 1);
            conFigli += padri.values().contains(it.key()) ? 1 : 0;
        }
        QVERIFY2(conFigli >= 2, tabella);  // a tree, not a flat list
    }
    QCOMPARE(a.conta(QStringLiteral("UnitaPianta"), QStringLiteral("Descr = 'Reparto Stampaggio' AND IdPiantaPadre IN "
                                                                   "(SELECT Id FROM UnitaPianta WHERE Descr = 'Produzione' AND IdPiantaPadre = 1)")),
             1);
    QCOMPARE(a.conta(QStringLiteral("UnitaRuolo"), QStringLiteral("Descr = 'Operaio specializzato' AND IdRuoloPadre IN "
                                                                  "(SELECT Id FROM UnitaRuolo WHERE Descr = 'Operaio' AND IdRuoloPadre = 1)")),
             1);
}

void TstDemo::orariComeLiScriveLEditor()
{
    Ambiente& a = *m_piccola;
    const int n = a.conta(QStringLiteral("OrariRep"));
    QVERIFY(n >= 7);
    QCOMPARE(a.conta(QStringLiteral("OrariRep"), QStringLiteral("cvDescr = CAST(Id AS TEXT) AND TipoO = 'E' AND OreMinime = OreMedie "
                                                                "AND UsoPrior = 'N' AND NTimTipo = '0' AND Mensa = 'A' AND ChiusGio IN ('A', 'S') "
                                                                "AND PrimaTimb BETWEEN 0 AND 1439 AND UltimaTimb BETWEEN 0 AND 1439")),
             n);
    // The editor's own checks: a same-day window runs forward and every window holds the work.
    QCOMPARE(a.conta(QStringLiteral("OrariRep"), QStringLiteral("ChiusGio = 'A' AND (UltimaTimb < PrimaTimb OR UltimaTimb - PrimaTimb < OreMedie)")), 0);
    QCOMPARE(a.conta(QStringLiteral("OrariRep"), QStringLiteral("ChiusGio <> 'A' AND UltimaTimb + 1440 - PrimaTimb < OreMedie")), 0);
    // The kinds of day the company needs.
    QCOMPARE(a.conta(QStringLiteral("OrariRep"), QStringLiteral("OreMedie = 480 AND PrimaTimb = 360 AND UltimaTimb = 1320 AND ChiusGio = 'A'")), 1);
    QCOMPARE(a.conta(QStringLiteral("OrariRep"), QStringLiteral("OreMedie = 240")), 1);
    QCOMPARE(a.conta(QStringLiteral("OrariRep"), QStringLiteral("OreMedie = 480 AND ChiusGio <> 'A' AND PrimaTimb > UltimaTimb")), 1);
    QVERIFY(a.conta(QStringLiteral("OrariRep"), QStringLiteral("OreMedie = 0")) >= 2);

    // Rounding: exactly one entry row rounding up and one exit row rounding down, whole day,
    // with an accepted step.
    const QString passi = QStringLiteral("(1, 2, 3, 4, 5, 6, 10, 12, 15, 30, 60)");
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(*) FROM ArroTim WHERE IdOrario IN (SELECT Id FROM OrariRep)")).toInt(), 2 * n);
    QCOMPARE(a.conta(QStringLiteral("ArroTim"), QStringLiteral("Inizio = 0 AND Fine = 1439 AND ArrVerso = 'E' AND TipoArrot = 'E' AND MinutiArrot IN ") + passi), n);
    QCOMPARE(a.conta(QStringLiteral("ArroTim"), QStringLiteral("Inizio = 0 AND Fine = 1439 AND ArrVerso = 'U' AND TipoArrot = 'D' AND MinutiArrot IN ") + passi), n);
    QCOMPARE(a.conta(QStringLiteral("ArroTim"), QStringLiteral("IdOrario = (SELECT Id FROM OrariRep WHERE OreMedie = 480 AND PrimaTimb = 360) "
                                                               "AND MinutiArrot = 15")),
             2);

    // Overtime bands: cover 0..1439 without gaps or overlaps, "I" below the minimum, "D" above.
    QHash<int, QList<QVariantList>> bande;
    for (const QVariantList& r : righe(a.db(), QStringLiteral("SELECT IdOrario, Inizio, Fine, TipoArrot, MinutiArrot FROM ArroStra ORDER BY IdOrario, Inizio")))
        bande[r[0].toInt()].append(r);
    QCOMPARE(bande.size(), n);
    for (const QList<QVariantList>& b : std::as_const(bande)) {
        QCOMPARE(b.first()[1].toInt(), 0);
        QCOMPARE(b.last()[2].toInt(), 1439);
        for (int i = 1; i < b.size(); ++i)
            QCOMPARE(b[i][1].toInt(), b[i - 1][2].toInt() + 1);
        QCOMPARE(b.last()[3].toString(), QStringLiteral("D"));
        if (b.size() == 2) {
            QCOMPARE(b.first()[3].toString(), QStringLiteral("I"));
            QVERIFY(b.first()[4].isNull());
        } else {
            QCOMPARE(b.size(), 1);
        }
    }
    QCOMPARE(a.conta(QStringLiteral("ArroStra"), QStringLiteral("TipoArrot = 'D' AND MinutiArrot = 15 AND Fine = 1439 AND Inizio > 0 AND IdOrario = "
                                                                "(SELECT Id FROM OrariRep WHERE OreMedie = 480 AND PrimaTimb = 360)")),
             1);

    // Typical punches for every working timetable, alternating from an entry; none for the others.
    const Modello m(a.db());
    for (auto it = m.orari.cbegin(); it != m.orari.cend(); ++it) {
        const QStringList versi = Banco::colonna(a.db(), QStringLiteral("SELECT Verso FROM TimbTipo WHERE IdOrario = :id ORDER BY Gio, Ore"),
                                                 {{"id", it.key()}})
                                      .split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (it->medie > 0) {
            QVERIFY(versi.size() >= 2 && versi.size() % 2 == 0);
            for (int i = 0; i < versi.size(); ++i)
                QCOMPARE(versi[i], i % 2 ? QStringLiteral("U") : QStringLiteral("E"));
            // The typical day lasts what the timetable expects, lunch break excluded.
            QVERIFY(it->fine - it->inizio >= it->medie);
        } else {
            QCOMPARE(versi.size(), 0);
        }
    }
}

void TstDemo::turniDiSetteGiorni()
{
    Ambiente& a = *m_piccola;
    QVERIFY(a.conta(QStringLiteral("Turni")) >= 4);
    QCOMPARE(a.conta(QStringLiteral("Turni"), QStringLiteral("Durata = 7 AND length(Descr) > 0")), a.conta(QStringLiteral("Turni")));
    // Every profile's rotation exists with its seven days, Sunday 1 to Saturday 7.
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(*) FROM Profilo WHERE IdOrari IN (SELECT Id FROM Turni)")).toInt(), 20);
    for (const QVariantList& r : righe(a.db(), QStringLiteral("SELECT Id FROM Turni"))) {
        QCOMPARE(Banco::colonna(a.db(), QStringLiteral("SELECT NumOrd FROM CompTurni WHERE IdTurno = :id ORDER BY NumOrd"), {{"id", r[0]}}),
                 QStringLiteral("1,2,3,4,5,6,7"));
    }
    QCOMPARE(a.conta(QStringLiteral("CompTurni"), QStringLiteral("TipoOrario <> 'O' OR DataInizio <> (SELECT DataInst FROM ConfigGen)")), 0);
    // Every day names an existing timetable, which has its two rounding rows.
    QCOMPARE(a.conta(QStringLiteral("CompTurni"), QStringLiteral("IdDaUsare NOT IN (SELECT Id FROM OrariRep)")), 0);
    QCOMPARE(a.conta(QStringLiteral("CompTurni"), QStringLiteral("(SELECT COUNT(*) FROM ArroTim WHERE ArroTim.IdOrario = CompTurni.IdDaUsare) <> 2")), 0);

    // The office week: the most used rotation works Monday to Friday on the day timetable.
    const int ufficio = a.valore(QStringLiteral("SELECT IdOrari FROM Profilo GROUP BY IdOrari ORDER BY COUNT(*) DESC, IdOrari LIMIT 1")).toInt();
    const Modello m(a.db());
    for (int g = 0; g < 7; ++g) {
        const Modello::Orario o = m.orari.value(m.turni.value(ufficio)[std::size_t(g)]);
        const bool feriale = g >= 1 && g <= 5;
        QCOMPARE(o.medie, feriale ? 480 : 0);
        QCOMPARE(o.tipiche, feriale ? 4 : 0);
    }
}

void TstDemo::quoteDeiTurni()
{
    // 60 employees: about 70% office week, 10% part-time, 15% two shifts, 5% nights.
    Ambiente& a = *m_media;
    const Modello m(a.db());
    int ufficio = 0, partTime = 0, turni = 0, notti = 0;
    for (auto it = m.dip.cbegin(); it != m.dip.cend(); ++it) {
        const std::array<int, 7> g = m.turni.value(it->turno);
        const Modello::Orario lunedi = m.orari.value(g[1]);
        if (it->notturno)
            ++notti;
        else if (lunedi.medie == 240)
            ++partTime;
        else if (lunedi.tipiche == 4)
            ++ufficio;
        else
            ++turni;
    }
    QCOMPARE(ufficio + partTime + turni + notti, 60);
    QCOMPARE(ufficio, 42);
    QCOMPARE(partTime, 6);
    QCOMPARE(turni, 9);
    QCOMPARE(notti, 3);
    // Both shift crews have people.
    QCOMPARE(a.valore(QStringLiteral("SELECT COUNT(DISTINCT IdOrari) FROM Profilo")).toInt(), a.conta(QStringLiteral("Turni")));
}

void TstDemo::aziendaEImpostazioni()
{
    Ambiente& a = *m_piccola;
    QCOMPARE(a.conta(QStringLiteral("Aziende")), 1);
    QCOMPARE(a.valore(QStringLiteral("SELECT RagSoc FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Officine Meccaniche Lombarde S.p.A."));
    QVERIFY(!a.valore(QStringLiteral("SELECT Descr FROM Aziende WHERE Id = 1")).toString().isEmpty());
    QVERIFY(!a.valore(QStringLiteral("SELECT CodAzEst FROM Aziende WHERE Id = 1")).toString().isEmpty());
    QCOMPARE(a.dtm().mem().RagSoc, QStringLiteral("Officine Meccaniche Lombarde S.p.A."));

    // Installation on the first of the month of the first day with punches (6 April 2026).
    QCOMPARE(a.conta(QStringLiteral("ConfigGen")), 1);
    const QList<QVariantList> c = righe(a.db(), QStringLiteral("SELECT DataInst, Inizio, Fine, CarMensa, CarPres, Delimitatore, Separatore FROM ConfigGen"));
    QCOMPARE(c[0], (QVariantList{QStringLiteral("2026-04-01 00:00:00"), QStringLiteral("0000"), QStringLiteral("2359"), QStringLiteral("S"),
                                 QStringLiteral("P"), QStringLiteral("\""), QStringLiteral(";")}));
    QCOMPARE(a.dtm().mem().DataInst.date(), QDate(2026, 4, 1));
    QCOMPARE(righe(a.db(), QStringLiteral("SELECT AccantonPiano, AccantonVoci, InvioSaldi, AcquisTimb FROM ContrAccant")),
             (QList<QVariantList>{{QStringLiteral("2026-03-31 00:00:00"), QStringLiteral("2026-02-27 00:00:00"), QStringLiteral("2026-03-31 00:00:00"),
                                   QStringLiteral("2026-03-31 00:00:00")}}));
}

void TstDemo::terminali()
{
    Ambiente& a = *m_piccola;
    QCOMPARE(righe(a.db(), QStringLiteral("SELECT Id, BaudRate, BitNo, StopBit, Parity FROM Porte")),
             (QList<QVariantList>{{1, 9600, 8, 1, QStringLiteral("N")}}));
    QCOMPARE(righe(a.db(), QStringLiteral("SELECT Id, Descr, IdCom FROM Postaz")), (QList<QVariantList>{{1, QStringLiteral("L"), 1}}));
    QCOMPARE(righe(a.db(), QStringLiteral("SELECT Id, IdPostaz, Indirizzo, DipSet, Tipo FROM Terminali ORDER BY Id")),
             (QList<QVariantList>{{1, 1, QStringLiteral("10"), QStringLiteral("0"), 100}, {2, 1, QStringLiteral("11"), QStringLiteral("1"), 100}}));
    QCOMPARE(a.conta(QStringLiteral("Terminali"), QStringLiteral("length(Descr) > 0")), 2);
    // Both gates are used and nothing else.
    QCOMPARE(righe(a.db(), QStringLiteral("SELECT DISTINCT IdTerminale FROM Timbrature ORDER BY 1")), (QList<QVariantList>{{1}, {2}}));
}

void TstDemo::calendarioDegliAnniCoperti_data()
{
    QTest::addColumn<QDate>("oggi");
    QTest::addColumn<int>("giorni");
    QTest::addColumn<QList<QDate>>("pasquette");
    QTest::newRow("aprile 2026") << kOggi << 14 << QList<QDate>{QDate(2026, 4, 6)};
    QTest::newRow("a cavallo d'anno") << QDate(2026, 1, 10) << 20 << QList<QDate>{QDate(2025, 4, 21), QDate(2026, 4, 6)};
    QTest::newRow("nessun giorno: l'anno di oggi") << QDate(2024, 6, 1) << 0 << QList<QDate>{QDate(2024, 4, 1)};
}

void TstDemo::calendarioDegliAnniCoperti()
{
    QFETCH(QDate, oggi);
    QFETCH(int, giorni);
    QFETCH(QList<QDate>, pasquette);
    Ambiente a;
    const RisultatoDemo r = GeneraDemo(a.dtm(), {3, giorni, oggi, 1});
    QCOMPARE(a.valore(QStringLiteral("SELECT Descr FROM Calendari WHERE Id = 1")).toString(), QStringLiteral("Calendario"));
    QCOMPARE(r.festivi, 11 * int(pasquette.size()));
    QCOMPARE(a.conta(QStringLiteral("RelCalend"), QStringLiteral("IdCalend = 1 AND Tipo = 'F' AND Ora IS NULL")), r.festivi);
    QSet<QDate> memorizzati;
    for (const QVariantList& riga : righe(a.db(), QStringLiteral("SELECT Giorno FROM RelCalend")))
        memorizzati.insert(Sql::leggiData(riga[0]));
    QSet<QDate> attesi;
    for (const QDate& p : pasquette)
        for (const QDate& d : Festivita::Nazionali(p.year()))
            attesi.insert(d);
    QCOMPARE(memorizzati, attesi);
    for (const QDate& p : pasquette)
        QVERIFY(memorizzati.contains(p));
    if (giorni == 0)
        QCOMPARE(r.timbrature, 0);
}

void TstDemo::dateNelFormatoMemorizzato()
{
    Ambiente& a = *m_piccola;
    const QRegularExpression formato(QStringLiteral("^[0-9]{4}-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]$"));
    // Date fields hold midnight; only punch times carry hours, minutes and seconds.
    const QSet<QString> conOra{QStringLiteral("Timbrature.DataV"), QStringLiteral("Timbrature.DataO")};
    int campi = 0;
    for (const Tabella& t : Schema::tabelle()) {
        if (t.archivio != Archivio::Presenze)
            continue;
        for (const Campo& c : t.campi) {
            if (c.tipo != TipoCampo::DataOra)
                continue;
            const QString nome = t.nome + QLatin1Char('.') + c.nome;
            const QString valorizzati = QStringLiteral("%1 IS NOT NULL").arg(c.nome);
            QCOMPARE(conformi(a.db(), QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(c.nome, t.nome, valorizzati), formato),
                     a.conta(t.nome, valorizzati));
            if (!conOra.contains(nome))
                QVERIFY2(a.conta(t.nome, QStringLiteral("%1 AND substr(%2, 11) <> ' 00:00:00'").arg(valorizzati, c.nome)) == 0, qPrintable(nome));
            campi += a.conta(t.nome, valorizzati) > 0 ? 1 : 0;
        }
    }
    QVERIFY(campi >= 15);  // profiles, badges, rotations, calendar, settings and punches were all looked at
    // Punches keep their seconds, as terminals send them.
    QVERIFY(a.conta(QStringLiteral("Timbrature"), QStringLiteral("substr(DataV, 18) <> '00'")) > 0);
}

void TstDemo::timbratureSoloNelPeriodo()
{
    Ambiente& a = *m_piccola;
    // What the terminals hold at midnight of today: from midnight 14 days back, nothing today.
    QCOMPARE(a.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV >= '2026-04-20 00:00:00' OR DataV < '2026-04-06 00:00:00'")), 0);
    QVERIFY(a.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV LIKE '2026-04-06 %'")) > 0);
    QVERIFY(a.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV LIKE '2026-04-17 %'")) > 0);  // the last Friday
    // Saturday is nobody's working day; on the last Sunday only the night crew comes in, in the evening.
    QCOMPARE(a.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV LIKE '2026-04-18 %'")), 0);
    QCOMPARE(a.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV LIKE '2026-04-19 %' AND (VersoV <> 'E' OR DataV < '2026-04-19 20:00:00')")), 0);
    // Recorded and valid values are the same until the engine rounds them.
    QCOMPARE(a.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV <> DataO OR VersoV <> VersoO OR VersoV NOT IN ('E', 'U')")), 0);
    QCOMPARE(a.conta(QStringLiteral("Timbrature"), QStringLiteral("IdDip NOT IN (SELECT Id FROM Anagrafico)")), 0);
    // Cause codes are the exception.
    const int conCausa = a.conta(QStringLiteral("Timbrature"), QStringLiteral("Caus IS NOT NULL"));
    QVERIFY(conCausa * 20 < m_risPiccola.timbrature);
    QCOMPARE(a.conta(QStringLiteral("Timbrature"), QStringLiteral("Caus IS NOT NULL AND length(Caus) <> 4")), 0);
}

void TstDemo::ogniTimbraturaInUnaSolaFinestra()
{
    // The engine reads a punch into the day whose punch window holds it: each punch must fall
    // in exactly one window, and that day must be a working one. A night's exit belongs to
    // the evening before and must not also land in the next day's window.
    for (Ambiente* a : {m_piccola.get(), m_media.get()}) {
        const Modello m(a->db());
        int viste = 0;
        for (const QVariantList& r : righe(a->db(), QStringLiteral("SELECT IdDip, DataV FROM Timbrature"))) {
            const int id = r[0].toInt();
            QDate d;
            int minuto = 0;
            QVERIFY(Sql::scomponi(r[1].toString(), &d, &minuto));
            const Modello::Orario oggi = m.orari.value(m.orarioDi(id, d));
            const Modello::Orario ieri = m.orari.value(m.orarioDi(id, d.addDays(-1)));
            const bool nelGiorno = minuto >= oggi.prima && (oggi.stessoGiorno ? minuto <= oggi.ultima : true);
            const bool nelGiornoPrima = !ieri.stessoGiorno && minuto + 1440 >= ieri.prima && minuto <= ieri.ultima;
            const QString dove = QStringLiteral("dip %1, %2").arg(id).arg(r[1].toString());
            QVERIFY2(nelGiorno != nelGiornoPrima, qPrintable(dove));
            QVERIFY2((nelGiorno ? oggi : ieri).medie > 0, qPrintable(dove));
            ++viste;
        }
        QVERIFY(viste > 0);
    }
}

void TstDemo::nienteTimbratureNeiGiorniDiRiposoEFestivi()
{
    Ambiente& a = *m_piccola;
    const Modello m(a.db());
    QVERIFY(m.festivi.contains(QDate(2026, 4, 6)));
    int festiviSaltati = 0;
    const auto g = timbratureDelGiorno(a.db());
    for (auto it = g.cbegin(); it != g.cend(); ++it) {
        const Modello::Dip& p = m.dip[it.key().idDip];
        if (p.notturno)
            continue;
        // Day workers punch only on days their timetable expects work.
        QVERIFY2(m.orari.value(m.orarioDi(it.key().idDip, it.key().data)).medie > 0,
                 qPrintable(QStringLiteral("dip %1, %2").arg(it.key().idDip).arg(it.key().data.toString(Qt::ISODate))));
    }
    for (auto it = m.dip.cbegin(); it != m.dip.cend(); ++it)
        if (it->festivo && !g.contains({it.key(), QDate(2026, 4, 6)}))
            ++festiviSaltati;
    QVERIFY(festiviSaltati > 0);
    QCOMPARE(a.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV LIKE '2026-04-06 %' AND IdDip IN (SELECT IdUtilizzatore FROM Profilo WHERE IdOrFestivo IS NOT NULL)")), 0);
}

void TstDemo::irregolaritaAFrequenzeRealistiche()
{
    // Over 60 employees and 31 days, for the day workers' working days.
    Ambiente& a = *m_media;
    const Modello m(a.db());
    const auto g = timbratureDelGiorno(a.db());
    int lavorativi = 0, assenti = 0, pari = 0, dispari = 0, conPausa = 0, inRitardo = 0, straordinari = 0, versoDoppio = 0;
    for (auto it = m.dip.cbegin(); it != m.dip.cend(); ++it) {
        if (it->notturno)
            continue;
        for (QDate d = kOggi.addDays(-31); d < kOggi; d = d.addDays(1)) {
            const Modello::Orario o = m.orari.value(m.orarioDi(it.key(), d));
            if (o.medie <= 0)
                continue;
            ++lavorativi;
            const QList<QPair<int, QString>> t = g.value({it.key(), d});
            if (t.isEmpty()) {
                ++assenti;
                continue;
            }
            (t.size() % 2 ? dispari : pari) += 1;
            conPausa += t.size() == 4 ? 1 : 0;
            inRitardo += t.first().first >= o.inizio + 5 ? 1 : 0;
            straordinari += t.last().second == QLatin1String("U") && t.last().first >= o.fine + 15 ? 1 : 0;
            for (int n = 1; n < t.size(); ++n)
                versoDoppio += t[n - 1].second == QLatin1String("E") && t[n].second == QLatin1String("E") ? 1 : 0;
        }
    }
    const QString riepilogo = QStringLiteral("giorni %1, assenti %2, pari %3, dispari %4, pausa %5, ritardi %6, straordinari %7, E-E %8")
                                  .arg(lavorativi).arg(assenti).arg(pari).arg(dispari).arg(conPausa).arg(inRitardo).arg(straordinari).arg(versoDoppio);
    QVERIFY2(lavorativi > 800, qPrintable(riepilogo));
    QVERIFY2(assenti > 0 && assenti * 100 < lavorativi * 8, qPrintable(riepilogo));       // about 3%
    QVERIFY2(dispari > 0 && dispari * 100 < lavorativi * 5, qPrintable(riepilogo));       // forgotten exits
    QVERIFY2(pari > lavorativi * 8 / 10, qPrintable(riepilogo));
    QVERIFY2(conPausa > lavorativi / 2, qPrintable(riepilogo));                           // lunch punched on the office week
    QVERIFY2(inRitardo > 0 && inRitardo * 100 < lavorativi * 10, qPrintable(riepilogo));
    QVERIFY2(straordinari * 100 > lavorativi * 3 && straordinari * 100 < lavorativi * 25, qPrintable(riepilogo));
    QVERIFY2(versoDoppio > 0 && versoDoppio * 100 < lavorativi * 5, qPrintable(riepilogo));
}

void TstDemo::notteConUscitaIlGiornoDopo()
{
    Ambiente& a = *m_media;
    const Modello m(a.db());
    int notti = 0, uscitePrimaDelPeriodo = 0;
    for (auto it = m.dip.cbegin(); it != m.dip.cend(); ++it) {
        if (!it->notturno)
            continue;
        const QList<QVariantList> t = righe(a.db(), QStringLiteral("SELECT DataV, VersoV FROM Timbrature WHERE IdDip = %1 ORDER BY DataV").arg(it.key()));
        for (int n = 0; n < t.size(); ++n) {
            const QDateTime q = Sql::leggiDataOra(t[n][0]);
            if (t[n][1].toString() != QLatin1String("U") || q.time().hour() >= 12)
                continue;
            if (n == 0) {
                // Only the first day may open with the exit of a night begun before it.
                QCOMPARE(q.date(), kOggi.addDays(-31));
                ++uscitePrimaDelPeriodo;
                continue;
            }
            const QDateTime e = Sql::leggiDataOra(t[n - 1][0]);
            if (t[n - 1][1].toString() == QLatin1String("E") && e.date() == q.date().addDays(-1) && e.time().hour() >= 20)
                ++notti;
        }
    }
    QVERIFY(notti >= 10);
    QVERIFY(uscitePrimaDelPeriodo <= 3);
}

void TstDemo::stessoSemeStessiDati()
{
    const auto genera = [](quint32 seme) {
        auto a = std::make_unique<Ambiente>();
        GeneraDemo(a->dtm(), {20, 14, kOggi, seme});
        return a;
    };
    const auto uno = genera(4242), due = genera(4242), altro = genera(4243);
    const QStringList tabelle{QStringLiteral("SELECT * FROM Timbrature ORDER BY IdDip, DataV"),
                              QStringLiteral("SELECT * FROM Anagrafico ORDER BY Id"), QStringLiteral("SELECT * FROM Badge ORDER BY IdUtilizzatore"),
                              QStringLiteral("SELECT * FROM Profilo ORDER BY IdUtilizzatore")};
    for (const QString& sql : tabelle) {
        const QList<QVariantList> r = righe(uno->db(), sql);
        QVERIFY(!r.isEmpty());
        QCOMPARE(righe(due->db(), sql), r);
    }
    QVERIFY(righe(altro->db(), tabelle[0]) != righe(uno->db(), tabelle[0]));
    QVERIFY(righe(altro->db(), tabelle[1]) != righe(uno->db(), tabelle[1]));

    // A one-man company has no crews to shuffle: his punches still follow the seed.
    Ambiente a, b;
    GeneraDemo(a.dtm(), {1, 14, kOggi, 4242});
    GeneraDemo(b.dtm(), {1, 14, kOggi, 4243});
    QVERIFY(a.conta(QStringLiteral("Timbrature")) > 0);
    QVERIFY(righe(a.db(), tabelle[0]) != righe(b.db(), tabelle[0]));
}

void TstDemo::timbratureDeiDipendentiPresenti()
{
    Ambiente a;
    GeneraDemo(a.dtm(), {20, 14, kOggi, 4242});
    const QString sql = QStringLiteral("SELECT IdDip, DataV, VersoV FROM Timbrature ORDER BY IdDip, DataV");
    const QList<QVariantList> demo = righe(a.db(), sql);
    a.esegui(QStringLiteral("DELETE FROM Timbrature"));
    // An office worker hired during the period (a night's exit never falls on his first day),
    // employee 2 on a rotation of the company's own, 3 with a punch of his own in the period.
    const int nuovo = a.valore(QStringLiteral("SELECT MIN(p.IdUtilizzatore) FROM Profilo p, Turni t WHERE t.Id = p.IdOrari AND "
                                              "t.Descr = 'Settimana ufficio lun-ven' AND p.IdUtilizzatore > 3")).toInt();
    QVERIFY(nuovo > 3);
    const QDate assunto = kOggi.addDays(-5);
    a.esegui(QStringLiteral("UPDATE Profilo SET DataAssunz = :d WHERE IdUtilizzatore = :id"), {{"d", Sql::data(assunto)}, {"id", nuovo}});
    a.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (99, 'Su misura', 7)"));
    a.esegui(QStringLiteral("UPDATE Profilo SET IdOrari = 99 WHERE IdUtilizzatore = 2"));
    const QVariant propria = Sql::dataOra(QDateTime(kOggi.addDays(-2), QTime(7, 3), Qt::UTC));
    a.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (3, :d, 'E')"), {{"d", propria}});

    const RisultatoDemo r = GeneraTimbrature(a.dtm(), {0, 14, kOggi, 4242});
    QCOMPARE(r.dipendenti, 18);
    // The demo's own punches come back, but none before hiring, none for the others.
    QList<QVariantList> attese{{3, propria, QStringLiteral("E")}};
    for (const QVariantList& t : demo) {
        const int id = t[0].toInt();
        if (id != 2 && id != 3 && (id != nuovo || Sql::leggiDataOra(t[1]).date() >= assunto))
            attese << t;
    }
    std::sort(attese.begin(), attese.end(), [](const QVariantList& x, const QVariantList& y) {
        return std::pair(x[0].toInt(), x[1].toString()) < std::pair(y[0].toInt(), y[1].toString());
    });
    QCOMPARE(righe(a.db(), sql), attese);
    QCOMPARE(r.timbrature, attese.size() - 1);
}

void TstDemo::erroreAnnullaTutto()
{
    Ambiente a;
    const int unita = a.conta(QStringLiteral("UnitaPianta"));
    // A punch that cannot be stored fails the whole company, not just the punches.
    a.rifiuta(QStringLiteral("rifiuta"), QStringLiteral("Timbrature"), QStringLiteral("INSERT"), {}, QStringLiteral("terminale guasto"));
    QVERIFY_THROWS_EXCEPTION(ErroreDb, GeneraDemo(a.dtm(), {5, 7, kOggi, 1}));
    QVERIFY(!a.db().inTransazione());
    for (const char* t : {"Anagrafico", "Badge", "Profilo", "OrariRep", "ArroTim", "Turni", "CompTurni", "RelCalend", "Terminali", "Aziende", "ConfigGen"})
        QVERIFY2(a.conta(QLatin1String(t)) == 0, t);
    QCOMPARE(a.conta(QStringLiteral("UnitaPianta")), unita);
}

void TstDemo::opzioniNegativeRifiutate()
{
    Ambiente a;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, GeneraDemo(a.dtm(), {-1, 10, kOggi, 1}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, GeneraDemo(a.dtm(), {10, -1, kOggi, 1}));
    QCOMPARE(a.conta(QStringLiteral("OrariRep")), 0);
}

QTEST_GUILESS_MAIN(TstDemo)
#include "tst_demo.moc"
