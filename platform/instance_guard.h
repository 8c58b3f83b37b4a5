#pragma once

#include <QString>
#include <QStringView>
#include <memory>

class QLockFile;

namespace lumo::platform {

/// Tells whether another copy of the program already runs in this desktop
/// session. Tests install a fake.
class InstanceGuard {
  public:
    virtual ~InstanceGuard() = default;
    /// True when another copy holds the session. Otherwise this process
    /// claims the session and keeps it for as long as it lives.
    virtual bool anotherInstanceRunning() = 0;
};

/// The guard in use: the lock-file one unless a test installed another.
InstanceGuard &Instances();

/// Installs `guard` (nullptr restores the default). Not owned.
void SetInstanceGuard(InstanceGuard *guard);

/// A guard on one lock file. The file is claimed atomically, so of two copies
/// started at the same instant exactly one wins. A lock whose owner has died
/// (crash, SIGKILL) is recognised as stale and taken over.
class LockFileInstanceGuard final : public InstanceGuard {
  public:
    /// How old an unreadable lock (no live owner recorded in it) must be
    /// before it is taken over. A live owner is never displaced.
    static constexpr int kStaleLockMs = 5000;

    explicit LockFileInstanceGuard(QString lockPath, int staleLockMs = kStaleLockMs);
    ~LockFileInstanceGuard() override;

    bool anotherInstanceRunning() override;

    /// Where the lock lives.
    const QString &lockPath() const { return m_lockPath; }

  private:
    QString m_lockPath;
    int m_staleLockMs;
    std::unique_ptr<QLockFile> m_lock;
    bool m_decided = false;
    bool m_another = false;
};

/// The session's name for the lock: "lumo-" and the display the program
/// shows on ($WAYLAND_DISPLAY as a path inside `runtimeDir` ($XDG_RUNTIME_DIR)
/// whether given relative or absolute, else $DISPLAY without its screen
/// number), reduced to characters safe in a file name.
QString SessionLockName(QStringView waylandDisplay, QStringView x11Display, QStringView runtimeDir = {});

/// The lock file of this user and desktop session, in the user's runtime
/// directory; empty when there is no usable runtime directory.
QString DefaultLockPath();

} // namespace lumo::platform
