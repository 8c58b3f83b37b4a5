// The advert web panel against a small HTTP server that the test runs on
// 127.0.0.1: what renders, and how hostile or broken answers end.
#include "platform/webfetch.h"
#include "platform/webpanel.h"
#include "tests/common/testkit.h"

#include <QApplication>
#include <QBuffer>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using lumo::platform::WebPanel;
using lumo::platform::WebPanelLimits;

namespace {

// Answers each connection's first request with the handler of its path.
// Lives only as long as the test function that made it.
class TestServer : public QObject {
  public:
    using Handler = std::function<void(QTcpSocket &)>;

    TestServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(*socket); });
            }
        });
    }

    void route(const QByteArray &path, Handler handler) { m_routes.insert(path, std::move(handler)); }
    QUrl url(const QByteArray &path) const
    {
        return QUrl(u"http://127.0.0.1:%1"_s.arg(m_server.serverPort()) + QString::fromLatin1(path));
    }
    const QList<QByteArray> &requests() const { return m_requests; }

  private:
    void readRequest(QTcpSocket &socket)
    {
        QByteArray &buffer = m_pending[&socket];
        buffer += socket.readAll();
        if (!buffer.contains("\r\n\r\n") || socket.property("answered").toBool())
            return;
        socket.setProperty("answered", true);
        const QByteArray path = buffer.split(' ').value(1);
        m_requests.append(path);
        if (const auto it = m_routes.constFind(path); it != m_routes.cend())
            (*it)(socket);
        else
            Respond(socket, 404, "text/html", "<p>not here</p>");
    }

  public:
    static void Respond(QTcpSocket &socket, int status, const QByteArray &type, const QByteArray &body,
                        const QByteArray &extraHeaders = {})
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
        if (!type.isEmpty())
            head += "Content-Type: " + type + "\r\n";
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" +
                extraHeaders + "\r\n";
        socket.write(head + body);
        socket.disconnectFromHost();
    }

  private:
    QTcpServer m_server;
    QHash<QByteArray, Handler> m_routes;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QList<QByteArray> m_requests;
};

TestServer::Handler Page(const QByteArray &html, const QByteArray &type = "text/html; charset=utf-8")
{
    return [html, type](QTcpSocket &s) { TestServer::Respond(s, 200, type, html); };
}

TestServer::Handler Redirect(const QByteArray &location)
{
    return [location](QTcpSocket &s) {
        TestServer::Respond(s, 302, "text/html", {}, "Location: " + location + "\r\n");
    };
}

// Headers, then one byte every 50 ms (bounded).
void Trickle(QTcpSocket &socket)
{
    socket.write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 400\r\n\r\n");
    auto *timer = new QTimer(&socket);
    QObject::connect(timer, &QTimer::timeout, &socket, [&socket, timer, sent = 0]() mutable {
        socket.write("x");
        if (++sent == 400)
            timer->stop();
    });
    timer->start(50);
}

// Headers without a length, then data for as long as the client reads (bounded at 64 MiB).
void Endless(QTcpSocket &socket)
{
    socket.write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
    auto topUp = [&socket, sent = qint64(0)]() mutable {
        while (socket.bytesToWrite() < 256 * 1024 && sent < 64 * 1024 * 1024) {
            socket.write(QByteArray(64 * 1024, 'a'));
            sent += 64 * 1024;
        }
    };
    QObject::connect(&socket, &QTcpSocket::bytesWritten, &socket, topUp);
    topUp();
}

QByteArray Png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage Filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

int RedPixels(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    return red;
}

WebPanelLimits QuickLimits(int timeoutMs = 5'000)
{
    WebPanelLimits limits;
    limits.timeoutMs = timeoutMs;
    return limits;
}

enum class Load { Shown, Failed, NeverEnded };

// Navigates `panel` to `url` and waits for that load to end.
Load LoadPage(WebPanel &panel, const QUrl &url)
{
    QSignalSpy finished(&panel, &WebPanel::loadFinished);
    panel.Navigate(url);
    if (!finished.wait(10'000))
        return Load::NeverEnded;
    return finished.at(0).at(0).toBool() ? Load::Shown : Load::Failed;
}

} // namespace

class TestWebPanel : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase();
    void pageWithImageRenders();
    void pageCharsetFromMetaTag();
    void hostileOrBrokenPagesLeaveItBlank_data();
    void hostileOrBrokenPagesLeaveItBlank();
    void imagesShareOnePixelBudget();
    void threeRedirectsAreFollowed();
    void refusedImagesDoNotShow_data();
    void refusedImagesDoNotShow();
    void localStyleSheetIsNotRead();
    void scriptsDoNotRun();
    void linksOpenOnlyWebAddresses();
    void laterNavigationSupersedesEarlier();
    void navigateReturnsAtOnce();
    void panelDeletedMidLoad();
    void navigatedBeforeShownLoadsOnceDrawn();
    void withoutItsNetworkModuleItStaysBlank();

  private:
    QTemporaryDir m_dir;
    QString m_redPngPath;
};

void TestWebPanel::initTestCase()
{
    m_redPngPath = m_dir.filePath(u"red.png"_s);
    QVERIFY(Filled(40, 40, Qt::red).save(m_redPngPath));
}

void TestWebPanel::pageWithImageRenders()
{
    TestServer server;
    server.route("/ad", Page("<p>Advert <img src=\"img/red.png\" width=\"40\" height=\"40\"></p>"));
    server.route("/img/red.png", Page(Png(Filled(40, 40, Qt::red)), "image/png"));
    WebPanel panel(nullptr, QuickLimits());
    panel.resize(320, 120);
    QCOMPARE(LoadPage(panel, server.url("/ad")), Load::Shown);
    QVERIFY(panel.toPlainText().contains(u"Advert"_s));
    QCOMPARE(panel.pageUrl(), server.url("/ad"));
    QVERIFY(server.requests().contains("/img/red.png"));
    QVERIFY(RedPixels(panel) > 1000);
}

void TestWebPanel::pageCharsetFromMetaTag()
{
    QStringEncoder gbk("GBK");
    if (!gbk.isValid())
        QSKIP("this Qt has no GBK codec");
    const QByteArray html =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
        "</head><body><p>" +
        QByteArray(gbk.encode(u"个性繁体签名"_s)) + "</p></body></html>";
    TestServer server;
    server.route("/gbk", Page(html, "text/html"));
    WebPanel panel(nullptr, QuickLimits());
    QVERIFY(LoadPage(panel, server.url("/gbk")) != Load::NeverEnded);
    QVERIFY(panel.toPlainText().contains(u"个性繁体签名"_s));
}

void TestWebPanel::hostileOrBrokenPagesLeaveItBlank_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("timeoutMs");
    // The size cases get a long timeout: they must end by the cap, not the clock.
    QTest::addRow("refused connection") << QByteArray("refused") << 5'000;
    QTest::addRow("silent server") << QByteArray("/silent") << 300;
    QTest::addRow("trickling server") << QByteArray("/trickle") << 300;
    QTest::addRow("oversized, with length") << QByteArray("/big") << 60'000;
    QTest::addRow("oversized, endless") << QByteArray("/endless") << 60'000;
    QTest::addRow("redirect loop") << QByteArray("/loop") << 5'000;
    QTest::addRow("four redirects") << QByteArray("/r4") << 5'000;
    QTest::addRow("redirect to file") << QByteArray("/tofile") << 5'000;
    QTest::addRow("redirect to ftp") << QByteArray("/toftp") << 5'000;
    QTest::addRow("redirect without target") << QByteArray("/nowhere") << 5'000;
    QTest::addRow("plain text") << QByteArray("/text") << 5'000;
    QTest::addRow("javascript") << QByteArray("/js") << 5'000;
    QTest::addRow("no content type") << QByteArray("/untyped") << 5'000;
    QTest::addRow("not found") << QByteArray("/missing") << 5'000;
    QTest::addRow("server error") << QByteArray("/error") << 5'000;
    QTest::addRow("compressed though asked not to") << QByteArray("/gzip") << 5'000;
    QTest::addRow("too many tags") << QByteArray("/nested") << 5'000;
    QTest::addRow("file address") << QByteArray("file:///etc/passwd") << 5'000;
    QTest::addRow("data address") << QByteArray("data:text/html,<p>data</p>") << 5'000;
    QTest::addRow("javascript address") << QByteArray("javascript:alert(1)") << 5'000;
}

void TestWebPanel::hostileOrBrokenPagesLeaveItBlank()
{
    QFETCH(QByteArray, path);
    QFETCH(int, timeoutMs);
    TestServer server;
    server.route("/silent", [](QTcpSocket &) {});
    server.route("/trickle", Trickle);
    server.route("/big", Page(QByteArray(300 * 1024, 'a')));
    server.route("/endless", Endless);
    server.route("/loop", Redirect("/loop"));
    server.route("/r4", Redirect("/r3"));
    server.route("/r3", Redirect("/r2"));
    server.route("/r2", Redirect("/r1"));
    server.route("/r1", Redirect("/ok"));
    server.route("/ok", Page("<p>reached</p>"));
    server.route("/tofile", Redirect("file:///etc/passwd"));
    server.route("/toftp", Redirect("ftp://127.0.0.1/x.html"));
    server.route("/nowhere", [](QTcpSocket &s) { TestServer::Respond(s, 302, "text/html", {}); });
    server.route("/text", Page("<p>plain</p>", "text/plain"));
    server.route("/js", Page("document.write('x')", "application/javascript"));
    server.route("/untyped", Page("<p>untyped</p>", {}));
    server.route("/error", [](QTcpSocket &s) { TestServer::Respond(s, 500, "text/html", "<p>error</p>"); });
    server.route("/gzip", [](QTcpSocket &s) {
        TestServer::Respond(s, 200, "text/html", qCompress("<p>zipped</p>"), "Content-Encoding: gzip\r\n");
    });
    // Well under the byte cap, but nesting this deep takes the layout seconds.
    server.route("/nested", Page(QByteArray("<div>").repeated(QuickLimits().maxTags + 1) + "x"));

    QUrl url;
    if (path == "refused") {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        url = QUrl(u"http://127.0.0.1:%1/"_s.arg(closed.serverPort()));
    } else {
        url = path.startsWith('/') ? server.url(path) : QUrl(QString::fromLatin1(path));
    }
    WebPanel panel(nullptr, QuickLimits(timeoutMs));
    QSignalSpy finished(&panel, &WebPanel::loadFinished);
    panel.Navigate(url);
    QVERIFY(finished.wait(20'000));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(panel.toPlainText().isEmpty());
    QVERIFY(panel.pageUrl().isEmpty());
    QVERIFY(!server.requests().contains("/ok"));
    QVERIFY(server.requests().count("/loop") <= 4);
}

void TestWebPanel::imagesShareOnePixelBudget()
{
    TestServer server;
    server.route("/ad", Page("<p>Advert <img src=\"/a.png\" width=\"40\" height=\"40\">"
                             "<img src=\"/b.png\" width=\"40\" height=\"40\"></p>"));
    server.route("/a.png", Page(Png(Filled(40, 40, Qt::red)), "image/png"));
    server.route("/b.png", Page(Png(Filled(40, 40, Qt::red)), "image/png"));
    WebPanelLimits limits = QuickLimits();
    limits.maxImagePixels = 40 * 40;
    WebPanel panel(nullptr, limits);
    panel.resize(320, 120);
    QVERIFY(LoadPage(panel, server.url("/ad")) != Load::NeverEnded);
    QVERIFY(server.requests().contains("/a.png") && server.requests().contains("/b.png"));
    const int red = RedPixels(panel);
    QVERIFY2(red > 1000 && red < 2000, qPrintable(QString::number(red))); // one image of the two
}

void TestWebPanel::threeRedirectsAreFollowed()
{
    TestServer server;
    server.route("/r3", Redirect("/r2"));
    server.route("/r2", Redirect(server.url("/r1").toEncoded()));
    server.route("/r1", Redirect("/ok"));
    server.route("/ok", Page("<p>reached</p>"));
    WebPanel panel(nullptr, QuickLimits());
    QCOMPARE(LoadPage(panel, server.url("/r3")), Load::Shown);
    QVERIFY(panel.toPlainText().contains(u"reached"_s));
    QCOMPARE(panel.pageUrl(), server.url("/ok"));
}

void TestWebPanel::refusedImagesDoNotShow_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("shows");
    QTest::addRow("network png (control)") << u"/red.png"_s << true;
    QTest::addRow("local file") << QUrl::fromLocalFile(m_redPngPath).toString() << false;
    QTest::addRow("redirect to local file") << u"/tofile.png"_s << false;
    QTest::addRow("svg") << u"/red.svg"_s << false;
    QTest::addRow("too many pixels") << u"/huge.png"_s << false;
    QTest::addRow("too many bytes") << u"/heavy.png"_s << false;
    QTest::addRow("corrupt") << u"/corrupt.png"_s << false;
    QTest::addRow("html posing as image") << u"/page.png"_s << false;
    QTest::addRow("png posing as html") << u"/png.html"_s << false;
}

void TestWebPanel::refusedImagesDoNotShow()
{
    QFETCH(QString, source);
    QFETCH(bool, shows);
    QRandomGenerator random(42);
    QImage noise(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate() | 0xffff0000u);
    TestServer server;
    server.route("/ad",
                 Page("<p>Advert <img src=\"" + source.toUtf8() + "\" width=\"40\" height=\"40\"></p>"));
    server.route("/red.png", Page(Png(Filled(40, 40, Qt::red)), "image/png"));
    server.route("/tofile.png", Redirect(QUrl::fromLocalFile(m_redPngPath).toEncoded()));
    server.route("/red.svg", Page("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\">"
                                  "<rect width=\"40\" height=\"40\" fill=\"#ff0000\"/></svg>",
                                  "image/svg+xml"));
    server.route("/huge.png", Page(Png(Filled(5000, 10, Qt::red)), "image/png"));
    server.route("/heavy.png", Page(Png(noise), "image/png"));
    server.route("/corrupt.png", Page("\x89PNG\r\n\x1a\n garbage", "image/png"));
    server.route("/page.png", Page("<p>not an image</p>", "image/png"));
    server.route("/png.html", Page(Png(Filled(40, 40, Qt::red)), "text/html"));
    QVERIFY(Png(noise).size() > 256 * 1024);

    WebPanel panel(nullptr, QuickLimits());
    panel.resize(320, 120);
    QCOMPARE(LoadPage(panel, server.url("/ad")), Load::Shown);
    QVERIFY(panel.toPlainText().contains(u"Advert"_s));
    if (shows)
        QVERIFY(RedPixels(panel) > 1000);
    else
        QCOMPARE(RedPixels(panel), 0);
}

void TestWebPanel::localStyleSheetIsNotRead()
{
    const QString css = m_dir.filePath(u"red.css"_s);
    QFile file(css);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("p { color: #ff0000; background-color: #ff0000; }");
    file.close();
    TestServer server;
    server.route("/ad",
                 Page("<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"" +
                      QUrl::fromLocalFile(css).toEncoded() + "\"></head><body><p>styled?</p></body></html>"));
    WebPanel panel(nullptr, QuickLimits());
    panel.resize(320, 120);
    QVERIFY(LoadPage(panel, server.url("/ad")) != Load::NeverEnded);
    QVERIFY(panel.toPlainText().contains(u"styled?"_s));
    const QTextCharFormat format = panel.document()->begin().begin().fragment().charFormat();
    QCOMPARE_NE(format.foreground().color(), QColor(Qt::red));
    QCOMPARE(RedPixels(panel), 0);
}

void TestWebPanel::scriptsDoNotRun()
{
    TestServer server;
    server.route("/ad", Page("<html><head><script>document.title='EVIL';</script></head>"
                             "<body onload=\"document.write('EVIL')\"><p>visible</p>"
                             "<script>document.write('EVIL')</script></body></html>"));
    WebPanel panel(nullptr, QuickLimits());
    QCOMPARE(LoadPage(panel, server.url("/ad")), Load::Shown);
    QCOMPARE(panel.toPlainText().trimmed(), u"visible"_s);
}

void TestWebPanel::linksOpenOnlyWebAddresses()
{
    lumo::test::UrlRecorder recorder;
    const QStringList schemes{u"http"_s, u"https"_s, u"file"_s, u"javascript"_s, u"mailto"_s, u"ftp"_s};
    for (const QString &scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &recorder, "open");

    TestServer server;
    server.route("/ad", Page("<p><a href=\"file:///etc/passwd\">LOCAL</a><br>"
                             "<a href=\"javascript:alert(1)\">SCRIPT</a><br>"
                             "<a href=\"mailto:a@b.example\">MAIL</a><br>"
                             "<a href=\"ftp://b.example/x\">FTP</a><br>"
                             "<a href=\"more.html\">RELATIVE</a><br>"
                             "<a href=\"https://b.example/x\">WEB</a></p>"));
    WebPanel panel(nullptr, QuickLimits());
    panel.resize(320, 200);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QVERIFY(LoadPage(panel, server.url("/ad")) != Load::NeverEnded);

    const auto click = [&panel](const QString &text) {
        const QTextCursor found = panel.document()->find(text);
        QVERIFY2(!found.isNull(), qPrintable(text));
        QTextCursor at(panel.document());
        at.setPosition(found.selectionStart() + 1);
        const QPoint point = panel.cursorRect(at).center();
        QTest::mouseClick(panel.viewport(), Qt::LeftButton, {}, point);
    };
    for (const QString &text : {u"LOCAL"_s, u"SCRIPT"_s, u"MAIL"_s, u"FTP"_s, u"RELATIVE"_s, u"WEB"_s})
        click(text);

    for (const QString &scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);
    QCOMPARE(recorder.opened, (QList<QUrl>{server.url("/more.html"), QUrl(u"https://b.example/x"_s)}));
    // The panel itself never followed a link.
    QCOMPARE(panel.pageUrl(), server.url("/ad"));
}

void TestWebPanel::laterNavigationSupersedesEarlier()
{
    TestServer server;
    server.route("/silent", [](QTcpSocket &) {});
    server.route("/ad", Page("<p>second</p>"));
    WebPanel panel(nullptr, QuickLimits(60'000));
    QSignalSpy finished(&panel, &WebPanel::loadFinished);
    panel.Navigate(server.url("/silent"));
    panel.Navigate(server.url("/ad"));
    QVERIFY(finished.wait(10'000));
    QTest::qWait(100);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QVERIFY(panel.toPlainText().contains(u"second"_s));
}

void TestWebPanel::navigateReturnsAtOnce()
{
    TestServer server;
    server.route("/ad", Page("<p>later</p>"));
    WebPanel panel(nullptr, QuickLimits());
    QSignalSpy finished(&panel, &WebPanel::loadFinished);
    panel.Navigate(server.url("/ad"));
    // Nothing has been fetched before the event loop runs.
    QVERIFY(server.requests().isEmpty());
    QVERIFY(panel.toPlainText().isEmpty());
    QVERIFY(finished.wait(10'000));
    QVERIFY(panel.toPlainText().contains(u"later"_s));
}

void TestWebPanel::panelDeletedMidLoad()
{
    TestServer server;
    server.route("/ad", Page("<p><img src=\"/slow.png\"></p>"));
    server.route("/slow.png", [](QTcpSocket &) {});
    server.route("/silent", [](QTcpSocket &) {});
    for (const QByteArray path : {"/silent", "/ad"}) {
        auto panel = std::make_unique<WebPanel>(nullptr, QuickLimits(60'000));
        QSignalSpy finished(panel.get(), &WebPanel::loadFinished);
        panel->Navigate(server.url(path));
        // Wait until the server has the request, so a transfer is under way.
        QTRY_VERIFY(server.requests().contains(path == "/ad" ? "/slow.png" : path));
        panel.reset();
        QTest::qWait(50);
    }
}

void TestWebPanel::navigatedBeforeShownLoadsOnceDrawn()
{
    // The main window's order: navigate while hidden, then show.
    TestServer server;
    server.route("/ad", Page("<p>shown</p>"));
    WebPanel panel(nullptr, QuickLimits());
    panel.resize(320, 120);
    QSignalSpy finished(&panel, &WebPanel::loadFinished);
    panel.Navigate(server.url("/ad"));
    panel.show();
    QVERIFY(finished.wait(10'000));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QVERIFY(panel.toPlainText().contains(u"shown"_s));
}

void TestWebPanel::withoutItsNetworkModuleItStaysBlank()
{
    TestServer server;
    server.route("/ad", Page("<p>never shown</p>"));
    lumo::platform::detail::SetWebFetchModulePath(m_dir.filePath(u"missing/liblumo-webfetch.so"_s));
    WebPanel panel(nullptr, QuickLimits());
    const Load load = LoadPage(panel, server.url("/ad"));
    lumo::platform::detail::SetWebFetchModulePath({});
    QCOMPARE(load, Load::Failed);
    QVERIFY(panel.toPlainText().isEmpty());
    QVERIFY(server.requests().isEmpty());
    // With the module back, a new panel loads.
    WebPanel again(nullptr, QuickLimits());
    QCOMPARE(LoadPage(again, server.url("/ad")), Load::Shown);
}

QTEST_MAIN(TestWebPanel)
#include "webpanel_test.moc"
