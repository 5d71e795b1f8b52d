#pragma once
// The two application-wide records: the configuration read from PRES.INI and the registry
// (TPresenzeCfg), and the application memory shared by the windows (TPresenzeMem).

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QRect>
#include <QString>

#include <array>

class FileIni;

namespace Ini {
inline const QString Language = QStringLiteral("Language");
inline const QString Desktop = QStringLiteral("Desktop");
inline const QString Acquisizione = QStringLiteral("Acquisizione");
inline const QString Elaborazione = QStringLiteral("Elaborazione");
inline const QString Config = QStringLiteral("Config");
inline const QString AmbienteStart = QStringLiteral("Ambiente START");
inline const QString FileAcq = QStringLiteral("File_acq");
inline const QString TransFormat = QStringLiteral("Trans_format");
inline const QString PorteSeriali = QStringLiteral("Porte seriali");
}  // namespace Ini

// Work-plan grid columns, in display order, with their PRES.INI keys and default widths.
enum ColonnaPiano { ColData, ColStato, ColOrario, ColTimbrature, ColOreOrd, ColOreStra, ColOrePres, ColOreAssenza, ColNote, NumColonnePiano };

struct TPresenzeCfg {
    QString Azienda;                       // registry value "AZIENDA"
    QString NomeProg = QStringLiteral("Quorlin");
    QChar Lingua = QLatin1Char('I');
    // Colours as stored in PRES.INI: Windows colour values 0x00BBGGRR.
    quint32 ColoreReqd = 0;
    quint32 ColoreAnom = 0;
    quint32 ColoreGrid = 12648432;
    std::array<int, NumColonnePiano> LarghezzeColonne{85, 70, 70, 150, 35, 35, 35, 35, 250};
    std::array<bool, 5> Bande{true, true, true, true, true};
    bool Toni = false;
    int Timeout = 60;
    // [Porte seriali] COM1 to COM4: the device of each port number; empty for the system's
    // default (the terminal library's Dispositivo).
    std::array<QString, 4> PorteSeriali;
    bool AnomAssenza = true;
    bool CalcolaAssenza = true;
    bool CalcolaStraord = true;
    bool ModTimbOrig = false;

    // Where things are: the application directory is the folder of PRES.INI.
    QString FileIni;
    QString DirApplicazione;
    QString NetFileDir = QStringLiteral("C:\\");
    QString PathProduzione;  // [Ambiente START] PATH as written; empty for the default folder
    // [Ambiente START]: the engine of the production database ("SQLite" or "PostgreSQL", as
    // written; empty for SQLite) and, on a server, where it is and the schema of this
    // workstation's work tables. Empty keys fall back on the environment (Connessione).
    QString Motore;
    QString Host;
    QString Porta;
    QString Database;
    QString Utente;
    QString Schema;

    static QString chiaveColonna(int colonna);
    static int larghezzaPredefinita(int colonna);
};

struct TPresenzeMem {
    QDateTime DataDa;
    QDateTime DataA;
    QDateTime DataInst;
    QString LetteraE;
    QString LetteraU;
    QString RagSoc;
    QString RelDB;
    bool Preview = true;
};

// Colours are kept in PRES.INI as Windows colour values, 0x00BBGGRR (red in the low byte),
// so that files written by earlier installations keep their meaning.
inline QColor ColoreDaIni(quint32 valore)
{
    return QColor(int(valore & 0xFFu), int((valore >> 8) & 0xFFu), int((valore >> 16) & 0xFFu));
}
inline quint32 ColoreInIni(const QColor& colore)
{
    const QColor c = colore.toRgb();
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

namespace Configurazione {

// Name of the default production folder beside PRES.INI, used when [Ambiente START] PATH is empty.
inline const QString CartellaDatiPredefinita = QStringLiteral("Dati");

// Reads PRES.INI into cfg, writing back the missing or zero keys with their defaults; a
// file that already holds them is not written. azienda is the registry value (empty when
// absent). Throws ErroreIni when the file cannot be written; cfg is filled even then.
void Leggi(FileIni& ini, const QString& azienda, TPresenzeCfg& cfg);

// Folder of the production database: PATH, relative to the application directory when it
// is relative, or the default folder when empty.
QString CartellaProduzione(const TPresenzeCfg& cfg);

// Where a window was last left: [Desktop] <finestra>Left, Top, Width and Height, its
// geometry without the frame. An empty rectangle when it was never stored.
QRect LeggiPosizione(const FileIni& ini, const QString& finestra);
// Writes the keys that differ from what is stored. Throws std::runtime_error when the file
// cannot be written.
void ScriviPosizione(FileIni& ini, const QString& finestra, const QRect& r);

// The five toolbar flags as PRES.INI keeps them ("10101").
QString TestoBande(const std::array<bool, 5>& bande);
std::array<bool, 5> BandeDaTesto(const QString& testo);

}  // namespace Configurazione
