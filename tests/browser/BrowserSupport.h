#pragma once
// A browser window in a sandbox: the program-wide state reset, the browser
// registered with stand-ins for the windows it opens and closes, and a
// folder of the sandbox mapped as drive e:.

#include "browser/Browser.h"
#include "browser/Disp.h"
#include "platform/DirListBox.h"
#include "platform/FlexGrid.h"
#include "platform/Forms.h"
#include "search/FormStubs.h"
#include "search/ListSearch.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

class BrowserTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        registerStubForms({"SearchForm", "DistribSettings", "SelectDrive", "frmSplash", "frmBrowser", "ImgPre"});
        platform::Forms::registerForm(QStringLiteral("Browser"), [] { return new Browser; });
        platform::Forms::registerForm(DispFormName, [] { return new Disp; });
        env.mapDrive(u'e', QStringLiteral("e"));
    }

    void TearDown() override
    {
        platform::Forms::reset();
        ListSearch = ListSearchModule{};
    }

    Browser& browser() { return platform::Forms::get<Browser>(QStringLiteral("Browser")); }

    // What the user starts runs from the event loop: lets it run.
    static void letQueuedCallsRun() { QCoreApplication::processEvents(); }

    void saveSetting(const QString& key, const QString& value)
    {
        env.settings().save(SettingsApp, SettingsSection, key, value);
    }

    // A real picture from the test data, written into the sandbox.
    void copyTestPicture(const QString& data, const QString& relative)
    {
        QFile file(QStringLiteral(BRISCA_TEST_DATA_DIR "/") + data);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << data.toStdString();
        env.writeFile(relative, file.readAll());
    }

    TestEnvironment env;
};
