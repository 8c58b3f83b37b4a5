#pragma once

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QSet>
#include <QTextBrowser>
#include <QUrl>

namespace lumo::platform {

class WebFetcher;
struct FetchLimits;

/// What one page load of a WebPanel may take.
struct WebPanelLimits {
    int timeoutMs = 10'000;            ///< whole transfer of one resource, redirects included
    qint64 maxBytes = 256 * 1024;      ///< body of one response
    int maxRedirects = 3;              ///< per resource
    int maxImages = 16;                ///< images fetched per page
    int maxImageSide = 4096;           ///< decoded width or height of an image, in pixels
    qint64 maxImagePixels = 4'000'000; ///< decoded pixels of all the page's images together
    int maxTags = 2'000; ///< tags in the page: laying out a deeply nested page stalls the window
};

/// A small, script-free web panel for a short advert page: fetches one HTML
/// page and its images over http/https and shows them with QTextBrowser's
/// renderer. It never reads local files, runs no scripts, and opens links in
/// the user's browser (http/https only). A failed load leaves it blank.
class WebPanel : public QTextBrowser {
    Q_OBJECT
  public:
    explicit WebPanel(QWidget *parent = nullptr, WebPanelLimits limits = {});
    ~WebPanel() override;

    /// Starts loading `url` and returns at once; the page appears when it has
    /// arrived. Anything but an http/https address leaves the panel blank.
    void Navigate(const QUrl &url);

    /// The address last given to Navigate.
    QUrl requestedUrl() const { return m_requestedUrl; }
    /// The address of the page shown (after redirects); empty when blank.
    QUrl pageUrl() const { return m_pageUrl; }

    /// Serves only what this panel fetched over the network; everything else
    /// is an empty stand-in, so the renderer never falls back to local files.
    QVariant loadResource(int type, const QUrl &name) override;

  protected:
    void paintEvent(QPaintEvent *event) override;

  Q_SIGNALS:
    /// The page and its images have settled; `ok` is false when the panel is blank.
    void loadFinished(bool ok);

  private:
    void startWhenDrawn();
    void startPage();
    void pageArrived(quint64 load, bool ok, const QByteArray &body, const QUrl &finalUrl,
                     const QByteArray &contentType);
    void wantImage(const QUrl &url);
    void imageArrived(quint64 load, const QUrl &url, bool ok, const QByteArray &body,
                      const QByteArray &contentType);
    void render();
    void scheduleRender();
    void finishIfSettled();
    void linkClicked(const QUrl &link);
    QUrl resolved(const QUrl &name) const;

    WebFetcher *fetcher();
    FetchLimits transferLimits() const;

    WebPanelLimits m_limits;
    WebFetcher *m_fetcher = nullptr; // a child; null until the first fetch, or if it cannot be made
    bool m_fetcherTried = false;
    QPointer<QObject> m_load; // parent of this load's transfers; deleting it aborts them
    quint64 m_loadNumber = 0; // callbacks of an abandoned load are ignored
    QUrl m_requestedUrl;
    QUrl m_pageUrl;
    QString m_html;
    QHash<QUrl, QImage> m_images;
    QSet<QUrl> m_requested;
    int m_pending = 0;
    qint64 m_imagePixels = 0;
    bool m_pageShown = false;
    bool m_renderScheduled = false;
    bool m_finished = true;
    bool m_painted = false;
    bool m_startAfterPaint = false;
};

} // namespace lumo::platform
