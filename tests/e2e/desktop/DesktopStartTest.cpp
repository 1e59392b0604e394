#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// A session with no window system at all: anything that reached for one would fail.
QProcessEnvironment noDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class DesktopStartTest final : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersionNeedNoDisplay();
    void unknownOptionsAreRefusedWithStatusTwo();
    void firstStartFromAnyFolderSeedsTheConfigurationFolder();
};

void DesktopStartTest::helpAndVersionNeedNoDisplay()
{
    const QString velmora = QStringLiteral(VELMORA_PROGRAM);
    const Run help = run(velmora, {QStringLiteral("--help")}, noDisplay());
    QCOMPARE(help.exitCode, 0);
    QVERIFY2(help.out.startsWith(QStringLiteral("Usage: velmora [options]")), qPrintable(help.out));
    for (const char* option : {"--line0-host", "--line1-host", "--update-host", "--key", "--workdir", "--trace",
                               "--version"})
        QVERIFY2(help.out.contains(QLatin1String(option)), option);
    const Run version = run(velmora, {QStringLiteral("--version")}, noDisplay());
    QCOMPARE(version.exitCode, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^velmora \\d+\\.\\d+(\\.\\d+)?\n$")).match(version.out).hasMatch(),
             qPrintable(version.out));

    const QString exchange = QStringLiteral(EXCHANGE_PROGRAM);
    const Run exchangeHelp = run(exchange, {QStringLiteral("--help")}, noDisplay());
    QCOMPARE(exchangeHelp.exitCode, 0);
    for (const char* option : {"--listen", "--db", "--pace", "--version", "--help"})
        QVERIFY2(exchangeHelp.out.contains(QLatin1String(option)), option);
    const Run exchangeVersion = run(exchange, {QStringLiteral("-v")}, noDisplay());
    QCOMPARE(exchangeVersion.exitCode, 0);
    QCOMPARE(exchangeVersion.out, QString(version.out).replace(QStringLiteral("velmora"), QStringLiteral("velmora-exchange")));
}

void DesktopStartTest::unknownOptionsAreRefusedWithStatusTwo()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const Run velmora = run(QStringLiteral(VELMORA_PROGRAM), {QStringLiteral("--colour=red")}, env);
    QCOMPARE(velmora.exitCode, 2);
    QVERIFY2(velmora.err.contains(QStringLiteral("Unknown option 'colour'")), qPrintable(velmora.err));
    QVERIFY(velmora.err.contains(QStringLiteral("velmora --help")));
    QVERIFY(velmora.out.isEmpty());

    const Run badKey = run(QStringLiteral(VELMORA_PROGRAM), {QStringLiteral("--key"), QStringLiteral("short")}, env);
    QCOMPARE(badKey.exitCode, 2);
    QVERIFY(badKey.err.contains(QStringLiteral("--key")));

    const Run exchange = run(QStringLiteral(EXCHANGE_PROGRAM), {QStringLiteral("--colour=red")}, env);
    QCOMPARE(exchange.exitCode, 2);
    QVERIFY2(exchange.err.contains(QStringLiteral("unknown option: --colour")), qPrintable(exchange.err));
    QVERIFY(exchange.err.contains(QStringLiteral("velmora-exchange --help")));
}

void DesktopStartTest::firstStartFromAnyFolderSeedsTheConfigurationFolder()
{
    QTemporaryDir home;
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("run"))));
    QFile::setPermissions(home.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString config = home.filePath(QStringLiteral("config/Velmora/velmora"));
    QVERIFY(QDir().mkpath(config));
    // A column file the user broke by hand: it must survive the start untouched.
    const QByteArray broken = "{\"infor\":[";
    {
        QFile f(config + QStringLiteral("/currentlisttitle.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(broken);
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
    QProcess terminal;
    terminal.setProcessEnvironment(env);
    terminal.setWorkingDirectory(QDir::rootPath());
    terminal.start(QStringLiteral(VELMORA_PROGRAM), {});
    QVERIFY(terminal.waitForStarted());
    const QString catalogue = config + QStringLiteral("/listtitle.txt");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(catalogue) && terminal.state() == QProcess::Running, 30000);
    terminal.kill();
    terminal.waitForFinished();

    QCOMPARE(readAll(catalogue), readAll(QStringLiteral(SHIPPED_DATA_DIR "/listtitle.txt")));
    QCOMPARE(readAll(config + QStringLiteral("/currentlisttitle.txt")), broken);
}

QTEST_GUILESS_MAIN(DesktopStartTest)
#include "DesktopStartTest.moc"
