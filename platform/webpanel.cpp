#include "platform/webpanel.h"

#include "platform/urllauncher.h"
#include "platform/webfetch.h"

#include <QBuffer>
#include <QImageReader>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <cctype>
#include <functional>

using namespace Qt::StringLiterals;

namespace lumo::platform {

namespace {

// The charset parameter of a Content-Type value, or of the first
// "charset=" in a page's head (<meta charset> and <meta http-equiv>).
QByteArray CharsetIn(const QByteArray &text)
{
    const QByteArray lower = text.toLower();
    const qsizetype at = lower.indexOf("charset=");
    if (at < 0)
        return {};
    qsizetype begin = at + 8;
    while (begin < lower.size() && (lower[begin] == '"' || lower[begin] == '\''))
        ++begin;
    qsizetype end = begin;
    while (end < lower.size() && (std::isalnum(static_cast<unsigned char>(lower[end])) || lower[end] == '-' ||
                                  lower[end] == '_' || lower[end] == ':' || lower[end] == '.'))
        ++end;
    return lower.mid(begin, end - begin);
}

QString DecodePage(const QByteArray &body, const QByteArray &contentType)
{
    QByteArray charset = CharsetIn(contentType);
    if (charset.isEmpty())
        charset = CharsetIn(body.left(2048));
    // Chinese pages that say gb2312 are written in its superset GBK in practice.
    if (charset == "gb2312" || charset == "gb_2312-80" || charset == "x-gbk")
        charset = "gbk";
    if (const auto bom = QStringConverter::encodingForData(body)) {
        QStringDecoder decoder(*bom);
        return decoder.decode(body);
    }
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    return utf8.decode(body);
}

// Start tags in a page: a '<' followed by a letter. Comments, end tags and stray
// less-than signs do not count; nothing else of the markup needs to be understood.
qsizetype StartTags(const QString &html)
{
    qsizetype tags = 0;
    for (qsizetype at = html.indexOf(u'<'); at >= 0 && at + 1 < html.size();
         at = html.indexOf(u'<', at + 1)) {
        const char16_t next = html[at + 1].unicode();
        tags += (next >= u'a' && next <= u'z') || (next >= u'A' && next <= u'Z');
    }
    return tags;
}

// What the renderer gets for any image the panel has not (or not yet)
// fetched. It must be a real image: given a null one, Qt's text layout would
// try to load the name as a local file instead.
const QImage &StandInImage()
{
    static const QImage image = [] {
        QImage transparent(1, 1, QImage::Format_ARGB32);
        transparent.fill(Qt::transparent);
        return transparent;
    }();
    return image;
}

} // namespace

WebPanel::WebPanel(QWidget *parent, WebPanelLimits limits) : QTextBrowser(parent), m_limits(limits)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &WebPanel::linkClicked);
}

WebPanel::~WebPanel()
{
    // Transfers first: they still refer to the fetcher's network manager.
    delete m_load;
}

void WebPanel::Navigate(const QUrl &url)
{
    delete m_load; // aborts whatever an earlier navigation still fetches
    ++m_loadNumber;
    m_requestedUrl = url;
    m_pageUrl.clear();
    m_html.clear();
    m_images.clear();
    m_requested.clear();
    m_pending = 0;
    m_imagePixels = 0;
    m_pageShown = false;
    m_finished = false;
    clear();
    m_startAfterPaint = false;
    m_load = new QObject(this);
    QTimer::singleShot(0, m_load, [this] { startWhenDrawn(); });
}

WebFetcher *WebPanel::fetcher()
{
    // Made on first use: it loads the network module and with it the network and TLS
    // libraries, which have no business delaying the window's first paint.
    if (!m_fetcherTried) {
        m_fetcherTried = true;
        m_fetcher = CreateWebFetcher(this);
    }
    return m_fetcher;
}

FetchLimits WebPanel::transferLimits() const
{
    return {.timeoutMs = m_limits.timeoutMs,
            .maxBytes = m_limits.maxBytes,
            .maxRedirects = m_limits.maxRedirects};
}

void WebPanel::startWhenDrawn()
{
    // The first request of a run loads the TLS and proxy machinery, tens of
    // milliseconds on the UI thread: a panel about to appear is drawn first,
    // so the window does not show late for an advert.
    if (isVisible() && !m_painted) {
        m_startAfterPaint = true;
        return;
    }
    startPage();
}

void WebPanel::paintEvent(QPaintEvent *event)
{
    QTextBrowser::paintEvent(event);
    m_painted = true;
    if (m_startAfterPaint && m_load) {
        m_startAfterPaint = false;
        QTimer::singleShot(0, m_load, [this] { startPage(); });
    }
}

void WebPanel::startPage()
{
    const quint64 load = m_loadNumber;
    WebFetcher *web = fetcher();
    if (!web)
        return pageArrived(load, false, {}, {}, {});
    web->Fetch(
        m_requestedUrl, FetchKind::Page, transferLimits(),
        [this, load](bool ok, const QByteArray &body, const QUrl &finalUrl, const QByteArray &type) {
            pageArrived(load, ok, body, finalUrl, type);
        },
        m_load);
}

void WebPanel::pageArrived(quint64 load, bool ok, const QByteArray &body, const QUrl &finalUrl,
                           const QByteArray &contentType)
{
    if (load != m_loadNumber)
        return;
    QString html;
    if (ok) {
        html = DecodePage(body, contentType);
        ok = StartTags(html) <= m_limits.maxTags;
    }
    if (!ok) {
        clear();
        m_finished = true;
        Q_EMIT loadFinished(false);
        return;
    }
    m_pageUrl = finalUrl;
    m_html = std::move(html);
    m_pageShown = true;
    render();
    // Fetch the page's images: every image the document names, whether the
    // layout has asked for it yet or not.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                wantImage(resolved(QUrl(format.toImageFormat().name())));
        }
    }
    finishIfSettled();
}

QUrl WebPanel::resolved(const QUrl &name) const
{
    return m_pageUrl.resolved(name);
}

void WebPanel::wantImage(const QUrl &url)
{
    if (!m_pageShown || !IsWebScheme(url) || m_requested.contains(url) ||
        m_requested.size() >= m_limits.maxImages)
        return;
    m_requested.insert(url);
    ++m_pending;
    const quint64 load = m_loadNumber;
    // A page was fetched, so the fetcher exists.
    fetcher()->Fetch(
        url, FetchKind::Image, transferLimits(),
        [this, load, url](bool ok, const QByteArray &body, const QUrl &, const QByteArray &type) {
            imageArrived(load, url, ok, body, type);
        },
        m_load);
}

void WebPanel::imageArrived(quint64 load, const QUrl &url, bool ok, const QByteArray &body,
                            const QByteArray &contentType)
{
    if (load != m_loadNumber)
        return;
    --m_pending;
    if (ok) {
        QBuffer buffer;
        buffer.setData(body);
        QImageReader reader(&buffer, ImageFormatFor(MimeType(contentType)));
        reader.setAutoDetectImageFormat(false);
        const QSize size = reader.size();
        // The byte cap does not bound the decoded size: a 4096 x 4096 image of one colour
        // is a few kilobytes of PNG and 64 MiB once decoded.
        const qint64 pixels = size.isValid() ? qint64(size.width()) * size.height() : 0;
        QImage image;
        if (size.isValid() && size.width() <= m_limits.maxImageSide &&
            size.height() <= m_limits.maxImageSide && m_imagePixels + pixels <= m_limits.maxImagePixels)
            image = reader.read();
        if (!image.isNull()) {
            m_imagePixels += pixels;
            m_images.insert(url, image);
            scheduleRender();
        }
    }
    finishIfSettled();
}

void WebPanel::finishIfSettled()
{
    if (m_finished || m_pending > 0)
        return;
    m_finished = true;
    // Show the last images before telling anyone the page is complete.
    if (m_renderScheduled) {
        m_renderScheduled = false;
        render();
    }
    Q_EMIT loadFinished(true);
}

void WebPanel::scheduleRender()
{
    if (m_renderScheduled)
        return;
    m_renderScheduled = true;
    QTimer::singleShot(0, this, [this, load = m_loadNumber] {
        if (load != m_loadNumber || !m_renderScheduled)
            return;
        m_renderScheduled = false;
        render();
    });
}

void WebPanel::render()
{
    const int scrolled = verticalScrollBar()->value();
    document()->setBaseUrl(m_pageUrl);
    setHtml(m_html);
    verticalScrollBar()->setValue(scrolled);
}

QVariant WebPanel::loadResource(int type, const QUrl &name)
{
    if (type == QTextDocument::ImageResource) {
        const QUrl url = resolved(name);
        if (const auto it = m_images.constFind(url); it != m_images.cend())
            return *it;
        wantImage(url);
        return StandInImage();
    }
    // Style sheets and anything else: an empty text, never a file's.
    return QString();
}

void WebPanel::linkClicked(const QUrl &link)
{
    const QUrl url = resolved(link);
    if (IsWebScheme(url))
        Urls().open(url);
}

} // namespace lumo::platform
