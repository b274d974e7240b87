// The result tree's branches as the tree view of the desktop the program was made for draws
// them: dotted lines from each file node down its result lines, and a small box with "+" or
// "-" on a node that can be opened. Qt's styles mostly draw an arrow and no lines.
#pragma once

#include <QProxyStyle>

class BranchLineStyle : public QProxyStyle {
    Q_OBJECT
public:
    BranchLineStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
