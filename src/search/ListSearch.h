#pragma once
// The program-wide state: every window and module reads and writes these
// fields directly (one UI thread, no locking). Long operations poll the stop
// requests (StopFlag, RescanStop, PreviewStop) between steps while they pump
// messages, so a nested handler can reach them.

#include "runtime/DateTime.h"

#include <QString>
#include <array>
#include <cstdint>

// The application and section every setting lives under.
inline const QString SettingsApp = QStringLiteral("Kest Velmora");
inline const QString SettingsSection = QStringLiteral("Settings");

inline constexpr int MaxLocations = 255;  // rows 1..255 of Locations
inline constexpr int SendQSize = 1001;    // items 0..1000

struct SendQItem {
    QString Cmd;
    QString Data;
    int State = 0;
};

struct ListSearchModule {
    // Subsystem 1.
    bool StopFlag = false;
    bool RescanBusy = false;
    bool RescanStop = false;
    bool QuitFlag = false;
    bool NoSaveOnExit = false;
    QString LocalFolder;
    QString TextFile;
    QString ArchiveFile;
    QString WebServer;
    QString NickName;
    runtime::Date JoinDate = runtime::ZeroDate;
    QString OffLineDrive;
    QString LastBrowsed;
    bool AutoPreview = false;
    // Locations[i][1] the description, Locations[i][2] the folder path, i = 1..LocCount;
    // row 0 and column 0 carry nothing.
    std::array<std::array<QString, 3>, MaxLocations + 1> Locations;
    std::int32_t LocCount = 0;

    // Subsystem 2.
    runtime::Date ListFileDate = runtime::ZeroDate;
    bool ArchiveNewer = false;
    std::array<SendQItem, SendQSize> SendQ;
    std::int32_t SendQHead = 0;
    std::int32_t SendQTail = 0;
    QString PeerIdent;
    QString PeerAddress;
    QString PeerListFile;

    // Subsystem 3.
    bool PreviewBusy = false;
    bool PreviewStop = false;
    bool PreviewRestart = false;
    bool CatMode = false;
    bool DistribMode = false;
    QString DistribOutFolder;
    QString CatSourcePath;
    QString CatFolderName;
    QString CatHtmlFolder;
    QString CatImageFolder;
    std::int16_t CatFileNum = 0;
};

// The one instance; tests reset it with `ListSearch = ListSearchModule{};`.
extern ListSearchModule ListSearch;

// The program folder as a Windows path ending in one backslash, the form the
// program joins file names to (App.Path & "\", without doubling it at a drive root).
QString programFolderWithBackslash();

// Loads LocalFolder, TextFile, ArchiveFile and WebServer from defaults.txt in
// the program folder. A missing file changes nothing; fewer than four lines
// raise error 62 (after closing the file), with the lines read so far kept.
void ReadDefaults();
