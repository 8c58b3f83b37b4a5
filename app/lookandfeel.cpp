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
// symbol is not clipped; and two ways of drawing the same pixels with less work.
class LumoStyle final : public QProxyStyle {
  public:
    LumoStyle() : QProxyStyle(QStyleFactory::create(u"Fusion"_s)) {}

    QRect subElementRect(SubElement element, const QStyleOption *option, const QWidget *widget) const override
    {
        if (element == SE_PushButtonContents && option->rect.height() < 24)
            return option->rect.adjusted(1, 1, -1, -1);
        return QProxyStyle::subElementRect(element, option, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_PanelButtonCommand && DrawWithSharedPalette(element, option, painter, widget))
            return;
        if (element == PE_FrameGroupBox) {
            DrawGroupBoxFrame(option, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

  private:
    // Fusion keeps every button face it draws in the pixmap cache, under a key that includes the
    // palette's cache key. Every widget holds a copy of the application palette with a cache key
    // of its own, even when no colour differs, so no two buttons ever share a face and the first
    // paint of a window draws each of its faces anew (40 on the main window). A face whose colours
    // are the application palette's is drawn with that palette itself: the same pixels, and one
    // face per size and state. Only the plain option types are copied; others pass unchanged.
    bool DrawWithSharedPalette(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
    {
        if (!option || (option->type != QStyleOption::SO_Button && option->type != QStyleOption::SO_Default))
            return false;
        QPalette shared = QApplication::palette();
        if (option->palette.cacheKey() == shared.cacheKey() || option->palette != shared)
            return false;
        shared.setCurrentColorGroup(option->palette.currentColorGroup());
        if (option->type == QStyleOption::SO_Button) {
            QStyleOptionButton copy(*static_cast<const QStyleOptionButton *>(option));
            copy.palette = shared;
            QProxyStyle::drawPrimitive(element, &copy, painter, widget);
        } else {
            QStyleOption copy(*option);
            copy.palette = shared;
            QProxyStyle::drawPrimitive(element, &copy, painter, widget);
        }
        return true;
    }

    // A group box's frame is a pixmap from Qt's resources. Fusion loads it by file name alone,
    // and an image reader that has to guess the format first loads every image plugin (and
    // libjpeg with them) to ask each one: at the first paint of every start, on Qt 6.4 and 6.8
    // alike. Read here as PNG, once, and drawn where Fusion draws it: Qt 6.4 leaves a margin
    // above the frame for the title; later versions get the frame's own rectangle and fill it.
    void DrawGroupBoxFrame(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
    {
        if (m_groupBoxFrame.isNull()) {
            QImageReader reader(u":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"_s, "png");
            reader.setAutoDetectImageFormat(false);
            m_groupBoxFrame = QPixmap::fromImage(reader.read());
        }
        int topMargin = 0;
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        constexpr int kGroupBoxTopMargin = 3;
        topMargin = kGroupBoxTopMargin;
        const auto *box = qobject_cast<const QGroupBox *>(widget);
        if (!box || box->isCheckable() || !box->title().isEmpty())
            topMargin += qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
#else
        Q_UNUSED(widget);
#endif
        qDrawBorderPixmap(painter, option->rect.adjusted(0, topMargin, 0, 0), QMargins(6, 6, 6, 6),
                          m_groupBoxFrame);
    }

    mutable QPixmap m_groupBoxFrame;
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
