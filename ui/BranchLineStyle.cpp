#include "ui/BranchLineStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

namespace {

constexpr int kBoxSize = 9;

void DrawLines(const QStyleOption& option, QPainter& painter)
{
    const QRect& cell = option.rect;
    const int midX = cell.left() + cell.width() / 2;
    const int midY = cell.top() + cell.height() / 2;
    painter.setPen(QPen(option.palette.color(QPalette::Dark), 1, Qt::DotLine));
    if (option.state & QStyle::State_Item) {
        // This row's own node: a line in from above and across to the node.
        painter.drawLine(midX, cell.top(), midX, midY);
        painter.drawLine(midX, midY, cell.right(), midY);
    }
    if (option.state & QStyle::State_Sibling) {
        // A later node at this level: the line goes on down.
        painter.drawLine(midX, (option.state & QStyle::State_Item) ? midY : cell.top(), midX, cell.bottom());
    }
}

void DrawBox(const QStyleOption& option, QPainter& painter)
{
    const QRect box(option.rect.left() + (option.rect.width() - kBoxSize) / 2,
                    option.rect.top() + (option.rect.height() - kBoxSize) / 2, kBoxSize - 1, kBoxSize - 1);
    painter.setPen(QPen(option.palette.color(QPalette::Dark), 1, Qt::SolidLine));
    painter.setBrush(option.palette.color(QPalette::Base));
    painter.drawRect(box);
    painter.setPen(option.palette.color(QPalette::Text));
    const QPoint centre = box.center();
    painter.drawLine(box.left() + 2, centre.y(), box.right() - 2, centre.y());
    if (!(option.state & QStyle::State_Open))
        painter.drawLine(centre.x(), box.top() + 2, centre.x(), box.bottom() - 2);
}

}  // namespace

BranchLineStyle::BranchLineStyle() : QProxyStyle(QApplication::style()->name()) {}

void BranchLineStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    if (element != PE_IndicatorBranch || !option || !painter) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    painter->save();
    DrawLines(*option, *painter);
    if (option->state & State_Children)
        DrawBox(*option, *painter);
    painter->restore();
}
