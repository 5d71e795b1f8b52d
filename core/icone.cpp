#include "icone.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

#include <functional>

namespace {

// Every picture is drawn on a 24 × 24 grid and scaled; outlines share one dark ink and
// the fills come from one muted palette, so the toolbar reads as a family.
const QColor kInchiostro(0x2E, 0x3D, 0x4F);
const QColor kBlu(0x3A, 0x78, 0xB5);
const QColor kBluChiaro(0xCF, 0xE0, 0xF2);
const QColor kVerde(0x3F, 0x95, 0x5A);
const QColor kVerdeChiaro(0xD4, 0xEC, 0xD9);
const QColor kRosso(0xC2, 0x4B, 0x45);
const QColor kArancio(0xE0, 0x8E, 0x2B);
const QColor kSabbia(0xF3, 0xE3, 0xC3);
const QColor kLegno(0xB9, 0x85, 0x4E);
const QColor kGrigio(0x8A, 0x97, 0xA6);
const QColor kGrigioChiaro(0xEC, 0xEF, 0xF3);
const QColor kViola(0x72, 0x5B, 0xA8);

constexpr qreal kTratto = 1.5;

QPen penna(const QColor& c = kInchiostro, qreal w = kTratto)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void persona(QPainter& p, QPointF testa, qreal scala, const QColor& colore)
{
    p.setPen(penna(kInchiostro, kTratto * 0.9));
    p.setBrush(colore);
    QPainterPath busto;
    const qreal l = 6.2 * scala, h = 6.0 * scala;
    const QPointF base(testa.x(), testa.y() + 3.2 * scala);
    busto.moveTo(base.x() - l / 2, base.y() + h);
    busto.cubicTo(base.x() - l / 2, base.y() + 1.0 * scala, base.x() - l / 4, base.y(), base.x(), base.y());
    busto.cubicTo(base.x() + l / 4, base.y(), base.x() + l / 2, base.y() + 1.0 * scala, base.x() + l / 2, base.y() + h);
    busto.closeSubpath();
    p.drawPath(busto);
    p.setBrush(kSabbia);
    p.drawEllipse(testa, 2.6 * scala, 2.6 * scala);
}

void freccia(QPainter& p, QPointF da, QPointF a, const QColor& c, qreal w = 2.0)
{
    p.setPen(penna(c, w));
    p.drawLine(da, a);
    const QLineF l(a, da);
    QLineF ala1 = l, ala2 = l;
    ala1.setLength(4.0);
    ala2.setLength(4.0);
    ala1.setAngle(l.angle() + 40);
    ala2.setAngle(l.angle() - 40);
    p.drawLine(ala1);
    p.drawLine(ala2);
}

void esci(QPainter& p)
{
    // An open door with the way out marked.
    p.setPen(penna());
    p.setBrush(kGrigioChiaro);
    p.drawRect(QRectF(3.5, 2.5, 11, 19));
    QPainterPath anta;
    anta.moveTo(3.5, 2.5);
    anta.lineTo(10.5, 5.0);
    anta.lineTo(10.5, 23.0);
    anta.lineTo(3.5, 21.5);
    anta.closeSubpath();
    p.setBrush(kLegno);
    p.drawPath(anta);
    p.setBrush(kInchiostro);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(8.7, 13.0), 0.9, 0.9);
    freccia(p, QPointF(13.0, 12.0), QPointF(21.5, 12.0), kRosso, 2.2);
}

void aiuto(QPainter& p)
{
    p.setPen(penna(kBlu.darker(130)));
    p.setBrush(kBlu);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
    p.setPen(penna(Qt::white, 2.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath q;
    q.moveTo(8.8, 9.3);
    q.cubicTo(8.8, 5.6, 15.4, 5.6, 15.4, 9.3);
    q.cubicTo(15.4, 11.6, 12.1, 11.8, 12.1, 14.6);
    p.drawPath(q);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(12.1, 17.9), 1.45, 1.45);
}

void organico(QPainter& p)
{
    // Organisation chart: one unit above, three below.
    p.setPen(penna(kInchiostro, 1.2));
    p.drawLine(QPointF(12, 8.5), QPointF(12, 12));
    p.drawLine(QPointF(4.5, 12), QPointF(19.5, 12));
    for (qreal x : {4.5, 12.0, 19.5})
        p.drawLine(QPointF(x, 12), QPointF(x, 15));
    p.setPen(penna());
    p.setBrush(kBlu);
    p.drawRoundedRect(QRectF(7.5, 2.5, 9, 6), 1.2, 1.2);
    p.setBrush(kBluChiaro);
    for (qreal x : {1.5, 9.0, 16.5})
        p.drawRoundedRect(QRectF(x, 15, 6, 5.5), 1.0, 1.0);
}

void dipendenti(QPainter& p)
{
    persona(p, QPointF(15.5, 6.5), 1.05, kVerde);
    persona(p, QPointF(8.5, 8.5), 1.25, kBlu);
}

void quadrante(QPainter& p, QPointF c, qreal r)
{
    p.setPen(penna());
    p.setBrush(Qt::white);
    p.drawEllipse(c, r, r);
    p.setPen(penna(kGrigio, 1.0));
    for (int h = 0; h < 12; h += 3) {
        const qreal a = qDegreesToRadians(h * 30.0);
        const QPointF d(qSin(a), -qCos(a));
        p.drawLine(c + d * (r - 1.2), c + d * (r - 2.8));
    }
    p.setPen(penna(kInchiostro, 1.8));
    p.drawLine(c, c + QPointF(0, -r * 0.62));
    p.setPen(penna(kBlu, 1.8));
    p.drawLine(c, c + QPointF(r * 0.5, r * 0.3));
    p.setPen(Qt::NoPen);
    p.setBrush(kRosso);
    p.drawEllipse(c, 1.2, 1.2);
}

void orari(QPainter& p)
{
    quadrante(p, QPointF(12, 12), 9.5);
}

void turni(QPainter& p)
{
    // Two arrows chasing each other round a circle: the weekly rotation.
    const QRectF r(4, 4, 16, 16);
    for (int n = 0; n < 2; ++n) {
        const QColor c = n == 0 ? kVerde : kBlu;
        p.setPen(penna(c, 2.4));
        p.setBrush(Qt::NoBrush);
        const int inizio = n == 0 ? 30 : 210;
        p.drawArc(r, inizio * 16, 130 * 16);
        const qreal fine = qDegreesToRadians(qreal(inizio + 130));
        const QPointF punta(12 + 8 * qCos(fine), 12 - 8 * qSin(fine));
        const QPointF tang(-qSin(fine), -qCos(fine));  // direction of travel (counter-clockwise)
        const QPointF norm(qCos(fine), -qSin(fine));
        QPolygonF t;
        t << punta + tang * 4.6 << punta + norm * 3.6 - tang * 0.6 << punta - norm * 3.6 - tang * 0.6;
        p.setPen(penna(c, 1.0));
        p.setBrush(c);
        p.drawPolygon(t);
    }
}

void calendario(QPainter& p)
{
    p.setPen(penna());
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(3, 4.5, 18, 16.5), 1.5, 1.5);
    p.setBrush(kRosso);
    QPainterPath testa;
    testa.addRoundedRect(QRectF(3, 4.5, 18, 5), 1.5, 1.5);
    p.drawPath(testa);
    p.setPen(penna(kInchiostro, 1.8));
    p.drawLine(QPointF(7.5, 2.5), QPointF(7.5, 6.5));
    p.drawLine(QPointF(16.5, 2.5), QPointF(16.5, 6.5));
    p.setPen(Qt::NoPen);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            p.setBrush(r == 1 && c == 2 ? kArancio : kGrigio);
            p.drawRect(QRectF(5.3 + c * 3.6, 11.3 + r * 3.1, 2.2, 1.9));
        }
}

void piano(QPainter& p)
{
    // A work-plan sheet: header row, day rows, a few days already marked.
    p.setPen(penna());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 3.5, 19, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlu);
    p.drawRect(QRectF(3.2, 4.2, 17.6, 3.3));
    p.setBrush(kVerdeChiaro);
    p.drawRect(QRectF(8.6, 11.3, 5.8, 3.0));
    p.setBrush(kSabbia);
    p.drawRect(QRectF(14.4, 14.3, 6.4, 3.0));
    p.setPen(penna(kGrigio, 0.9));
    for (qreal y : {11.2, 14.3, 17.4})
        p.drawLine(QPointF(3, y), QPointF(21, y));
    for (qreal x : {8.5, 14.5})
        p.drawLine(QPointF(x, 7.5), QPointF(x, 20.5));
}

void note(QPainter& p)
{
    p.setPen(penna());
    p.setBrush(kSabbia.lighter(108));
    p.drawRect(QRectF(4, 3, 13, 18));
    p.setPen(penna(kGrigio, 1.0));
    for (qreal y : {7.5, 10.5, 13.5, 16.5})
        p.drawLine(QPointF(6.5, y), QPointF(14.5, y));
    // Pencil across the corner.
    p.save();
    p.translate(17.5, 13.5);
    p.rotate(40);
    p.setPen(penna(kInchiostro, 1.1));
    p.setBrush(kArancio);
    p.drawRect(QRectF(-1.6, -7.0, 3.2, 10.0));
    QPolygonF punta;
    punta << QPointF(-1.6, 3.0) << QPointF(1.6, 3.0) << QPointF(0, 6.2);
    p.setBrush(kSabbia);
    p.drawPolygon(punta);
    p.restore();
}

void presenti(QPainter& p)
{
    persona(p, QPointF(9, 7), 1.25, kBlu);
    // Green tick: present; the small red bar: absent.
    p.setPen(penna(Qt::white, 1.0));
    p.setBrush(kVerde);
    p.drawEllipse(QPointF(17.5, 7.5), 4.6, 4.6);
    p.setPen(penna(Qt::white, 1.8));
    p.drawPolyline(QPolygonF{QPointF(15.3, 7.7), QPointF(17.0, 9.4), QPointF(19.9, 5.9)});
    p.setPen(penna(Qt::white, 1.0));
    p.setBrush(kRosso);
    p.drawEllipse(QPointF(17.5, 17.5), 4.0, 4.0);
    p.setPen(penna(Qt::white, 1.8));
    p.drawLine(QPointF(15.6, 17.5), QPointF(19.4, 17.5));
}

void acquisizione(QPainter& p)
{
    // A badge terminal with its display, and the punches flowing down out of it.
    p.setPen(penna());
    p.setBrush(kGrigioChiaro);
    p.drawRoundedRect(QRectF(5, 1.5, 14, 12.5), 1.6, 1.6);
    p.setBrush(kVerdeChiaro);
    p.drawRect(QRectF(7.5, 3.8, 9, 3.6));
    p.setPen(Qt::NoPen);
    p.setBrush(kGrigio);
    for (int c = 0; c < 3; ++c)
        p.drawEllipse(QPointF(9 + c * 3, 10.6), 0.95, 0.95);
    freccia(p, QPointF(12, 12.5), QPointF(12, 20.0), kBlu, 2.2);
    p.setPen(penna(kInchiostro, 1.6));
    p.drawPolyline(QPolygonF{QPointF(4.5, 18.5), QPointF(4.5, 22), QPointF(19.5, 22), QPointF(19.5, 18.5)});
}

void impostazioni(QPainter& p)
{
    QPainterPath ingranaggio;
    const QPointF c(12, 12);
    const int denti = 8;
    for (int n = 0; n < denti * 2; ++n) {
        const qreal r = (n % 2 == 0) ? 10.0 : 7.6;
        const qreal a0 = qDegreesToRadians(n * 180.0 / denti - 180.0 / denti / 2 + 4);
        const qreal a1 = qDegreesToRadians((n + 1) * 180.0 / denti - 180.0 / denti / 2 - 4);
        const QPointF p0 = c + QPointF(qCos(a0), qSin(a0)) * r;
        const QPointF p1 = c + QPointF(qCos(a1), qSin(a1)) * r;
        if (n == 0)
            ingranaggio.moveTo(p0);
        else
            ingranaggio.lineTo(p0);
        ingranaggio.lineTo(p1);
    }
    ingranaggio.closeSubpath();
    ingranaggio.addEllipse(c, 3.2, 3.2);
    ingranaggio.setFillRule(Qt::OddEvenFill);
    p.setPen(penna());
    p.setBrush(kGrigio);
    p.drawPath(ingranaggio);
}

void lingua(QPainter& p)
{
    // A flag on its pole.
    p.setPen(penna(kInchiostro, 1.8));
    p.drawLine(QPointF(4.5, 2.5), QPointF(4.5, 22));
    const QRectF bandiera(5.3, 4, 15.5, 10.5);
    const qreal terzo = bandiera.width() / 3;
    p.setPen(Qt::NoPen);
    p.setBrush(kVerde);
    p.drawRect(QRectF(bandiera.left(), bandiera.top(), terzo, bandiera.height()));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(bandiera.left() + terzo, bandiera.top(), terzo, bandiera.height()));
    p.setBrush(kRosso);
    p.drawRect(QRectF(bandiera.left() + 2 * terzo, bandiera.top(), terzo, bandiera.height()));
    p.setPen(penna(kInchiostro, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bandiera);
}

void gallone(QPainter& p, bool su)
{
    p.setPen(penna(kInchiostro, 2.2));
    p.setBrush(Qt::NoBrush);
    const qreal y0 = su ? 15.0 : 9.0, y1 = su ? 9.0 : 15.0;
    p.drawPolyline(QPolygonF{QPointF(6, y0), QPointF(12, y1), QPointF(18, y0)});
}

void modifica(QPainter& p)
{
    p.save();
    p.translate(12, 12);
    p.rotate(45);
    p.setPen(penna());
    p.setBrush(kArancio);
    p.drawRect(QRectF(-2.6, -10, 5.2, 14));
    p.setBrush(kRosso);
    p.drawRect(QRectF(-2.6, -10, 5.2, 3));
    QPolygonF punta;
    punta << QPointF(-2.6, 4) << QPointF(2.6, 4) << QPointF(0, 9);
    p.setBrush(kSabbia);
    p.drawPolygon(punta);
    p.restore();
}

void conferma(QPainter& p)
{
    p.setPen(penna(kVerde, 3.2));
    p.drawPolyline(QPolygonF{QPointF(4.5, 12.5), QPointF(9.8, 17.8), QPointF(19.5, 6.5)});
}

void annulla(QPainter& p)
{
    p.setPen(penna(kRosso, 3.0));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
}

void indietro(QPainter& p)
{
    freccia(p, QPointF(19, 12), QPointF(5, 12), kBlu, 2.6);
}

void avanti(QPainter& p)
{
    freccia(p, QPointF(5, 12), QPointF(19, 12), kBlu, 2.6);
}

void sommario(QPainter& p)
{
    // An open book.
    p.setPen(penna());
    p.setBrush(Qt::white);
    QPainterPath sx, dx;
    sx.moveTo(12, 6);
    sx.cubicTo(9, 4, 5, 4, 2.5, 5);
    sx.lineTo(2.5, 19);
    sx.cubicTo(5, 18, 9, 18, 12, 20);
    sx.closeSubpath();
    dx.moveTo(12, 6);
    dx.cubicTo(15, 4, 19, 4, 21.5, 5);
    dx.lineTo(21.5, 19);
    dx.cubicTo(19, 18, 15, 18, 12, 20);
    dx.closeSubpath();
    p.drawPath(sx);
    p.setBrush(kBluChiaro);
    p.drawPath(dx);
    p.setPen(penna(kGrigio, 0.9));
    for (qreal y : {9.0, 12.0, 15.0}) {
        p.drawLine(QPointF(5, y), QPointF(10, y + 0.5));
        p.drawLine(QPointF(14, y + 0.5), QPointF(19, y));
    }
}

void applicazione(QPainter& p)
{
    // The badge with a clock: the application's own mark.
    p.setPen(penna());
    p.setBrush(kBlu);
    p.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 4, 4);
    quadrante(p, QPointF(12, 12), 7.0);
}

void stampa(QPainter& p)
{
    // Printer: a sheet going in at the top, the body, and the printed sheet coming out.
    p.setPen(penna());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3, 10, 6));
    p.setBrush(kGrigio);
    p.drawRoundedRect(QRectF(3, 8.5, 18, 8.5), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 14, 10, 7));
    p.setPen(penna(kBlu, 1.0));
    p.drawLine(QPointF(9, 16.5), QPointF(15, 16.5));
    p.drawLine(QPointF(9, 18.5), QPointF(13.5, 18.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kVerde);
    p.drawEllipse(QPointF(18, 11), 1.0, 1.0);
}

void seleziona(QPainter& p)
{
    // A funnel: from everybody to the people looked for.
    p.setPen(penna());
    p.setBrush(kBluChiaro);
    QPainterPath imbuto;
    imbuto.moveTo(3, 4);
    imbuto.lineTo(21, 4);
    imbuto.lineTo(14, 12.5);
    imbuto.lineTo(14, 19);
    imbuto.lineTo(10, 21);
    imbuto.lineTo(10, 12.5);
    imbuto.closeSubpath();
    p.drawPath(imbuto);
    p.setPen(penna(kBlu, 1.2));
    p.drawLine(QPointF(6.5, 7), QPointF(17.5, 7));
}

void importa(QPainter& p)
{
    // A sheet of rows and columns with an arrow taking it in.
    p.setPen(penna());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 3.5, 12.5, 17));
    p.setPen(penna(kVerde, 1.0));
    for (qreal y : {7.5, 11.5, 15.5})
        p.drawLine(QPointF(8.5, y), QPointF(21, y));
    p.drawLine(QPointF(13, 3.5), QPointF(13, 20.5));
    freccia(p, QPointF(2.5, 12), QPointF(11, 12), kBlu);
}

void salva(QPainter& p)
{
    // A sheet with a folded corner and an arrow going into it.
    p.setPen(penna());
    p.setBrush(Qt::white);
    QPainterPath foglio;
    foglio.moveTo(5, 3);
    foglio.lineTo(14, 3);
    foglio.lineTo(19, 8);
    foglio.lineTo(19, 21);
    foglio.lineTo(5, 21);
    foglio.closeSubpath();
    p.drawPath(foglio);
    p.drawLine(QPointF(14, 3), QPointF(14, 8));
    p.drawLine(QPointF(14, 8), QPointF(19, 8));
    freccia(p, QPointF(12, 8), QPointF(12, 18), kBlu);
}

void scheda(QPainter& p, bool piu)
{
    // A record card, with a plus to add one or a cross to take it away.
    p.setPen(penna());
    p.setBrush(kGrigioChiaro);
    p.drawRoundedRect(QRectF(4, 2.5, 13, 17), 1.5, 1.5);
    p.drawLine(QPointF(7, 7), QPointF(14, 7));
    p.drawLine(QPointF(7, 10.5), QPointF(12, 10.5));
    p.setPen(QPen(piu ? kVerde : kRosso, 2.8, Qt::SolidLine, Qt::RoundCap));
    if (piu) {
        p.drawLine(QPointF(17, 13), QPointF(17, 21.5));
        p.drawLine(QPointF(12.75, 17.25), QPointF(21.25, 17.25));
    } else {
        p.drawLine(QPointF(13.5, 13.5), QPointF(20.5, 20.5));
        p.drawLine(QPointF(20.5, 13.5), QPointF(13.5, 20.5));
    }
}

using Disegno = std::function<void(QPainter&)>;

const QHash<QString, Disegno>& disegni()
{
    static const QHash<QString, Disegno> h{
        {QStringLiteral("esci"), esci},
        {QStringLiteral("aiuto"), aiuto},
        {QStringLiteral("organico"), organico},
        {QStringLiteral("dipendenti"), dipendenti},
        {QStringLiteral("orari"), orari},
        {QStringLiteral("turni"), turni},
        {QStringLiteral("calendario"), calendario},
        {QStringLiteral("piano"), piano},
        {QStringLiteral("note"), note},
        {QStringLiteral("presenti"), presenti},
        {QStringLiteral("acquisizione"), acquisizione},
        {QStringLiteral("impostazioni"), impostazioni},
        {QStringLiteral("lingua"), lingua},
        {QStringLiteral("mostra"), [](QPainter& p) { gallone(p, false); }},
        {QStringLiteral("nascondi"), [](QPainter& p) { gallone(p, true); }},
        {QStringLiteral("inserisci"), [](QPainter& p) { scheda(p, true); }},
        {QStringLiteral("modifica"), modifica},
        {QStringLiteral("cancella"), [](QPainter& p) { scheda(p, false); }},
        {QStringLiteral("conferma"), conferma},
        {QStringLiteral("annulla"), annulla},
        {QStringLiteral("indietro"), indietro},
        {QStringLiteral("avanti"), avanti},
        {QStringLiteral("sommario"), sommario},
        {QStringLiteral("applicazione"), applicazione},
        {QStringLiteral("stampa"), stampa},
        {QStringLiteral("salva"), salva},
        {QStringLiteral("seleziona"), seleziona},
        {QStringLiteral("importa"), importa},
    };
    return h;
}

QPixmap disegna(const Disegno& d, int lato)
{
    QPixmap pm(lato, lato);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lato / 24.0, lato / 24.0);
    d(p);
    return pm;
}

QHash<QString, QIcon>& cacheIcone()
{
    static QHash<QString, QIcon> cache;
    static const bool registrata = [] {
        // Pixmaps must go before the application object does.
        qAddPostRoutine([] { cacheIcone().clear(); });
        return true;
    }();
    Q_UNUSED(registrata);
    return cache;
}

}  // namespace

QIcon IconaComando(const QString& nome)
{
    QHash<QString, QIcon>& cache = cacheIcone();
    const auto trovata = cache.constFind(nome);
    if (trovata != cache.constEnd())
        return *trovata;
    const auto d = disegni().constFind(nome);
    if (d == disegni().constEnd())
        return {};
    QIcon icona;
    // The disabled look is derived by the style from the normal pixmaps.
    for (int lato : {16, 20, 24, 32, 48, 64})
        icona.addPixmap(disegna(*d, lato));
    cache.insert(nome, icona);
    return icona;
}

QStringList NomiIcone()
{
    QStringList l = disegni().keys();
    l.sort();
    return l;
}
