// The network module: the advert panel's transfers, with Qt Network. The program opens it when a
// panel first fetches (webfetch.cpp), so that no start pays for loading Qt Network's libraries.

#include "platform/webfetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace lumo::platform {

namespace {

// One resource fetched within the panel's limits. Calls `done` exactly once
// (unless destroyed first, which aborts the transfer) and then deletes itself.
class Transfer : public QObject {
  public:
    Transfer(QNetworkAccessManager &network, const QUrl &url, FetchKind kind, const FetchLimits &limits,
             FetchDone done, QObject *parent)
        : QObject(parent), m_network(network), m_kind(kind), m_limits(limits), m_done(std::move(done))
    {
        // One deadline for the whole transfer, redirects included, so a
        // server that trickles bytes cannot hold the panel open either.
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] { finish(false); });
        m_deadline.start(m_limits.timeoutMs);
        QTimer::singleShot(0, this, [this, url] { get(url); });
    }

    ~Transfer() override { dropReply(); }

  private:
    void get(const QUrl &url)
    {
        if (!IsWebScheme(url))
            return finish(false);
        QNetworkRequest request(url);
        // Redirects are followed here, one by one, so each target's scheme is checked.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        // No compression: the size cap then bounds what the server can make us hold.
        request.setRawHeader("Accept-Encoding", "identity");
        request.setRawHeader(
            "Accept", m_kind == FetchKind::Page ? "text/html" : "image/png,image/jpeg,image/gif,image/bmp");
        m_reply = m_network.get(request);
        m_reply->setReadBufferSize(64 * 1024);
        m_body.clear();
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &Transfer::checkHeaders);
        connect(m_reply, &QNetworkReply::readyRead, this, &Transfer::readBody);
        connect(m_reply, &QNetworkReply::finished, this, &Transfer::replyFinished);
    }

    int status() const { return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); }

    QByteArray contentType() const { return m_reply->rawHeader("Content-Type"); }

    bool acceptable() const
    {
        // We asked for no compression; a server that compresses anyway would have us show the
        // compressed bytes as the page.
        const QByteArray encoding = m_reply->rawHeader("Content-Encoding").trimmed().toLower();
        if (!encoding.isEmpty() && encoding != "identity")
            return false;
        const QByteArray mimeType = MimeType(contentType());
        return m_kind == FetchKind::Page ? mimeType == "text/html" : !ImageFormatFor(mimeType).isEmpty();
    }

    void checkHeaders()
    {
        const int code = status();
        if (code >= 300 && code < 400)
            return;
        if (code < 200 || code >= 300 || !acceptable())
            return finish(false);
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
            return finish(false);
    }

    void readBody()
    {
        // Read at most one byte beyond the cap: enough to know it was exceeded.
        m_body += m_reply->read(m_limits.maxBytes + 1 - m_body.size());
        if (m_body.size() > m_limits.maxBytes)
            finish(false);
    }

    void replyFinished()
    {
        if (m_reply->error() != QNetworkReply::NoError)
            return finish(false);
        const int code = status();
        if (code >= 300 && code < 400)
            return redirect();
        const QPointer<Transfer> alive(this);
        readBody();
        if (!alive || !m_reply)
            return; // over the cap (and, through `done`, maybe already deleted)
        if (code < 200 || code >= 300 || !acceptable())
            return finish(false);
        m_finalUrl = m_reply->url();
        m_contentType = contentType();
        finish(true);
    }

    void redirect()
    {
        const QUrl target = m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        const QUrl next = m_reply->url().resolved(target);
        dropReply();
        if (target.isEmpty() || ++m_redirects > m_limits.maxRedirects || !IsWebScheme(next))
            return finish(false);
        get(next);
    }

    void dropReply()
    {
        if (!m_reply)
            return;
        QNetworkReply *reply = m_reply;
        m_reply.clear();
        reply->disconnect(this);
        // Deleting a reply aborts its transfer. Later, not now: this may run
        // inside one of the reply's own signals, where abort() re-enters it.
        reply->deleteLater();
    }

    void finish(bool ok)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_deadline.stop();
        dropReply();
        // `done` may delete this transfer (a new navigation): work on copies.
        const FetchDone done = std::move(m_done);
        const QByteArray body = ok ? m_body : QByteArray();
        const QUrl finalUrl = m_finalUrl;
        const QByteArray type = m_contentType;
        deleteLater();
        done(ok, body, finalUrl, type);
    }

    QNetworkAccessManager &m_network;
    FetchKind m_kind;
    FetchLimits m_limits;
    FetchDone m_done;
    QTimer m_deadline;
    QPointer<QNetworkReply> m_reply; // the network manager may delete it first
    QByteArray m_body;
    QUrl m_finalUrl;
    QByteArray m_contentType;
    int m_redirects = 0;
    bool m_finished = false;
};

class NetworkFetcher final : public WebFetcher {
  public:
    using WebFetcher::WebFetcher;

    void Fetch(const QUrl &url, FetchKind kind, const FetchLimits &limits, FetchDone done,
               QObject *owner) override
    {
        new Transfer(m_network, url, kind, limits, std::move(done), owner);
    }

  private:
    // A child: the panel deletes its transfers before its children, this one included.
    QNetworkAccessManager &m_network = *new QNetworkAccessManager(this);
};

} // namespace

} // namespace lumo::platform

extern "C" Q_DECL_EXPORT lumo::platform::WebFetcher *lumo_create_web_fetcher(QObject *parent)
{
    return new lumo::platform::NetworkFetcher(parent);
}
