#include "formatofile.h"

#include "fileini.h"
#include "messaggi.h"
#include "presenzecfg.h"

#include <QList>

#include <algorithm>

namespace {

struct ChiaveIntera {
    const char* chiave;
    int FormatoFileAcq::*campo;
    int minimo;
    int massimo;
};

// In the section's order.
const ChiaveIntera kInteri[] = {
    {"PosizBadge", &FormatoFileAcq::PosizBadge, 1, 300},
    {"LunghBadge", &FormatoFileAcq::LunghBadge, 0, 10},
    {"PosizCausale", &FormatoFileAcq::PosizCausale, 0, 300},
    {"LunghCausale", &FormatoFileAcq::LunghCausale, 0, 4},
    {"PosizVerso", &FormatoFileAcq::PosizVerso, 1, 300},
    {"PosizData", &FormatoFileAcq::PosizData, 1, 300},
    {"PosizOra", &FormatoFileAcq::PosizOra, 1, 300},
    {"LunghOra", &FormatoFileAcq::LunghOra, 0, 8},
};

const ChiaveIntera& intero(const char* chiave)
{
    for (const ChiaveIntera& c : kInteri)
        if (qstrcmp(c.chiave, chiave) == 0)
            return c;
    Q_UNREACHABLE();
}

}  // namespace

namespace FormatoFile {

void Carica(const FileIni& ini, FormatoFileAcq& f)
{
    for (const ChiaveIntera& c : kInteri) {
        const int v = ini.leggiIntero(Ini::FileAcq, QLatin1String(c.chiave), 0);
        if (v > 0)
            f.*c.campo = std::clamp(v, c.minimo, c.massimo);
    }
    // A direction is one character: the control keeps the first one typed.
    const auto testo = [&](const char* chiave, QString& campo, int lunghezza) {
        const QString v = ini.leggiTesto(Ini::FileAcq, QLatin1String(chiave));
        if (!v.isEmpty())
            campo = lunghezza > 0 ? v.left(lunghezza) : v;
    };
    testo("CarIngresso", f.CarIngresso, 1);
    testo("CarUscita", f.CarUscita, 1);
    testo("FormatoData", f.FormatoData, 0);
}

void Salva(FileIni& ini, const FormatoFileAcq& f)
{
    ini.aggiorna([&](FileIni& i) {
        const auto numero = [&](const char* chiave) {
            i.imposta(Ini::FileAcq, QLatin1String(chiave), QString::number(f.*intero(chiave).campo));
        };
        numero("PosizBadge");
        numero("LunghBadge");
        numero("PosizCausale");
        numero("LunghCausale");
        numero("PosizVerso");
        i.imposta(Ini::FileAcq, QStringLiteral("CarIngresso"), f.CarIngresso);
        i.imposta(Ini::FileAcq, QStringLiteral("CarUscita"), f.CarUscita);
        numero("PosizData");
        if (!f.FormatoData.isEmpty())
            i.imposta(Ini::FileAcq, QStringLiteral("FormatoData"), f.FormatoData);
        numero("PosizOra");
        numero("LunghOra");
    });
}

Verifica Controlla(const FormatoFileAcq& f)
{
    struct Campo {
        int posizione;
        int lunghezza;
    };
    QList<Campo> campi{{f.PosizBadge, f.LunghBadge},
                       {f.PosizCausale, f.LunghCausale},
                       {f.PosizVerso, 1},
                       {f.PosizData, int(f.FormatoData.size())},
                       {f.PosizOra, f.LunghOra}};
    for (Campo& c : campi)
        if (c.posizione == 0)
            c.lunghezza = 0;
    std::stable_sort(campi.begin(), campi.end(), [](const Campo& a, const Campo& b) { return a.posizione < b.posizione; });
    if (campi.constLast().posizione + campi.constLast().lunghezza - 1 > 256)
        return TroppoLungo;
    for (qsizetype i = 0; i + 1 < campi.size(); ++i)
        if (campi.at(i).posizione + campi.at(i).lunghezza - 1 >= campi.at(i + 1).posizione)
            return Sovrapposto;
    return Corretto;
}

int Messaggio(Verifica v)
{
    switch (v) {
    case Sovrapposto: return Msg::ErrTracciatoSovrapposto;
    case TroppoLungo: return Msg::ErrTracciatoLungo;
    case Corretto: break;
    }
    return 0;
}

}  // namespace FormatoFile
