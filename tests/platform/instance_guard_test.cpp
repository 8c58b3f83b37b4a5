// The single-instance guard: session names, claiming, and the locks that
// dead, live and racing copies leave behind. Other copies are real
// processes: this test binary started again with --hold.
#include "platform/instance_guard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>
#include <sys/time.h>
#include <vector>

using namespace Qt::StringLiterals;
using lumo::platform::LockFileInstanceGuard;

namespace {

// Helper mode: claim the lock, say how it went, keep it until stdin closes.
int HoldLock(const char *path)
{
    LockFileInstanceGuard guard(QString::fromLocal8Bit(path));
    std::puts(guard.anotherInstanceRunning() ? "another" : "claimed");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

std::unique_ptr<QProcess> StartHolder(const QString &path)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(QCoreApplication::applicationFilePath());
    process->setArguments({u"--hold"_s, path});
    process->start();
    return process;
}

QByteArray FirstLine(QProcess &process)
{
    while (!process.canReadLine() && process.waitForReadyRead(10'000)) {
    }
    return process.readLine().trimmed();
}

void AgeFile(const QString &path, int seconds)
{
    timeval times[2];
    gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    QVERIFY(::utimes(QFile::encodeName(path).constData(), times) == 0);
}

} // namespace

class TestInstanceGuard : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void sessionNames_data();
    void sessionNames();
    void sessionsOfDifferentDisplaysDiffer();
    void defaultPathIsInTheRuntimeDirectory();
    void firstClaimsSecondIsTurnedAway();
    void releasedLockCanBeClaimedAgain();
    void anotherProcessHoldsTheLock();
    void lockOfAKilledCopyDoesNotBlock();
    void liveOwnerIsNeverDisplaced();
    void unreadableOldLockIsTakenOver();
    void copiesStartedTogetherClaimOnce();
    void unusableLockPathDoesNotBlock();

  private:
    QTemporaryDir m_dir;
    QString lockPath(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
};

void TestInstanceGuard::sessionNames_data()
{
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("x11");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("runtime");
    QTest::addRow("x11 local") << QString() << u":0"_s << u"lumo-x-_0"_s << QString();
    QTest::addRow("x11 screen number dropped") << QString() << u":0.1"_s << u"lumo-x-_0"_s << QString();
    QTest::addRow("x11 local socket named") << QString() << u"unix:0.0"_s << u"lumo-x-_0"_s << QString();
    QTest::addRow("x11 remote") << QString() << u"localhost:10.0"_s << u"lumo-x-localhost_10"_s << QString();
    QTest::addRow("wayland wins over XWayland")
        << u"wayland-0"_s << u":1"_s << u"lumo-w-wayland-0"_s << QString();
    QTest::addRow("wayland socket path, no runtime dir")
        << u"/run/user/1000/wayland-1"_s << QString() << u"lumo-w-_run_user_1000_wayland-1"_s << QString();
    // libwayland looks for a relative name in the runtime directory: one socket, one name.
    QTest::addRow("wayland relative")
        << u"wayland-1"_s << QString() << u"lumo-w-wayland-1"_s << u"/run/user/1000"_s;
    QTest::addRow("wayland absolute in the runtime dir")
        << u"/run/user/1000/wayland-1"_s << QString() << u"lumo-w-wayland-1"_s << u"/run/user/1000/"_s;
    QTest::addRow("wayland absolute, roundabout") << u"/run/user/1000/../1000/./wayland-1"_s << QString()
                                                  << u"lumo-w-wayland-1"_s << u"/run/user/1000"_s;
    QTest::addRow("wayland relative in a subfolder")
        << u"sub/wayland-1"_s << QString() << u"lumo-w-sub_wayland-1"_s << u"/run/user/1000"_s;
    QTest::addRow("wayland socket elsewhere")
        << u"/tmp/wayland-1"_s << QString() << u"lumo-w-_tmp_wayland-1"_s << u"/run/user/1000"_s;
    QTest::addRow("wayland relative climbing out")
        << u"../wayland-1"_s << QString() << u"lumo-w-_run_user_wayland-1"_s << u"/run/user/1000"_s;
    QTest::addRow("path tricks flattened")
        << QString() << u"../../etc/x:0"_s << u"lumo-x-.._.._etc_x_0"_s << QString();
    QTest::addRow("no display") << QString() << QString() << u"lumo-nodisplay"_s << QString();
}

void TestInstanceGuard::sessionNames()
{
    QFETCH(QString, wayland);
    QFETCH(QString, x11);
    QFETCH(QString, expected);
    QFETCH(QString, runtime);
    QCOMPARE(lumo::platform::SessionLockName(wayland, x11, runtime), expected);
}

void TestInstanceGuard::sessionsOfDifferentDisplaysDiffer()
{
    using lumo::platform::SessionLockName;
    QCOMPARE_NE(SessionLockName({}, u":0"), SessionLockName({}, u":1"));
    QCOMPARE_NE(SessionLockName(u"wayland-0", {}), SessionLockName(u"wayland-1", {}));
    // A hostile value cannot make an over-long file name.
    QVERIFY(SessionLockName({}, QString(5000, u'x')).size() < 100);
}

void TestInstanceGuard::defaultPathIsInTheRuntimeDirectory()
{
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldDisplay = qgetenv("DISPLAY");
    const QByteArray oldWayland = qgetenv("WAYLAND_DISPLAY");
    QTemporaryDir runtime;
    QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("DISPLAY", ":7");
    qunsetenv("WAYLAND_DISPLAY");
    const QString path = lumo::platform::DefaultLockPath();
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    qputenv("DISPLAY", oldDisplay);
    if (!oldWayland.isEmpty())
        qputenv("WAYLAND_DISPLAY", oldWayland);
    QCOMPARE(path, QDir(runtime.path()).filePath(u"lumo-x-_7.lock"_s));
}

void TestInstanceGuard::firstClaimsSecondIsTurnedAway()
{
    const QString path = lockPath("first.lock");
    LockFileInstanceGuard first(path);
    LockFileInstanceGuard second(path);
    QVERIFY(!first.anotherInstanceRunning());
    QVERIFY(second.anotherInstanceRunning());
    // The answer is decided once and kept.
    QVERIFY(!first.anotherInstanceRunning());
    QVERIFY(second.anotherInstanceRunning());
}

void TestInstanceGuard::releasedLockCanBeClaimedAgain()
{
    const QString path = lockPath("released.lock");
    {
        LockFileInstanceGuard first(path);
        QVERIFY(!first.anotherInstanceRunning());
        QVERIFY(QFile::exists(path));
    }
    QVERIFY(!QFile::exists(path));
    LockFileInstanceGuard next(path);
    QVERIFY(!next.anotherInstanceRunning());
}

void TestInstanceGuard::anotherProcessHoldsTheLock()
{
    const QString path = lockPath("other.lock");
    auto holder = StartHolder(path);
    QCOMPARE(FirstLine(*holder), "claimed");
    LockFileInstanceGuard mine(path);
    QVERIFY(mine.anotherInstanceRunning());
    holder->closeWriteChannel();
    QVERIFY(holder->waitForFinished(10'000));
    QCOMPARE(holder->exitCode(), 0);
    LockFileInstanceGuard after(path);
    QVERIFY(!after.anotherInstanceRunning());
}

void TestInstanceGuard::lockOfAKilledCopyDoesNotBlock()
{
    const QString path = lockPath("killed.lock");
    auto holder = StartHolder(path);
    QCOMPARE(FirstLine(*holder), "claimed");
    holder->kill(); // SIGKILL: no chance to remove the file
    QVERIFY(holder->waitForFinished(10'000));
    QVERIFY(QFile::exists(path));
    // Taken over at once, not after the stale time.
    LockFileInstanceGuard next(path, 60'000);
    QVERIFY(!next.anotherInstanceRunning());
}

void TestInstanceGuard::liveOwnerIsNeverDisplaced()
{
    const QString path = lockPath("live.lock");
    auto holder = StartHolder(path);
    QCOMPARE(FirstLine(*holder), "claimed");
    // However old its lock looks, a live owner keeps it.
    AgeFile(path, 3600);
    LockFileInstanceGuard mine(path, 1);
    QVERIFY(mine.anotherInstanceRunning());
    holder->closeWriteChannel();
    QVERIFY(holder->waitForFinished(10'000));
}

void TestInstanceGuard::unreadableOldLockIsTakenOver()
{
    // A copy killed between creating its lock and writing into it leaves an
    // empty file with no owner recorded.
    const QString path = lockPath("empty.lock");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    AgeFile(path, LockFileInstanceGuard::kStaleLockMs / 1000 + 60);
    LockFileInstanceGuard next(path);
    QVERIFY(!next.anotherInstanceRunning());
}

void TestInstanceGuard::copiesStartedTogetherClaimOnce()
{
    const QString path = lockPath("race.lock");
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int i = 0; i < 6; ++i)
            copies.push_back(StartHolder(path));
        int claimed = 0;
        int another = 0;
        for (auto &copy : copies) {
            const QByteArray line = FirstLine(*copy);
            claimed += line == "claimed";
            another += line == "another";
        }
        QCOMPARE(claimed, 1);
        QCOMPARE(another, 5);
        for (auto &copy : copies) {
            copy->closeWriteChannel();
            QVERIFY(copy->waitForFinished(10'000));
        }
    }
}

void TestInstanceGuard::unusableLockPathDoesNotBlock()
{
    // No lock can be made here; the program must still start.
    LockFileInstanceGuard guard(m_dir.filePath(u"missing/dir/x.lock"_s));
    QVERIFY(!guard.anotherInstanceRunning());
    LockFileInstanceGuard noPath{QString()};
    QVERIFY(!noPath.anotherInstanceRunning());
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0)
        return HoldLock(argv[2]);
    QCoreApplication app(argc, argv);
    TestInstanceGuard test;
    return QTest::qExec(&test, argc, argv);
}

#include "instance_guard_test.moc"
