#include <fstream>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/Platform.h"

namespace {

class Platform : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "platform_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            new QApplication(argc, argv); // the real message box needs widgets
    }
};

} // namespace

TEST_F(Platform, MessageBoxRecorderRecordsAndAnswers)
{
    platform::MessageBoxRecorder boxes(platform::MsgResult::No);
    EXPECT_EQ(platform::messageBox(nullptr, QStringLiteral("是否确认退出"), platform::MsgButtons::YesNo,
                                   platform::MsgIcon::Question),
              platform::MsgResult::No);
    boxes.setAnswer(platform::MsgResult::Yes);
    // An OK box answers OK whatever the recorder would say.
    EXPECT_EQ(platform::messageBox(nullptr, QStringLiteral("余额不足")), platform::MsgResult::Ok);
    ASSERT_EQ(boxes.calls().size(), 2u);
    EXPECT_EQ(boxes.calls()[0].caption, QStringLiteral("Velmora"));
    EXPECT_EQ(boxes.calls()[0].icon, platform::MsgIcon::Question);
    EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("是否确认退出"), QStringLiteral("余额不足")}));
}

TEST_F(Platform, MessageBoxShowsTheServiceTextAsItStands)
{
    // A refusal whose text looks like HTML: shown as written, no markup, no link to follow.
    const QString msg = QStringLiteral("<b>账户冻结</b> 详见 <a href=\"http://example.invalid/x\">公告</a>");
    QString shownText;
    Qt::TextFormat shownFormat = Qt::RichText;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            shownText = label->text();
            shownFormat = label->textFormat(); // plain text has no links to follow
        }
        box->accept();
    });
    poll.start(10);
    EXPECT_EQ(platform::messageBox(nullptr, msg), platform::MsgResult::Ok);
    EXPECT_EQ(shownText, msg);
    EXPECT_EQ(shownFormat, Qt::PlainText);
}

TEST_F(Platform, SaveFileHandlerAnswersInsteadOfADialog)
{
    platform::setSaveFileHandler([](const platform::SaveFileCall& c) { return c.defaultName + QStringLiteral(".txt"); });
    EXPECT_EQ(platform::saveFileName(nullptr, QStringLiteral("持仓"), QStringLiteral("*.txt")), QStringLiteral("持仓.txt"));
    platform::setSaveFileHandler(nullptr);
}

TEST_F(Platform, InstanceLockIsExclusiveAndTakesOverAStaleOne)
{
    QTemporaryDir dir;
    platform::setLockDirectory(dir.path());
    {
        platform::SingleInstance first(QStringLiteral("CVelmoraApp"));
        ASSERT_TRUE(first.acquired());
        platform::SingleInstance second(QStringLiteral("CVelmoraApp"));
        EXPECT_FALSE(second.acquired());
        platform::SingleInstance other(QStringLiteral("Other"));
        EXPECT_TRUE(other.acquired());
    }
    platform::SingleInstance again(QStringLiteral("CVelmoraApp"));
    EXPECT_TRUE(again.acquired());
    platform::setLockDirectory(QString());
}

TEST_F(Platform, BitmapsAreDrawnWithTheirSizesAndStatesDiffer)
{
    using namespace platform::bmp;
    const struct { int id; QSize size; } expected[] = {
        {AppIcon, {64, 64}},         {LoginBackground, {540, 315}}, {LoginButton, {226, 35}},
        {LoginButtonHover, {226, 35}}, {LoginButtonPressed, {226, 35}}, {CloseButton, {34, 28}},
        {CloseButtonHover, {34, 28}}, {CloseButtonPressed, {34, 28}}, {AccountModeIcon, {28, 20}},
        {CheckOff, {16, 16}},        {CheckOn, {16, 16}}};
    for (const auto& e : expected) {
        const QImage img = platform::bitmap(e.id);
        EXPECT_EQ(img.size(), e.size) << e.id;
    }
    EXPECT_NE(platform::bitmap(LoginButton), platform::bitmap(LoginButtonHover));
    EXPECT_NE(platform::bitmap(LoginButton), platform::bitmap(LoginButtonPressed));
    EXPECT_NE(platform::bitmap(CloseButton), platform::bitmap(CloseButtonHover));
    EXPECT_NE(platform::bitmap(CheckOff), platform::bitmap(CheckOn));
    EXPECT_TRUE(platform::bitmap(99999).isNull());
    EXPECT_FALSE(platform::appIcon().isNull());
}

TEST_F(Platform, FontsMapFaceNamesToInstalledFamilies)
{
    const QFont song = platform::font(QStringLiteral("宋体"), 24, true);
    EXPECT_TRUE(song.underline());
    EXPECT_TRUE(QFontDatabase::families().contains(platform::familyFor(QStringLiteral("宋体"))));
    EXPECT_TRUE(QFontDatabase::families().contains(platform::familyFor(QStringLiteral("微软雅黑"))));
    EXPECT_TRUE(QFontDatabase::families().contains(platform::familyFor(QStringLiteral("Arial"))));
    // Latin text in a Latin face still finds CJK glyphs through the fallback.
    EXPECT_GE(platform::font(QStringLiteral("Arial"), 23).families().size(), 2);
}

// A height is the text's cell, as the windows were laid out: the text must fit the boxes drawn
// for it (never taller) and not come out visibly smaller than they expect.
TEST_F(Platform, FontHeightIsTheCellHeight)
{
    for (const QString& face : {QStringLiteral("宋体"), QStringLiteral("Arial")}) {
        for (int height = 9; height <= 40; ++height) {
            SCOPED_TRACE(face.toStdString() + " " + std::to_string(height));
            const QFontMetrics plain(platform::font(face, height));
            EXPECT_LE(plain.height(), height);
            EXPECT_GE(plain.height(), height - 1);
            EXPECT_EQ(plain.height(), plain.ascent() + plain.descent());
            const QFontMetrics bold(platform::font(face, height, false, true));
            EXPECT_LE(bold.height(), height);
            EXPECT_GE(bold.height(), height - 1);
            const QFontMetrics crisp(platform::crispFont(face, height));
            EXPECT_LE(crisp.height(), height);
            EXPECT_GE(crisp.height(), height - 1);
        }
    }
    // The em is smaller than the cell: a 20-pixel cell of the CJK face is not a 20-pixel em.
    EXPECT_LT(platform::font(QStringLiteral("宋体"), 20).pixelSize(), 20);
    // Made again (as paint code does), the same height gives the same font.
    EXPECT_EQ(platform::font(QStringLiteral("Arial"), 15), platform::font(QStringLiteral("Arial"), 15));
}

TEST_F(Platform, WorkAreaAndDataFolderCanBeSet)
{
    platform::setWorkArea(QRect(0, 0, 1280, 984));
    EXPECT_EQ(platform::workArea(), QRect(0, 0, 1280, 984));
    platform::setDataDirectory(QStringLiteral("/tmp/velmora-x"));
    EXPECT_EQ(platform::announcementPagePath(), QStringLiteral("/tmp/velmora-x/Message.html"));
    EXPECT_EQ(platform::infoFolder(), QStringLiteral("/tmp/velmora-x/infovelmora"));
    platform::setDataDirectory(QString());
    EXPECT_FALSE(platform::dataDirectory().isEmpty());
}

TEST_F(Platform, SettingsFolderIsSeededWithWhatItLacksAndKeepsTheUsersFiles)
{
    QTemporaryDir shipped;
    QTemporaryDir home;
    auto write = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(shipped.filePath(QStringLiteral("listtitle.txt")), "catalogue");
    write(shipped.filePath(QStringLiteral("currentlisttitle.txt")), "shipped columns");
    // Installed files are read-only; the user's copy must still be writable.
    QFile::setPermissions(shipped.filePath(QStringLiteral("currentlisttitle.txt")), QFile::ReadOwner | QFile::ReadOther);
    platform::setShippedDataDirectory(shipped.path());

    const QString dir = home.filePath(QStringLiteral("config/Velmora/velmora"));
    const QStringList names{QStringLiteral("listtitle.txt"), QStringLiteral("currentlisttitle.txt"),
                            QStringLiteral("nosuchfile")};
    const platform::SeedResult first = platform::seedSettingsFolder(dir, names);
    EXPECT_TRUE(first.folderReady);
    EXPECT_EQ(first.copied, (QStringList{QStringLiteral("listtitle.txt"), QStringLiteral("currentlisttitle.txt")}));
    EXPECT_EQ(first.missing, QStringList{QStringLiteral("nosuchfile")});
    QFile copy(QDir(dir).filePath(QStringLiteral("currentlisttitle.txt")));
    EXPECT_TRUE(copy.permissions() & QFile::WriteOwner);

    // The user's own columns survive every later start; only a deleted file comes back.
    write(QDir(dir).filePath(QStringLiteral("currentlisttitle.txt")), "my columns");
    QFile::remove(QDir(dir).filePath(QStringLiteral("listtitle.txt")));
    const platform::SeedResult again = platform::seedSettingsFolder(dir, names);
    EXPECT_EQ(again.copied, QStringList{QStringLiteral("listtitle.txt")});
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("my columns"));

    // A folder that cannot be made is reported, and nothing is claimed copied.
    write(home.filePath(QStringLiteral("plainfile")), "x");
    const platform::SeedResult blocked = platform::seedSettingsFolder(home.filePath(QStringLiteral("plainfile/sub")), names);
    EXPECT_FALSE(blocked.folderReady);
    EXPECT_TRUE(blocked.copied.isEmpty());
    EXPECT_EQ(blocked.missing.size(), 3);
    platform::setShippedDataDirectory(QString());
}

TEST_F(Platform, AProgramInTheBuildTreeFindsTheSourceTreesShippedFiles)
{
    // Tests run from the build tree, like a developer's terminal.
    const QString shipped = platform::shippedDataDirectory();
    EXPECT_TRUE(QFileInfo::exists(QDir(shipped).filePath(QStringLiteral("currentlisttitle.txt")))) << shipped.toStdString();
}
