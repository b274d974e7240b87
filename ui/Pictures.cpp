#include "ui/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

// Every picture is designed on a 32 x 32 grid and scaled to the size asked for.
namespace {

const QColor kOutline(70, 70, 80);
const QColor kGreen(40, 160, 60);
const QColor kRed(210, 40, 40);

class Canvas {
public:
    explicit Canvas(int size) : image_(size, size, QImage::Format_ARGB32_Premultiplied)
    {
        image_.fill(Qt::transparent);
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.scale(size / 32.0, size / 32.0);
    }
    QPainter& Painter() { return painter_; }
    QImage Take()
    {
        painter_.end();
        return image_;
    }

private:
    QImage image_;
    QPainter painter_;
};

QPen OutlinePen(qreal width = 1.2)
{
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet of paper with a folded top right corner.
void DrawSheet(QPainter& p, const QRectF& r, bool lines = true)
{
    const qreal fold = r.width() * 0.32;
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    QLinearGradient paper(r.topLeft(), r.bottomRight());
    paper.setColorAt(0, Qt::white);
    paper.setColorAt(1, QColor(225, 230, 238));
    p.setPen(OutlinePen());
    p.setBrush(paper);
    p.drawPath(sheet);

    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(200, 205, 215));
    p.drawPath(corner);

    if (lines) {
        p.setPen(QPen(QColor(150, 160, 180), 1.2, Qt::SolidLine, Qt::RoundCap));
        for (qreal y = r.top() + fold + 3; y < r.bottom() - 3; y += 3.5)
            p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

enum class Symbol {
    Plus,
    Minus,
    Cross,
    Tick
};

// A round badge with a white symbol, as the corner of a picture says "add", "remove" or "done".
void DrawBadge(QPainter& p, QPointF centre, qreal radius, const QColor& colour, Symbol symbol)
{
    QRadialGradient shade(centre - QPointF(radius / 3, radius / 3), radius * 1.6);
    shade.setColorAt(0, colour.lighter(150));
    shade.setColorAt(1, colour.darker(120));
    p.setPen(QPen(colour.darker(160), 1.0));
    p.setBrush(shade);
    p.drawEllipse(centre, radius, radius);

    const qreal arm = radius * 0.55;
    p.setPen(QPen(Qt::white, radius * 0.42, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (symbol) {
    case Symbol::Plus:
        p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
        p.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
        break;
    case Symbol::Minus: p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0)); break;
    case Symbol::Cross:
        p.drawLine(centre - QPointF(arm, arm) * 0.8, centre + QPointF(arm, arm) * 0.8);
        p.drawLine(centre + QPointF(-arm, arm) * 0.8, centre + QPointF(arm, -arm) * 0.8);
        break;
    case Symbol::Tick: {
        QPainterPath tick;
        tick.moveTo(centre + QPointF(-arm, 0));
        tick.lineTo(centre + QPointF(-arm * 0.2, arm * 0.75));
        tick.lineTo(centre + QPointF(arm, -arm * 0.7));
        p.drawPath(tick);
        break;
    }
    }
}

void DrawFolder(QPainter& p, const QRectF& r)
{
    const qreal tabWidth = r.width() * 0.4;
    const qreal tabHeight = r.height() * 0.16;
    QPainterPath back;
    back.moveTo(r.left(), r.top() + tabHeight);
    back.lineTo(r.left() + 1.5, r.top());
    back.lineTo(r.left() + tabWidth, r.top());
    back.lineTo(r.left() + tabWidth + 2.5, r.top() + tabHeight);
    back.lineTo(r.right(), r.top() + tabHeight);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.setPen(QPen(QColor(150, 100, 10), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(220, 160, 40));
    p.drawPath(back);

    QPainterPath front;
    const qreal frontTop = r.top() + tabHeight + r.height() * 0.18;
    front.moveTo(r.left() + 2.5, frontTop);
    front.lineTo(r.right() + 1, frontTop);
    front.lineTo(r.right() - 1, r.bottom());
    front.lineTo(r.left(), r.bottom());
    front.closeSubpath();
    QLinearGradient shine(r.topLeft(), r.bottomLeft());
    shine.setColorAt(0, QColor(255, 225, 120));
    shine.setColorAt(1, QColor(240, 180, 50));
    p.setBrush(shine);
    p.drawPath(front);
}

void DrawFloppy(QPainter& p, const QRectF& r)
{
    QLinearGradient body(r.topLeft(), r.bottomRight());
    body.setColorAt(0, QColor(70, 120, 210));
    body.setColorAt(1, QColor(30, 60, 150));
    p.setPen(QPen(QColor(20, 40, 100), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(body);
    QPainterPath outline;
    const qreal cut = r.width() * 0.14;
    outline.moveTo(r.left(), r.top());
    outline.lineTo(r.right() - cut, r.top());
    outline.lineTo(r.right(), r.top() + cut);
    outline.lineTo(r.right(), r.bottom());
    outline.lineTo(r.left(), r.bottom());
    outline.closeSubpath();
    p.drawPath(outline);

    // The metal shutter with its window, and the paper label.
    const QRectF shutter(r.left() + r.width() * 0.22, r.top(), r.width() * 0.52, r.height() * 0.34);
    p.setBrush(QColor(215, 220, 228));
    p.setPen(QPen(QColor(90, 95, 110), 1.0));
    p.drawRect(shutter);
    p.setBrush(QColor(40, 50, 70));
    p.drawRect(QRectF(shutter.left() + shutter.width() * 0.6, shutter.top() + 1.5, shutter.width() * 0.22,
                      shutter.height() - 3));
    const QRectF label(r.left() + r.width() * 0.14, r.top() + r.height() * 0.5, r.width() * 0.72,
                       r.height() * 0.44);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(90, 95, 110), 1.0));
    p.drawRect(label);
    p.setPen(QPen(QColor(160, 170, 190), 1.0));
    for (int i = 1; i <= 2; ++i) {
        const qreal y = label.top() + label.height() * i / 3.0;
        p.drawLine(QPointF(label.left() + 2, y), QPointF(label.right() - 2, y));
    }
}

void DrawChecklist(QPainter& p)
{
    for (int row = 0; row < 3; ++row) {
        const qreal y = 5 + row * 8.5;
        p.setPen(OutlinePen(1.1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(4, y, 7, 7), 1.2, 1.2);
        p.setPen(QPen(QColor(110, 120, 140), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, y + 3.5), QPointF(row == 1 ? 24 : 28, y + 3.5));
        if (row != 1) {
            QPainterPath tick;
            tick.moveTo(5.2, y + 3.4);
            tick.lineTo(7.2, y + 5.8);
            tick.lineTo(12.5, y - 1.2);
            p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(tick);
        }
    }
}

void DrawGear(QPainter& p, QPointF centre, qreal outer, qreal inner, int teeth, const QColor& colour)
{
    QPainterPath gear;
    const int points = teeth * 4;
    for (int i = 0; i < points; ++i) {
        const double angle = 2 * M_PI * i / points;
        const qreal radius = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
        const QPointF point = centre + QPointF(std::cos(angle) * radius, std::sin(angle) * radius);
        if (i == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, inner * 0.42, inner * 0.42);
    QRadialGradient shade(centre - QPointF(outer / 3, outer / 3), outer * 1.8);
    shade.setColorAt(0, colour.lighter(160));
    shade.setColorAt(1, colour.darker(130));
    p.setPen(QPen(colour.darker(180), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(shade);
    p.drawPath(gear.subtracted(hole));
}

void DrawPlay(QPainter& p, QPointF centre, qreal radius)
{
    QRadialGradient shade(centre - QPointF(radius / 3, radius / 3), radius * 1.6);
    shade.setColorAt(0, kGreen.lighter(150));
    shade.setColorAt(1, kGreen.darker(120));
    p.setPen(QPen(kGreen.darker(160), 1.0));
    p.setBrush(shade);
    p.drawEllipse(centre, radius, radius);
    QPainterPath triangle;
    triangle.moveTo(centre + QPointF(-radius * 0.35, -radius * 0.55));
    triangle.lineTo(centre + QPointF(radius * 0.6, 0));
    triangle.lineTo(centre + QPointF(-radius * 0.35, radius * 0.55));
    triangle.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(triangle);
}

void DrawPower(QPainter& p)
{
    p.setPen(QPen(kRed, 4.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 6, 22, 22), 125 * 16, 290 * 16);
    p.drawLine(QPointF(16, 3.5), QPointF(16, 15));
}

void DrawHouse(QPainter& p)
{
    p.setPen(OutlinePen(1.2));
    p.setBrush(QColor(245, 235, 210));
    p.drawRect(QRectF(7, 14, 18, 14));
    p.setBrush(QColor(140, 90, 50));
    p.drawRect(QRectF(13.5, 19, 5, 9));
    QPainterPath roof;
    roof.moveTo(3, 15.5);
    roof.lineTo(16, 4);
    roof.lineTo(29, 15.5);
    roof.closeSubpath();
    p.setPen(QPen(kRed.darker(150), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kRed);
    p.drawPath(roof);
}

QIcon IconOf(const QImage& image) { return QIcon(QPixmap::fromImage(image)); }

}  // namespace

QImage DrawWindowIcon(int size)
{
    Canvas canvas(size);
    QPainter& p = canvas.Painter();
    QLinearGradient ground(QPointF(0, 0), QPointF(32, 32));
    ground.setColorAt(0, QColor(60, 140, 230));
    ground.setColorAt(1, QColor(20, 60, 160));
    p.setPen(QPen(QColor(15, 40, 110), 1.0));
    p.setBrush(ground);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);

    // A digest mark: the hash sign, slanted like handwriting.
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 6), QPointF(9, 24));
    p.drawLine(QPointF(19, 6), QPointF(17, 24));
    p.drawLine(QPointF(5.5, 11.5), QPointF(23, 11.5));
    p.drawLine(QPointF(4.5, 18.5), QPointF(22, 18.5));

    DrawBadge(p, QPointF(23.5, 23.5), 6.5, kGreen, Symbol::Tick);
    return canvas.Take();
}

QIcon WindowIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(DrawWindowIcon(size)));
    return icon;
}

QImage DrawToolPicture(ToolPicture picture, int size)
{
    Canvas canvas(size);
    QPainter& p = canvas.Painter();
    switch (picture) {
    case ToolPicture::AddFile:
        DrawSheet(p, QRectF(5, 2, 19, 26));
        DrawBadge(p, QPointF(23, 23), 7, kGreen, Symbol::Plus);
        break;
    case ToolPicture::AddFolder:
        DrawFolder(p, QRectF(2, 6, 25, 20));
        DrawBadge(p, QPointF(24, 23), 7, kGreen, Symbol::Plus);
        break;
    case ToolPicture::DeleteFile:
        DrawSheet(p, QRectF(5, 2, 19, 26));
        DrawBadge(p, QPointF(23, 23), 7, kRed, Symbol::Minus);
        break;
    case ToolPicture::ClearList:
        DrawSheet(p, QRectF(9, 2, 18, 22), false);
        DrawSheet(p, QRectF(4, 6, 18, 23));
        DrawBadge(p, QPointF(23, 23), 7, kRed, Symbol::Cross);
        break;
    case ToolPicture::Save: DrawFloppy(p, QRectF(3, 3, 26, 26)); break;
    case ToolPicture::ChooseAlgorithms: DrawChecklist(p); break;
    case ToolPicture::Calculate:
        DrawGear(p, QPointF(13, 13), 11, 8, 8, QColor(120, 135, 160));
        DrawPlay(p, QPointF(22.5, 22.5), 7.5);
        break;
    }
    return canvas.Take();
}

QImage DrawMenuPicture(MenuPicture picture, int size)
{
    switch (picture) {
    case MenuPicture::AddFile: return DrawToolPicture(ToolPicture::AddFile, size);
    case MenuPicture::AddFolder: return DrawToolPicture(ToolPicture::AddFolder, size);
    case MenuPicture::Save: return DrawToolPicture(ToolPicture::Save, size);
    case MenuPicture::Quit: {
        Canvas canvas(size);
        DrawPower(canvas.Painter());
        return canvas.Take();
    }
    case MenuPicture::HomePage: {
        Canvas canvas(size);
        DrawHouse(canvas.Painter());
        return canvas.Take();
    }
    }
    return {};
}

QIcon ToolIcon(ToolPicture picture) { return IconOf(DrawToolPicture(picture)); }

QIcon MenuIcon(MenuPicture picture) { return IconOf(DrawMenuPicture(picture)); }
