// The web update against a real HTTP server on 127.0.0.1: when the server's
// copy is offered, what a download leaves in the data folder on every way it
// can end, and what the progress window shows meanwhile.

#include "exchange/Progress.h"
#include "exchange/UpdateZip.h"
#include "exchange/WebUpdate.h"
#include "platform/Forms.h"
#include "platform/InternetTransfer.h"
#include "platform/TimeZone.h"
#include "platform/ZipControl.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/HttpTestServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeZone>
#include <QTimer>
#include <QtEndian>
#include <gtest/gtest.h>
#include <ostream>

using platform::Forms;
using platform::MsgResult;
using platform::ZipControl;
using Behaviour = HttpTestServer::Behaviour;

namespace {

const QString NoUpdateFile = "There is no update file Avaliable.";
const QString UpToDate = "Your data file is up to date.";
const QByteArray OldArchive = QByteArray("PK old archive, kept byte for byte ").repeated(100);

QDateTime utc(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

// A zip archive of one listing, grown to `size` bytes with an archive comment
// when a size is given; stored, not compressed, under the name given.
QByteArray zipOfListing(const TestEnvironment& env, const QByteArray& listing, int size = 0,
                        const QString& name = "Brisca.txt")
{
    QDir(env.hostPath("stage")).removeRecursively();
    env.writeFile("stage/" + name, listing);
    ZipControl packer;
    packer.ArchiveFolder = env.windowsPath("stage");
    packer.ArchiveName = env.windowsPath("packed.zip");
    packer.OverwriteFiles = true;
    packer.CompressionLevel = 0;
    packer.PackFiles();
    QByteArray zip = env.readFile("packed.zip");
    if (size > 0) {
        const auto comment = static_cast<quint16>(size - zip.size());
        qToLittleEndian(comment, zip.data() + zip.size() - 2);
        zip.append(QByteArray(comment, 'c'));
    }
    return zip;
}

class WebUpdateTest : public ::testing::Test {
protected:
    TestEnvironment env;
    HttpTestServer server;
    QPointer<SearchForm> form;
    // What the progress window's bar and status show, at each move of the bar.
    QList<int> barValues;
    QStringList statuses;
    int barMaximum = -1;
    bool buttonEnabledMeanwhile = false;
    std::function<void(Progress&, int)> onBarMoved;

    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        ListSearch.LocalFolder = env.windowsPath("data") + "\\";
        ListSearch.TextFile = "Brisca.txt";
        ListSearch.ArchiveFile = "Brisca.zip";
        ListSearch.WebServer = server.host();
        useZone(0, 0, platform::TimeZoneIdUnknown);
        Forms::registerForm("Progress", [this] { return recordingProgress(); });
        form = new SearchForm;
        env.writeFile("data/Brisca.txt", "old listing");
    }
    void TearDown() override
    {
        platform::installTimeZoneSource({});
        Forms::reset();
        delete form;
        ListSearch = ListSearchModule{};
    }

    Progress* recordingProgress()
    {
        auto* progress = new Progress;
        QObject::connect(progress->bar, &QProgressBar::valueChanged, progress, [this, progress](int value) {
            barValues << value;
            barMaximum = std::max(barMaximum, progress->bar->maximum());
            buttonEnabledMeanwhile |= form && form->WebUpdate->isEnabled();
            if (statuses.isEmpty() || statuses.last() != progress->Status->text())
                statuses << progress->Status->text();
            if (onBarMoved)
                onBarMoved(*progress, value);
        });
        return progress;
    }

    void useZone(qint32 bias, qint32 daylightBias, int state)
    {
        platform::installTimeZoneSource([=](platform::TimeZoneInformation& info) {
            info.Bias = bias;
            info.DaylightBias = daylightBias;
            return state;
        });
    }
    void writeOldArchive(const QDateTime& modified = QDateTime::currentDateTime().addDays(-30))
    {
        env.writeFile("data/Brisca.zip", OldArchive);
        QFile file(env.hostPath("data/Brisca.zip"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    QString question() const
    {
        return "An updated data file is avaliable at http://" + server.host()
               + "/Brisca.zip do you want to download the update?";
    }
    void webUpdate() { WebUpdate_Click(*form); }

    // Nothing of a run is left behind: no part file, no progress window, the
    // button usable again.
    void expectRunOver()
    {
        EXPECT_FALSE(QFile::exists(env.hostPath("data/Brisca.zip.part")));
        EXPECT_FALSE(Forms::isLoaded("Progress"));
        ASSERT_TRUE(form);
        EXPECT_TRUE(form->WebUpdate->isEnabled());
    }
};

struct OfferCase {
    const char* name;
    std::optional<QDateTime> localArchive;  // local time; none: no archive
    qint32 bias, daylightBias;
    int zoneState;
    QDateTime server;  // UTC
    bool offered;
};

void PrintTo(const OfferCase& c, std::ostream* os) { *os << c.name; }

class OfferTest : public WebUpdateTest, public ::testing::WithParamInterface<OfferCase> {};

TEST_P(OfferTest, OffersOnlyACopyTwoMinuteBoundariesNewerInUtc)
{
    const OfferCase& c = GetParam();
    if (c.localArchive)
        writeOldArchive(*c.localArchive);
    useZone(c.bias, c.daylightBias, c.zoneState);
    server.setReply(HttpTestServer::fileReply(zipOfListing(env, "new listing"), c.server));
    env.dialogs().answerNext(MsgResult::No);

    webUpdate();

    EXPECT_EQ(env.dialogs().prompts(), QStringList{c.offered ? question() : UpToDate});
    EXPECT_EQ(server.requests(), QStringList{"GET /Brisca.zip HTTP/1.1"});
    EXPECT_EQ(QFile::exists(env.hostPath("data/Brisca.zip")), c.localArchive.has_value());
    if (c.localArchive) {
        EXPECT_EQ(env.readFile("data/Brisca.zip"), OldArchive);
    }
    EXPECT_EQ(env.readFile("data/Brisca.txt"), "old listing");
    expectRunOver();
}

const QDateTime LocalTen(QDate(2026, 7, 7), QTime(10, 0, 59));

INSTANTIATE_TEST_SUITE_P(
    Dates, OfferTest,
    ::testing::Values(
        OfferCase{"no archive, server at 00:01 on 1 Jan 1980", {}, 0, 0, 0, utc(1980, 1, 1, 0, 1), false},
        OfferCase{"no archive, server at 00:02 on 1 Jan 1980", {}, 0, 0, 0, utc(1980, 1, 1, 0, 2), true},
        OfferCase{"same minute", LocalTen, 0, 0, 0, utc(2026, 7, 7, 10, 0), false},
        OfferCase{"next minute", LocalTen, 0, 0, 0, utc(2026, 7, 7, 10, 1), false},
        OfferCase{"second next minute", LocalTen, 0, 0, 0, utc(2026, 7, 7, 10, 2), true},
        OfferCase{"older server copy", LocalTen, 0, 0, 0, utc(2026, 7, 6, 10, 2), false},
        OfferCase{"bias 480 in daylight time: 10:00 is 17:00, next minute", LocalTen, 480, -60, 2,
                  utc(2026, 7, 7, 17, 1), false},
        OfferCase{"bias 480 in daylight time: 10:00 is 17:00, second next minute", LocalTen, 480, -60, 2,
                  utc(2026, 7, 7, 17, 2), true},
        OfferCase{"bias 480 in standard time: 10:00 is 18:00", LocalTen, 480, -60, 1,
                  utc(2026, 7, 7, 18, 1), false}));

struct NoUpdateCase {
    const char* name;
    HttpTestServer::Reply reply;
};

void PrintTo(const NoUpdateCase& c, std::ostream* os) { *os << c.name; }

HttpTestServer::Reply withLastModified(const QByteArray& lastModified, int status = 200)
{
    HttpTestServer::Reply reply;
    reply.status = status;
    reply.body = "PK body";
    reply.headers = {{"Last-Modified", lastModified}};
    return reply;
}

class NoUpdateTest : public WebUpdateTest, public ::testing::WithParamInterface<NoUpdateCase> {};

TEST_P(NoUpdateTest, AnswerWithoutAUsableDateIsNoUpdate)
{
    writeOldArchive();
    server.setReply(GetParam().reply);
    webControl(*form).RequestTimeout = 1;

    webUpdate();

    EXPECT_EQ(env.dialogs().prompts(), QStringList{NoUpdateFile});
    EXPECT_EQ(env.readFile("data/Brisca.zip"), OldArchive);
    expectRunOver();
}

const QByteArray Tomorrow = HttpTestServer::httpDate(QDateTime::currentDateTimeUtc().addDays(1));

INSTANTIATE_TEST_SUITE_P(
    Answers, NoUpdateTest,
    ::testing::Values(NoUpdateCase{"no Last-Modified", HttpTestServer::Reply{}},
                      NoUpdateCase{"Last-Modified too short", withLastModified("Mon, GMT")},
                      NoUpdateCase{"Last-Modified no date", withLastModified("Mon, someday soon GMT")},
                      NoUpdateCase{"404 with a date", withLastModified(Tomorrow, 404)},
                      NoUpdateCase{"500 with a date", withLastModified(Tomorrow, 500)},
                      NoUpdateCase{"never answers", {200, {}, {}, true, Behaviour::NeverAnswer}}));

TEST_F(WebUpdateTest, UnreachableServerIsNoUpdate)
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    ListSearch.WebServer = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    webUpdate();
    ListSearch.WebServer = QString();
    webUpdate();
    EXPECT_EQ(env.dialogs().prompts(), QStringList({NoUpdateFile, NoUpdateFile}));
    expectRunOver();
}

HttpTestServer::Reply newArchive(const TestEnvironment& env, int size = 0)
{
    return HttpTestServer::fileReply(zipOfListing(env, "new listing", size),
                                     QDateTime::currentDateTimeUtc().addDays(1));
}

enum class Body { ZipArchive, Html, Empty, DamagedEntry, NoMainListing };

struct DownloadCase {
    const char* name;
    Body body;
    bool announceLength;
    Behaviour behaviour;
    QString failure;  // how the failure message begins; empty: the archive is replaced
    std::optional<HttpTestServer::Reply> secondReply = {};
    QList<std::pair<QByteArray, QByteArray>> redirects = {};  // path, Location
    bool offered = true;  // false: the first answer already says there is no update
};

void PrintTo(const DownloadCase& c, std::ostream* os) { *os << c.name; }

class DownloadTest : public WebUpdateTest, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(DownloadTest, ArchiveIsReplacedOnlyByACompleteSoundArchive)
{
    const DownloadCase& c = GetParam();
    writeOldArchive();
    HttpTestServer::Reply reply = newArchive(env, 2049);
    ASSERT_LT(reply.body.size(), OldArchive.size());
    if (c.body == Body::Html || c.body == Body::Empty)
        reply.body = c.body == Body::Html ? "<html>moved</html>" : "";
    if (c.body == Body::DamagedEntry)
        reply.body.replace("new listing", "new lIsting");  // stored, so its CRC no longer fits
    if (c.body == Body::NoMainListing)
        reply.body = zipOfListing(env, "new listing", 0, "Other.txt");
    reply.announceLength = c.announceLength;
    reply.behaviour = c.behaviour;
    server.setReplies({reply, c.secondReply.value_or(reply)});
    for (const auto& [path, location] : c.redirects)
        server.setRedirect(path, location);
    webControl(*form).RequestTimeout = 2;

    webUpdate();

    const QStringList prompts = env.dialogs().prompts();
    ASSERT_EQ(prompts.size(), c.failure.isEmpty() || !c.offered ? 1 : 2) << qPrintable(prompts.join(" | "));
    EXPECT_EQ(prompts[0], c.offered ? question() : NoUpdateFile);
    if (!c.failure.isEmpty() && c.offered) {
        EXPECT_TRUE(prompts[1].startsWith("The update could not be " + c.failure)) << qPrintable(prompts[1]);
        EXPECT_TRUE(prompts[1].endsWith(".\r\nYour data file has not been changed."));
    }
    const bool replaced = c.failure.isEmpty() && c.offered;
    EXPECT_EQ(env.readFile("data/Brisca.zip"), replaced ? reply.body : OldArchive);
    EXPECT_EQ(env.readFile("data/Brisca.txt"), replaced ? "new listing" : "old listing");
    // Two requests: the date, then the archive. Under load Qt's network layer now and
    // then sends a request again on a fresh connection, which the server sees as a third.
    EXPECT_GE(server.requests().size(), c.offered ? 2 : 1);
    expectRunOver();
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, DownloadTest,
    ::testing::Values(
        DownloadCase{"zip archive, shorter than the old one", Body::ZipArchive, true, Behaviour::Answer, {}},
        DownloadCase{"no Content-Length", Body::ZipArchive, false, Behaviour::Answer, {}},
        DownloadCase{"no zip archive", Body::Html, true, Behaviour::Answer, "used: it is no zip archive ("},
        DownloadCase{"an entry fails its CRC", Body::DamagedEntry, true, Behaviour::Answer,
                     "used: Brisca.txt is damaged (CRC error)."},
        DownloadCase{"no main listing", Body::NoMainListing, true, Behaviour::Answer, "used: it holds no Brisca.txt."},
        DownloadCase{"empty body", Body::Empty, true, Behaviour::Answer, "downloaded: the server sent an empty file."},
        DownloadCase{"empty body, no Content-Length", Body::Empty, false, Behaviour::Answer,
                     "downloaded: the server sent an empty file."},
        DownloadCase{"server closes mid-body", Body::ZipArchive, true, Behaviour::CloseMidBody,
                     "downloaded: the transfer broke off ("},
        DownloadCase{"second request not found", Body::ZipArchive, true, Behaviour::Answer,
                     "downloaded: the server answered 404.", HttpTestServer::Reply{404, {}, "gone", true}},
        DownloadCase{"second request never answered", Body::ZipArchive, true, Behaviour::Answer,
                     "downloaded: the server did not answer (nothing arrived for 2 seconds).",
                     HttpTestServer::Reply{200, {}, {}, true, Behaviour::NeverAnswer}},
        DownloadCase{"redirect: the final answer counts", Body::ZipArchive, true, Behaviour::Answer, {}, {},
                     {{"/Brisca.zip", "/moved/Brisca.zip"}}},
        DownloadCase{"redirect loop", Body::ZipArchive, true, Behaviour::Answer, "no update", {},
                     {{"/Brisca.zip", "/a.zip"}, {"/a.zip", "/Brisca.zip"}}, false},
        DownloadCase{"redirect to another scheme", Body::ZipArchive, true, Behaviour::Answer, "no update", {},
                     {{"/Brisca.zip", "https://127.0.0.1:1/Brisca.zip"}}, false}));

TEST_F(WebUpdateTest, BarFollowsTheBytesWrittenThenTheArchiveIsUnpacked)
{
    server.setReply(newArchive(env, 60000));
    webUpdate();
    const qsizetype end = barValues.indexOf(60000);
    ASSERT_GE(end, 0) << barValues.size();
    EXPECT_TRUE(std::is_sorted(barValues.begin(), barValues.begin() + end + 1));
    EXPECT_EQ(barValues.value(end + 1), 0);
    EXPECT_EQ(barMaximum, 60000);
    EXPECT_FALSE(buttonEnabledMeanwhile);
    EXPECT_EQ(statuses, QStringList({"Starting download of update.", "Retrieved compressed data update!",
                                     "Decompressing..."}));
    EXPECT_EQ(env.readFile("data/Brisca.txt"), "new listing");
    expectRunOver();
}

struct StopCase {
    const char* name;
    bool stopFlagSet;                         // before the run
    std::function<void(Progress&)> onFirstPart;  // what the user does then
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class StopTest : public WebUpdateTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, StoppedDownloadLeavesTheOldArchive)
{
    writeOldArchive();
    server.setReply(newArchive(env, 60000));
    ListSearch.StopFlag = GetParam().stopFlagSet;
    onBarMoved = [this](Progress& progress, int value) {
        if (value > 0 && barValues.size() == 1 && GetParam().onFirstPart)
            GetParam().onFirstPart(progress);
    };

    webUpdate();

    EXPECT_EQ(env.dialogs().prompts(), QStringList{question()});
    EXPECT_LE(barValues.size(), 2);
    EXPECT_EQ(env.readFile("data/Brisca.zip"), OldArchive);
    EXPECT_EQ(env.readFile("data/Brisca.txt"), "old listing");
    EXPECT_FALSE(ListSearch.StopFlag);
    expectRunOver();
}

INSTANTIATE_TEST_SUITE_P(
    Ways, StopTest,
    ::testing::Values(StopCase{"Cancel pressed", false, [](Progress& p) { p.CancelButton->click(); }},
                      StopCase{"StopFlag already set", true, {}},
                      StopCase{"progress window closed", false, [](Progress& p) { p.close(); }}));

TEST_F(WebUpdateTest, ClosingTheSearchWindowEndsTheRunWithoutIt)
{
    writeOldArchive();
    server.setReply(newArchive(env, 60000));
    onBarMoved = [this](Progress&, int value) {
        if (value > 0 && barValues.size() == 1)
            QTimer::singleShot(0, form, [this] { form->Unload(); });
    };
    webUpdate();
    EXPECT_EQ(env.readFile("data/Brisca.zip"), OldArchive);
    EXPECT_FALSE(QFile::exists(env.hostPath("data/Brisca.zip.part")));
}

TEST_F(WebUpdateTest, ClosingTheSearchWindowEndsTheWaitForAnAnswer)
{
    server.setReply({200, {}, {}, true, Behaviour::NeverAnswer});
    QTimer::singleShot(100, form, [this] { form->Unload(); });
    webUpdate();
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(WebUpdateTest, RefusedWhileTheZipControlWorks)
{
    writeOldArchive();
    env.writeFile("data/Big.zip", zipOfListing(env, QByteArray(300000, 'x')));
    server.setReply(newArchive(env));
    UpdateZip Zip(*form);  // the archive check at start
    bool tried = false;
    QObject::connect(&Zip, &ZipControl::Idle, [&] {
        if (!std::exchange(tried, true))
            webUpdate();
    });
    Zip.ZipOperation = ZipControl::Inspect;
    Zip.ArchiveName = env.windowsPath("data/Big.zip");
    Zip.RunOperation();
    EXPECT_TRUE(tried);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(form->WebUpdate->isEnabled());
}

}  // namespace
