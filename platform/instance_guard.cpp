#include "platform/instance_guard.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace lumo::platform {

namespace {

InstanceGuard *g_installed = nullptr;

// Keeps letters, digits, '.', '_' and '-'; anything else (':' and '/' in
// display names) becomes '_'. Bounded so a hostile variable cannot make an
// over-long file name.
QString SanitisedForFileName(QStringView text)
{
    constexpr qsizetype kMaxLength = 64;
    QString out;
    for (const QChar c : text.left(kMaxLength)) {
        const char16_t u = c.unicode();
        const bool safe = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                          u == u'.' || u == u'_' || u == u'-';
        out += safe ? c : QChar(u'_');
    }
    return out;
}

} // namespace

QString SessionLockName(QStringView waylandDisplay, QStringView x11Display, QStringView runtimeDir)
{
    // Under Wayland, XWayland also sets DISPLAY; the Wayland socket names the
    // session whichever platform plugin a copy happens to use.
    if (!waylandDisplay.isEmpty()) {
        // libwayland reads a relative WAYLAND_DISPLAY inside XDG_RUNTIME_DIR, so
        // "wayland-0" and "$XDG_RUNTIME_DIR/wayland-0" are the same socket: both
        // are named by the path inside the runtime directory.
        QString socket = waylandDisplay.toString();
        if (!runtimeDir.isEmpty()) {
            const QString dir = QDir::cleanPath(runtimeDir.toString());
            if (!QDir::isAbsolutePath(socket))
                socket = dir + u'/' + socket;
            socket = QDir::cleanPath(socket);
            if (socket.startsWith(dir + u'/'))
                socket = socket.mid(dir.size() + 1);
        }
        return u"lumo-w-"_s + SanitisedForFileName(socket);
    }
    if (!x11Display.isEmpty()) {
        // ":0", ":0.0" and "unix:0" are the same X server.
        QStringView display = x11Display;
        if (display.startsWith(u"unix:"))
            display = display.mid(4);
        const qsizetype colon = display.lastIndexOf(u':');
        const qsizetype dot = display.indexOf(u'.', colon < 0 ? 0 : colon);
        if (colon >= 0 && dot > colon)
            display = display.left(dot);
        return u"lumo-x-"_s + SanitisedForFileName(display);
    }
    return u"lumo-nodisplay"_s;
}

QString DefaultLockPath()
{
    // The runtime directory is private to the user (mode 0700) and on tmpfs,
    // so a lock from before a reboot or logout cannot linger, and no other
    // user can plant one. Qt creates /tmp/runtime-$USER when XDG_RUNTIME_DIR
    // is unset and returns empty when no safe directory exists.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        return {};
    const QString name =
        SessionLockName(qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("DISPLAY"),
                        qEnvironmentVariable("XDG_RUNTIME_DIR"));
    return QDir(dir).filePath(name + u".lock"_s);
}

LockFileInstanceGuard::LockFileInstanceGuard(QString lockPath, int staleLockMs)
    : m_lockPath(std::move(lockPath)), m_staleLockMs(staleLockMs)
{
}

LockFileInstanceGuard::~LockFileInstanceGuard() = default;

bool LockFileInstanceGuard::anotherInstanceRunning()
{
    if (m_decided)
        return m_another;
    m_decided = true;
    if (m_lockPath.isEmpty()) {
        qWarning("lumo: no runtime directory; starting without the single-instance guard");
        return m_another = false;
    }
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // QLockFile records our PID and program path, and on Unix also holds an
    // flock on the file for as long as we live. A lock whose recorded owner is
    // gone is taken over at once; an unreadable one (owner killed between
    // creating and writing it) once it is older than the stale time. Either
    // way the takeover needs the flock, which a live owner never gives up.
    m_lock->setStaleLockTime(m_staleLockMs);
    if (m_lock->tryLock(0))
        return m_another = false;
    if (m_lock->error() == QLockFile::LockFailedError)
        return m_another = true;
    // A lock we cannot create (read-only or full directory) must not keep the
    // user from the program: start without the guard.
    qWarning("lumo: cannot create %ls; starting without the single-instance guard",
             qUtf16Printable(m_lockPath));
    m_lock.reset();
    return m_another = false;
}

InstanceGuard &Instances()
{
    if (g_installed)
        return *g_installed;
    static LockFileInstanceGuard guard(DefaultLockPath());
    return guard;
}

void SetInstanceGuard(InstanceGuard *guard)
{
    g_installed = guard;
}

} // namespace lumo::platform
