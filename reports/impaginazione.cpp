#include "impaginazione.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>

#include <cmath>

namespace Stampa {

namespace {

constexpr double kMargineMm = 10.0;
constexpr double kAltezzaLogoMm = 11.0;
constexpr double kSpazioCellaMm = 1.0;  // inner margin left and right of a cell
constexpr double kSpazioRigaMm = 0.7;   // inner margin above and below a line

const QColor kRiga(0x44, 0x4B, 0x55);
const QColor kStriscia(0xF1, 0xF4, 0xF8);
const QColor kGruppo(0xE2, 0xE8, 0xF0);

QFont carattere(double punti, bool grassetto = false, bool fisso = false)
{
    QFont f(fisso ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
    f.setStyleHint(fisso ? QFont::TypeWriter : QFont::SansSerif);
    f.setPointSizeF(punti);
    f.setBold(grassetto);
    return f;
}

// The same text measures a few percent wider or narrower at each resolution (the preview's
// printer, a PDF at 300 dpi, the screen): a column is given this much more than its text
// measures here, so that it fits on every device, not just on this one.
constexpr double kTolleranza = 1.06;

// Where the columns fall across the page. Each starts with its share of the line width;
// a column narrower than its title or than the widest word of its cells would clip that
// text (a cell draws inside its rectangle), by a different amount on the preview and on
// paper, so it takes the room it needs from the columns that have room to spare.
class Colonne {
public:
    Colonne(const DocumentoStampa& doc, const QPaintDevice& dev, qreal sinistra, qreal larghezza)
        : m_doc(doc), m_dev(dev), m_corpo(carattere(8)), m_fisso(carattere(8, false, true)), m_grassetto(carattere(8, true))
    {
        const int n = int(doc.colonne.size());
        int totale = 0;
        for (const ColonnaStampa& c : doc.colonne)
            totale += std::max(1, c.larghezza);
        const qreal spazio = 2 * mmX(kSpazioCellaMm);
        QList<qreal> serve(n);
        qreal manca = 0, avanza = 0;
        for (int c = 0; c < n; ++c) {
            m_w.append(totale > 0 ? larghezza * std::max(1, doc.colonne.at(c).larghezza) / totale : 0);
            serve[c] = std::ceil(testoPiuLargo(c) * kTolleranza) + spazio;
            manca += std::max<qreal>(0, serve[c] - m_w[c]);
            avanza += std::max<qreal>(0, m_w[c] - serve[c]);
        }
        if (manca > 0 && avanza > 0) {
            // With too little to spare the narrow columns share what there is.
            const qreal daDare = std::min(manca, avanza);
            for (int c = 0; c < n; ++c) {
                if (m_w[c] < serve[c])
                    m_w[c] += (serve[c] - m_w[c]) * daDare / manca;
                else
                    m_w[c] -= (m_w[c] - serve[c]) * daDare / avanza;
            }
        }
        qreal x = sinistra;
        for (int c = 0; c < n; ++c) {
            m_x.append(x);
            x += m_w[c];
        }
    }

    const QList<qreal>& x() const { return m_x; }
    const QList<qreal>& w() const { return m_w; }
    const QFont& font(int c) const { return m_doc.colonne.at(c).fissa ? m_fisso : m_corpo; }

    // What does not fit its column: "title: text" for each title or word that would be clipped.
    QStringList tagliati() const
    {
        QStringList l;
        const qreal spazio = 2 * mmX(kSpazioCellaMm);
        for (int c = 0; c < m_w.size(); ++c)
            for (const auto& [testo, larghezza] : misure(c))
                if (larghezza + spazio > m_w.at(c))
                    l << m_doc.colonne.at(c).titolo + QStringLiteral(": ") + testo;
        return l;
    }

private:
    qreal mmX(double v) const { return v * m_dev.logicalDpiX() / 25.4; }

    // The title (one line, bold) and every word of the column's detail cells, measured once
    // each.
    QList<std::pair<QString, qreal>> misure(int c) const
    {
        QList<std::pair<QString, qreal>> l;
        QSet<QString> visti;
        const QFontMetricsF titolo(m_grassetto, &m_dev);
        const QFontMetricsF cella(font(c), &m_dev);
        l.append({m_doc.colonne.at(c).titolo, titolo.horizontalAdvance(m_doc.colonne.at(c).titolo)});
        for (const RigaStampa& r : m_doc.righe) {
            if (r.tipo != RigaStampa::Tipo::Dettaglio || c >= r.celle.size())
                continue;
            for (const QString& parola : r.celle.at(c).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                if (!visti.contains(parola)) {
                    visti.insert(parola);
                    l.append({parola, cella.horizontalAdvance(parola)});
                }
        }
        return l;
    }
    qreal testoPiuLargo(int c) const
    {
        qreal massimo = 0;
        for (const auto& m : misure(c))
            massimo = std::max(massimo, m.second);
        return massimo;
    }

    const DocumentoStampa& m_doc;
    const QPaintDevice& m_dev;
    QFont m_corpo, m_fisso, m_grassetto;
    QList<qreal> m_x, m_w;
};

class Impaginatore {
public:
    Impaginatore(const DocumentoStampa& doc, QPagedPaintDevice& dev, QPainter& p)
        : m_doc(doc), m_dev(dev), m_p(p),
          m_area(0, 0, dev.width(), dev.height()),
          m_colonne(doc, dev, m_area.left(), m_area.width()),
          m_x(m_colonne.x()), m_w(m_colonne.w()),
          m_grassetto(carattere(8, true)),
          m_gruppo(carattere(9, true)), m_totale(carattere(8, true))
    {
        m_logo.load(doc.fileLogo);
        m_altezzaGruppo = QFontMetricsF(m_gruppo, &m_dev).height() + 2 * mm(kSpazioRigaMm) + mm(1.5);
        m_altezzaTotale = QFontMetricsF(m_totale, &m_dev).height() + 2 * mm(kSpazioRigaMm) + mm(1.0);
        for (int c = 0; c < m_doc.colonne.size(); ++c)
            m_celle.append({QFontMetricsF(fontCella(c), &m_dev), m_w.at(c) - 2 * mmX(kSpazioCellaMm), allineamento(m_doc.colonne.at(c)), {}});
    }

    int esegui()
    {
        nuovaPagina();
        qreal prossima = m_doc.righe.isEmpty() ? 0 : altezza(m_doc.righe.first());
        for (qsizetype i = 0; i < m_doc.righe.size(); ++i) {
            const RigaStampa& r = m_doc.righe.at(i);
            const qreal h = prossima;
            if (i + 1 < m_doc.righe.size())
                prossima = altezza(m_doc.righe.at(i + 1));
            if (r.nuovaPagina && !m_paginaVuota)
                nuovaPagina();
            // A group heading never stays alone at the foot of a page.
            qreal serve = h;
            if (r.tipo == RigaStampa::Tipo::Gruppo && i + 1 < m_doc.righe.size())
                serve += prossima;
            if (m_y + serve > m_area.bottom() && !m_paginaVuota)
                nuovaPagina();
            disegna(r, h);
            m_y += h;
            m_paginaVuota = false;
        }
        return m_pagina;
    }

private:
    qreal mm(double v) const { return v * m_dev.logicalDpiY() / 25.4; }
    qreal mmX(double v) const { return v * m_dev.logicalDpiX() / 25.4; }

    QRectF cellaRect(int c, qreal y, qreal h) const
    {
        return QRectF(m_x.at(c) + mmX(kSpazioCellaMm), y + mm(kSpazioRigaMm), m_w.at(c) - 2 * mmX(kSpazioCellaMm),
                      h - 2 * mm(kSpazioRigaMm));
    }

    const QFont& fontCella(int c) const { return m_colonne.font(c); }

    static int allineamento(const ColonnaStampa& c)
    {
        return Qt::TextWordWrap | Qt::AlignTop | (c.destra ? Qt::AlignRight : Qt::AlignLeft);
    }

    // Laying out a cell's text is the costliest step of a page: a column repeats its texts
    // (dates, states, hours) line after line, so each is measured once per report.
    qreal altezzaTesto(int c, const QString& testo)
    {
        Cella& cella = m_celle[c];
        if (testo.isEmpty())
            return cella.metriche.height();
        const auto noto = cella.altezze.constFind(testo);
        if (noto != cella.altezze.cend())
            return *noto;
        const qreal h = std::max(cella.metriche.height(),
                                 cella.metriche.boundingRect(QRectF(0, 0, cella.larghezza, 1e6), cella.allineamento, testo).height());
        cella.altezze.insert(testo, h);
        return h;
    }

    qreal altezza(const RigaStampa& r)
    {
        switch (r.tipo) {
        case RigaStampa::Tipo::Gruppo:
            return m_altezzaGruppo;
        case RigaStampa::Tipo::Totale:
            return m_altezzaTotale;
        case RigaStampa::Tipo::Dettaglio:
            break;
        }
        qreal h = 0;
        for (int c = 0; c < m_doc.colonne.size(); ++c)
            h = std::max(h, altezzaTesto(c, c < r.celle.size() ? r.celle.at(c) : QString()));
        return h + 2 * mm(kSpazioRigaMm);
    }

    void nuovaPagina()
    {
        if (m_pagina > 0)
            m_dev.newPage();
        ++m_pagina;
        m_striscia = false;
        testata();
        m_paginaVuota = true;
    }

    void testata()
    {
        const qreal larghezza = m_area.width();
        qreal sinistra = m_area.left();

        // Logo at the top left, company name beside it, application name at the top right.
        if (!m_logo.isNull()) {
            const qreal h = mm(kAltezzaLogoMm);
            const qreal w = h * m_logo.width() / std::max(1, m_logo.height());
            m_p.drawImage(QRectF(sinistra, 0, w, h), m_logo);
            sinistra += w + mmX(4);
        }
        const QFont azienda = carattere(11, true);
        m_p.setPen(Qt::black);
        m_p.setFont(azienda);
        const qreal hAzienda = QFontMetricsF(azienda, &m_dev).height();
        m_p.drawText(QRectF(sinistra, 0, larghezza * 0.55, hAzienda), Qt::AlignLeft | Qt::AlignVCenter, m_doc.ragioneSociale);
        m_p.setFont(carattere(10));
        m_p.drawText(QRectF(m_area.right() - larghezza * 0.3, 0, larghezza * 0.3, hAzienda), Qt::AlignRight | Qt::AlignVCenter,
                     m_doc.applicazione);

        // Page number, date and time stacked on the right.
        const QFont piccolo = carattere(8);
        const qreal hPiccolo = QFontMetricsF(piccolo, &m_dev).height();
        const qreal larghezzaBlocco = mmX(45);
        const QRectF blocco(m_area.right() - larghezzaBlocco, hAzienda + mm(1), larghezzaBlocco, 3 * hPiccolo);
        m_p.setFont(piccolo);
        const QStringList voci = {QStringLiteral("Pagina: %1").arg(m_pagina),
                                  QStringLiteral("Data: ") + m_doc.stampato.date().toString(QStringLiteral("dd/MM/yyyy")),
                                  QStringLiteral("Ora: ") + m_doc.stampato.time().toString(QStringLiteral("hh:mm"))};
        for (int i = 0; i < voci.size(); ++i)
            m_p.drawText(QRectF(blocco.left(), blocco.top() + i * hPiccolo, blocco.width(), hPiccolo),
                         Qt::AlignRight | Qt::AlignVCenter, voci.at(i));

        // Title (and the selection line under it) centred between the logo and the block.
        const QFont titolo = carattere(14, true);
        const qreal hTitolo = QFontMetricsF(titolo, &m_dev).height();
        const qreal yTitolo = std::max(hAzienda, mm(kAltezzaLogoMm)) + mm(1);
        const QRectF zonaTitolo(m_area.left() + larghezzaBlocco, yTitolo, larghezza - 2 * larghezzaBlocco, hTitolo);
        m_p.setFont(titolo);
        m_p.drawText(zonaTitolo, Qt::AlignCenter, m_doc.titolo);
        qreal y = std::max(zonaTitolo.bottom(), blocco.bottom());
        if (!m_doc.selezione.isEmpty()) {
            const QFont sel = carattere(9, true);
            const qreal hSel = QFontMetricsF(sel, &m_dev).height();
            m_p.setFont(sel);
            m_p.drawText(QRectF(m_area.left() + larghezzaBlocco, zonaTitolo.bottom() + mm(0.5), larghezza - 2 * larghezzaBlocco, hSel),
                         Qt::AlignCenter, m_doc.selezione);
            y = std::max(y, zonaTitolo.bottom() + mm(0.5) + hSel);
        }
        y += mm(1.5);
        m_p.setPen(QPen(kRiga, mm(0.35)));
        m_p.drawLine(QPointF(m_area.left(), y), QPointF(m_area.right(), y));
        y += mm(1);

        // Column titles, repeated on every page.
        const qreal hTitoli = QFontMetricsF(m_grassetto, &m_dev).height() + 2 * mm(kSpazioRigaMm);
        m_p.setFont(m_grassetto);
        m_p.setPen(Qt::black);
        for (int c = 0; c < m_doc.colonne.size(); ++c) {
            const ColonnaStampa& col = m_doc.colonne.at(c);
            m_p.drawText(cellaRect(c, y, hTitoli), (col.destra ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, col.titolo);
        }
        y += hTitoli;
        m_p.setPen(QPen(kRiga, mm(0.2)));
        m_p.drawLine(QPointF(m_area.left(), y), QPointF(m_area.right(), y));
        m_y = y + mm(0.5);
    }

    void disegna(const RigaStampa& r, qreal h)
    {
        const QRectF riga(m_area.left(), m_y, m_area.width(), h);
        switch (r.tipo) {
        case RigaStampa::Tipo::Gruppo: {
            const QRectF banda(riga.left(), riga.top() + mm(1.5), riga.width(), h - mm(1.5));
            m_p.fillRect(banda, kGruppo);
            m_p.setFont(m_gruppo);
            m_p.setPen(Qt::black);
            m_p.drawText(banda.adjusted(mmX(kSpazioCellaMm), 0, -mmX(kSpazioCellaMm), 0), Qt::AlignLeft | Qt::AlignVCenter,
                         r.celle.value(0));
            m_striscia = false;
            break;
        }
        case RigaStampa::Tipo::Dettaglio:
            if (m_striscia)
                m_p.fillRect(riga, kStriscia);
            m_striscia = !m_striscia;
            m_p.setPen(Qt::black);
            for (int c = 0; c < m_doc.colonne.size(); ++c) {
                m_p.setFont(fontCella(c));
                m_p.drawText(cellaRect(c, m_y, h), allineamento(m_doc.colonne.at(c)), r.celle.value(c));
            }
            break;
        case RigaStampa::Tipo::Totale: {
            m_p.setPen(QPen(kRiga, mm(0.25)));
            m_p.drawLine(QPointF(riga.left(), riga.top() + mm(0.5)), QPointF(riga.right(), riga.top() + mm(0.5)));
            m_p.setPen(Qt::black);
            m_p.setFont(m_totale);
            const int coppie = int((r.celle.size() + 1) / 2);
            const qreal w = riga.width() / std::max(1, coppie);
            for (int i = 0; i < coppie; ++i) {
                const QString testo = (r.celle.value(2 * i) + QLatin1Char(' ') + r.celle.value(2 * i + 1)).trimmed();
                m_p.drawText(QRectF(riga.left() + i * w + mmX(kSpazioCellaMm), riga.top() + mm(1), w - 2 * mmX(kSpazioCellaMm), h - mm(1)),
                             Qt::AlignLeft | Qt::AlignVCenter, testo);
            }
            break;
        }
        }
    }

    const DocumentoStampa& m_doc;
    QPagedPaintDevice& m_dev;
    QPainter& m_p;
    QRectF m_area;
    Colonne m_colonne;
    const QList<qreal>& m_x;
    const QList<qreal>& m_w;
    QFont m_grassetto, m_gruppo, m_totale;
    QImage m_logo;
    // A column's body font measured on the device, the room inside its cells, its alignment
    // and the height of each text met so far.
    struct Cella {
        QFontMetricsF metriche;
        qreal larghezza;
        int allineamento;
        QHash<QString, qreal> altezze;
    };
    QList<Cella> m_celle;
    qreal m_altezzaGruppo = 0, m_altezzaTotale = 0;
    int m_pagina = 0;
    qreal m_y = 0;
    bool m_paginaVuota = true;
    bool m_striscia = false;
};

}  // namespace

void PreparaPagina(QPagedPaintDevice& dispositivo, bool orizzontale)
{
    dispositivo.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                          orizzontale ? QPageLayout::Landscape : QPageLayout::Portrait,
                                          QMarginsF(kMargineMm, kMargineMm, kMargineMm, kMargineMm), QPageLayout::Millimeter));
}

int Disegna(const DocumentoStampa& doc, QPagedPaintDevice& dispositivo)
{
    QPainter p;
    if (!p.begin(&dispositivo))
        return 0;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int pagine = Impaginatore(doc, dispositivo, p).esegui();
    p.end();
    return pagine;
}

QStringList TestiTagliati(const DocumentoStampa& doc, const QPagedPaintDevice& dispositivo)
{
    return Colonne(doc, dispositivo, 0, dispositivo.width()).tagliati();
}

int ScriviPdf(const DocumentoStampa& doc, QIODevice& uscita)
{
    QPdfWriter pdf(&uscita);
    pdf.setResolution(300);
    pdf.setTitle(doc.titolo);
    pdf.setCreator(doc.applicazione);
    PreparaPagina(pdf, doc.orizzontale);
    return Disegna(doc, pdf);
}

}  // namespace Stampa
