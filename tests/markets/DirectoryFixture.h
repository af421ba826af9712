#pragma once

#include <string>

#include <QGuiApplication>
#include <gtest/gtest.h>

#include "app/QuoteDirectory.h"
#include "quote/PageDownloader.h"
#include "support/TestEnvironment.h"
#include "quote/SecurityRecord.h"

// A directory as the main frame wires it, in a private current folder,
// with every message recorded instead of shown.
class DirectoryTest : public ::testing::Test {
protected:
    DirectoryTest() : m_cwd(m_dir.path()), m_directory(m_recDefault, m_downloader, m_nearest, nullptr)
    {
        m_recDefault.writeToFile = false;
        m_recDefault.easternTime = true;
        m_recDefault.refreshMinutes = 1;
    }

    void TearDown() override
    {
        // Every way out of an operation ends its busy cursor.
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    static SecurityRecord Sentinel()
    {
        SecurityRecord row;
        row.writeToFile = true;
        row.easternTime = false;
        row.refreshMinutes = 7;
        row.country = "XX";
        row.company = "Sentinel Row With A Long Company Name";
        row.symbol = "SNTL";
        row.volumeText = "123456789";
        row.listed = "a listed field longer than the short string buffer";
        return row;
    }

    testing_support::TempDir m_dir;
    testing_support::ScopedCurrentDir m_cwd;
    testing_support::MessageRecorder m_messages;
    SecurityRecord m_recDefault;
    CPageDownloader m_downloader;
    SecurityArray m_nearest;
    CQuoteDirectory m_directory;
};
