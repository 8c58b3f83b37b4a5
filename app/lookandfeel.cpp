#include "app/lookandfeel.h"

#include <QApplication>
#include <QFont>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>

namespace lumo::app {

using namespace Qt::StringLiterals;

namespace {

// Fusion, except that very small push buttons (the 17 x 17 px symbol buttons)
// give their label the whole face instead of Fusion's inner margin, so the
// symbol is not clipped.
class LumoStyle final : public QProxyStyle {
  public:
    LumoStyle() : QProxyStyle(QStyleFactory::create(u"Fusion"_s)) {}

    QRect subElementRect(SubElement element, const QStyleOption *option, const QWidget *widget) const override
    {
        if (element == SE_PushButtonContents && option->rect.height() < 24)
            return option->rect.adjusted(1, 1, -1, -1);
        return QProxyStyle::subElementRect(element, option, widget);
    }
};

} // namespace

void ApplyLookAndFeel(QApplication &app)
{
    auto *style = new LumoStyle;
    QApplication::setStyle(style);
    QApplication::setPalette(style->standardPalette());

    // One font for every window, sized in pixels because the layout is fixed in
    // pixels. A condensed Latin face keeps mixed lines such as the download line of
    // the default text within Text1; the CJK face covers Chinese and the symbols.
    QFont font(QStringList{u"DejaVu Sans Condensed"_s, u"WenQuanYi Micro Hei"_s});
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
    (void)app;
}

} // namespace lumo::app
