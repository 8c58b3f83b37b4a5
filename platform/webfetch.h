#pragma once

// The advert panel's transfers, kept apart from the panel. Qt Network and what it brings with it
// (TLS, Kerberos, proxy set-up: nine more libraries) took every start of the program about 2 ms to
// load, and only the advert uses them, after the window's first paint. They live in a module of
// their own (webfetch_module.cpp), opened when a panel first fetches.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

namespace lumo::platform {

/// An http or https address with a host: the only kind the panel fetches or opens.
inline bool IsWebScheme(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

/// "text/html; charset=gbk" -> "text/html"
inline QByteArray MimeType(const QByteArray &contentType)
{
    const qsizetype semicolon = contentType.indexOf(';');
    return (semicolon < 0 ? contentType : contentType.left(semicolon)).trimmed().toLower();
}

/// The image format the panel reads a MIME type as; empty for anything else. Raster formats
/// only: an SVG may itself refer to local files.
inline QByteArray ImageFormatFor(const QByteArray &mimeType)
{
    if (mimeType == "image/png")
        return "png";
    if (mimeType == "image/jpeg" || mimeType == "image/jpg" || mimeType == "image/pjpeg")
        return "jpeg";
    if (mimeType == "image/gif")
        return "gif";
    if (mimeType == "image/bmp" || mimeType == "image/x-bmp" || mimeType == "image/x-ms-bmp")
        return "bmp";
    return {};
}

enum class FetchKind { Page, Image };

/// What one transfer may take (the panel's WebPanelLimits say how much).
struct FetchLimits {
    int timeoutMs;   ///< the whole transfer, redirects included
    qint64 maxBytes; ///< the body of the response
    int maxRedirects;
};

/// How a transfer ended: `ok` with the body, the address it came from after redirects and its
/// Content-Type; or not, with nothing.
using FetchDone =
    std::function<void(bool ok, const QByteArray &body, const QUrl &finalUrl, const QByteArray &contentType)>;

/// Fetches pages and images over http/https for one panel.
class WebFetcher : public QObject {
  public:
    using QObject::QObject;

    /// Fetches `url` as a page (text/html) or an image (a raster format), within `limits`. Calls
    /// `done` exactly once, unless `owner` is deleted first, which aborts the transfer.
    virtual void Fetch(const QUrl &url, FetchKind kind, const FetchLimits &limits, FetchDone done,
                       QObject *owner) = 0;
};

/// A fetcher from the network module, a child of `parent`. Null when the module cannot be
/// loaded; the reason goes to standard error, once.
WebFetcher *CreateWebFetcher(QObject *parent);

namespace detail {
/// For tests: look for the module at `path` alone (empty: where it is installed or built).
void SetWebFetchModulePath(const QString &path);
} // namespace detail

} // namespace lumo::platform
