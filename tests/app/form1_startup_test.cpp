// The main window's start (load event), its two link labels and its closing.
#include "app/form1.h"
#include "palettes/form2.h"
#include "palettes/form3.h"
#include "platform/instance_guard.h"
#include "platform/messagebox.h"
#include "platform/webpanel.h"
#include "resources/product.h"
#include "tests/common/testkit.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;
using lumo::app::Form1;
using lumo::palettes::Form2;
using lumo::palettes::Form3;

namespace {

// Records the order in which watched windows receive their close event.
class CloseOrder : public QObject {
  public:
    QStringList closed;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            closed.append(QString::fromLatin1(watched->metaObject()->className()));
        return false;
    }
};

void DeleteClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestForm1Startup : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void init();
    void cleanup();
    void loadSelectsTextResetsFlagAndStartsAdvert();
    void firstKeystrokeReplacesDefaultText();
    void secondCopyShowsOnlyTheBox();
    void linkLabelsOpenHomePageAndForum();
    void closingClosesOpenPalettesInOrder();
    void closingWithoutPalettesCreatesNone();

  private:
    lumo::test::FakeInstanceGuard m_guard;
    lumo::test::FakeMessageBoxes m_boxes;
};

void TestForm1Startup::init()
{
    m_guard.another = false;
    m_guard.asked = 0;
    m_boxes.calls.clear();
}

void TestForm1Startup::cleanup()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        window->close();
    DeleteClosedWindows();
    delete Form1::Existing();
}

void TestForm1Startup::loadSelectsTextResetsFlagAndStartsAdvert()
{
    Form1 &form = Form1::Instance();
    QCOMPARE(form.Text2()->text(), u"Text2"_s);
    QVERIFY(form.Form_Load());

    QCOMPARE(m_guard.asked, 1);
    QVERIFY(m_boxes.calls.isEmpty());
    const QTextCursor cursor = form.Text1()->textCursor();
    QCOMPARE(cursor.position(), 0);
    QCOMPARE(cursor.selectionStart(), 0);
    QCOMPARE(cursor.selectionEnd(), form.MainText().size());
    QCOMPARE(cursor.selectedText().size(), form.MainText().size());
    QCOMPARE(form.Text2()->text(), u"0"_s);
    auto *panel = form.findChild<lumo::platform::WebPanel *>(u"WebBrowser1"_s);
    QVERIFY(panel);
    QCOMPARE(panel->requestedUrl(), QUrl(QString::fromLatin1(lumo::product::kAdvertUrl)));
    QCOMPARE(panel->requestedUrl().path(), u"/gg/002/index.html"_s);
    QCOMPARE(panel->requestedUrl().query(), u"V=2.1"_s);
}

void TestForm1Startup::firstKeystrokeReplacesDefaultText()
{
    Form1 &form = Form1::Instance();
    QVERIFY(form.MainText().size() > 100);
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.Text1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    QCOMPARE(form.MainText(), u"a"_s);
}

void TestForm1Startup::secondCopyShowsOnlyTheBox()
{
    m_guard.another = true;
    Form1 &form = Form1::Instance();
    QVERIFY(!form.Form_Load());

    QCOMPARE(m_boxes.calls.size(), 1);
    const lumo::test::FakeMessageBoxes::Call box = m_boxes.calls.first();
    QCOMPARE(box.parent, nullptr);
    QCOMPARE(box.text, u"请唔好双开。"_s);
    QCOMPARE(box.title, u"温馨提示\uFF1A"_s);
    QCOMPARE(box.style, 64);
    // Nothing after the guard ran, and nothing is on screen.
    QCOMPARE(form.Text2()->text(), u"Text2"_s);
    QVERIFY(form.findChild<lumo::platform::WebPanel *>(u"WebBrowser1"_s)->requestedUrl().isEmpty());
    QVERIFY(!form.isVisible());
}

void TestForm1Startup::linkLabelsOpenHomePageAndForum()
{
    lumo::test::UrlRecorder recorder;
    QDesktopServices::setUrlHandler(u"https"_s, &recorder, "open");
    QDesktopServices::setUrlHandler(u"http"_s, &recorder, "open");
    Form1 &form = Form1::Instance();
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *label1 = form.findChild<QLabel *>(u"Label1"_s);
    auto *label3 = form.findChild<QLabel *>(u"Label3"_s);
    QVERIFY(label1 && label3);

    const QPoint inside(10, 5);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(label1, Qt::LeftButton, {}, inside);
    QTest::mouseClick(label3, Qt::LeftButton, {}, inside);
    // Not clicks: the right button, and a press whose release is elsewhere.
    QTest::mouseClick(label1, Qt::RightButton, {}, inside);
    QTest::mousePress(label1, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(label1, Qt::LeftButton, {}, QPoint(-50, -50));

    QDesktopServices::unsetUrlHandler(u"https"_s);
    QDesktopServices::unsetUrlHandler(u"http"_s);
    const QUrl home(QString::fromLatin1(lumo::product::kHomePageUrl));
    const QUrl forum(QString::fromLatin1(lumo::product::kForumUrl));
    QCOMPARE(recorder.opened, (QList<QUrl>{home, home, home, forum}));
    QCOMPARE(home.path(), u"/"_s);
    QCOMPARE(forum.path(), u"/"_s);
}

void TestForm1Startup::closingClosesOpenPalettesInOrder()
{
    Form1 &form = Form1::Instance();
    QVERIFY(form.Form_Load());
    form.show();
    // Opened in the other order, to see that the closing order is its own.
    Form3::Instance().show();
    Form2::Instance().show();
    CloseOrder order;
    Form2::Existing()->installEventFilter(&order);
    Form3::Existing()->installEventFilter(&order);

    QVERIFY(form.close());
    QCOMPARE(order.closed, (QStringList{u"lumo::palettes::Form2"_s, u"lumo::palettes::Form3"_s}));
    DeleteClosedWindows();
    QCOMPARE(Form2::Existing(), nullptr);
    QCOMPARE(Form3::Existing(), nullptr);
    QCOMPARE(Form1::Existing(), nullptr);
    // No window is left, so the application quits by its normal path.
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY(!window->isVisible());
}

void TestForm1Startup::closingWithoutPalettesCreatesNone()
{
    Form1 &form = Form1::Instance();
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(form.close());
    // Not even briefly: a palette made and closed would linger until deleted.
    for (QWidget *widget : QApplication::allWidgets()) {
        QVERIFY(!qobject_cast<Form2 *>(widget));
        QVERIFY(!qobject_cast<Form3 *>(widget));
    }
    QCOMPARE(Form2::Existing(), nullptr);
    QCOMPARE(Form3::Existing(), nullptr);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The tests close the main window many times; the application must outlive them.
    QApplication::setQuitOnLastWindowClosed(false);
    TestForm1Startup test;
    return QTest::qExec(&test, argc, argv);
}

#include "form1_startup_test.moc"
