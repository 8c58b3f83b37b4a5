// The program's style draws a group box's frame itself, from the pixmap Fusion uses, so that the
// first paint of a window loads no image plugin. It must look exactly as Fusion's frame does.

#include "app/lookandfeel.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <memory>

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
};

QTEST_MAIN(LookAndFeelTest)
#include "lookandfeel_test.moc"
