// Draws the pictures shipped with the application, one set per application name: the main
// window's background (core/risorse/Quorlin.bmp, Zelvano.bmp) and the small logo printed in
// the page header of every report (Quorlin_rptlogo.bmp, Zelvano_rptlogo.bmp). Run it again
// after changing the design and commit the files; the build only embeds them.
//
// Not part of the build. From the repository root:
//   g++ -std=c++20 -fPIC tools/disegna_sfondi.cpp -o /tmp/disegna_sfondi $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/disegna_sfondi core/risorse
//
// The picture is centred on the main window's workspace, which is painted with the colour
// of the picture's corner: the edges are therefore kept flat so that the picture melts into
// the workspace at any window size.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>

namespace {

constexpr int kLarghezza = 640;
constexpr int kAltezza = 480;

const QColor kFondo(0xE3, 0xE9, 0xF0);    // flat edge colour, shared with the workspace
const QColor kLuce(0xF7, 0xF9, 0xFB);     // soft glow behind the emblem
const QColor kTratto(0xA7, 0xB8, 0xCB);   // emblem ring and ticks
const QColor kLancette(0x6F, 0x88, 0xA3); // clock hands
const QColor kAccento(0x3F, 0x7F, 0xB5);  // centre pin and second hand
const QColor kNome(0x4E, 0x63, 0x7C);     // application name

void disegnaEmblema(QPainter& p, QPointF c, qreal r)
{
    // Badge ring: a disc a shade lighter than the glow, a thin outer ring, and a slot at the
    // top as on a punch card holder.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF, 150));
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kTratto, 3.0));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(kTratto, 1.2));
    p.drawEllipse(c, r + 9, r + 9);

    // Hour ticks, longer at the quarters.
    for (int h = 0; h < 12; ++h) {
        const qreal a = qDegreesToRadians(h * 30.0);
        const qreal lung = (h % 3 == 0) ? 14.0 : 7.0;
        const QPointF dir(qSin(a), -qCos(a));
        p.setPen(QPen(kTratto, h % 3 == 0 ? 3.0 : 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + dir * (r - 8), c + dir * (r - 8 - lung));
    }

    // Hands at ten past ten, the classic calm pose.
    const auto lancetta = [&](qreal gradi, qreal lunghezza, qreal spessore, const QColor& col) {
        const qreal a = qDegreesToRadians(gradi);
        p.setPen(QPen(col, spessore, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(qSin(a), -qCos(a)) * lunghezza);
    };
    lancetta(305.0, r * 0.52, 5.0, kLancette);  // hours
    lancetta(60.0, r * 0.74, 3.5, kLancette);   // minutes
    lancetta(180.0, r * 0.78, 1.5, kAccento);   // seconds
    p.setPen(Qt::NoPen);
    p.setBrush(kAccento);
    p.drawEllipse(c, 5.5, 5.5);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 2.0, 2.0);
}

QImage disegna(const QString& nome)
{
    QImage img(kLarghezza, kAltezza, QImage::Format_RGB32);
    img.fill(kFondo);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Glow that fades to the flat colour well before the edges.
    QRadialGradient luce(QPointF(kLarghezza / 2.0, kAltezza / 2.0 - 10), kAltezza * 0.48);
    luce.setColorAt(0.0, kLuce);
    luce.setColorAt(0.55, QColor(0xEE, 0xF2, 0xF6));
    luce.setColorAt(1.0, kFondo);
    p.fillRect(img.rect(), luce);

    const QPointF centro(kLarghezza / 2.0, 182);
    disegnaEmblema(p, centro, 78);

    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(46);
    f.setWeight(QFont::Light);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    p.setFont(f);
    p.setPen(kNome);
    const QRectF riga(0, 290, kLarghezza, 60);
    p.drawText(riga, Qt::AlignCenter, nome);

    // Hairline under the name, fading at both ends.
    QLinearGradient linea(kLarghezza / 2.0 - 150, 0, kLarghezza / 2.0 + 150, 0);
    linea.setColorAt(0.0, QColor(kTratto.red(), kTratto.green(), kTratto.blue(), 0));
    linea.setColorAt(0.5, kTratto);
    linea.setColorAt(1.0, QColor(kTratto.red(), kTratto.green(), kTratto.blue(), 0));
    p.fillRect(QRectF(kLarghezza / 2.0 - 150, 362, 300, 1.5), linea);
    p.end();
    return img;
}

// The report logo: the emblem on white with the name beside it, wide and low so that it sits
// in the page header without pushing the columns down.
QImage disegnaLogo(const QString& nome)
{
    QImage img(360, 120, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    disegnaEmblema(p, QPointF(60, 60), 38);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(40);
    f.setWeight(QFont::Light);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(f);
    p.setPen(kNome);
    p.drawText(QRectF(124, 0, 236, 120), Qt::AlignVCenter | Qt::AlignLeft, nome);
    p.end();
    return img;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString cartella = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("core/risorse");
    QDir().mkpath(cartella);
    for (const QString& nome : {QStringLiteral("Quorlin"), QStringLiteral("Zelvano")}) {
        const QString file = QDir(cartella).filePath(nome + QStringLiteral(".bmp"));
        // 24-bit BMP: the file stays under a megabyte and the soft gradients do not band.
        if (!disegna(nome).convertToFormat(QImage::Format_RGB888).save(file, "BMP")) {
            std::fprintf(stderr, "%s: impossibile scrivere\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
        const QString logo = QDir(cartella).filePath(nome + QStringLiteral("_rptlogo.bmp"));
        if (!disegnaLogo(nome).convertToFormat(QImage::Format_RGB888).save(logo, "BMP")) {
            std::fprintf(stderr, "%s: impossibile scrivere\n", qPrintable(logo));
            return 1;
        }
        std::printf("%s\n", qPrintable(logo));
    }
    return 0;
}
