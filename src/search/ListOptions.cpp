#include "search/ListOptions.h"

#include "platform/CaptionFit.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/DialogFrame.h"
#include "search/ListSearch.h"
#include "search/OpenFileDialog.h"
#include "search/OptionsRules.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using platform::placeTwips;

namespace {

constexpr double Left = 540;
constexpr double FieldWidth = 3615;

// A caption above its text box; the caption names the box for assistive tools.
QLineEdit* makeField(QLabel*& label, const QString& caption, double labelTop, double labelWidth,
                     double fieldTop, double fieldHeight, QWidget* parent)
{
    label = new QLabel(caption, parent);
    placeTwips(label, Left, labelTop, labelWidth, 255);
    auto* field = new QLineEdit(parent);
    placeTwips(field, Left, fieldTop, FieldWidth, fieldHeight);
    label->setBuddy(field);
    return field;
}

QPushButton* makeButton(const QString& text, QWidget* parent, double left)
{
    auto* button = new QPushButton(text, parent);
    // A focused button takes Enter, as in every dialog.
    button->setAutoDefault(true);
    placeTwips(button, left, 4080, 1215, 375);
    return button;
}

}  // namespace

ListOptions::ListOptions(QWidget* parent)
    : FormWindow(parent)
{
    setupControls();
    connectHandlers();
}

void ListOptions::setupControls()
{
    setWindowTitle(QStringLiteral("Brisca Viewer - Options"));
    makeFixedDialog(*this, 4785, 4530);

    LocalDataFolder = makeField(Label2, QStringLiteral("Local Data Folder:"), 120, 1995, 360, 315, this);
    LocalFile = makeField(Label1[2], QStringLiteral("List File:"), 720, 1935, 960, 345, this);
    GetListName = new QPushButton(this);
    makeBrowseButton(*GetListName);
    GetListName->setAutoDefault(true);
    placeTwips(GetListName, 4200, 1020, 315, 255);
    RemoteFile = makeField(Label1[1], QStringLiteral("Update Archive Name:"), 1380, 1935, 1620, 315, this);
    Server = makeField(Label1[0], QStringLiteral("Update Server:"), 2040, 1935, 2280, 315, this);
    Nic = makeField(Label1[3], QStringLiteral("Nickname:"), 2700, 1935, 2940, 315, this);
    JoinD = makeField(Label1[4], QStringLiteral("First Run Date:"), 3360, 1935, 3600, 315, this);

    OKButton = makeButton(QStringLiteral("OK"), this, 1080);
    OKButton->setDefault(true);
    CancelButton = makeButton(QStringLiteral("Cancel"), this, 2460);

    setTabOrderChain({OKButton, CancelButton, LocalFile, RemoteFile, Server, GetListName, LocalDataFolder, Nic, JoinD});
    platform::fitCaptions(*this);
}

void ListOptions::connectHandlers()
{
    connect(GetListName, &QPushButton::clicked, this, &ListOptions::GetListName_Click);
    connect(OKButton, &QPushButton::clicked, this, &ListOptions::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &ListOptions::CancelButton_Click);
}

void ListOptions::Form_Load()
{
    LocalDataFolder->setText(ListSearch.LocalFolder);
    LocalFile->setText(ListSearch.TextFile);
    RemoteFile->setText(ListSearch.ArchiveFile);
    Server->setText(ListSearch.WebServer);
    Nic->setText(ListSearch.NickName);
    JoinD->setText(runtime::generalDateText(ListSearch.JoinDate));
}

void ListOptions::showEvent(QShowEvent* event)
{
    FormWindow::showEvent(event);
    centreOnOwner(*this);
}

void ListOptions::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OKButton->click();
        break;
    case Qt::Key_Escape:
        CancelButton->click();
        break;
    default:
        FormWindow::keyPressEvent(event);
    }
}

void ListOptions::GetListName_Click()
{
    platform::OpenFileRequest request;
    request.fileName = LocalFile->text();
    request.defaultExt = QStringLiteral(".txt");
    request.initDir = LocalDataFolder->text();
    request.owner = this;
    try {
        const platform::OpenFileResult chosen = showOpenFile(request);
        const QString folder = folderOfChosenFile(chosen);
        LocalFile->setText(chosen.fileTitle);
        LocalDataFolder->setText(folder);
    } catch (const runtime::RuntimeError&) {
        // A cancel or a failed step leaves the fields as they were.
    }
}

void ListOptions::OKButton_Click()
{
    // The date is converted before anything is stored, so a bad one changes nothing.
    runtime::Date joinDate;
    try {
        joinDate = runtime::cdate(JoinD->text());
    } catch (const runtime::RuntimeError&) {
        platform::interaction().msgBox(
            QStringLiteral("The Join Date / Time format can not be understood, check the format."),
            platform::MsgButtons::Ok, platform::MsgIcon::None, {}, this);
        return;
    }
    ListSearch.JoinDate = joinDate;
    ListSearch.NickName = Nic->text();
    ListSearch.LocalFolder = dataFolderFromField(LocalDataFolder->text());
    ListSearch.TextFile = LocalFile->text();
    ListSearch.ArchiveFile = RemoteFile->text();
    ListSearch.WebServer = Server->text();
    Unload();
}

void ListOptions::CancelButton_Click() { Unload(); }
