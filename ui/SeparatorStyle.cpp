#include "ui/SeparatorStyle.h"

#include <QApplication>

SeparatorStyle::SeparatorStyle() : QProxyStyle(QApplication::style()->name()) {}

int SeparatorStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (metric == PM_ToolBarSeparatorExtent)
        return kSeparatorWidth;
    return QProxyStyle::pixelMetric(metric, option, widget);
}
