// Draws the window's pictures (logo, port-state tiles, activity icons, button pictures) and the
// program's icon at the desktop's sizes, and once more as .ico for Windows, into ui/pictures/. Run
// it again after changing a drawing and commit them.
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

const QColor kTileFill(0xdf, 0xf3, 0xfd);
const QColor kTileShade(0xb4, 0xe0, 0xf7);
const QColor kTileBorder(0x70, 0xca, 0xf5);
const QColor kBlue(0x10, 0x6e, 0xc8);
const QColor kDarkRed(0x9b, 0x12, 0x12);
const QColor kRed(0xd8, 0x1e, 0x1e);
const QColor kGreen(0x1e, 0xa0, 0x32);

QString folder;

using Drawing = std::function<void(QPainter&, qreal size)>;

QImage Draw(int width, int height, const Drawing& drawing)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing(painter, qMin(width, height));
    return image;
}

void Save(const QImage& image, const QString& name, const QString& extension = "png")
{
    const QString path = folder + "/" + name + "." + extension;
    if (!image.save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// The light-blue rounded tile under every state picture and activity icon.
void Tile(QPainter& p, qreal s)
{
    QLinearGradient fill(0, 0, 0, s);
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(0.45, kTileFill);
    fill.setColorAt(1, kTileShade);
    p.setPen(QPen(kTileBorder, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.2, s * 0.2);
}

void RedSquare(QPainter& p, const QRectF& r)
{
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, kRed.lighter(130));
    fill.setColorAt(1, kRed.darker(120));
    p.setPen(QPen(kRed.darker(160), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, r.width() * 0.12, r.width() * 0.12);
}

void GreenTriangle(QPainter& p, const QRectF& r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right(), r.center().y());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, kGreen.lighter(140));
    fill.setColorAt(1, kGreen.darker(115));
    p.setPen(QPen(kGreen.darker(170), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

// An arrow along the vertical middle, pointing up or down, ending on a base line.
void ArrowWithBase(QPainter& p, qreal s, const QColor& color, bool up)
{
    const qreal cx = s / 2, top = s * 0.2, base = s * 0.78;
    QPainterPath arrow;
    const qreal shaft = s * 0.09, head = s * 0.22;
    if (up) {
        arrow.moveTo(cx, top);
        arrow.lineTo(cx + head, top + head);
        arrow.lineTo(cx + shaft, top + head);
        arrow.lineTo(cx + shaft, base - s * 0.08);
        arrow.lineTo(cx - shaft, base - s * 0.08);
        arrow.lineTo(cx - shaft, top + head);
        arrow.lineTo(cx - head, top + head);
    } else {
        const qreal tip = base - s * 0.06;
        arrow.moveTo(cx, tip);
        arrow.lineTo(cx + head, tip - head);
        arrow.lineTo(cx + shaft, tip - head);
        arrow.lineTo(cx + shaft, top);
        arrow.lineTo(cx - shaft, top);
        arrow.lineTo(cx - shaft, tip - head);
        arrow.lineTo(cx - head, tip - head);
    }
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(arrow);
    p.setPen(QPen(color, s * 0.07, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.24, base + s * 0.04), QPointF(s * 0.76, base + s * 0.04));
}

void QuestionMark(QPainter& p, qreal s)
{
    QPainterPath hook;
    hook.moveTo(s * 0.34, s * 0.36);
    hook.cubicTo(s * 0.34, s * 0.16, s * 0.66, s * 0.16, s * 0.66, s * 0.34);
    hook.cubicTo(s * 0.66, s * 0.46, s * 0.5, s * 0.46, s * 0.5, s * 0.6);
    p.setPen(QPen(kBlue, s * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(s * 0.5, s * 0.76), s * 0.065, s * 0.065);
}

void Gear(QPainter& p, QPointF c, qreal outer, int teeth, const QColor& color)
{
    QPainterPath gear;
    const qreal inner = outer * 0.74;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal angle = 2 * M_PI * i / (teeth * 4);
        const qreal r = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
        const QPointF point(c.x() + r * qCos(angle), c.y() + r * qSin(angle));
        i == 0 ? gear.moveTo(point) : gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, outer * 0.3, outer * 0.3);
    p.setPen(QPen(color.darker(150), 1));
    p.setBrush(color);
    p.drawPath(gear.subtracted(hole));
}

void Gears(QPainter& p, qreal s)
{
    Gear(p, QPointF(s * 0.4, s * 0.58), s * 0.27, 8, kBlue);
    Gear(p, QPointF(s * 0.7, s * 0.3), s * 0.18, 6, kBlue.lighter(135));
}

void RedCross(QPainter& p, qreal s)
{
    p.setPen(QPen(kRed, s * 0.14, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.3, s * 0.3), QPointF(s * 0.7, s * 0.7));
    p.drawLine(QPointF(s * 0.7, s * 0.3), QPointF(s * 0.3, s * 0.7));
}

// Two green arrows chasing each other round a circle: "look again".
void Rescan(QPainter& p, qreal s)
{
    const QRectF ring(s * 0.16, s * 0.16, s * 0.68, s * 0.68);
    const qreal r = ring.width() / 2;
    const QPointF c = ring.center();
    p.setBrush(Qt::NoBrush);
    for (int half = 0; half < 2; ++half) {
        const qreal start = half * 180 + 20;  // degrees, counter-clockwise from east
        p.setPen(QPen(kGreen.darker(110), s * 0.13, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring, int(start * 16), int(130 * 16));
        // Head at the arc's end, pointing along the turn.
        const qreal end = qDegreesToRadians(start + 130);
        const QPointF tip(c.x() + r * qCos(end), c.y() - r * qSin(end));
        const QPointF along(-qSin(end), -qCos(end));  // direction of travel (screen y down)
        const QPointF across(qCos(end), -qSin(end));
        const qreal h = s * 0.2;
        QPolygonF head;
        head << tip + along * h << tip + across * h * 0.75 << tip - across * h * 0.75;
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen.darker(110));
        p.drawPolygon(head);
    }
}

// A receipt coming out of a small printer: the program's own icon.
void Printer(QPainter& p, qreal s)
{
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(s * 0.3, s * 0.14, s * 0.4, s * 0.4));
    p.setPen(QPen(QColor(0x99, 0x99, 0x99), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(s * 0.36, s * (0.24 + 0.08 * i)), QPointF(s * 0.64, s * (0.24 + 0.08 * i)));
    p.setPen(QPen(kBlue.darker(140), 1));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(s * 0.14, s * 0.48, s * 0.72, s * 0.32), s * 0.06, s * 0.06);
    p.setBrush(kGreen);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(s * 0.74, s * 0.6), s * 0.04, s * 0.04);
}

// The program's icon at any size: drawn for the size up to the window's 32 pixels, so that small
// icons keep their one-pixel lines, and the 32-pixel drawing scaled up beyond it.
QImage AppIcon(int size)
{
    return Draw(size, size, [size](QPainter& p, qreal) {
        const qreal scale = qMax(1.0, size / 32.0);
        p.scale(scale, scale);
        Tile(p, size / scale);
        Printer(p, size / scale);
    });
}

QImage Greyed(const QImage& colour)
{
    QImage grey = colour.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(level, level, level, qAlpha(line[x]) * 3 / 4);
        }
    }
    return grey;
}

void SaveButton(const QString& name, const Drawing& drawing)
{
    const QImage colour = Draw(16, 16, drawing);
    Save(colour, name);
    Save(Greyed(colour), name + "_disabled");
}

QImage Logo()
{
    return Draw(129, 46, [](QPainter& p, qreal) {
        QLinearGradient band(0, 0, 0, 46);
        band.setColorAt(0, QColor(0x2a, 0x9a, 0xdc));
        band.setColorAt(1, QColor(0x0e, 0x5e, 0x9a));
        p.setPen(Qt::NoPen);
        p.setBrush(band);
        p.drawRoundedRect(QRectF(0, 3, 129, 40), 20, 20);
        p.save();
        p.translate(4, 5);
        Tile(p, 36);
        Printer(p, 36);
        p.restore();
        QFont font("Tahoma");
        font.setPixelSize(21);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(42, 3, 84, 40), Qt::AlignCenter, "orlimo");
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QFontDatabase::addApplicationFont("/usr/share/wine/fonts/tahoma.ttf");

    Save(Logo(), "logo");
    Save(AppIcon(32), "app_icon");
    Save(AppIcon(32), "app_icon", "ico");  // the Windows executable's icon (app/kestro.rc)
    // The desktop's menu sizes; 32 pixels is app_icon itself.
    for (int size : {16, 24, 48, 64, 128, 256})
        Save(AppIcon(size), QString("app_icon_%1").arg(size));

    Save(Draw(36, 36, Tile), "com_empty");
    Save(Draw(36, 36,
              [](QPainter& p, qreal s) {
                  Tile(p, s);
                  RedSquare(p, QRectF(10, 10, 16, 16));
              }),
         "com_chosen");
    Save(Draw(36, 36,
              [](QPainter& p, qreal s) {
                  Tile(p, s);
                  GreenTriangle(p, QRectF(12, 9, 15, 18));
              }),
         "com_connected");

    Save(Draw(32, 32, Tile), "msg0_idle");
    Save(Draw(32, 32,
              [](QPainter& p, qreal s) {
                  Tile(p, s);
                  ArrowWithBase(p, s, kBlue, true);
              }),
         "msg1_send");
    Save(Draw(32, 32,
              [](QPainter& p, qreal s) {
                  Tile(p, s);
                  QuestionMark(p, s);
              }),
         "msg2_ask");
    Save(Draw(32, 32,
              [](QPainter& p, qreal s) {
                  Tile(p, s);
                  ArrowWithBase(p, s, kDarkRed, false);
              }),
         "msg3_receive");
    Save(Draw(32, 32,
              [](QPainter& p, qreal s) {
                  Tile(p, s);
                  Gears(p, s);
              }),
         "msg4_busy");
    Save(Draw(32, 32,
              [](QPainter& p, qreal s) {
                  Tile(p, s);
                  RedCross(p, s);
              }),
         "msg5_error");

    SaveButton("bt_porta", Rescan);
    SaveButton("bt_run", [](QPainter& p, qreal) { GreenTriangle(p, QRectF(4, 2.5, 9, 11)); });
    SaveButton("bt_stop", [](QPainter& p, qreal) { RedSquare(p, QRectF(3, 3, 10, 10)); });
    return 0;
}
