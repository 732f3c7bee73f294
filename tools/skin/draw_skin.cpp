// vondrel-draw-skin OUTDIR
// vondrel-draw-skin --icons OUTDIR
//
// Draws every picture of the main window's skin (panels, buttons, dividers, gauges, marks,
// job icons, logo, program icon and splash) and writes them as PNG files into OUTDIR. The
// pictures in src/resources/pictures/ are this program's output; change the drawing here and
// run it again instead of editing the PNG files by hand.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Palette

const QColor kNavy(7, 0, 128);           // the window's background
const QColor kDeepShadow(2, 0, 46);      // outer edge of every raised piece
const QColor kRimTop(150, 222, 255);     // light-blue rim, lit side
const QColor kRimBottom(50, 118, 225);   // light-blue rim, shaded side
const QColor kCyan(96, 214, 255);        // glow of lines and lit pips
const QColor kWarm(244, 245, 170);       // hover glow, same as the hover caption
const QColor kMaskColour(255, 0, 255);   // transparent colour of the job icons
const QColor kJobBackdrop(14, 14, 104);  // what the job icons' soft edges are blended onto

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

// ---------------------------------------------------------------------------------------------
// Canvas, fonts and small helpers

QImage canvas(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

QString sansFamily() {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* name : {"Liberation Sans", "Arial", "DejaVu Sans"}) {
            if (families.contains(QString::fromLatin1(name))) {
                return QString::fromLatin1(name);
            }
        }
        return QStringLiteral("Sans Serif");
    }();
    return family;
}

QFont sansFont(int pixelSize, bool bold, bool italic) {
    QFont f(sansFamily());
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// The outline of `text`, scaled (aspect kept) and centred to fit `box`.
QPainterPath textPath(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    const qreal s = std::min(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(s, s);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(path);
}

// Separable box blur, three passes (close to a Gaussian); outside the image counts as empty.
QImage blurred(const QImage& src, int radius) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius < 1) {
        return img;
    }
    const int w = img.width();
    const int h = img.height();
    std::vector<float> buf(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            float* px = &buf[(static_cast<size_t>(y) * w + x) * 4];
            px[0] = qRed(line[x]);
            px[1] = qGreen(line[x]);
            px[2] = qBlue(line[x]);
            px[3] = qAlpha(line[x]);
        }
    }
    std::vector<float> out(buf.size());
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    auto pass = [&](bool horizontal) {
        const int len = horizontal ? w : h;
        const int lines = horizontal ? h : w;
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> size_t {
                const int x = horizontal ? i : l;
                const int y = horizontal ? l : i;
                return (static_cast<size_t>(y) * w + x) * 4;
            };
            for (int c = 0; c < 4; ++c) {
                float sum = 0;
                for (int k = 0; k <= radius && k < len; ++k) {
                    sum += buf[at(k) + c];
                }
                for (int i = 0; i < len; ++i) {
                    out[at(i) + c] = sum * norm;
                    if (i + radius + 1 < len) {
                        sum += buf[at(i + radius + 1) + c];
                    }
                    if (i - radius >= 0) {
                        sum -= buf[at(i - radius) + c];
                    }
                }
            }
        }
        buf.swap(out);
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float* px = &buf[(static_cast<size_t>(y) * w + x) * 4];
            auto clamp = [](float v) { return std::clamp(static_cast<int>(v + 0.5f), 0, 255); };
            const int a = clamp(px[3]);
            line[x] = qRgba(std::min(clamp(px[0]), a), std::min(clamp(px[1]), a),
                            std::min(clamp(px[2]), a), a);
        }
    }
    return img;
}

// A soft glow: `shape` is painted with `paint` on a layer of the painter's size, blurred,
// and laid under whatever is drawn next.
void glow(QPainter& p, int radius, const std::function<void(QPainter&)>& paint) {
    QImage layer = canvas(p.device()->width(), p.device()->height());
    {
        QPainter lp(&layer);
        prepare(lp);
        lp.setTransform(p.transform());
        paint(lp);
    }
    layer = blurred(layer, radius);
    p.save();
    p.resetTransform();
    p.drawImage(0, 0, layer);
    p.restore();
}

QPainterPath roundedRect(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QLinearGradient vertical(const QRectF& r) {
    return QLinearGradient(r.topLeft(), r.bottomLeft());
}

// ---------------------------------------------------------------------------------------------
// Shapes

// Head and shoulders; `head` is the centre of the head, `s` its radius. The body is cut off
// at `bottom`, by default just under the shoulders.
QPainterPath personPath(QPointF head, qreal s, qreal bottom = -1) {
    QPainterPath path;
    path.addEllipse(head, s, s);
    const QRectF body(head.x() - 1.85 * s, head.y() + 1.3 * s, 3.7 * s, 3.6 * s);
    if (bottom < 0) {
        bottom = head.y() + 3.3 * s;
    }
    QPainterPath b;
    b.moveTo(body.left(), body.center().y());
    b.arcTo(body, 180, -180);
    b.lineTo(body.right(), bottom);
    b.lineTo(body.left(), bottom);
    b.closeSubpath();
    return path.united(b);
}

QPainterPath heartPath(const QRectF& r) {
    auto pt = [&r](qreal x, qreal y) {
        return QPointF(r.x() + x * r.width(), r.y() + y * r.height());
    };
    QPainterPath path;
    path.moveTo(pt(0.5, 0.22));
    path.cubicTo(pt(0.5, 0.08), pt(0.38, 0.0), pt(0.26, 0.0));
    path.cubicTo(pt(0.08, 0.0), pt(0.0, 0.16), pt(0.0, 0.3));
    path.cubicTo(pt(0.0, 0.58), pt(0.3, 0.76), pt(0.5, 1.0));
    path.cubicTo(pt(0.7, 0.76), pt(1.0, 0.58), pt(1.0, 0.3));
    path.cubicTo(pt(1.0, 0.16), pt(0.92, 0.0), pt(0.74, 0.0));
    path.cubicTo(pt(0.62, 0.0), pt(0.5, 0.08), pt(0.5, 0.22));
    path.closeSubpath();
    return path;
}

QPainterPath starPath(QPointF c, qreal outer, qreal inner, int points = 5, qreal turn = -90) {
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const qreal r = (i % 2 == 0) ? outer : inner;
        const qreal a = qDegreesToRadians(turn + i * 180.0 / points);
        const QPointF q(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0) {
            path.moveTo(q);
        } else {
            path.lineTo(q);
        }
    }
    path.closeSubpath();
    return path;
}

// An upward arrow whose tip is at `tip`, `w` wide and `h` tall.
QPainterPath upArrowPath(QPointF tip, qreal w, qreal h) {
    const qreal headH = h * 0.55;
    const qreal stem = w * 0.38;
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip.x() + w / 2, tip.y() + headH);
    path.lineTo(tip.x() + stem / 2, tip.y() + headH);
    path.lineTo(tip.x() + stem / 2, tip.y() + h);
    path.lineTo(tip.x() - stem / 2, tip.y() + h);
    path.lineTo(tip.x() - stem / 2, tip.y() + headH);
    path.lineTo(tip.x() - w / 2, tip.y() + headH);
    path.closeSubpath();
    return path;
}

QPainterPath ghostPath(const QRectF& r) {
    const qreal w = r.width();
    const qreal h = r.height();
    QPainterPath path;
    path.moveTo(r.left(), r.top() + w / 2);
    path.arcTo(QRectF(r.left(), r.top(), w, w), 180, -180);
    path.lineTo(r.right(), r.bottom());
    // Three scallops along the hem.
    const qreal step = w / 3;
    for (int i = 0; i < 3; ++i) {
        const qreal x0 = r.right() - i * step;
        path.quadTo(QPointF(x0 - step / 2, r.bottom() - h * 0.22), QPointF(x0 - step, r.bottom()));
    }
    path.closeSubpath();
    QPainterPath eyes;
    eyes.addEllipse(QPointF(r.left() + w * 0.33, r.top() + w * 0.48), w * 0.11, w * 0.15);
    eyes.addEllipse(QPointF(r.left() + w * 0.67, r.top() + w * 0.48), w * 0.11, w * 0.15);
    return path.subtracted(eyes);
}

// ---------------------------------------------------------------------------------------------
// Panels

enum class PanelLook { Lively, Calm };

void drawPanel(QPainter& p, const QRectF& r, qreal radius, PanelLook look) {
    const bool calm = look == PanelLook::Calm;
    // Dark outer edge, then the body.
    p.setPen(Qt::NoPen);
    p.setBrush(kDeepShadow);
    p.drawPath(roundedRect(r, radius));

    const QRectF body = r.adjusted(1, 1, -1, -1);
    QLinearGradient g = vertical(body);
    g.setColorAt(0.0, calm ? QColor(24, 30, 150) : QColor(30, 42, 170));
    g.setColorAt(0.45, calm ? QColor(15, 16, 118) : QColor(16, 20, 124));
    g.setColorAt(1.0, calm ? QColor(11, 9, 100) : QColor(10, 8, 96));
    p.setBrush(g);
    p.drawPath(roundedRect(body, radius - 1));

    // A soft diagonal sheen from the upper left.
    QLinearGradient sheen(body.topLeft(),
                          body.topLeft() + QPointF(body.height() * 0.9, body.height() * 0.9));
    if (calm) {
        sheen.setFinalStop(body.topLeft() + QPointF(60, 60));
    }
    sheen.setColorAt(0.0, QColor(160, 210, 255, calm ? 26 : 40));
    sheen.setColorAt(1.0, QColor(160, 210, 255, 0));
    p.setBrush(sheen);
    p.drawPath(roundedRect(body, radius - 1));

    // Light-blue rim, brighter on top.
    QLinearGradient rim = vertical(body);
    rim.setColorAt(0.0, withAlpha(kRimTop, 235));
    rim.setColorAt(1.0, withAlpha(kRimBottom, 170));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawPath(roundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5));

    // Inner bevel: a highlight under the top rim and a shadow over the bottom one.
    p.setPen(QPen(QColor(255, 255, 255, calm ? 34 : 50), 1.0));
    p.drawLine(QPointF(body.left() + radius, body.top() + 1.5),
               QPointF(body.right() - radius, body.top() + 1.5));
    p.setPen(QPen(QColor(0, 0, 20, 90), 1.0));
    p.drawLine(QPointF(body.left() + radius, body.bottom() - 1.5),
               QPointF(body.right() - radius, body.bottom() - 1.5));
}

// Small lit studs at both ends of a narrow panel or button.
void drawStuds(QPainter& p, const QRectF& r, bool warm = false) {
    for (qreal x : {r.left() + 6.5, r.right() - 6.5}) {
        const QPointF c(x, r.center().y());
        QRadialGradient g(c, 2.6, c - QPointF(0.6, 0.6));
        g.setColorAt(0.0, warm ? QColor(255, 255, 240) : QColor(230, 248, 255));
        g.setColorAt(0.5, warm ? kWarm : kCyan);
        g.setColorAt(1.0, warm ? QColor(170, 150, 60) : QColor(30, 80, 190));
        p.setPen(QPen(kDeepShadow, 0.8));
        p.setBrush(g);
        p.drawEllipse(c, 2.1, 2.1);
    }
}

QImage pickerPanel() {
    QImage img = canvas(219, 37);
    QPainter p(&img);
    prepare(p);
    drawPanel(p, QRectF(0, 0, 219, 37), 7, PanelLook::Lively);
    drawStuds(p, QRectF(0, 0, 219, 37));
    return img;
}

QImage attributesPanel() {
    QImage img = canvas(164, 214);
    QPainter p(&img);
    prepare(p);
    drawPanel(p, QRectF(0, 0, 164, 214), 8, PanelLook::Calm);
    return img;
}

QImage jobPanel() {
    QImage img = canvas(171, 37);
    QPainter p(&img);
    prepare(p);
    drawPanel(p, QRectF(0, 0, 171, 37), 7, PanelLook::Lively);
    drawStuds(p, QRectF(0, 0, 171, 37));
    return img;
}

// ---------------------------------------------------------------------------------------------
// Button faces

enum class Face { Normal, Hover, Pressed };

void drawFace(QPainter& p, const QRectF& r, qreal radius, Face face) {
    const QPainterPath outer = roundedRect(r, radius);
    const QRectF bodyRect = r.adjusted(1, 1, -1, -1);
    const QPainterPath body = roundedRect(bodyRect, radius - 1);

    p.setPen(Qt::NoPen);
    p.setBrush(kDeepShadow);
    p.drawPath(outer);

    // Body: light at the top, mid-tone in the middle where the caption sits.
    QLinearGradient g = vertical(bodyRect);
    switch (face) {
        case Face::Normal:
            g.setColorAt(0.0, QColor(58, 92, 214));
            g.setColorAt(0.48, QColor(22, 32, 146));
            g.setColorAt(0.8, QColor(18, 24, 128));
            g.setColorAt(1.0, QColor(34, 58, 176));
            break;
        case Face::Hover:
            g.setColorAt(0.0, QColor(82, 116, 236));
            g.setColorAt(0.48, QColor(28, 40, 164));
            g.setColorAt(0.8, QColor(24, 32, 146));
            g.setColorAt(1.0, QColor(62, 82, 196));
            break;
        case Face::Pressed:
            g.setColorAt(0.0, QColor(6, 6, 62));
            g.setColorAt(0.5, QColor(14, 18, 104));
            g.setColorAt(1.0, QColor(30, 44, 150));
            break;
    }
    p.setBrush(g);
    p.drawPath(body);

    p.save();
    p.setClipPath(body);
    if (face == Face::Hover) {
        // Warm glow creeping in from the rim.
        glow(p, 2, [&](QPainter& lp) {
            lp.setPen(QPen(withAlpha(kWarm, 150), 3.0));
            lp.setBrush(Qt::NoBrush);
            lp.drawPath(roundedRect(bodyRect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 1));
        });
        // A faint warm light pooling under the face.
        QRadialGradient pool(QPointF(bodyRect.center().x(), bodyRect.bottom() + 2),
                             bodyRect.width() * 0.45);
        pool.setColorAt(0.0, withAlpha(kWarm, 60));
        pool.setColorAt(1.0, withAlpha(kWarm, 0));
        p.setBrush(pool);
        p.setPen(Qt::NoPen);
        p.drawRect(bodyRect);
    }
    if (face == Face::Pressed) {
        // Inset: shadow falling from the top edge.
        QLinearGradient inset(bodyRect.topLeft(), bodyRect.topLeft() + QPointF(0, 6));
        inset.setColorAt(0.0, QColor(0, 0, 10, 170));
        inset.setColorAt(1.0, QColor(0, 0, 10, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(inset);
        p.drawRect(bodyRect);
        // Light bounced onto the lower edge.
        QLinearGradient bounce(bodyRect.bottomLeft() - QPointF(0, 7), bodyRect.bottomLeft());
        bounce.setColorAt(0.0, withAlpha(kWarm, 0));
        bounce.setColorAt(1.0, withAlpha(kWarm, 46));
        p.setBrush(bounce);
        p.drawRect(bodyRect);
    } else {
        // Glossy highlight over the upper part.
        const QRectF glossRect(bodyRect.left() + 2, bodyRect.top() + 1.2, bodyRect.width() - 4,
                               bodyRect.height() * 0.4);
        QLinearGradient gloss = vertical(glossRect);
        gloss.setColorAt(0.0, QColor(255, 255, 255, face == Face::Hover ? 112 : 100));
        gloss.setColorAt(1.0, QColor(255, 255, 255, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(gloss);
        p.drawPath(roundedRect(glossRect, std::max<qreal>(radius - 2, 1)));
        // Cyan reflection along the bottom.
        const QPointF foot(bodyRect.center().x(), bodyRect.bottom());
        QRadialGradient refl(foot, bodyRect.width() * 0.5);
        refl.setColorAt(0.0, QColor(120, 220, 255, face == Face::Hover ? 40 : 80));
        refl.setColorAt(1.0, QColor(120, 220, 255, 0));
        QBrush reflBrush(refl);
        // Squashed into a flat ellipse resting on the bottom edge.
        reflBrush.setTransform(QTransform()
                                   .translate(foot.x(), foot.y())
                                   .scale(1.0, bodyRect.height() * 0.32 / (bodyRect.width() * 0.5))
                                   .translate(-foot.x(), -foot.y()));
        p.setBrush(reflBrush);
        p.drawRect(bodyRect);
    }
    p.restore();

    // Rim.
    QLinearGradient rim = vertical(bodyRect);
    switch (face) {
        case Face::Normal:
            rim.setColorAt(0.0, withAlpha(kRimTop, 240));
            rim.setColorAt(1.0, withAlpha(kRimBottom, 200));
            break;
        case Face::Hover:
            rim.setColorAt(0.0, QColor(255, 255, 220, 250));
            rim.setColorAt(1.0, withAlpha(kWarm, 220));
            break;
        case Face::Pressed:
            rim.setColorAt(0.0, QColor(120, 120, 90, 200));
            rim.setColorAt(1.0, withAlpha(kWarm, 210));
            break;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawPath(roundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5));
}

QImage bottomButton(Face face) {
    QImage img = canvas(107, 43);
    QPainter p(&img);
    prepare(p);
    drawFace(p, QRectF(0, 0, 107, 43), 9, face);
    drawStuds(p, QRectF(0, face == Face::Pressed ? 0.5 : 0, 107, 43), face != Face::Normal);
    return img;
}

QImage ghostButton(Face face) {
    QImage img = canvas(74, 31);
    QPainter p(&img);
    prepare(p);
    drawFace(p, QRectF(0, 0, 74, 31), 7, face);
    const QRectF g(62.5, 8.5, 8, 14);
    const QPainterPath ghost = ghostPath(g);
    QColor fill;
    switch (face) {
        case Face::Normal:
            fill = QColor(225, 238, 255, 150);
            break;
        case Face::Hover:
            fill = withAlpha(kWarm, 215);
            break;
        case Face::Pressed:
            fill = withAlpha(kWarm, 120);
            break;
    }
    if (face == Face::Hover) {
        glow(p, 2, [&](QPainter& lp) {
            lp.setPen(Qt::NoPen);
            lp.setBrush(withAlpha(kWarm, 190));
            lp.drawPath(ghost);
        });
    }
    QLinearGradient gg = vertical(g);
    gg.setColorAt(0.0, fill);
    gg.setColorAt(1.0, withAlpha(fill, fill.alpha() / 3));
    p.setPen(Qt::NoPen);
    p.setBrush(gg);
    p.drawPath(ghost);
    return img;
}

// The small maximize buttons: a face with one person (or a family) and an up arrow.
QImage maximizeButton(Face face, bool family) {
    QImage img = canvas(22, 22);
    QPainter p(&img);
    prepare(p);
    drawFace(p, QRectF(0, 0, 22, 22), 5, face);

    const QColor front = face == Face::Hover ? QColor(255, 255, 235) : QColor(226, 238, 255);
    const QColor back = face == Face::Hover ? QColor(210, 210, 170) : QColor(150, 178, 230);
    const qreal dy = face == Face::Pressed ? 0.5 : 0.0;

    p.save();
    p.setClipPath(roundedRect(QRectF(2, 2, 18, 18), 3.5));
    p.setPen(QPen(kDeepShadow, 1.0));
    if (family) {
        p.setPen(QPen(kDeepShadow, 0.7));
        p.setBrush(back);
        p.drawPath(personPath(QPointF(5.2, 11.0 + dy), 1.9));
        p.drawPath(personPath(QPointF(13.4, 11.0 + dy), 1.9));
        p.setPen(QPen(kDeepShadow, 1.0));
        p.setBrush(front);
        p.drawPath(personPath(QPointF(9.3, 12.8 + dy), 2.2));
    } else {
        p.setBrush(front);
        p.drawPath(personPath(QPointF(9.0, 8.6 + dy), 2.7));
    }
    p.restore();

    // The arrow, pale yellow with a dark edge so it reads on the figure.
    const QPainterPath arrow = family ? upArrowPath(QPointF(17.3, 2.6 + dy), 6.0, 7.0)
                                      : upArrowPath(QPointF(16.2, 3.2 + dy), 6.6, 8.0);
    p.setPen(QPen(kDeepShadow, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    QLinearGradient ag(QPointF(0, 3), QPointF(0, 11));
    ag.setColorAt(0.0, QColor(255, 255, 230));
    ag.setColorAt(1.0, QColor(248, 214, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(ag);
    p.drawPath(arrow);
    return img;
}

// ---------------------------------------------------------------------------------------------
// Dividers: a thin glowing line that fades out towards both ends.

QImage divider(int w, int h) {
    const bool upright = h > w;
    const int length = upright ? h : w;
    const int across = upright ? w : h;
    QImage img = canvas(w, h);
    const qreal centre = (across - 1) / 2.0;
    for (int along = 0; along < length; ++along) {
        const qreal end = std::min(along + 0.5, length - along - 0.5);
        const qreal fade = std::clamp(end / std::min<qreal>(28.0, length / 4.0), 0.0, 1.0);
        const qreal lengthAlpha = fade * fade * (3 - 2 * fade);
        for (int c = 0; c < across; ++c) {
            const qreal d = std::abs(c - centre);
            // A bright core and a soft halo.
            const qreal core = std::clamp(1.0 - (d - 0.5) / 0.8, 0.0, 1.0);
            const qreal halo = std::exp(-d * d / 2.4) * 0.55;
            const qreal a = std::clamp(core * 0.95 + halo * (1 - core), 0.0, 1.0) * lengthAlpha;
            // The core is nearly white, the halo cyan.
            const QColor col = core > 0 ? QColor(200, 240, 255) : kCyan;
            const int x = upright ? c : along;
            const int y = upright ? along : c;
            QColor pc = col;
            pc.setAlphaF(a);
            img.setPixelColor(x, y, pc);
        }
    }
    return img;
}

// ---------------------------------------------------------------------------------------------
// Logo and program icon

void drawBrandText(QPainter& p, const QPainterPath& text, const QRectF& box, qreal outline,
                   int glowRadius) {
    glow(p, glowRadius, [&](QPainter& lp) {
        lp.setPen(QPen(withAlpha(kCyan, 230), outline * 1.5));
        lp.setBrush(withAlpha(kCyan, 230));
        lp.drawPath(text);
    });
    p.setPen(QPen(kDeepShadow, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(text);
    QLinearGradient fill = vertical(box);
    fill.setColorAt(0.0, QColor(255, 255, 255));
    fill.setColorAt(0.45, QColor(190, 236, 255));
    fill.setColorAt(0.55, QColor(110, 190, 255));
    fill.setColorAt(1.0, QColor(70, 140, 245));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(text);
}

// A tapered warm swoosh under a word.
QPainterPath swooshPath(const QRectF& r, qreal thickness) {
    QPainterPath s;
    s.moveTo(r.left(), r.bottom() - r.height() * 0.2);
    s.quadTo(QPointF(r.center().x(), r.bottom() + r.height() * 0.35), QPointF(r.right(), r.top()));
    s.quadTo(QPointF(r.center().x(), r.bottom() + r.height() * 0.35 - thickness * 2.2),
             QPointF(r.left(), r.bottom() - r.height() * 0.2));
    s.closeSubpath();
    return s;
}

int swooshGlow(qreal thickness) {
    return std::max(1, qRound(thickness));
}

void drawSwoosh(QPainter& p, const QRectF& r, qreal thickness) {
    const QPainterPath s = swooshPath(r, thickness);
    glow(p, swooshGlow(thickness), [&](QPainter& lp) {
        lp.setPen(Qt::NoPen);
        lp.setBrush(withAlpha(kWarm, 220));
        lp.drawPath(s);
    });
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0.0, withAlpha(kWarm, 40));
    g.setColorAt(0.6, kWarm);
    g.setColorAt(1.0, QColor(255, 255, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(s);
}

QImage logo() {
    QImage img = canvas(95, 43);
    QPainter p(&img);
    prepare(p);
    const QRectF box(4, 5, 87, 26);
    const QPainterPath text = textPath(QStringLiteral("Vondrel"), sansFont(64, true, true), box);
    drawSwoosh(p, QRectF(10, 30, 80, 8), 1.6);
    drawBrandText(p, text, box, 2.0, 2);
    return img;
}

// Where the parts of the program icon lie at a given size; the PNG and SVG icons are both
// drawn from it.
struct IconLayout {
    explicit IconLayout(int size)
        : u(size / 32.0),
          tile(0.5 * u, 0.5 * u, size - u, size - u),
          radius(6.5 * u),
          edge(std::max<qreal>(1.0, 0.5 * u)),
          body(tile.adjusted(edge, edge, -edge, -edge)),
          burstCentre(size * 0.5, size * 0.42),
          burstRadius(size * 0.55),
          letterBox(5 * u, 5.5 * u, 22 * u, 19 * u),
          letter(textPath(QStringLiteral("V"), sansFont(200, true, true), letterBox)),
          letterOutline(std::max<qreal>(1.0, 1.4 * u)),
          letterGlow(std::max(1, qRound(1.2 * u))),
          swooshBox(6 * u, 23.5 * u, 21 * u, 4 * u),
          swooshThickness(1.1 * u),
          star(starPath(QPointF(25 * u, 7 * u), 4.2 * u, 1.1 * u, 4, -90)),
          starOutline(size >= 64 ? 0.6 * u : 0.0),
          glossBox(body.left() + u, body.top() + 0.5 * u, body.width() - 2 * u,
                   body.height() * 0.42),
          glossRadius(radius - 1.5 * u),
          rimWidth(std::max<qreal>(1.0, 0.5 * u)),
          rim(tile.adjusted(edge + rimWidth / 2, edge + rimWidth / 2, -(edge + rimWidth / 2),
                            -(edge + rimWidth / 2))),
          rimRadius(radius - (edge + rimWidth / 2)) {}

    qreal u;  // one pixel of the small icon
    QRectF tile;
    qreal radius;
    qreal edge;
    QRectF body;
    QPointF burstCentre;
    qreal burstRadius;
    QRectF letterBox;
    QPainterPath letter;
    qreal letterOutline;
    int letterGlow;
    QRectF swooshBox;
    qreal swooshThickness;
    QPainterPath star;
    qreal starOutline;  // none on the small sizes
    QRectF glossBox;
    qreal glossRadius;
    qreal rimWidth;
    QRectF rim;
    qreal rimRadius;
};

// Background gradient of the icon's tile, top to bottom.
const std::pair<qreal, QColor> kIconBody[] = {
    {0.0, QColor(44, 70, 206)}, {0.5, QColor(14, 14, 124)}, {1.0, QColor(24, 36, 160)}};

QImage programIcon(int size) {
    const IconLayout l(size);
    QImage img = canvas(size, size);
    QPainter p(&img);
    prepare(p);

    p.setPen(Qt::NoPen);
    p.setBrush(kDeepShadow);
    p.drawPath(roundedRect(l.tile, l.radius));
    QLinearGradient g = vertical(l.body);
    for (const auto& [at, colour] : kIconBody) {
        g.setColorAt(at, colour);
    }
    p.setBrush(g);
    p.drawPath(roundedRect(l.body, l.radius - l.u));

    // Light rays behind the letter.
    p.save();
    p.setClipPath(roundedRect(l.body, l.radius - l.u));
    QRadialGradient burst(l.burstCentre, l.burstRadius);
    burst.setColorAt(0.0, QColor(120, 200, 255, 110));
    burst.setColorAt(1.0, QColor(120, 200, 255, 0));
    p.setBrush(burst);
    p.drawRect(l.body);
    p.restore();

    drawBrandText(p, l.letter, l.letterBox, l.letterOutline, l.letterGlow);
    drawSwoosh(p, l.swooshBox, l.swooshThickness);

    // Sparkle at the upper right.
    p.setPen(l.starOutline > 0 ? QPen(withAlpha(kDeepShadow, 200), l.starOutline) : Qt::NoPen);
    p.setBrush(kWarm);
    p.drawPath(l.star);

    // Gloss and rim on top of everything.
    QLinearGradient gl = vertical(l.glossBox);
    gl.setColorAt(0.0, QColor(255, 255, 255, 90));
    gl.setColorAt(1.0, QColor(255, 255, 255, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(gl);
    p.drawPath(roundedRect(l.glossBox, l.glossRadius));
    QLinearGradient rim = vertical(l.body);
    rim.setColorAt(0.0, kRimTop);
    rim.setColorAt(1.0, kRimBottom);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), l.rimWidth));
    p.drawPath(roundedRect(l.rim, l.rimRadius));
    return img;
}

// ---------------------------------------------------------------------------------------------
// The program icon as SVG, for the scalable size of the icon theme

QString num(qreal v) {
    QString t = QString::number(v, 'f', 2);
    while (t.endsWith(u'0')) {
        t.chop(1);
    }
    if (t.endsWith(u'.')) {
        t.chop(1);
    }
    return t == QStringLiteral("-0") ? QStringLiteral("0") : t;
}

QString svgColour(const QColor& c) {
    return c.name(QColor::HexRgb);
}

QString svgStop(qreal at, const QColor& c) {
    QString stop =
        QStringLiteral("<stop offset=\"%1\" stop-color=\"%2\"").arg(num(at), svgColour(c));
    if (c.alpha() != 255) {
        stop += QStringLiteral(" stop-opacity=\"%1\"").arg(num(c.alphaF()));
    }
    return stop + QStringLiteral("/>");
}

QString svgPathData(const QPainterPath& path) {
    QStringList parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
            case QPainterPath::MoveToElement:
                parts << QStringLiteral("M%1 %2").arg(num(e.x), num(e.y));
                break;
            case QPainterPath::LineToElement:
                parts << QStringLiteral("L%1 %2").arg(num(e.x), num(e.y));
                break;
            case QPainterPath::CurveToElement: {
                const QPainterPath::Element c2 = path.elementAt(i + 1);
                const QPainterPath::Element to = path.elementAt(i + 2);
                parts << QStringLiteral("C%1 %2 %3 %4 %5 %6")
                             .arg(num(e.x), num(e.y), num(c2.x), num(c2.y), num(to.x), num(to.y));
                i += 2;
                break;
            }
            case QPainterPath::CurveToDataElement:
                break;
        }
    }
    return parts.join(u' ') + QStringLiteral(" Z");
}

QString svgRoundedRect(const QRectF& r, qreal radius, const QString& attributes) {
    return QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" %6/>")
        .arg(num(r.x()), num(r.y()), num(r.width()), num(r.height()), num(radius), attributes);
}

// Three box-blur passes of radius r spread about as far as a Gaussian of r + 0.5.
QString svgBlur(const QString& id, int radius) {
    return QStringLiteral(
               "<filter id=\"%1\" x=\"-25%\" y=\"-25%\" width=\"150%\" "
               "height=\"150%\"><feGaussianBlur stdDeviation=\"%2\"/></filter>")
        .arg(id, num(radius + 0.5));
}

QString svgProgramIcon() {
    const int size = 256;
    const IconLayout l(size);
    const QRectF& lb = l.letterBox;
    const QRectF& sb = l.swooshBox;
    const QString letter = svgPathData(l.letter);
    const QString swoosh = svgPathData(swooshPath(sb, l.swooshThickness));
    QStringList s;
    s << QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
      << QStringLiteral("<!-- Written by vondrel-draw-skin; the same icon as the PNG sizes. -->")
      << QStringLiteral(
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
             "viewBox=\"0 0 %1 %1\">")
             .arg(size)
      << QStringLiteral("<defs>");
    QString body = QStringLiteral(
                       "<linearGradient id=\"body\" gradientUnits=\"userSpaceOnUse\" "
                       "x1=\"0\" y1=\"%1\" x2=\"0\" y2=\"%2\">")
                       .arg(num(l.body.top()), num(l.body.bottom()));
    for (const auto& [at, colour] : kIconBody) {
        body += svgStop(at, colour);
    }
    s << body + QStringLiteral("</linearGradient>");
    s << QStringLiteral(
             "<radialGradient id=\"burst\" gradientUnits=\"userSpaceOnUse\" "
             "cx=\"%1\" cy=\"%2\" r=\"%3\">%4%5</radialGradient>")
             .arg(num(l.burstCentre.x()), num(l.burstCentre.y()), num(l.burstRadius),
                  svgStop(0, QColor(120, 200, 255, 110)), svgStop(1, QColor(120, 200, 255, 0)));
    s << QStringLiteral(
             "<linearGradient id=\"letter\" gradientUnits=\"userSpaceOnUse\" "
             "x1=\"0\" y1=\"%1\" x2=\"0\" y2=\"%2\">%3%4%5%6</linearGradient>")
             .arg(num(lb.top()), num(lb.bottom()), svgStop(0, QColor(255, 255, 255)),
                  svgStop(0.45, QColor(190, 236, 255)), svgStop(0.55, QColor(110, 190, 255)),
                  svgStop(1, QColor(70, 140, 245)));
    s << QStringLiteral(
             "<linearGradient id=\"swoosh\" gradientUnits=\"userSpaceOnUse\" "
             "x1=\"%1\" y1=\"0\" x2=\"%2\" y2=\"0\">%3%4%5</linearGradient>")
             .arg(num(sb.left()), num(sb.right()), svgStop(0, withAlpha(kWarm, 40)),
                  svgStop(0.6, kWarm), svgStop(1, QColor(255, 255, 240)));
    s << QStringLiteral(
             "<linearGradient id=\"gloss\" gradientUnits=\"userSpaceOnUse\" "
             "x1=\"0\" y1=\"%1\" x2=\"0\" y2=\"%2\">%3%4</linearGradient>")
             .arg(num(l.glossBox.top()), num(l.glossBox.bottom()),
                  svgStop(0, QColor(255, 255, 255, 90)), svgStop(1, QColor(255, 255, 255, 6)));
    s << QStringLiteral(
             "<linearGradient id=\"rim\" gradientUnits=\"userSpaceOnUse\" "
             "x1=\"0\" y1=\"%1\" x2=\"0\" y2=\"%2\">%3%4</linearGradient>")
             .arg(num(l.body.top()), num(l.body.bottom()), svgStop(0, kRimTop),
                  svgStop(1, kRimBottom));
    s << svgBlur(QStringLiteral("letterGlow"), l.letterGlow)
      << svgBlur(QStringLiteral("swooshGlow"), swooshGlow(l.swooshThickness))
      << QStringLiteral("<clipPath id=\"inside\">%1</clipPath>")
             .arg(svgRoundedRect(l.body, l.radius - l.u, QString()))
      << QStringLiteral("</defs>");

    s << svgRoundedRect(l.tile, l.radius, QStringLiteral("fill=\"%1\"").arg(svgColour(kDeepShadow)))
      << svgRoundedRect(l.body, l.radius - l.u, QStringLiteral("fill=\"url(#body)\""))
      << QStringLiteral(
             "<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" "
             "fill=\"url(#burst)\" clip-path=\"url(#inside)\"/>")
             .arg(num(l.body.x()), num(l.body.y()), num(l.body.width()), num(l.body.height()));
    // The letter: cyan glow, dark outline, then the light fill.
    s << QStringLiteral(
             "<path d=\"%1\" fill=\"%2\" fill-opacity=\"0.9\" stroke=\"%2\" "
             "stroke-opacity=\"0.9\" stroke-width=\"%3\" filter=\"url(#letterGlow)\"/>")
             .arg(letter, svgColour(kCyan), num(l.letterOutline * 1.5))
      << QStringLiteral(
             "<path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" "
             "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>")
             .arg(letter, svgColour(kDeepShadow), num(l.letterOutline))
      << QStringLiteral("<path d=\"%1\" fill=\"url(#letter)\"/>").arg(letter);
    s << QStringLiteral(
             "<path d=\"%1\" fill=\"%2\" fill-opacity=\"%3\" "
             "filter=\"url(#swooshGlow)\"/>")
             .arg(swoosh, svgColour(kWarm), num(220 / 255.0))
      << QStringLiteral("<path d=\"%1\" fill=\"url(#swoosh)\"/>").arg(swoosh);
    s << QStringLiteral(
             "<path d=\"%1\" fill=\"%2\" stroke=\"%3\" stroke-opacity=\"%4\" "
             "stroke-width=\"%5\"/>")
             .arg(svgPathData(l.star), svgColour(kWarm), svgColour(kDeepShadow), num(200 / 255.0),
                  num(l.starOutline));
    s << svgRoundedRect(l.glossBox, l.glossRadius, QStringLiteral("fill=\"url(#gloss)\""))
      << svgRoundedRect(l.rim, l.rimRadius,
                        QStringLiteral("fill=\"none\" stroke=\"url(#rim)\" stroke-width=\"%1\"")
                            .arg(num(l.rimWidth)));
    s << QStringLiteral("</svg>");
    return s.join(u'\n') + u'\n';
}

// ---------------------------------------------------------------------------------------------
// Love marks and the unknown face

// The check-box-like frame of the love marks.
void drawMarkFrame(QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(kDeepShadow);
    p.drawPath(roundedRect(r, 4.5));
    const QRectF well = r.adjusted(1, 1, -1, -1);
    QLinearGradient g = vertical(well);
    g.setColorAt(0.0, QColor(4, 4, 50));
    g.setColorAt(1.0, QColor(22, 30, 130));
    p.setBrush(g);
    p.drawPath(roundedRect(well, 3.5));
    QLinearGradient rim = vertical(well);
    rim.setColorAt(0.0, withAlpha(kRimBottom, 200));
    rim.setColorAt(1.0, withAlpha(kRimTop, 240));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawPath(roundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 3));
}

QImage loveMark(bool love) {
    QImage img = canvas(25, 25);
    QPainter p(&img);
    prepare(p);
    drawMarkFrame(p, QRectF(0, 0, 25, 25));
    const QRectF hr(5.0, 6.0, 15.0, 13.5);
    const QPainterPath heart = heartPath(hr);
    if (love) {
        glow(p, 2, [&](QPainter& lp) {
            lp.setPen(Qt::NoPen);
            lp.setBrush(QColor(255, 60, 90, 200));
            lp.drawPath(heart);
        });
        QRadialGradient g(QPointF(hr.left() + hr.width() * 0.35, hr.top() + hr.height() * 0.3),
                          hr.width() * 0.75);
        g.setColorAt(0.0, QColor(255, 120, 130));
        g.setColorAt(0.5, QColor(228, 24, 52));
        g.setColorAt(1.0, QColor(140, 0, 28));
        p.setPen(QPen(QColor(60, 0, 16), 1.0));
        p.setBrush(g);
        p.drawPath(heart);
        // Gloss on the left lobe.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 190));
        p.drawEllipse(QPointF(hr.left() + 4.0, hr.top() + 3.2), 1.9, 1.3);
    } else {
        p.setPen(QPen(QColor(140, 150, 185), 1.2));
        p.setBrush(QColor(140, 150, 185, 28));
        p.drawPath(heart);
    }
    return img;
}

QImage unknownFace() {
    QImage img = canvas(25, 25);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, 25, 25);
    p.setPen(Qt::NoPen);
    p.setBrush(kDeepShadow);
    p.drawPath(roundedRect(r, 3));
    const QRectF well = r.adjusted(1, 1, -1, -1);
    QRadialGradient bg(QPointF(12.5, 9), 16);
    bg.setColorAt(0.0, QColor(58, 74, 150));
    bg.setColorAt(1.0, QColor(16, 18, 82));
    p.setBrush(bg);
    p.drawPath(roundedRect(well, 2));

    p.save();
    p.setClipPath(roundedRect(well, 2));
    QLinearGradient sil(QPointF(0, 4), QPointF(0, 24));
    sil.setColorAt(0.0, QColor(150, 160, 196));
    sil.setColorAt(1.0, QColor(88, 98, 140));
    p.setPen(QPen(QColor(20, 20, 60), 0.8));
    p.setBrush(sil);
    p.drawPath(personPath(QPointF(12.5, 9.5), 5.0));
    p.restore();

    const QPainterPath q =
        textPath(QStringLiteral("?"), sansFont(64, true, false), QRectF(8.5, 4.5, 8, 11));
    p.setPen(QPen(QColor(20, 20, 60), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(q);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(q);

    QLinearGradient rim = vertical(well);
    rim.setColorAt(0.0, withAlpha(kRimTop, 220));
    rim.setColorAt(1.0, withAlpha(kRimBottom, 180));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawPath(roundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 1.5));
    return img;
}

// ---------------------------------------------------------------------------------------------
// Gauges

// Pip i of a bar `width` wide covers [i * width / 10, (i + 1) * width / 10) less one pixel of
// gap, so that a bar cut at value * width / 10 always ends between two pips.
void drawPips(QPainter& p, int width, int height, bool lit) {
    for (int i = 0; i < 10; ++i) {
        const int x0 = qRound(i * width / 10.0);
        const int x1 = qRound((i + 1) * width / 10.0) - 1;
        const QRectF pip(x0, 3, x1 - x0, height - 6);
        p.setPen(Qt::NoPen);
        p.setBrush(kDeepShadow);
        p.drawPath(roundedRect(pip, 1.5));
        const QRectF face = pip.adjusted(0.8, 0.8, -0.8, -0.8);
        QLinearGradient g = vertical(face);
        if (lit) {
            // From cyan at the low end to mint at the high end.
            const qreal t = i / 9.0;
            const QColor mid(qRound(54 + t * 80), qRound(196 + t * 50), qRound(255 - t * 60));
            g.setColorAt(0.0, QColor(236, 252, 255));
            g.setColorAt(0.35, mid);
            g.setColorAt(1.0, mid.darker(170));
        } else {
            g.setColorAt(0.0, QColor(4, 4, 44));
            g.setColorAt(1.0, QColor(20, 26, 112));
        }
        p.setBrush(g);
        p.drawPath(roundedRect(face, 1.0));
        if (!lit) {
            p.setPen(QPen(QColor(70, 120, 220, 120), 0.7));
            p.setBrush(Qt::NoBrush);
            p.drawPath(roundedRect(face.adjusted(0.3, 0.3, -0.3, -0.3), 0.8));
        }
    }
}

QImage bar(bool full) {
    QImage img = canvas(59, 25);
    QPainter p(&img);
    prepare(p);
    if (full) {
        glow(p, 1, [&](QPainter& lp) {
            for (int i = 0; i < 10; ++i) {
                const int x0 = qRound(i * 5.9);
                const int x1 = qRound((i + 1) * 5.9) - 1;
                lp.setPen(Qt::NoPen);
                lp.setBrush(withAlpha(kCyan, 150));
                lp.drawRect(QRectF(x0, 2, x1 - x0, 21));
            }
        });
    }
    drawPips(p, 59, 25, full);
    return img;
}

QImage gaugeBack() {
    QImage img = canvas(191, 25);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 2, 191, 21);
    p.setPen(Qt::NoPen);
    p.setBrush(kDeepShadow);
    p.drawPath(roundedRect(r, 5));
    const QRectF well = r.adjusted(1, 1, -1, -1);
    QLinearGradient g = vertical(well);
    g.setColorAt(0.0, QColor(3, 2, 44));
    g.setColorAt(1.0, QColor(16, 18, 100));
    p.setBrush(g);
    p.drawPath(roundedRect(well, 4));
    // A faint tint from cool on the left to warm on the right.
    QLinearGradient tint(well.topLeft(), well.topRight());
    tint.setColorAt(0.0, QColor(120, 160, 255, 18));
    tint.setColorAt(0.5, QColor(120, 160, 255, 0));
    tint.setColorAt(1.0, withAlpha(kWarm, 16));
    p.setBrush(tint);
    p.drawPath(roundedRect(well, 4));
    // Tick marks at the quarters, a brighter one in the middle.
    for (int i = 1; i < 8; ++i) {
        const qreal x = qRound(well.left() + well.width() * i / 8.0) + 0.5;
        const bool centre = i == 4;
        const bool quarter = i % 2 == 0;
        p.setPen(QPen(QColor(110, 180, 255, centre ? 110 : quarter ? 60 : 34), 1.0));
        const qreal inset = centre ? 2.5 : quarter ? 5.5 : 7.5;
        p.drawLine(QPointF(x, well.top() + inset), QPointF(x, well.bottom() - inset));
    }
    QLinearGradient rim = vertical(well);
    rim.setColorAt(0.0, withAlpha(kRimBottom, 150));
    rim.setColorAt(1.0, withAlpha(kRimTop, 190));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawPath(roundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 3.5));
    return img;
}

// ---------------------------------------------------------------------------------------------
// Job-track icons, 33 x 25, magenta where transparent

const QColor kInk(22, 12, 36);

void inkPen(QPainter& p, qreal width = 1.0) {
    p.setPen(QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// A gradient from a light to a dark shade of `base`, top to bottom over `r`.
QBrush shade(const QRectF& r, const QColor& base, int lighter = 140, int darker = 140) {
    QLinearGradient g = vertical(r);
    g.setColorAt(0.0, base.lighter(lighter));
    g.setColorAt(1.0, base.darker(darker));
    return g;
}

void jobStudent(QPainter& p) {
    // A closed book with a mortarboard on top.
    const QRectF book(6.5, 15.5, 20, 7);
    inkPen(p);
    p.setBrush(shade(book, QColor(200, 40, 50)));
    p.drawRoundedRect(book, 1.5, 1.5);
    p.setBrush(QColor(250, 246, 230));
    p.drawRect(QRectF(9.5, 17.5, 17, 3));
    p.setPen(QPen(QColor(200, 190, 170), 0.6));
    p.drawLine(QPointF(10, 19), QPointF(26, 19));

    inkPen(p);
    QPainterPath crown;
    crown.moveTo(11, 8);
    crown.lineTo(11, 12.5);
    crown.quadTo(16.5, 15, 22, 12.5);
    crown.lineTo(22, 8);
    p.setBrush(QColor(40, 44, 70));
    p.drawPath(crown);
    QPainterPath board;
    board.moveTo(16.5, 2);
    board.lineTo(29, 6.8);
    board.lineTo(16.5, 11.4);
    board.lineTo(4, 6.8);
    board.closeSubpath();
    p.setBrush(shade(board.boundingRect(), QColor(60, 66, 100), 170, 120));
    p.drawPath(board);
    // Tassel.
    p.setPen(QPen(QColor(255, 210, 60), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16.5, 6.7), QPointF(26.5, 7.8));
    p.drawLine(QPointF(26.5, 7.8), QPointF(26.5, 12.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 60));
    p.drawEllipse(QPointF(26.5, 13.2), 1.3, 1.6);
}

void jobUnemployed(QPainter& p) {
    // An empty chair and a sleepy "zzz".
    const QColor wood(186, 122, 62);
    inkPen(p);
    p.setBrush(wood.darker(125));
    p.drawRect(QRectF(16.5, 15, 2.6, 8));  // front leg
    QPainterPath back;                     // back rest running down into the rear leg
    back.moveTo(5.5, 22.5);
    back.lineTo(5.5, 4.5);
    back.quadTo(5.5, 2.5, 7.5, 2.8);
    back.lineTo(10.5, 3.4);
    back.quadTo(11.8, 3.8, 11.5, 5.5);
    back.lineTo(10.8, 12.5);
    back.lineTo(8.6, 12.5);
    back.lineTo(8.6, 22.5);
    back.closeSubpath();
    p.setBrush(shade(back.boundingRect(), wood, 140, 120));
    p.drawPath(back);
    p.setBrush(shade(QRectF(5, 12, 16, 4), wood, 150, 110));
    p.drawRoundedRect(QRectF(5.5, 12, 15, 3.4), 1.2, 1.2);  // seat

    const QFont zf = sansFont(64, true, false);
    const struct {
        QRectF box;
        int alpha;
    } zs[] = {{QRectF(19.5, 14, 4, 4.5), 170},
              {QRectF(22.5, 8.5, 5, 5.5), 215},
              {QRectF(25.8, 2.5, 5.6, 6.5), 255}};
    for (const auto& z : zs) {
        const QPainterPath zp = textPath(QStringLiteral("z"), zf, z.box);
        p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(zp);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(180, 226, 255, z.alpha));
        p.drawPath(zp);
    }
}

void jobBusiness(QPainter& p) {
    const QColor leather(150, 90, 42);
    inkPen(p, 1.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawRoundedRect(QRectF(12.5, 4, 8, 6), 2, 2);
    p.setPen(QPen(leather.darker(130), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawRoundedRect(QRectF(12.5, 4, 8, 6), 2, 2);
    const QRectF body(4.5, 8.5, 24, 14);
    inkPen(p);
    p.setBrush(shade(body, leather, 150, 130));
    p.drawRoundedRect(body, 2.5, 2.5);
    p.setPen(QPen(leather.darker(180), 1.0));
    p.drawLine(QPointF(5.5, 14.5), QPointF(27.5, 14.5));
    inkPen(p, 0.8);
    p.setBrush(QColor(250, 210, 80));
    p.drawRect(QRectF(14.5, 13, 4, 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(6, 9.5, 21, 3), 1.5, 1.5);
}

void jobEntertainment(QPainter& p) {
    // A gold star with a short trail of light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 210));
    p.drawPath(starPath(QPointF(4.5, 6.0), 4.0, 1.4, 4));
    p.drawPath(starPath(QPointF(29.0, 20.0), 3.4, 1.2, 4));
    const QPainterPath star = starPath(QPointF(16.5, 13.2), 11.8, 5.0);
    QRadialGradient g(QPointF(15.5, 9.5), 12);
    g.setColorAt(0.0, QColor(255, 252, 200));
    g.setColorAt(0.45, QColor(255, 210, 40));
    g.setColorAt(1.0, QColor(210, 120, 10));
    inkPen(p);
    p.setBrush(g);
    p.drawPath(star);
}

void jobLaw(QPainter& p) {
    // A police shield with a star.
    QPainterPath shield;
    shield.moveTo(16.5, 1.5);
    shield.quadTo(21.5, 4.5, 27, 3.5);
    shield.quadTo(28.5, 15, 16.5, 23.5);
    shield.quadTo(4.5, 15, 6, 3.5);
    shield.quadTo(11.5, 4.5, 16.5, 1.5);
    shield.closeSubpath();
    inkPen(p);
    p.setBrush(shade(shield.boundingRect(), QColor(230, 180, 40), 150, 130));
    p.drawPath(shield);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 50, 150));
    p.drawEllipse(QPointF(16.5, 11.5), 6, 6);
    p.setBrush(QColor(255, 244, 190));
    p.drawPath(starPath(QPointF(16.5, 11.8), 5.0, 2.1));
}

void jobCrime(QPainter& p) {
    // A burglar's eye mask.
    QPainterPath mask;
    mask.moveTo(2.5, 7.5);
    mask.cubicTo(8, 9.5, 12, 7, 16.5, 8.8);
    mask.cubicTo(21, 7, 25, 9.5, 30.5, 7.5);
    mask.cubicTo(30.5, 14, 27, 18.5, 22, 18.2);
    mask.cubicTo(19, 18, 18, 15.2, 16.5, 15.2);
    mask.cubicTo(15, 15.2, 14, 18, 11, 18.2);
    mask.cubicTo(6, 18.5, 2.5, 14, 2.5, 7.5);
    mask.closeSubpath();
    QPainterPath eyes;
    eyes.moveTo(6.8, 12.6);
    eyes.quadTo(10.5, 8.6, 14.2, 12.4);
    eyes.quadTo(10.5, 15.4, 6.8, 12.6);
    eyes.closeSubpath();
    eyes.moveTo(26.2, 12.6);
    eyes.quadTo(22.5, 8.6, 18.8, 12.4);
    eyes.quadTo(22.5, 15.4, 26.2, 12.6);
    eyes.closeSubpath();
    mask = mask.subtracted(eyes);
    // Ties fluttering from the left end.
    const QColor edge(176, 184, 214);
    QPainterPath ties;
    ties.moveTo(3.5, 10);
    ties.quadTo(1.5, 14, 3, 19.5);
    ties.moveTo(3.5, 10);
    ties.quadTo(5.5, 16, 6, 22.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(edge, 2.8, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(ties);
    p.setPen(QPen(QColor(30, 30, 40), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(ties);
    // A light edge so the black mask reads on a dark panel.
    p.setPen(QPen(edge, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient g(QPointF(0, 7), QPointF(0, 18));
    g.setColorAt(0.0, QColor(96, 96, 112));
    g.setColorAt(0.5, QColor(34, 34, 44));
    g.setColorAt(1.0, QColor(12, 12, 18));
    p.setBrush(g);
    p.drawPath(mask);
}

void jobMedicine(QPainter& p) {
    const QRectF tile(6.5, 1.5, 20, 22);
    inkPen(p);
    p.setBrush(shade(tile, QColor(236, 240, 250), 110, 115));
    p.drawRoundedRect(tile, 4, 4);
    QPainterPath cross;
    cross.addRect(QRectF(13.5, 4.5, 6, 16));
    cross.addRect(QRectF(9.5, 9.5, 14, 6));
    cross = cross.simplified();
    p.setPen(QPen(QColor(120, 0, 10), 1.0));
    p.setBrush(shade(cross.boundingRect(), QColor(226, 30, 40), 125, 125));
    p.drawPath(cross);
}

void jobMilitary(QPainter& p) {
    // Three sergeant's chevrons.
    for (int i = 0; i < 3; ++i) {
        const qreal y = 3.2 + i * 5.8;
        QPainterPath v;
        v.moveTo(5.5, y + 7.2);
        v.lineTo(16.5, y);
        v.lineTo(27.5, y + 7.2);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kInk, 5.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPath(v);
        QLinearGradient g(QPointF(0, y), QPointF(0, y + 9));
        g.setColorAt(0.0, QColor(255, 236, 140));
        g.setColorAt(1.0, QColor(205, 140, 20));
        p.setPen(QPen(QBrush(g), 3.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPath(v);
    }
}

void jobPolitics(QPainter& p) {
    // A flag behind a speaker's podium.
    inkPen(p, 1.4);
    p.drawLine(QPointF(24.5, 2), QPointF(24.5, 14));
    p.setPen(QPen(QColor(210, 210, 220), 0.8));
    p.drawLine(QPointF(24.5, 2), QPointF(24.5, 14));
    const QRectF flag(25, 2.5, 7, 5.5);
    inkPen(p, 0.8);
    p.setBrush(QColor(240, 240, 250));
    p.drawRect(flag);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 40, 50));
    p.drawRect(QRectF(25.4, 2.9, 6.2, 1.6));
    p.drawRect(QRectF(25.4, 6.0, 6.2, 1.6));
    p.setBrush(QColor(40, 70, 190));
    p.drawRect(QRectF(25.4, 2.9, 2.6, 2.4));

    QPainterPath stand;
    stand.moveTo(8.5, 10.5);
    stand.lineTo(24.5, 10.5);
    stand.lineTo(22.5, 23.5);
    stand.lineTo(10.5, 23.5);
    stand.closeSubpath();
    inkPen(p);
    p.setBrush(shade(stand.boundingRect(), QColor(40, 90, 200), 140, 130));
    p.drawPath(stand);
    p.setBrush(shade(QRectF(5, 8, 23, 3.5), QColor(170, 110, 60), 140, 110));
    p.drawRoundedRect(QRectF(5.5, 7.5, 22, 3.5), 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 120));
    p.drawPath(starPath(QPointF(16.5, 16.5), 3.6, 1.5));
    // A microphone.
    inkPen(p, 0.8);
    p.setBrush(QColor(60, 60, 70));
    p.drawLine(QPointF(12, 7.5), QPointF(13, 4.5));
    p.drawEllipse(QPointF(13.2, 3.8), 1.4, 1.4);
}

void jobAthletics(QPainter& p) {
    // A basketball.
    const QPointF c(16.5, 12.5);
    const qreal r = 10.5;
    QRadialGradient g(c - QPointF(3.5, 3.5), r * 1.6);
    g.setColorAt(0.0, QColor(255, 190, 110));
    g.setColorAt(0.5, QColor(236, 118, 30));
    g.setColorAt(1.0, QColor(150, 60, 10));
    inkPen(p);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.save();
    QPainterPath clip;
    clip.addEllipse(c, r, r);
    p.setClipPath(clip);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 1.0));
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawEllipse(QPointF(c.x() - r * 1.2, c.y()), r * 0.85, r * 1.1);
    p.drawEllipse(QPointF(c.x() + r * 1.2, c.y()), r * 0.85, r * 1.1);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(QPointF(12.5, 7.5), 2.6, 1.6);
}

void jobScience(QPainter& p) {
    // A flask with bubbling green liquid.
    QPainterPath flask;
    flask.moveTo(13.5, 2);
    flask.lineTo(19.5, 2);
    flask.lineTo(19.5, 9);
    flask.lineTo(27, 20);
    flask.quadTo(28.5, 23.5, 25, 23.5);
    flask.lineTo(8, 23.5);
    flask.quadTo(4.5, 23.5, 6, 20);
    flask.lineTo(13.5, 9);
    flask.closeSubpath();
    inkPen(p);
    p.setBrush(QColor(206, 232, 250));
    p.drawPath(flask);
    p.save();
    p.setClipPath(flask);
    QLinearGradient liquid(QPointF(0, 14), QPointF(0, 24));
    liquid.setColorAt(0.0, QColor(150, 250, 120));
    liquid.setColorAt(1.0, QColor(30, 160, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(liquid);
    p.drawRect(QRectF(0, 14.5, 33, 10));
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawRect(QRectF(15, 3, 1.6, 8));
    p.restore();
    inkPen(p);
    p.setBrush(Qt::NoBrush);
    p.drawPath(flask);
    p.drawLine(QPointF(12.5, 2), QPointF(20.5, 2));
    p.setPen(QPen(QColor(20, 100, 30), 0.7));
    p.setBrush(QColor(230, 255, 220));
    p.drawEllipse(QPointF(14, 19), 1.3, 1.3);
    p.drawEllipse(QPointF(19.5, 17.5), 1.0, 1.0);
    p.drawEllipse(QPointF(17, 21), 0.9, 0.9);
}

void jobXtreme(QPainter& p) {
    // A snowy mountain and a parachutist coming down.
    QPainterPath peak;
    peak.moveTo(11, 23.5);
    peak.lineTo(22.5, 4);
    peak.lineTo(32.5, 23.5);
    peak.closeSubpath();
    inkPen(p);
    p.setBrush(shade(peak.boundingRect(), QColor(110, 130, 170), 120, 140));
    p.drawPath(peak);
    QPainterPath snow;
    snow.moveTo(22.5, 4);
    snow.lineTo(25.6, 10);
    snow.lineTo(23.8, 9.2);
    snow.lineTo(22.4, 10.8);
    snow.lineTo(20.8, 9.0);
    snow.lineTo(19.0, 10);
    snow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 252, 255));
    p.drawPath(snow);
    QPainterPath hill;
    hill.moveTo(1, 23.5);
    hill.quadTo(7.5, 15, 16, 23.5);
    hill.closeSubpath();
    inkPen(p);
    p.setBrush(shade(hill.boundingRect(), QColor(60, 150, 90), 130, 130));
    p.drawPath(hill);

    // Lines, canopy and jumper.
    const QPointF jumper(8, 12.6);
    p.setPen(QPen(QColor(220, 228, 250), 1.0));
    p.drawLine(QPointF(1.8, 6.5), jumper);
    p.drawLine(QPointF(8, 6.5), jumper);
    p.drawLine(QPointF(14.2, 6.5), jumper);
    QPainterPath canopy;
    canopy.moveTo(1, 6.5);
    canopy.arcTo(QRectF(1, 0.5, 14, 12), 180, -180);
    for (int i = 0; i < 4; ++i) {
        const qreal x0 = 15 - i * 3.5;
        canopy.quadTo(QPointF(x0 - 1.75, 5.0), QPointF(x0 - 3.5, 6.5));
    }
    canopy.closeSubpath();
    inkPen(p, 0.9);
    QLinearGradient cg(QPointF(1, 0), QPointF(15, 0));
    cg.setColorAt(0.0, QColor(240, 40, 50));
    cg.setColorAt(0.5, QColor(255, 230, 80));
    cg.setColorAt(1.0, QColor(240, 40, 50));
    p.setBrush(cg);
    p.drawPath(canopy);
    inkPen(p, 0.7);
    p.setBrush(QColor(255, 140, 40));
    p.drawEllipse(jumper + QPointF(0, 0.4), 1.4, 1.4);
    p.setBrush(QColor(40, 60, 160));
    p.drawRoundedRect(QRectF(jumper.x() - 1.1, jumper.y() + 1.6, 2.2, 3.4), 0.8, 0.8);
}

// Soft edges are blended onto the panel colour and everything faint becomes mask colour, so
// that a simple colour-keyed blit gives clean edges.
QImage maskedIcon(const std::function<void(QPainter&)>& paint) {
    QImage img = canvas(33, 25);
    {
        QPainter p(&img);
        prepare(p);
        paint(p);
    }
    QImage out(33, 25, QImage::Format_RGB32);
    for (int y = 0; y < 25; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < 33; ++x) {
            const int a = qAlpha(src[x]);
            if (a < 110) {
                dst[x] = kMaskColour.rgb();
                continue;
            }
            const int inv = 255 - a;
            auto mix = [inv](int s, int b) { return std::min(255, s + (b * inv + 127) / 255); };
            dst[x] = qRgb(mix(qRed(src[x]), kJobBackdrop.red()),
                          mix(qGreen(src[x]), kJobBackdrop.green()),
                          mix(qBlue(src[x]), kJobBackdrop.blue()));
            if (dst[x] == kMaskColour.rgb()) {
                dst[x] = qRgb(254, 0, 254);
            }
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Splash

QImage splash() {
    const int w = 623;
    const int h = 366;
    const int band = 304;  // the calm strip for version, status and progress starts here
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(kNavy);
    QPainter p(&img);
    prepare(p);

    // Background: navy with a wide soft light behind the title.
    QRadialGradient light(QPointF(w / 2.0, 118), 380);
    light.setColorAt(0.0, QColor(38, 54, 196));
    light.setColorAt(0.45, QColor(16, 12, 150));
    light.setColorAt(1.0, QColor(5, 0, 96));
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawRect(QRectF(0, 0, w, band));

    // Faint concentric arcs, like ripples of light.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i) {
        const qreal rr = 150 + i * 46;
        p.setPen(QPen(QColor(110, 200, 255, 34 - i * 4), 1.2));
        p.drawEllipse(QPointF(w / 2.0, 420), rr * 1.5, rr);
    }

    // Sparkles.
    const struct {
        qreal x, y, r;
    } sparkles[] = {{18, 14, 4},  {120, 14, 3},    {300, 12, 2.5}, {455, 16, 3.5}, {606, 18, 5},
                    {16, 120, 3}, {607, 200, 3.5}, {18, 250, 4.5}, {90, 286, 3},   {540, 287, 3.5}};
    for (const auto& s : sparkles) {
        glow(p, 2, [&](QPainter& lp) {
            lp.setPen(Qt::NoPen);
            lp.setBrush(withAlpha(kCyan, 200));
            lp.drawEllipse(QPointF(s.x, s.y), s.r * 0.8, s.r * 0.8);
        });
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 248, 255, 220));
        p.drawPath(starPath(QPointF(s.x, s.y), s.r, s.r * 0.22, 4));
    }

    // The main panel.
    const QRectF panel(36, 30, w - 72, 240);
    glow(p, 8, [&](QPainter& lp) {
        lp.setPen(Qt::NoPen);
        lp.setBrush(QColor(0, 0, 20, 200));
        lp.drawPath(roundedRect(panel.translated(0, 6), 14));
    });
    drawPanel(p, panel, 14, PanelLook::Lively);

    // A household standing at the panel's left end, a single person at the right, faint.
    p.save();
    p.setClipPath(roundedRect(panel.adjusted(2, 2, -2, -2), 12));
    const qreal floor = panel.bottom();
    const QPainterPath child = personPath(QPointF(112, 206), 10, floor);
    QPainterPathStroker gap;
    gap.setWidth(6);
    const QPainterPath adults = personPath(QPointF(88, 168), 15, floor)
                                    .united(personPath(QPointF(134, 162), 16, floor))
                                    .subtracted(gap.createStroke(child).united(child));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 170, 255, 30));
    p.drawPath(adults);
    p.setBrush(QColor(110, 170, 255, 44));
    p.drawPath(child);
    p.setBrush(QColor(110, 170, 255, 34));
    p.drawPath(personPath(QPointF(w - 96, 170), 17, floor));
    p.setBrush(QColor(190, 220, 255, 30));
    p.drawPath(ghostPath(QRectF(w - 162, 170, 24, 36)));
    p.restore();

    // Title with a warm swoosh, and the subtitle.
    const QRectF titleBox(120, 62, w - 240, 92);
    const QPainterPath title =
        textPath(QStringLiteral("Vondrel"), sansFont(120, true, true), titleBox);
    drawSwoosh(p, QRectF(150, 150, w - 290, 22), 3.2);
    drawBrandText(p, title, titleBox, 4.0, 5);

    const QPainterPath subtitle =
        textPath(QStringLiteral("Editor for The Veks"), sansFont(48, true, false),
                 QRectF(190, 196, w - 380, 24));
    glow(p, 3, [&](QPainter& lp) {
        lp.setPen(QPen(kDeepShadow, 3.0));
        lp.setBrush(kDeepShadow);
        lp.drawPath(subtitle);
    });
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 244, 255));
    p.drawPath(subtitle);

    // Divider ornament under the subtitle.
    const QImage line = divider(300, 8);
    p.drawImage(QPointF((w - 300) / 2.0, 234), line);
    p.setPen(QPen(kDeepShadow, 0.8));
    p.setBrush(kWarm);
    p.drawPath(starPath(QPointF(w / 2.0, 238), 5.5, 1.6, 4));

    // The calm bottom strip, with a glowing edge and a dark trough for the progress bar.
    QLinearGradient strip(QPointF(0, band), QPointF(0, h));
    strip.setColorAt(0.0, QColor(5, 0, 92));
    strip.setColorAt(1.0, QColor(3, 0, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(strip);
    p.drawRect(QRectF(0, band, w, h - band));
    p.drawImage(QPointF(0, band - 4), divider(w, 8));
    const QRectF trough(3, 350, 617, 14);
    p.setBrush(QColor(1, 0, 36));
    p.drawPath(roundedRect(trough, 3));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(70, 120, 220, 90), 1.0));
    p.drawPath(roundedRect(trough.adjusted(0.5, 0.5, -0.5, -0.5), 2.5));

    // Outer frame of the whole picture.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(kRimBottom, 200), 1.0));
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage splashFill() {
    const int w = 615;
    const int h = 12;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, w, h);
    QLinearGradient across(r.topLeft(), r.topRight());
    across.setColorAt(0.0, QColor(30, 80, 220));
    across.setColorAt(0.6, QColor(40, 160, 250));
    across.setColorAt(1.0, QColor(110, 230, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(across);
    p.drawPath(roundedRect(r, 3));
    // Glossy top half, shaded bottom edge.
    QLinearGradient gloss = vertical(r);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 170));
    gloss.setColorAt(0.45, QColor(255, 255, 255, 40));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 0));
    gloss.setColorAt(0.85, QColor(0, 0, 40, 0));
    gloss.setColorAt(1.0, QColor(0, 0, 40, 110));
    p.setBrush(gloss);
    p.drawPath(roundedRect(r, 3));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 245, 255, 150), 1.0));
    p.drawPath(roundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 2.5));
    return img;
}

// The arrow of the drop-down lists: a small pale triangle.
QImage dropArrow() {
    QImage img = canvas(7, 4);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 235, 255));
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(7, 0), QPointF(3.5, 4)}));
    return img;
}

// ---------------------------------------------------------------------------------------------

struct Picture {
    const char* name;
    std::function<QImage()> draw;
};

std::vector<Picture> pictures() {
    std::vector<Picture> list = {
        {"panel_picker", pickerPanel},
        {"panel_attributes", attributesPanel},
        {"panel_job", jobPanel},
        {"button_normal", [] { return bottomButton(Face::Normal); }},
        {"button_hover", [] { return bottomButton(Face::Hover); }},
        {"button_pressed", [] { return bottomButton(Face::Pressed); }},
        {"ghost_normal", [] { return ghostButton(Face::Normal); }},
        {"ghost_hover", [] { return ghostButton(Face::Hover); }},
        {"ghost_pressed", [] { return ghostButton(Face::Pressed); }},
        {"maxvek_normal", [] { return maximizeButton(Face::Normal, false); }},
        {"maxvek_hover", [] { return maximizeButton(Face::Hover, false); }},
        {"maxvek_pressed", [] { return maximizeButton(Face::Pressed, false); }},
        {"maxfam_normal", [] { return maximizeButton(Face::Normal, true); }},
        {"maxfam_hover", [] { return maximizeButton(Face::Hover, true); }},
        {"maxfam_pressed", [] { return maximizeButton(Face::Pressed, true); }},
        {"divider_v360", [] { return divider(8, 360); }},
        {"divider_h235", [] { return divider(235, 8); }},
        {"divider_h233", [] { return divider(233, 8); }},
        {"divider_v90", [] { return divider(8, 90); }},
        {"logo", logo},
        {"love", [] { return loveMark(true); }},
        {"nolove", [] { return loveMark(false); }},
        {"unknown_face", unknownFace},
        {"icon", [] { return programIcon(32); }},
        {"icon_256", [] { return programIcon(256); }},
        {"splash", splash},
        {"splash_fill", splashFill},
        {"bar_empty", [] { return bar(false); }},
        {"bar_full", [] { return bar(true); }},
        {"gauge_back", gaugeBack},
        {"drop_arrow", dropArrow},
    };
    // The job tracks in the order the game numbers them.
    const std::function<void(QPainter&)> jobs[] = {
        jobStudent,  jobUnemployed, jobBusiness, jobEntertainment, jobLaw,     jobCrime,
        jobMedicine, jobMilitary,   jobPolitics, jobAthletics,     jobScience, jobXtreme,
    };
    static const char* const jobNames[] = {"job_01", "job_02", "job_03", "job_04",
                                           "job_05", "job_06", "job_07", "job_08",
                                           "job_09", "job_10", "job_11", "job_12"};
    for (int i = 0; i < 12; ++i) {
        const auto paint = jobs[i];
        list.push_back({jobNames[i], [paint] { return maskedIcon(paint); }});
    }
    return list;
}

// The program icon at every size a desktop's icon theme asks for.
std::vector<Picture> themeIcons() {
    std::vector<Picture> list;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        list.push_back({nullptr, [size] { return programIcon(size); }});
    }
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QStringList args = QGuiApplication::arguments();
    const bool icons = args.size() == 3 && args.at(1) == QStringLiteral("--icons");
    if (icons) {
        args.removeAt(1);
    }
    if (args.size() != 2) {
        std::fprintf(stderr,
                     "usage: vondrel-draw-skin OUTDIR\n"
                     "       vondrel-draw-skin --icons OUTDIR\n");
        return 2;
    }
    const QDir out(args.at(1));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    int failures = 0;
    for (const Picture& picture : icons ? themeIcons() : pictures()) {
        const QImage img = picture.draw();
        const QString name = icons ? QStringLiteral("vondrel-%1").arg(img.width())
                                   : QString::fromLatin1(picture.name);
        const QString path = out.filePath(name + ".png");
        const QImage::Format format =
            img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        if (!img.convertToFormat(format).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
            continue;
        }
        std::printf("%s  %dx%d\n", qPrintable(path), img.width(), img.height());
    }
    if (icons) {
        const QString path = out.filePath(QStringLiteral("vondrel.svg"));
        QFile svg(path);
        if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            svg.write(svgProgramIcon().toUtf8()) < 0 || !svg.flush()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    }
    return failures == 0 ? 0 : 1;
}
