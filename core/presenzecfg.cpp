#include "presenzecfg.h"

#include "fileini.h"

#include <QDir>
#include <QFileInfo>

namespace {
const char* const kChiaviColonne[NumColonnePiano] = {"PdLColData", "PdLColStato", "PdLColOrario", "PdLColTimbrature", "PdLColOreOrd",
                                                     "PdLColOreStra", "PdLColOrePres", "PdLColOreAssenza", "PdLColNote"};
const int kLarghezze[NumColonnePiano] = {85, 70, 70, 150, 35, 35, 35, 35, 250};

struct Predefinito {
    QString sezione, chiave, valore;
};

// Fills the record from the file as read and lists the values the start-up rules write
// back that the file does not hold yet (empty when every key is there).
QList<Predefinito> leggiValori(const FileIni& ini, TPresenzeCfg& cfg)
{
    QList<Predefinito> daScrivere;
    const auto scrivi = [&](const QString& sezione, const QString& chiave, const QString& valore) {
        if (!ini.esiste(sezione, chiave) || ini.leggiTesto(sezione, chiave) != valore)
            daScrivere.append({sezione, chiave, valore});
    };
    // A non-zero value is taken; 0 (or a missing key) writes the default back and takes it.
    const auto nonZero = [&](const QString& sezione, const QString& chiave, int predefinito) {
        const int v = ini.leggiIntero(sezione, chiave, 0);
        if (v != 0)
            return v;
        scrivi(sezione, chiave, QString::number(predefinito));
        return predefinito;
    };

    QString lingua = ini.leggiTesto(Ini::Language, QStringLiteral("Lingua"));
    if (lingua.trimmed().isEmpty()) {
        lingua = QStringLiteral("ITALIANO");
        scrivi(Ini::Language, QStringLiteral("Lingua"), lingua);
    }
    // Language letters of the tables are capitals: "italiano" selects the same texts.
    cfg.Lingua = lingua.trimmed().at(0).toUpper();

    cfg.ColoreReqd = quint32(nonZero(Ini::Desktop, QStringLiteral("ColoreReqd"), 0));
    cfg.ColoreAnom = quint32(nonZero(Ini::Desktop, QStringLiteral("ColoreAnom"), 0));
    cfg.ColoreGrid = quint32(nonZero(Ini::Desktop, QStringLiteral("ColoreGrid"), 12648432));
    for (int c = 0; c < NumColonnePiano; ++c)
        cfg.LarghezzeColonne[size_t(c)] = nonZero(Ini::Desktop, TPresenzeCfg::chiaveColonna(c), kLarghezze[c]);

    cfg.Bande = Configurazione::BandeDaTesto(ini.leggiTesto(Ini::Desktop, QStringLiteral("TblSetting"), QStringLiteral("11111")));

    cfg.Toni = ini.leggiBooleano(Ini::Acquisizione, QStringLiteral("Toni"), false);
    if (!cfg.Toni)
        scrivi(Ini::Acquisizione, QStringLiteral("Toni"), QStringLiteral("0"));
    cfg.Timeout = ini.leggiIntero(Ini::Acquisizione, QStringLiteral("Timeout"), -1);
    if (cfg.Timeout == -1) {
        cfg.Timeout = 60;
        scrivi(Ini::Acquisizione, QStringLiteral("Timeout"), QStringLiteral("60"));
    }
    // Read only: a missing key keeps the platform's own name for the port.
    for (int n = 0; n < 4; ++n)
        cfg.PorteSeriali[size_t(n)] = ini.leggiTesto(Ini::PorteSeriali, QStringLiteral("COM%1").arg(n + 1)).trimmed();

    const auto opzione = [&](const char* chiave) {
        const bool v = ini.leggiBooleano(Ini::Elaborazione, QString::fromLatin1(chiave), true);
        if (v)
            scrivi(Ini::Elaborazione, QString::fromLatin1(chiave), QStringLiteral("1"));
        return v;
    };
    cfg.AnomAssenza = opzione("AnomAssenza");
    cfg.CalcolaAssenza = opzione("CalcolaAssenza");
    cfg.CalcolaStraord = opzione("CalcolaStraord");

    cfg.ModTimbOrig = ini.leggiBooleano(Ini::Config, QStringLiteral("ModTimbOrig"), false);
    if (!cfg.ModTimbOrig)
        scrivi(Ini::Config, QStringLiteral("ModTimbOrig"), QStringLiteral("0"));

    cfg.NetFileDir = ini.leggiTesto(Ini::AmbienteStart, QStringLiteral("NetFileDir"), QStringLiteral("C:\\"));
    cfg.PathProduzione = ini.leggiTesto(Ini::AmbienteStart, QStringLiteral("PATH")).trimmed();
    // Read only: a missing key means SQLite, or the server the environment names.
    const auto chiave = [&](const char* nome) { return ini.leggiTesto(Ini::AmbienteStart, QString::fromLatin1(nome)).trimmed(); };
    cfg.Motore = chiave("Motore");
    cfg.Host = chiave("Host");
    cfg.Porta = chiave("Porta");
    cfg.Database = chiave("Database");
    cfg.Utente = chiave("Utente");
    cfg.Schema = chiave("Schema");
    return daScrivere;
}
}  // namespace

QString TPresenzeCfg::chiaveColonna(int colonna)
{
    return QString::fromLatin1(kChiaviColonne[colonna]);
}

int TPresenzeCfg::larghezzaPredefinita(int colonna)
{
    return kLarghezze[colonna];
}

namespace Configurazione {

void Leggi(FileIni& ini, const QString& azienda, TPresenzeCfg& cfg)
{
    cfg.Azienda = azienda;
    cfg.NomeProg = azienda.isEmpty() ? QStringLiteral("Quorlin") : QStringLiteral("Zelvano");
    cfg.FileIni = QFileInfo(ini.percorso()).absoluteFilePath();
    cfg.DirApplicazione = QFileInfo(ini.percorso()).absolutePath();

    // A file that holds every key is only read: it may be read-only, and copies starting
    // together never race on it.
    if (leggiValori(ini, cfg).isEmpty())
        return;
    // Decided again on the file as the lock finds it: another copy may have just written
    // the same defaults, or a value of its own.
    ini.aggiorna([&](FileIni& f) {
        for (const Predefinito& p : leggiValori(f, cfg))
            f.imposta(p.sezione, p.chiave, p.valore);
    });
}

QString CartellaProduzione(const TPresenzeCfg& cfg)
{
    const QDir app(cfg.DirApplicazione);
    if (cfg.PathProduzione.isEmpty())
        return QDir::cleanPath(app.filePath(CartellaDatiPredefinita));
    // A PRES.INI written on Windows separates folders with "\".
    return QDir::cleanPath(app.filePath(QDir::fromNativeSeparators(QString(cfg.PathProduzione).replace(QLatin1Char('\\'), QLatin1Char('/')))));
}

namespace {
const char* const kLati[4] = {"Left", "Top", "Width", "Height"};
}  // namespace

QRect LeggiPosizione(const FileIni& ini, const QString& finestra)
{
    int v[4];
    for (int n = 0; n < 4; ++n) {
        const QString chiave = finestra + QLatin1String(kLati[n]);
        if (!ini.esiste(Ini::Desktop, chiave))
            return {};
        v[n] = ini.leggiIntero(Ini::Desktop, chiave, 0);
    }
    return v[2] > 0 && v[3] > 0 ? QRect(v[0], v[1], v[2], v[3]) : QRect();
}

void ScriviPosizione(FileIni& ini, const QString& finestra, const QRect& r)
{
    const int v[4] = {r.x(), r.y(), r.width(), r.height()};
    for (int n = 0; n < 4; ++n) {
        const QString chiave = finestra + QLatin1String(kLati[n]);
        // PRES.INI is rewritten on every write: only a change is written.
        if (!ini.esiste(Ini::Desktop, chiave) || ini.leggiIntero(Ini::Desktop, chiave, v[n] + 1) != v[n])
            ini.scriviIntero(Ini::Desktop, chiave, v[n]);
    }
}

QString TestoBande(const std::array<bool, 5>& bande)
{
    QString t;
    for (bool b : bande)
        t += b ? QLatin1Char('1') : QLatin1Char('0');
    return t;
}

std::array<bool, 5> BandeDaTesto(const QString& testo)
{
    std::array<bool, 5> b{};
    for (int n = 0; n < 5; ++n)
        b[size_t(n)] = n < testo.size() && testo.at(n) == QLatin1Char('1');
    return b;
}

}  // namespace Configurazione
