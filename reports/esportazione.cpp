#include "esportazione.h"

#include "messaggi.h"

#include "impaginazione.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QRegularExpression>
#include <QStringConverter>

namespace Stampa {

namespace {

QString dataStampa(const DocumentoStampa& doc)
{
    return doc.stampato.date().toString(QStringLiteral("dd/MM/yyyy"));
}

QString oraStampa(const DocumentoStampa& doc)
{
    return doc.stampato.time().toString(QStringLiteral("hh:mm"));
}

// The cell of a line for column c; a short line leaves the remaining columns empty.
QString cella(const RigaStampa& r, int c)
{
    return c < r.celle.size() ? r.celle.at(c) : QString();
}

// A spreadsheet runs a cell that starts with = + - or @ as a formula: a name typed as
// "=HYPERLINK(...)" must stay a text. Figures keep their sign ("-8", "-1.30", "-07:45").
QString testoInerte(const QString& testo)
{
    static const QRegularExpression numero(QStringLiteral("^[-+]?[0-9]+([.,:][0-9]+)*$"));
    if (testo.isEmpty() || !QStringLiteral("=+-@").contains(testo.front()) || numero.match(testo).hasMatch())
        return testo;
    return QLatin1Char('\'') + testo;
}

QString campoCsv(const QString& campo)
{
    static const QString speciali = QStringLiteral(";\"\r\n");
    const QString testo = testoInerte(campo);
    bool virgolette = false;
    for (const QChar ch : testo)
        if (speciali.contains(ch)) {
            virgolette = true;
            break;
        }
    if (!virgolette)
        return testo;
    QString t = testo;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// One line of the text layout per line of the report: a line break inside a value (a note
// typed on two lines) becomes a blank.
QString suUnaRiga(QString testo)
{
    for (QChar& c : testo)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\v') || c == QLatin1Char('\f')
            || c == QChar(0x85) || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return testo;
}

DocumentoStampa suRigheSingole(DocumentoStampa doc)
{
    for (QString* t : {&doc.ragioneSociale, &doc.applicazione, &doc.titolo, &doc.selezione})
        *t = suUnaRiga(*t);
    for (ColonnaStampa& c : doc.colonne)
        c.titolo = suUnaRiga(c.titolo);
    for (RigaStampa& r : doc.righe)
        for (QString& c : r.celle)
            c = suUnaRiga(c);
    return doc;
}

QString recordCsv(const QStringList& campi)
{
    QStringList out;
    out.reserve(campi.size());
    for (const QString& c : campi)
        out << campoCsv(c);
    return out.join(QLatin1Char(';')) + QStringLiteral("\r\n");
}

}  // namespace

bool FormatoDaTesto(const QString& testo, Formato* formato)
{
    const QString t = testo.trimmed().toLower();
    if (t == QLatin1String("pdf"))
        *formato = Formato::Pdf;
    else if (t == QLatin1String("txt") || t == QLatin1String("testo"))
        *formato = Formato::Testo;
    else if (t == QLatin1String("csv"))
        *formato = Formato::Csv;
    else if (t == QLatin1String("html") || t == QLatin1String("htm"))
        *formato = Formato::Html;
    else
        return false;
    return true;
}

QString EstensioneFormato(Formato formato)
{
    switch (formato) {
    case Formato::Pdf: return QStringLiteral("pdf");
    case Formato::Testo: return QStringLiteral("txt");
    case Formato::Csv: return QStringLiteral("csv");
    case Formato::Html: return QStringLiteral("html");
    }
    return {};
}

QString TestoSemplice(const DocumentoStampa& originale)
{
    const DocumentoStampa doc = suRigheSingole(originale);
    const int n = int(doc.colonne.size());
    QList<int> larghezze(n, 0);
    for (int c = 0; c < n; ++c)
        larghezze[c] = int(doc.colonne.at(c).titolo.size());
    for (const RigaStampa& r : doc.righe)
        if (r.tipo == RigaStampa::Tipo::Dettaglio)
            for (int c = 0; c < n; ++c)
                larghezze[c] = std::max(larghezze[c], int(cella(r, c).size()));

    const auto riga = [&](const QStringList& celle) {
        QString s;
        for (int c = 0; c < n; ++c) {
            const QString t = c < celle.size() ? celle.at(c) : QString();
            if (c > 0)
                s += QStringLiteral("  ");
            s += doc.colonne.at(c).destra ? t.rightJustified(larghezze[c]) : t.leftJustified(larghezze[c]);
        }
        // Trailing blanks of the last column carry nothing.
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s + QLatin1Char('\n');
    };

    QString out;
    int larghezzaRiga = 0;
    for (int c = 0; c < n; ++c)
        larghezzaRiga += larghezze[c] + (c > 0 ? 2 : 0);
    const int spazio = std::max(2, larghezzaRiga - int(doc.ragioneSociale.size()) - int(doc.applicazione.size()));
    out += doc.ragioneSociale + QString(spazio, QLatin1Char(' ')) + doc.applicazione + QLatin1Char('\n');
    out += doc.titolo + QLatin1Char('\n');
    if (!doc.selezione.isEmpty())
        out += doc.selezione + QLatin1Char('\n');
    out += QStringLiteral("Data: ") + dataStampa(doc) + QStringLiteral("   Ora: ") + oraStampa(doc) + QStringLiteral("\n\n");

    QStringList titoli;
    for (const ColonnaStampa& c : doc.colonne)
        titoli << c.titolo;
    out += riga(titoli);
    out += QString(larghezzaRiga, QLatin1Char('-')) + QLatin1Char('\n');

    bool primo = true;
    for (const RigaStampa& r : doc.righe) {
        switch (r.tipo) {
        case RigaStampa::Tipo::Gruppo:
            if (!primo)
                out += QLatin1Char('\n');
            out += cella(r, 0) + QLatin1Char('\n');
            break;
        case RigaStampa::Tipo::Dettaglio:
            out += riga(r.celle);
            break;
        case RigaStampa::Tipo::Totale: {
            QStringList coppie;
            for (int i = 0; i < r.celle.size(); i += 2)
                coppie << (cella(r, i) + QLatin1Char(' ') + cella(r, i + 1)).trimmed();
            out += coppie.join(QStringLiteral("    ")) + QLatin1Char('\n');
            break;
        }
        }
        primo = false;
    }
    return out;
}

QByteArray Csv(const DocumentoStampa& doc)
{
    QString out;
    QStringList titoli;
    for (const ColonnaStampa& c : doc.colonne)
        titoli << c.titolo;
    out += recordCsv(titoli);
    for (const RigaStampa& r : doc.righe)
        out += recordCsv(r.celle);
    return QByteArrayLiteral("\xEF\xBB\xBF") + out.toUtf8();
}

QString Html(const DocumentoStampa& doc)
{
    const auto e = [](const QString& t) { return t.toHtmlEscaped(); };
    const int n = int(doc.colonne.size());
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>")
        + e(doc.titolo) + QStringLiteral("</title>\n<style>\n"
                                         "body { font-family: sans-serif; font-size: 10pt; }\n"
                                         ".testata { display: flex; justify-content: space-between; }\n"
                                         "table { border-collapse: collapse; }\n"
                                         "th, td { padding: 2px 8px; text-align: left; vertical-align: top; }\n"
                                         "thead th { border-bottom: 1px solid #444; }\n"
                                         "td.num, th.num { text-align: right; }\n"
                                         "td.fissa { font-family: monospace; white-space: pre-wrap; }\n"
                                         "tr.gruppo th { padding-top: 12px; }\n"
                                         "tr.totale td { font-weight: bold; border-top: 1px solid #444; }\n"
                                         "</style>\n</head>\n<body>\n");
    out += QStringLiteral("<div class=\"testata\"><span>") + e(doc.ragioneSociale) + QStringLiteral("</span><span>")
        + e(doc.applicazione) + QStringLiteral("</span></div>\n");
    out += QStringLiteral("<h1>") + e(doc.titolo) + QStringLiteral("</h1>\n");
    if (!doc.selezione.isEmpty())
        out += QStringLiteral("<p><b>") + e(doc.selezione) + QStringLiteral("</b></p>\n");
    out += QStringLiteral("<p>Data: ") + e(dataStampa(doc)) + QStringLiteral(" &nbsp; Ora: ") + e(oraStampa(doc))
        + QStringLiteral("</p>\n<table>\n<thead><tr>");
    for (const ColonnaStampa& c : doc.colonne)
        out += (c.destra ? QStringLiteral("<th class=\"num\">") : QStringLiteral("<th>")) + e(c.titolo) + QStringLiteral("</th>");
    out += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const RigaStampa& r : doc.righe) {
        switch (r.tipo) {
        case RigaStampa::Tipo::Gruppo:
            out += QStringLiteral("<tr class=\"gruppo\"><th colspan=\"%1\">").arg(n) + e(cella(r, 0))
                + QStringLiteral("</th></tr>\n");
            break;
        case RigaStampa::Tipo::Dettaglio:
            out += QStringLiteral("<tr>");
            for (int c = 0; c < n; ++c) {
                const ColonnaStampa& col = doc.colonne.at(c);
                QString classe = col.destra ? QStringLiteral("num") : col.fissa ? QStringLiteral("fissa") : QString();
                out += (classe.isEmpty() ? QStringLiteral("<td>") : QStringLiteral("<td class=\"%1\">").arg(classe))
                    + e(cella(r, c)) + QStringLiteral("</td>");
            }
            out += QStringLiteral("</tr>\n");
            break;
        case RigaStampa::Tipo::Totale: {
            QStringList coppie;
            for (int i = 0; i < r.celle.size(); i += 2)
                coppie << e((cella(r, i) + QLatin1Char(' ') + cella(r, i + 1)).trimmed());
            out += QStringLiteral("<tr class=\"totale\"><td colspan=\"%1\">").arg(n)
                + coppie.join(QStringLiteral(" &nbsp;&nbsp;&nbsp; ")) + QStringLiteral("</td></tr>\n");
            break;
        }
        }
    }
    out += QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n");
    return out;
}

void Salva(const DocumentoStampa& doc, Formato formato, const QString& file)
{
    // A file is replaced in one step through a temporary file beside it. A device or a pipe
    // (/dev/stdout, a FIFO) is written where it is: renaming a file over it would replace the
    // device itself.
    const QFileInfo fi(file);
    QSaveFile nuovo(file);
    QFile diretto(file);
    const bool sulPosto = fi.exists() && !fi.isFile() && !fi.isDir();
    QFileDevice& f = sulPosto ? static_cast<QFileDevice&>(diretto) : nuovo;
    if (!f.open(QIODevice::WriteOnly))
        throw ErroreStampa(Msg::ErrScrittura, file);
    bool scritto = true;
    if (formato == Formato::Pdf) {
        scritto = ScriviPdf(doc, f) > 0;
    } else {
        QByteArray dati;
        switch (formato) {
        case Formato::Testo: dati = TestoSemplice(doc).toUtf8(); break;
        case Formato::Csv: dati = Csv(doc); break;
        case Formato::Html: dati = Html(doc).toUtf8(); break;
        case Formato::Pdf: break;
        }
        scritto = f.write(dati) == dati.size();
    }
    // Whatever the device refused (a full disk, /dev/full) shows up at the latest when the
    // buffer is flushed; commit() alone would rename even a file whose last buffer was lost.
    scritto = scritto && f.flush() && f.error() == QFileDevice::NoError;
    if (sulPosto) {
        diretto.close();
        scritto = scritto && diretto.error() == QFileDevice::NoError;
    } else if (!scritto) {
        nuovo.cancelWriting();
    } else {
        scritto = nuovo.commit();
    }
    if (!scritto)
        throw ErroreStampa(Msg::ErrScrittura, file);
}

}  // namespace Stampa
