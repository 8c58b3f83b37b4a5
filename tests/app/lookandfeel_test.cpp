// The program's style draws a group box's frame itself, from the pixmap Fusion uses, so that the
// first paint of a window loads no image plugin; and it lets buttons of one look share one cached
// face. Both must look exactly as Fusion draws them.

#include "app/lookandfeel.h"

#include <QApplication>
#include <QCommonStyle>
#include <QFile>
#include <QGroupBox>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The image plugins mapped into this process so far.
QStringList LoadedImagePlugins()
{
    QFile maps(u"/proc/self/maps"_s);
    if (!maps.open(QIODevice::ReadOnly))
        return {u"(cannot read /proc/self/maps)"_s};
    QStringList plugins;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const qsizetype at = line.indexOf("/imageformats/");
        if (at >= 0 && !plugins.contains(QString::fromUtf8(line.mid(at))))
            plugins << QString::fromUtf8(line.mid(at));
    }
    return plugins;
}

// A window of push buttons in the states the program's windows show: symbol buttons of one size,
// a default button, a pressed one, a checked one, a disabled one, a flat one, a larger one and
// one with colours of its own.
class ButtonWindow : public QWidget {
  public:
    explicit ButtonWindow(QStyle *style = nullptr)
    {
        resize(200, 80);
        const auto add = [&](const QString &caption, QRect geometry) {
            auto *button = new QPushButton(caption, this);
            button->setGeometry(geometry);
            if (style)
                button->setStyle(style);
            return button;
        };
        for (int column = 0; column < 3; ++column)
            add(u"★"_s, QRect(4 + column * 18, 4, 17, 17));
        add(u"£"_s, QRect(58, 4, 17, 17))->setDefault(true);
        add(u"§"_s, QRect(76, 4, 17, 17))->setDown(true);
        QPushButton *checked = add(u"№"_s, QRect(94, 4, 17, 17));
        checked->setCheckable(true);
        checked->setChecked(true);
        add(u"∞"_s, QRect(112, 4, 17, 17))->setEnabled(false);
        add(u"√"_s, QRect(130, 4, 17, 17))->setFlat(true);
        add(u"表情"_s, QRect(4, 26, 57, 23));
        QPushButton *coloured = add(u"转为繁体"_s, QRect(64, 26, 80, 23));
        QPalette palette = coloured->palette();
        palette.setColor(QPalette::Button, QColor(0xd4, 0xd0, 0xc8));
        coloured->setPalette(palette);
    }
};

// Records the palette of every button face it is asked to draw.
class FaceRecorder final : public QCommonStyle {
  public:
    struct Face {
        qint64 paletteKey;
        QPalette::ColorGroup group;
    };

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_PanelButtonCommand)
            faces.push_back({option->palette.cacheKey(), option->palette.currentColorGroup()});
        QCommonStyle::drawPrimitive(element, option, painter, widget);
    }

    mutable std::vector<Face> faces;
};

} // namespace

class LookAndFeelTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { lumo::app::ApplyLookAndFeel(*qApp); }

    // First in this process, before any image has been read.
    void groupBoxFrameLoadsNoImagePlugin()
    {
        QGroupBox box(u"转换内容："_s);
        box.resize(300, 140);
        const QImage painted = box.grab().toImage();
        QVERIFY(!painted.isNull());
        QCOMPARE(LoadedImagePlugins(), QStringList());
    }

    void groupBoxFrameLooksAsFusionDrawsIt_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<QSize>("size");
        QTest::newRow("titled") << u"转换内容："_s << false << QSize(313, 157);
        QTest::newRow("untitled") << QString() << false << QSize(120, 220);
        QTest::newRow("checkable, untitled") << QString() << true << QSize(160, 90);
        QTest::newRow("titled, too small for its corners") << u"符号"_s << false << QSize(10, 8);
    }

    void groupBoxFrameLooksAsFusionDrawsIt()
    {
        QFETCH(QString, title);
        QFETCH(bool, checkable);
        QFETCH(QSize, size);
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(u"Fusion"_s));
        QGroupBox ours(title);
        QGroupBox reference(title);
        reference.setStyle(fusion.get());
        for (QGroupBox *box : {&ours, &reference}) {
            box->setCheckable(checkable);
            box->resize(size);
        }
        QCOMPARE(ours.grab().toImage(), reference.grab().toImage());
    }

    // Painted twice: the second time most faces come from the pixmap cache.
    void buttonFacesLookAsFusionDrawsThem()
    {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(u"Fusion"_s));
        QPixmapCache::clear();
        ButtonWindow reference(fusion.get());
        const QImage expected = reference.grab().toImage();
        QPixmapCache::clear();
        ButtonWindow ours;
        QCOMPARE(ours.grab().toImage(), expected);
        QCOMPARE(ours.grab().toImage(), expected);
        ButtonWindow again;
        QCOMPARE(again.grab().toImage(), expected);
    }

    // Every widget holds its own copy of the application palette, and Fusion's face cache tells
    // copies apart; faces in the application's colours must reach it as one palette. Last: it
    // replaces the style's Fusion.
    void buttonsOfOneLookShareOneFace()
    {
        auto *style = qobject_cast<QProxyStyle *>(QApplication::style());
        QVERIFY(style);
        auto *recorder = new FaceRecorder;
        style->setBaseStyle(recorder);
        ButtonWindow window;
        QVERIFY(!window.grab().isNull());

        const qint64 shared = QApplication::palette().cacheKey();
        QCOMPARE(recorder->faces.size(), 9u); // the flat button draws no face
        int inColoursOfTheirOwn = 0;
        for (const FaceRecorder::Face &face : recorder->faces) {
            if (face.paletteKey != shared)
                ++inColoursOfTheirOwn;
        }
        QCOMPARE(inColoursOfTheirOwn, 1);
        // The disabled button keeps its colour group.
        QCOMPARE(
            std::count_if(recorder->faces.begin(), recorder->faces.end(),
                          [](const FaceRecorder::Face &face) { return face.group == QPalette::Disabled; }),
            1);
    }
};

QTEST_MAIN(LookAndFeelTest)
#include "lookandfeel_test.moc"
