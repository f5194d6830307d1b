// Draws the toolbar images (normal, hot, disabled; 32 and 64 pixels) and the program icon
// into resources/icons; the PNGs are committed and compiled into the program as resources.
// Given a second folder, it also draws the desktop's icons there as a hicolor tree (SVG and PNG
// sizes): the program and the two job file types, committed under packaging/icons.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgGenerator>

#include <cstdio>
#include <functional>
#include <map>

namespace {

using Draw = std::function<void(QPainter&)>;

const QColor ink(40, 40, 48);

void page(QPainter& p, QColor fill = Qt::white) {
    QPainterPath path;
    path.moveTo(7, 3);
    path.lineTo(20, 3);
    path.lineTo(26, 9);
    path.lineTo(26, 29);
    path.lineTo(7, 29);
    path.closeSubpath();
    p.setPen(QPen(ink, 1.2));
    p.setBrush(fill);
    p.drawPath(path);
    p.setBrush(QColor(220, 220, 228));
    p.drawPolygon(QPolygonF({QPointF(20, 3), QPointF(20, 9), QPointF(26, 9)}));
}

void floppy(QPainter& p, QColor body) {
    p.setPen(QPen(ink, 1.2));
    p.setBrush(body);
    QPainterPath path;
    path.moveTo(4, 4);
    path.lineTo(25, 4);
    path.lineTo(28, 7);
    path.lineTo(28, 28);
    path.lineTo(4, 28);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(235, 238, 245));
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(body.darker(140));
    p.drawRect(QRectF(18, 5.5, 3, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 17, 16, 11));
    p.setPen(QPen(QColor(150, 150, 160), 1));
    for (int y = 20; y <= 26; y += 3)
        p.drawLine(QPointF(10, y), QPointF(22, y));
}

void printer(QPainter& p) {
    p.setPen(QPen(ink, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    QLinearGradient g(0, 12, 0, 24);
    g.setColorAt(0, QColor(190, 195, 205));
    g.setColorAt(1, QColor(120, 125, 140));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 20, 16, 9));
    p.setPen(QPen(QColor(150, 150, 160), 1));
    p.drawLine(QPointF(10, 23.5), QPointF(22, 23.5));
    p.drawLine(QPointF(10, 26.5), QPointF(19, 26.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 80));
    p.drawEllipse(QPointF(25, 16), 1.5, 1.5);
}

void arrow(QPainter& p, bool left, QColor c) {
    QPolygonF poly({QPointF(4, 16), QPointF(15, 5), QPointF(15, 11), QPointF(28, 11),
                    QPointF(28, 21), QPointF(15, 21), QPointF(15, 27)});
    if (!left)
        for (QPointF& pt : poly)
            pt.setX(32 - pt.x());
    QLinearGradient g(0, 5, 0, 27);
    g.setColorAt(0, c.lighter(140));
    g.setColorAt(1, c.darker(120));
    p.setPen(QPen(c.darker(170), 1.2));
    p.setBrush(g);
    p.drawPolygon(poly);
}

void wave(QPainter& p, QRectF r, QColor c, double width) {
    QPainterPath path;
    const int n = 40;
    for (int i = 0; i <= n; ++i) {
        const double t = double(i) / n;
        const double env = t < 0.25 ? 0.0 : std::exp(-(t - 0.25) * 3.0);
        const double y = r.center().y() - std::sin((t - 0.25) * 28.0) * env * r.height() / 2;
        const QPointF pt(r.left() + t * r.width(), y);
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void screen(QPainter& p) {
    p.setPen(QPen(ink, 1.2));
    p.setBrush(QColor(250, 252, 255));
    p.drawRect(QRectF(3, 4, 26, 24));
    p.setPen(QPen(QColor(180, 180, 190), 0.8));
    p.drawLine(QPointF(6, 16), QPointF(27, 16));
    p.drawLine(QPointF(6, 7), QPointF(6, 26));
}

void letterBadge(QPainter& p, QColor c, const QString& letter) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(2, 12, 15, 15), 2, 2);
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(2, 12, 15, 15), Qt::AlignCenter, letter);
}

std::map<QString, Draw> images() {
    std::map<QString, Draw> m;
    m["open"] = [](QPainter& p) {
        p.setPen(QPen(QColor(150, 110, 20), 1.2));
        p.setBrush(QColor(230, 185, 60));
        p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(11, 8), QPointF(13, 10), QPointF(25, 10),
                                 QPointF(25, 27), QPointF(3, 27)}));
        QLinearGradient g(0, 14, 0, 27);
        g.setColorAt(0, QColor(255, 225, 120));
        g.setColorAt(1, QColor(240, 190, 60));
        p.setBrush(g);
        p.drawPolygon(
            QPolygonF({QPointF(7, 14), QPointF(30, 14), QPointF(25, 27), QPointF(3, 27)}));
    };
    m["save"] = [](QPainter& p) { floppy(p, QColor(50, 100, 190)); };
    m["prev"] = [](QPainter& p) { arrow(p, true, QColor(40, 160, 70)); };
    m["next"] = [](QPainter& p) { arrow(p, false, QColor(40, 160, 70)); };
    m["analysis"] = [](QPainter& p) {
        screen(p);
        p.setPen(Qt::NoPen);
        const QColor bars[] = {QColor(70, 130, 210), QColor(230, 140, 40), QColor(70, 170, 90)};
        const double h[] = {8, 13, 6};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(bars[i]);
            p.drawRect(QRectF(9 + i * 6, 26 - h[i], 4, h[i]));
        }
        wave(p, QRectF(6, 6, 22, 9), QColor(210, 40, 40), 1.3);
    };
    m["saveresult"] = [](QPainter& p) {
        floppy(p, QColor(120, 70, 170));
        p.setPen(QPen(QColor(210, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(10, 22), QPointF(14, 26), QPointF(22, 17)}));
    };
    m["word"] = [](QPainter& p) {
        page(p);
        p.setPen(QPen(QColor(150, 160, 190), 1));
        for (int y = 13; y <= 25; y += 3)
            p.drawLine(QPointF(18, y), QPointF(24, y));
        letterBadge(p, QColor(40, 90, 180), "W");
    };
    m["excel"] = [](QPainter& p) {
        page(p);
        p.setPen(QPen(QColor(120, 170, 130), 1));
        for (int y = 12; y <= 27; y += 3)
            p.drawLine(QPointF(17, y), QPointF(25, y));
        p.drawLine(QPointF(21, 12), QPointF(21, 27));
        letterBadge(p, QColor(30, 130, 70), "X");
    };
    m["pdf"] = [](QPainter& p) {
        page(p);
        p.setPen(QPen(QColor(190, 150, 150), 1));
        for (int y = 12; y <= 27; y += 3)
            p.drawLine(QPointF(17, y), QPointF(25, y));
        letterBadge(p, QColor(200, 30, 30), "P");
    };
    m["printsetup"] = [](QPainter& p) {
        printer(p);
        // a small gear
        p.save();
        p.translate(24, 24);
        p.setPen(QPen(QColor(60, 60, 70), 1));
        p.setBrush(QColor(240, 180, 40));
        QPainterPath gear;
        for (int i = 0; i < 16; ++i) {
            const double a = i * M_PI / 8;
            const double r = (i % 2) ? 4.2 : 6.2;
            const QPointF pt(std::cos(a) * r, std::sin(a) * r);
            if (i == 0)
                gear.moveTo(pt);
            else
                gear.lineTo(pt);
        }
        gear.closeSubpath();
        p.drawPath(gear);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), 1.8, 1.8);
        p.restore();
    };
    m["preview"] = [](QPainter& p) {
        page(p);
        p.setPen(QPen(QColor(150, 160, 190), 1));
        for (int y = 8; y <= 14; y += 3)
            p.drawLine(QPointF(10, y), QPointF(18, y));
        p.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 23), QPointF(27, 30));
        p.setPen(QPen(ink, 1.4));
        p.setBrush(QColor(200, 230, 255, 200));
        p.drawEllipse(QPointF(15, 18), 6.5, 6.5);
    };
    m["print"] = [](QPainter& p) { printer(p); };
    m["back"] = [](QPainter& p) {
        screen(p);
        wave(p, QRectF(7, 8, 20, 16), QColor(40, 110, 200), 1.3);
        QPainterPath path;
        path.moveTo(25, 26);
        path.cubicTo(25, 16, 18, 13, 11, 13);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(40, 160, 70), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
        p.setPen(QPen(QColor(40, 160, 70).darker(150), 1));
        p.setBrush(QColor(40, 160, 70));
        p.drawPolygon(QPolygonF({QPointF(4, 13), QPointF(12, 7), QPointF(12, 19)}));
    };
    return m;
}

QImage render(const Draw& draw, int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return img;
}

// Hot: livelier colours, so the button under the mouse stands out.
QImage hot(const QImage& normal) {
    QImage img = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QColor c = img.pixelColor(x, y);
            if (c.alpha() == 0)
                continue;
            float h, s, l, a;
            c.getHslF(&h, &s, &l, &a);
            c.setHslF(h, std::min(1.0f, s * 1.25f), std::min(1.0f, l * 1.08f + 0.03f), a);
            img.setPixelColor(x, y, c);
        }
    return img;
}

// Disabled: flat grey with a light emboss, the look of a greyed toolbar button.
QImage disabled(const QImage& normal) {
    QImage src = normal.convertToFormat(QImage::Format_ARGB32);
    QImage img(src.size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const int shift = std::max(1, src.width() / 32);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QColor c = src.pixelColor(x, y);
            const int a = c.alpha();
            if (a == 0)
                continue;
            const int grey = 110 + qGray(c.rgb()) * 90 / 255;
            if (x + shift < img.width() && y + shift < img.height())
                img.setPixelColor(x + shift, y + shift, QColor(255, 255, 255, a * 3 / 4));
            img.setPixelColor(x, y, QColor(grey, grey, grey + 4, a * 4 / 5));
        }
    return img;
}

void appIcon(QPainter& p) {
    QLinearGradient g(0, 2, 0, 30);
    g.setColorAt(0, QColor(200, 200, 195));
    g.setColorAt(1, QColor(150, 150, 145));
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 6, 28, 20), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 120, 115));
    const QPointF stones[] = {{7, 11}, {13, 21}, {22, 10}, {26, 20}, {17, 14}};
    for (QPointF s : stones)
        p.drawEllipse(s, 1.4, 1.1);
    wave(p, QRectF(3, 9, 26, 14), QColor(220, 40, 40), 1.6);
    p.setPen(QPen(QColor(30, 80, 170), 2));
    p.drawLine(QPointF(2, 16), QPointF(0.5, 16));
}

// A job file: a page with the program's wave across its top. A raw file carries the three test
// points' waveforms; a result file one waveform and the strengths as bars.
void jobFile(QPainter& p, bool result) {
    page(p);
    if (!result) {
        const QColor waves[] = {QColor(210, 40, 40), QColor(40, 110, 200), QColor(40, 150, 70)};
        for (int i = 0; i < 3; ++i)
            wave(p, QRectF(8.5, 9 + i * 6.5, 16, 5.5), waves[i], 1.3);
        return;
    }
    wave(p, QRectF(8.5, 8, 16, 7), QColor(210, 40, 40), 1.3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 150, 70));
    const double h[] = {6, 10, 8};
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(10 + i * 5, 27 - h[i], 3.5, h[i]));
}

// One picture as a hicolor icon: every PNG size and the scalable SVG.
bool desktopIcon(const QDir& root, const QString& context, const QString& name, const Draw& draw) {
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QString("%1x%1/%2").arg(size).arg(context);
        ok &= root.mkpath(folder);
        ok &= render(draw, size).save(root.filePath(folder + "/" + name + ".png"));
    }
    const QString folder = QStringLiteral("scalable/") + context;
    ok &= root.mkpath(folder);
    QSvgGenerator svg;
    svg.setFileName(root.filePath(folder + "/" + name + ".svg"));
    svg.setSize(QSize(32, 32));
    svg.setViewBox(QRectF(0, 0, 32, 32));
    svg.setTitle(name);
    QPainter p;
    ok &= p.begin(&svg);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    ok &= p.end();
    return ok;
}

bool desktopIcons(const QDir& root) {
    return desktopIcon(root, "apps", "tavolin", appIcon) &&
           desktopIcon(root, "mimetypes", "application-x-tavolin-raw",
                       [](QPainter& p) { jobFile(p, false); }) &&
           desktopIcon(root, "mimetypes", "application-x-tavolin-result",
                       [](QPainter& p) { jobFile(p, true); });
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [HICOLOR_FOLDER]\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (const auto& [name, draw] : images()) {
        for (int size : {32, 64}) {
            const QImage normal = render(draw, size);
            const QString suffix = size == 32 ? QString() : QStringLiteral("@2x");
            ok &= normal.save(out.filePath(name + suffix + ".png"));
            ok &= hot(normal).save(out.filePath(name + "-hot" + suffix + ".png"));
            ok &= disabled(normal).save(out.filePath(name + "-disabled" + suffix + ".png"));
        }
    }
    for (int size : {32, 64, 256})
        ok &= render(appIcon, size).save(out.filePath(QString("tavolin-%1.png").arg(size)));
    if (argc > 2)
        ok &= desktopIcons(QDir(QString::fromLocal8Bit(argv[2])));
    return ok ? 0 : 1;
}
