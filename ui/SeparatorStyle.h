// The style of the toolbar's separators: the desktop's own style, 8 pixels wide as the toolbar
// was laid out, where styles differ (6 in Fusion, others more).
#pragma once

#include <QProxyStyle>

class SeparatorStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int kSeparatorWidth = 8;

    SeparatorStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};
