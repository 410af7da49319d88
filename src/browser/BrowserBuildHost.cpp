#include "browser/BrowserBuildHost.h"

#include "browser/Browser.h"
#include "platform/DirListBox.h"

BrowserBuildHost::BrowserBuildHost(Browser& browser) : browser_(&browser) {}

QString BrowserBuildHost::folderListPath() const { return browser_ ? browser_->Dir1->Path() : QString(); }

void BrowserBuildHost::setFolderListPath(const QString& path)
{
    if (browser_)
        browser_->Dir1->setPath(path);
}

void BrowserBuildHost::PreviewFolder(const QString& ProcessPath, const QString& FolderName, const QString& ImageFolder,
                                     const QString& HtmlFolder, std::int16_t HTML, const QString& Relative)
{
    if (browser_)
        browser_->PreviewFolder(ProcessPath, FolderName, ImageFolder, HtmlFolder, HTML, Relative);
}

void BrowserBuildHost::Command1_Click()
{
    if (browser_)
        browser_->Command1_Click();
}
