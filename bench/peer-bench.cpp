// A thousand clients on 127.0.0.1 at once, each asking the exchange's server
// for its location names ("Req List Info:") and then one archive
// ("GetList: A"), against a bare server in the same process that answers the
// same requests with the same bytes held in memory. The clients run on a
// thread of their own, with its own event loop, so the servers' loop on the
// main thread serves them as it would serve other machines and spends none of
// its time on them. Every answer is checked
// byte for byte. Reported: each server's time (median and range), the answers
// that were right, the process's peak memory after the bare server's first
// run (the clients' share and the baseline) and at the end, and its open files
// before the first run and after the last, once every client has gone.
//
// usage: peer-bench [CLIENTS] [RUNS]   (1000 clients, 3 runs by default)
// The process raises its own open-file limit to the hard limit: each
// connection holds two sockets here, the client's and the server's.

#include "BenchTiming.h"

#include "exchange/PeerExchange.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "platform/Winsock.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>
#include <sys/resource.h>

using bench::Clock;

namespace {

constexpr int ArchiveBytes = 200 * 1024;
constexpr int WaitMs = 300 * 1000;

const QByteArray ListsRequest = "Req List Info:";
const QByteArray ListsReply = "Lists:\r\nA\r\nB\r\n";
const QByteArray ArchiveRequest = "GetList: A";

void raiseOpenFileLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

int openFiles() { return static_cast<int>(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size()); }

// What the clients of one run tell the main thread: the last to end stops
// its wait.
struct Tally {
    const int clients;
    QEventLoop& waiting;
    std::atomic<int> right{0};
    std::atomic<int> ended{0};
};

// One client: asks for the names, then for the archive, checking each reply.
class LoadClient : public QObject {
public:
    LoadClient(quint16 port, const QByteArray& archiveReply, Tally& tally) : archiveReply_(archiveReply), tally_(tally)
    {
        connect(&socket_, &QTcpSocket::connected, this, [this] { send(ListsRequest); });
        connect(&socket_, &QTcpSocket::readyRead, this, &LoadClient::onReadyRead);
        connect(&socket_, &QTcpSocket::errorOccurred, this, [this] {
            if (!ended_)
                std::fprintf(stderr, "client: %s after %lld bytes\n", qPrintable(socket_.errorString()),
                             static_cast<long long>(matched_));
            end(false);
        });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }

private:
    void send(const QByteArray& bytes)
    {
        socket_.write(bytes);
        socket_.flush();
    }
    // Compares each piece as it comes, so the clients hold no replies.
    void onReadyRead()
    {
        const QByteArray piece = socket_.readAll();
        const QByteArray& expected = askedForArchive_ ? archiveReply_ : ListsReply;
        const qsizetype left = expected.size() - matched_;
        if (piece.size() > left || QByteArrayView(expected).sliced(matched_, piece.size()) != piece)
            return end(false);
        matched_ += piece.size();
        if (matched_ < expected.size())
            return;
        matched_ = 0;
        if (askedForArchive_)
            return end(true);
        askedForArchive_ = true;
        send(ArchiveRequest);
    }
    void end(bool right)
    {
        if (ended_)
            return;
        ended_ = true;
        tally_.right += right ? 1 : 0;
        if (++tally_.ended == tally_.clients)
            QMetaObject::invokeMethod(&tally_.waiting, &QEventLoop::quit, Qt::QueuedConnection);
        socket_.abort();
    }

    QTcpSocket socket_;
    const QByteArray& archiveReply_;
    Tally& tally_;
    qsizetype matched_ = 0;
    bool askedForArchive_ = false;
    bool ended_ = false;
};

struct LoadRun {
    double seconds = 0;
    int right = 0;
};

// The clients' thread: they are made, run and deleted there.
class ClientThread {
public:
    ClientThread()
    {
        thread_.start();
        context_.moveToThread(&thread_);
    }
    ~ClientThread()
    {
        thread_.quit();
        thread_.wait();
    }

    LoadRun run(quint16 port, int count, const QByteArray& archiveReply)
    {
        QEventLoop waiting;  // the main thread's loop, serving the servers meanwhile
        Tally tally{count, waiting};
        std::vector<std::unique_ptr<LoadClient>> clients;
        const Clock::time_point start = Clock::now();
        QMetaObject::invokeMethod(&context_, [&] {
            for (int i = 0; i < count; ++i)
                clients.push_back(std::make_unique<LoadClient>(port, archiveReply, tally));
        });
        QTimer::singleShot(WaitMs, &waiting, &QEventLoop::quit);
        waiting.exec();
        const LoadRun run{bench::secondsSince(start), tally.right};
        if (tally.ended != count)
            std::fprintf(stderr, "%d of %d clients never ended\n", count - tally.ended, count);
        QMetaObject::invokeMethod(&context_, [&] { clients.clear(); }, Qt::BlockingQueuedConnection);
        QCoreApplication::processEvents();
        return run;
    }

private:
    QThread thread_;
    QObject context_;
};

// The baseline: answers the two requests from memory, one reply per request.
class BareServer : public QTcpServer {
public:
    explicit BareServer(QByteArray archive) : archive_(std::move(archive))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(*socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        setMaxPendingConnections(1 << 16);
        setListenBacklogSize(1024);  // as the exchange's listener
        listen(QHostAddress::LocalHost, 0);
    }

private:
    void answer(QTcpSocket& socket)
    {
        const QByteArray request = socket.readAll();
        if (request == ListsRequest) {
            socket.write(ListsReply);
        } else if (request == ArchiveRequest) {
            socket.write("List: A.zip");
            socket.flush();
            socket.write(archive_);
        }
        socket.flush();
    }
    QByteArray archive_;
};

void report(const char* name, const std::vector<double>& seconds, int right, int asked)
{
    const auto [low, high] = std::minmax_element(seconds.begin(), seconds.end());
    std::printf("%s: median %.3f s (%.3f to %.3f), %d of %d answered right\n", name, bench::median(seconds), *low,
                *high, right, asked);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    raiseOpenFileLimit();
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int clients = args.size() > 0 ? std::max(1, args[0].toInt()) : 1000;
    const int runs = args.size() > 1 ? std::max(1, args[1].toInt()) : 3;

    QTemporaryDir work;
    platform::DriveTable drives;
    drives.mapFolder(u'c', "/");
    platform::FileSystem fileSystem(drives);
    platform::installFileSystem(&fileSystem);

    QByteArray archive(ArchiveBytes, '\0');
    QRandomGenerator generator(42);
    for (char& byte : archive)
        byte = static_cast<char>(generator.bounded(256));
    QFile file(work.filePath("A.zip"));
    if (!file.open(QIODevice::WriteOnly) || file.write(archive) != archive.size())
        return 1;
    file.close();
    ListSearch.LocalFolder = fileSystem.windowsPath(work.path()) + u'\\';
    ListSearch.LocCount = 2;
    ListSearch.Locations[1][1] = "A";
    ListSearch.Locations[2][1] = "B";
    const QByteArray archiveReply = "List: A.zip" + archive;

    SearchForm form;
    PeerExchange& exchange = peerExchange(form);
    platform::Winsock& listener = *exchange.IPServ[0];
    listener.LocalPort = 0;
    if (!listener.listen(QHostAddress::LocalHost)) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(listener.errorText()));
        return 1;
    }
    BareServer bare(archive);

    ClientThread clientThread;
    const int filesBefore = openFiles();
    std::vector<double> programTimes;
    std::vector<double> bareTimes;
    int programRight = 0;
    int bareRight = 0;
    long barePeak = 0;
    for (int run = 0; run < runs; ++run) {
        const LoadRun baseline = clientThread.run(bare.serverPort(), clients, archiveReply);
        if (run == 0)
            barePeak = bench::peakMegabytes();
        const LoadRun program = clientThread.run(listener.LocalPort, clients, archiveReply);
        programTimes.push_back(program.seconds);
        bareTimes.push_back(baseline.seconds);
        programRight += program.right;
        bareRight += baseline.right;
    }
    QTest::qWait(500);  // the servers see the last closes

    std::printf("%d clients at once, %d runs, a %d-byte archive each\n", clients, runs, ArchiveBytes);
    report("exchange server", programTimes, programRight, clients * runs);
    report("bare server", bareTimes, bareRight, clients * runs);
    std::printf("open files: %d before, %d after; connections accepted: %d\n", filesBefore, openFiles(),
                exchange.MaxConnect);
    std::printf("peak memory: %ld MB after the bare server's first run, %ld MB at the end\n", barePeak,
                bench::peakMegabytes());
    std::printf("exchange/bare ratio: %.2f\n", bench::median(programTimes) / bench::median(bareTimes));
    return programRight == clients * runs ? 0 : 1;
}
