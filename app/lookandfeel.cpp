#include "app/lookandfeel.h"

#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QImageReader>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <qdrawutil.h>

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

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    // A group box's frame is a pixmap from Qt's resources. Fusion loads it by file name alone,
    // and an image reader that has to guess the format first loads every image plugin (and
    // libjpeg with them) to ask each one: at the first paint of every start. Read here as PNG,
    // once, and drawn as Qt 6.4's Fusion draws it.
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_FrameGroupBox) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        if (m_groupBoxFrame.isNull()) {
            QImageReader reader(u":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"_s, "png");
            reader.setAutoDetectImageFormat(false);
            m_groupBoxFrame = QPixmap::fromImage(reader.read());
        }
        constexpr int kGroupBoxTopMargin = 3;
        int topMargin = kGroupBoxTopMargin;
        const auto *box = qobject_cast<const QGroupBox *>(widget);
        if (!box || box->isCheckable() || !box->title().isEmpty())
            topMargin += qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
        qDrawBorderPixmap(painter, option->rect.adjusted(0, topMargin, 0, 0), QMargins(6, 6, 6, 6),
                          m_groupBoxFrame);
    }

  private:
    mutable QPixmap m_groupBoxFrame;
#endif
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
