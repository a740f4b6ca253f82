#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <crypto++/config_ver.h>

#include "layout/qt/CGroupStatic.h"
#include "settings/Settings.h"
#include "support/MessageRecorder.h"
#include "support/PaintCapture.h"
#include "support/QtPrinters.h"
#include "ui/AboutDialog.h"

namespace kavelmark
{
namespace
{

using testing::CaptureOverBlack;
using testing::LongestBlackRun;
using testing::MessageRecorder;

// The version the headers were written for, worked out apart from the library's own report.
QString HeaderCryptoVersion()
{
    return QStringLiteral("%1.%2.%3").arg(CRYPTOPP_MAJOR).arg(CRYPTOPP_MINOR).arg(CRYPTOPP_REVISION);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class AboutDialogTest : public ::testing::Test
{
protected:
    static QString Text(AboutDialog& dialog, int id)
    {
        if (auto* label = dialog.ControlAs<QLabel>(id))
        {
            return label->text();
        }
        return dialog.ControlAs<QPlainTextEdit>(id)->toPlainText();
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
};

TEST_F(AboutDialogTest, BuildLineHasTheFormOfTheBuildTime)
{
    EXPECT_EQ(AboutDialog::BuildLine("Dec 10 2026", "14:05:09"), "Build: Dec 10 2026, 14:05:09");
    EXPECT_EQ(AboutDialog::BuildLine("Sep  6 2002", "23:15:09"), "Build: Sep 6 2002, 23:15:09");
}

TEST_F(AboutDialogTest, ShowsNameVersionAndWhenThisProgramWasBuilt)
{
    AboutDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Info über Kavelmark");
    EXPECT_EQ(Text(dialog, AboutDialog::kVersionId), "Kavelmark Version 1.0");

    const QString build = Text(dialog, AboutDialog::kBuildLineId);
    const QRegularExpression form(
        QStringLiteral("^Build: ([A-Z][a-z]{2} [1-9][0-9]? [0-9]{4}, [0-9]{2}:[0-9]{2}:[0-9]{2})"
                       ", Qt (.+)$"));
    const QRegularExpressionMatch match = form.match(build);
    ASSERT_TRUE(match.hasMatch()) << build.toStdString();
    const QDateTime built = QLocale::c().toDateTime(match.captured(1), QStringLiteral("MMM d yyyy, hh:mm:ss"));
    ASSERT_TRUE(built.isValid()) << build.toStdString();
    EXPECT_LE(built, QDateTime::currentDateTime().addSecs(60));
    EXPECT_GT(built, QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
    EXPECT_EQ(match.captured(2), QString::fromLatin1(qVersion()));

    // The addresses the program writes into the settings at start.
    EXPECT_EQ(Text(dialog, AboutDialog::kMailId), "e-mail: kavelmark@brenkholt.example");
    EXPECT_EQ(Text(dialog, AboutDialog::kMakerLinkId), "WWW: https://kavelmark.brenkholt.example/");
    EXPECT_EQ(dialog.MakerLink().Url(), "https://kavelmark.brenkholt.example/");
    dialog.done(IDOK);
}

TEST_F(AboutDialogTest, CryptoNoticeNamesTheLinkedVersionAndItsLicence)
{
    EXPECT_EQ(AboutDialog::CryptoVersionText(870), "8.7.0");
    EXPECT_EQ(AboutDialog::CryptoVersionText(565), "5.6.5");
    const std::string heading = "Crypto++ Library " + HeaderCryptoVersion().toStdString() + "\r\n\r\n";

    // The copyright file of the runtime package first; one in free form is passed over.
    const QByteArray devPackage = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n\n"
                                  "Files: *\nCopyright: (C) 2001 Entwickler\nLicense: Dev\n Nur zum Bauen.\n";
    const QByteArray runtimePackage =
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
        "Upstream-Name: Crypto++\n\n"
        "Files: *\nCopyright: (C) 1995-2013 by Wei Dai\nLicense: Boost\n\n"
        "Files: debian/*\nCopyright: (C) 2011- Pat Packager <pat@packager.example>\nLicense: Boost\n\n"
        "License: Boost\n Permission is hereby\n granted.\n .\n No warranty.\n";
    QTemporaryDir docs;
    ASSERT_TRUE(docs.isValid());
    WriteFile(docs.filePath(QStringLiteral("libcrypto++-dev/copyright")), devPackage);
    WriteFile(docs.filePath(QStringLiteral("libcrypto++%1/copyright").arg(CRYPTOPP_MAJOR)), runtimePackage);
    EXPECT_EQ(AboutDialog::CryptoNotice(docs.path()),
              heading +
                  "Copyright (C) 1995-2013 by Wei Dai\r\n\r\nPermission is hereby granted.\r\n\r\nNo warranty.\r\n");

    WriteFile(docs.filePath(QStringLiteral("libcrypto++%1/copyright").arg(CRYPTOPP_MAJOR)),
              "Crypto++ was packaged by someone.\n");
    EXPECT_EQ(AboutDialog::CryptoNotice(docs.path()),
              heading + "Copyright (C) 2001 Entwickler\r\n\r\nNur zum Bauen.\r\n");

    // Without one, the built-in copy: Wei Dai's copyright, the Boost licence, the authors of
    // the files in the public domain.
    QTemporaryDir empty;
    const std::string builtIn = AboutDialog::CryptoNotice(empty.path());
    EXPECT_TRUE(builtIn.starts_with(heading + "Copyright (C) 1995-2013 by Wei Dai\r\n\r\n")) << builtIn;
    for (const char* part : {"Boost Software License - Version 1.0 - August 17th, 2003\r\n",
                             "Permission is hereby granted, free of charge, to any person or organization obtaining a "
                             "copy of the software",
                             "twofish.cpp: Matthew Skala (public-domain)\r\n",
                             "No license required for any purpose; the work is not subject to copyright in any "
                             "jurisdiction.\r\n"})
    {
        EXPECT_NE(builtIn.find(part), std::string::npos) << part;
    }

    AboutDialog dialog;
    dialog.show();
    const QString shown = Text(dialog, AboutDialog::kCryptoNoticeId);
    EXPECT_TRUE(shown.startsWith(QString::fromStdString(heading).trimmed())) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Boost Software License"))) << shown.toStdString();
    for (const char* field : {"Format:", "Upstream-Name:", "Files:", "License:", "debian.org"})
    {
        EXPECT_FALSE(shown.contains(QLatin1String(field))) << field;
    }
    EXPECT_FALSE(Text(dialog, AboutDialog::kLayoutNoticeId).isEmpty());
    dialog.done(IDOK);
}

TEST_F(AboutDialogTest, HoveringTheCryptoLinkShowsItsToolTip)
{
    AboutDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QLabel* link = dialog.ControlAs<QLabel>(AboutDialog::kCryptoLinkId);
    EXPECT_EQ(dialog.CryptoLink().Url(), "https://www.cryptopp.com/");

    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), link->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(link, &help);
    EXPECT_EQ(QToolTip::text(), "Link auf die Crypto++ Web-Side");
    QToolTip::hideText();
    EXPECT_EQ(dialog.ControlAs<QLabel>(AboutDialog::kMakerLinkId)->toolTip(), "Link auf meine Web-Side");
    EXPECT_EQ(dialog.ControlAs<QLabel>(AboutDialog::kLayoutLinkId)->toolTip(), "Link auf die Panelgrid Web-Side");
    dialog.done(IDOK);
}

TEST_F(AboutDialogTest, LibraryGroupsFrameTheirNoticeAndLinkAndTakeTheExtraHeight)
{
    AboutDialog dialog;
    dialog.show();
    QApplication::processEvents();
    struct Group
    {
        int frame;
        const char* caption;
        int notice;
        int link;
    };
    const Group groups[] = {
        {AboutDialog::kLayoutGroupId, "Panelgrid", AboutDialog::kLayoutNoticeId, AboutDialog::kLayoutLinkId},
        {AboutDialog::kCryptoGroupId, "Crypto++ Lib", AboutDialog::kCryptoNoticeId, AboutDialog::kCryptoLinkId},
    };
    for (const Group& g : groups)
    {
        SCOPED_TRACE(g.caption);
        auto* frame = qobject_cast<CGroupStatic*>(dialog.Control(g.frame));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->Caption(), g.caption);
        ASSERT_EQ(frame->Members().size(), 2u);
        EXPECT_EQ(frame->Members()[0].data(), dialog.Control(g.notice));
        EXPECT_EQ(frame->Members()[1].data(), dialog.Control(g.link));
        EXPECT_TRUE(frame->geometry().contains(dialog.Control(g.notice)->geometry()));
        EXPECT_TRUE(frame->geometry().contains(dialog.Control(g.link)->geometry()));
    }

    const QRect ok = dialog.Control(IDOK)->geometry();
    const int layoutNotice = dialog.Control(AboutDialog::kLayoutNoticeId)->height();
    const int cryptoNotice = dialog.Control(AboutDialog::kCryptoNoticeId)->height();
    const int cryptoLinkTop = dialog.Control(AboutDialog::kCryptoLinkId)->y();
    dialog.resize(dialog.width(), dialog.height() + 100);
    QApplication::processEvents();
    EXPECT_EQ(dialog.Control(IDOK)->geometry().y(), ok.y()) << "the head row keeps its place";
    const int grown = dialog.Control(AboutDialog::kLayoutNoticeId)->height() - layoutNotice +
                      dialog.Control(AboutDialog::kCryptoNoticeId)->height() - cryptoNotice;
    // The pane's first child is a gap, so a pixel lost to rounding goes to nobody.
    EXPECT_GE(grown, 99);
    EXPECT_LE(grown, 100);
    EXPECT_GT(dialog.Control(AboutDialog::kLayoutNoticeId)->height(), layoutNotice);
    EXPECT_EQ(dialog.Control(AboutDialog::kCryptoLinkId)->y(), cryptoLinkTop + grown);
    EXPECT_TRUE(messages.messages.empty());
    dialog.done(IDOK);
}

TEST_F(AboutDialogTest, EveryControlPaintsItsBackgroundAndLinksStandOnTheButtonFace)
{
    AboutDialog dialog;
    // A button face apart from the window's colour shows who painted a pixel.
    const QColor face(200, 220, 180);
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Button, face);
    dialog.setPalette(palette);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QImage shown = CaptureOverBlack(dialog);

    // Text strokes are a few pixels long; an unpainted strip runs across a whole control.
    constexpr int kLongestStroke = 40;
    for (int y = 0; y < shown.height(); ++y)
    {
        ASSERT_LT(LongestBlackRun(shown, y), kLongestStroke) << "row " << y;
    }
    for (int id : {AboutDialog::kMakerLinkId, AboutDialog::kLayoutLinkId, AboutDialog::kCryptoLinkId})
    {
        SCOPED_TRACE(id);
        const QRect link = dialog.Control(id)->geometry();
        // The blank after the text: the last column of the label.
        EXPECT_EQ(shown.pixelColor(link.right(), link.center().y()), face);
        EXPECT_EQ(shown.pixelColor(link.right(), link.top()), face);
    }
    dialog.done(IDOK);
}

TEST_F(AboutDialogTest, OkEnterAndEscapeCloseIt)
{
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space})
    {
        SCOPED_TRACE(key);
        AboutDialog dialog;
        dialog.show();
        ASSERT_TRUE(dialog.isVisible());
        if (key == Qt::Key_Space)
        {
            dialog.ControlAs<QPushButton>(IDOK)->click();
        }
        else
        {
            QTest::keyClick(&dialog, key);
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), key == Qt::Key_Escape ? IDCANCEL : IDOK);
    }
}

TEST_F(AboutDialogTest, PlacementIsRestoredOnReopening)
{
    QRect closedAt;
    {
        AboutDialog dialog;
        dialog.show();
        closedAt = QRect(dialog.x() + 30, dialog.y() + 20, dialog.width() + 80, dialog.height() + 60);
        dialog.setGeometry(closedAt);
        QApplication::processEvents();
        dialog.ControlAs<QPushButton>(IDOK)->click();
    }
    EXPECT_EQ(settings.Read("DlgAbout_Config", "Left"), std::to_string(closedAt.left()));

    AboutDialog again;
    again.show();
    EXPECT_EQ(again.geometry(), closedAt);
    again.done(IDOK);
}

} // namespace
} // namespace kavelmark
