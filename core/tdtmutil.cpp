#include "tdtmutil.h"

#include "fileini.h"
#include "tdtmpresenze.h"

#include <QSqlRecord>

#include <algorithm>

namespace {

QDate piuTarda(const QDate& a, const QDate& b)
{
    if (!a.isValid())
        return b;
    if (!b.isValid())
        return a;
    return std::max(a, b);
}

const char* const kChiaviColore[] = {"ColoreReqd", "ColoreAnom", "ColoreGrid"};

}  // namespace

TdtmUtil::Azienda TdtmUtil::LeggiAzienda()
{
    Azienda a;
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Id, RagSoc, Descr, CodAzEst FROM Aziende ORDER BY Id"));
    if (q.next()) {
        a.Id = q.value(0).toInt();
        a.RagSoc = q.value(1).toString();
        a.Descr = q.value(2).toString();
        a.CodAzEst = q.value(3).toString();
    }
    return a;
}

void TdtmUtil::SalvaAzienda(Azienda& a)
{
    Database& db = m_dtm.db();
    Transazione t(db);
    if (a.Id == 0) {
        const int id = m_dtm.NuovoId(QStringLiteral("Aziende"));
        db.esegui(QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr, CodAzEst) VALUES (:id, :rag, :descr, :est)"),
                  {{"id", id}, {"rag", Sql::testo(a.RagSoc)}, {"descr", Sql::testo(a.Descr)}, {"est", Sql::testo(a.CodAzEst)}});
        t.conferma();
        a.Id = id;
    } else {
        db.esegui(QStringLiteral("UPDATE Aziende SET RagSoc = :rag, Descr = :descr, CodAzEst = :est WHERE Id = :id"),
                  {{"id", a.Id}, {"rag", Sql::testo(a.RagSoc)}, {"descr", Sql::testo(a.Descr)}, {"est", Sql::testo(a.CodAzEst)}});
        t.conferma();
    }
    m_dtm.mem().RagSoc = a.RagSoc;
    emit m_dtm.ragioneSocialeCambiata(a.RagSoc);
}

QDate TdtmUtil::DataInstallazione()
{
    return Sql::leggiData(m_dtm.db().valore(QStringLiteral("SELECT DataInst FROM ConfigGen")));
}

QDate TdtmUtil::ImpostaDataInstallazione(const QDate& scelta)
{
    const QDate d(scelta.year(), scelta.month(), 1);
    Database& db = m_dtm.db();
    Transazione t(db);

    if (!db.esisteRiga(QStringLiteral("SELECT 1 FROM ConfigGen")))
        db.esegui(QStringLiteral("INSERT INTO ConfigGen (DataInst, Inizio, Fine, CarMensa, CarPres, Delimitatore, Separatore) "
                                 "VALUES (:d, '0000', '2359', 'S', 'P', '\"', ';')"),
                  {{"d", Sql::data(d)}});
    else
        db.esegui(QStringLiteral("UPDATE ConfigGen SET DataInst = :d"), {{"d", Sql::data(d)}});

    // Control dates only move forward.
    const QDate prima = d.addDays(-1);
    const QDate voci = d.addDays(-33);
    QSqlQuery c = db.esegui(QStringLiteral("SELECT AccantonPiano, AccantonVoci, InvioSaldi, AcquisTimb FROM ContrAccant"));
    if (!c.next()) {
        db.esegui(QStringLiteral("INSERT INTO ContrAccant (AccantonPiano, AccantonVoci, InvioSaldi, AcquisTimb) VALUES (:p, :v, :s, :a)"),
                  {{"p", Sql::data(prima)}, {"v", Sql::data(voci)}, {"s", Sql::data(prima)}, {"a", Sql::data(prima)}});
    } else {
        const QDate p = piuTarda(Sql::leggiData(c.value(0)), prima), v = piuTarda(Sql::leggiData(c.value(1)), voci),
                    s = piuTarda(Sql::leggiData(c.value(2)), prima), a = piuTarda(Sql::leggiData(c.value(3)), prima);
        c.finish();
        db.esegui(QStringLiteral("UPDATE ContrAccant SET AccantonPiano = :p, AccantonVoci = :v, InvioSaldi = :s, AcquisTimb = :a"),
                  {{"p", Sql::data(p)}, {"v", Sql::data(v)}, {"s", Sql::data(s)}, {"a", Sql::data(a)}});
    }

    // Every profile's period dates start no earlier than its hiring date and the installation.
    // A profile has no key: each row is found again by the values its new dates come from,
    // which are all required, so two rows found together get the same new dates anyway.
    struct Riga {
        QVariant dip, inizio, assunz, periodiTesto[5];
        QDate dataAssunz;
        QDate periodi[5];
    };
    QList<Riga> righe;
    {
        QSqlQuery p = db.esegui(QStringLiteral("SELECT IdUtilizzatore, DataInizio, DataAssunz, InPeriodo1, InPeriodo2, InPeriodo3, "
                                               "InPeriodo4, InPeriodo5 FROM Profilo"));
        while (p.next()) {
            Riga r{p.value(0), p.value(1), p.value(2), {}, Sql::leggiData(p.value(2)), {}};
            for (int n = 0; n < 5; ++n) {
                r.periodiTesto[n] = p.value(3 + n);
                r.periodi[n] = Sql::leggiData(p.value(3 + n));
            }
            righe.append(r);
        }
    }
    QSqlQuery u = db.prepara(QStringLiteral("UPDATE Profilo SET InPeriodo1 = :p1, InPeriodo2 = :p2, InPeriodo3 = :p3, InPeriodo4 = :p4, "
                                            "InPeriodo5 = :p5, UltElabVoci = :ult WHERE IdUtilizzatore = :dip AND DataInizio = :inizio "
                                            "AND DataAssunz = :assunz AND InPeriodo1 = :v1 AND InPeriodo2 = :v2 AND InPeriodo3 = :v3 "
                                            "AND InPeriodo4 = :v4 AND InPeriodo5 = :v5"));
    for (const Riga& r : righe) {
        const QDate base = piuTarda(r.dataAssunz, d);
        QDate nuovi[5];
        for (int n = 0; n < 5; ++n) {
            nuovi[n] = piuTarda(r.periodi[n], base);
            u.bindValue(QStringLiteral(":p%1").arg(n + 1), Sql::data(nuovi[n]));
            u.bindValue(QStringLiteral(":v%1").arg(n + 1), r.periodiTesto[n]);
        }
        u.bindValue(QStringLiteral(":ult"), Sql::data(piuTarda(nuovi[0], base.addDays(-1))));
        u.bindValue(QStringLiteral(":dip"), r.dip);
        u.bindValue(QStringLiteral(":inizio"), r.inizio);
        u.bindValue(QStringLiteral(":assunz"), r.assunz);
        Database::esegui(u);
    }
    t.conferma();
    m_dtm.mem().DataInst = QDateTime(d, QTime(0, 0), Qt::UTC);
    return d;
}

quint32 TdtmUtil::Colore(int tipo) const
{
    const TPresenzeCfg& c = m_dtm.cfg();
    switch (tipo) {
    case 1: return c.ColoreReqd;
    case 2: return c.ColoreAnom;
    default: return c.ColoreGrid;
    }
}

void TdtmUtil::SalvaColore(int tipo, quint32 colore)
{
    TPresenzeCfg& c = m_dtm.cfg();
    (tipo == 1 ? c.ColoreReqd : tipo == 2 ? c.ColoreAnom : c.ColoreGrid) = colore;
    m_dtm.ini().scriviIntero(Ini::Desktop, QString::fromLatin1(kChiaviColore[std::clamp(tipo, 1, 3) - 1]), int(colore));
}

void TdtmUtil::SalvaOpzioni(bool anomAssenza, bool calcolaAssenza, bool calcolaStraord)
{
    TPresenzeCfg& c = m_dtm.cfg();
    c.AnomAssenza = anomAssenza;
    c.CalcolaAssenza = calcolaAssenza;
    c.CalcolaStraord = calcolaStraord;
    FileIni& ini = m_dtm.ini();
    ini.scriviBooleano(Ini::Elaborazione, QStringLiteral("AnomAssenza"), anomAssenza);
    ini.scriviBooleano(Ini::Elaborazione, QStringLiteral("CalcolaAssenza"), calcolaAssenza);
    ini.scriviBooleano(Ini::Elaborazione, QStringLiteral("CalcolaStraord"), calcolaStraord);
}
