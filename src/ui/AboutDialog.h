#pragma once

#include <QString>
#include <string>

#include "layout/qt/CDialogLayout.h"
#include "platform/ControlIds.h"
#include "ui/HyperlinkControl.h"

namespace kavelmark
{

// "Info über Kavelmark": name and version, the build time, the maker's lines with a link to
// its web site, and the notices of the two libraries the program is built with, each in a
// group with a link to the library's site. OK, Enter and Escape close it; it remembers its
// position and size.
class AboutDialog final : public CDialogLayout
{
    Q_OBJECT

public:
    static constexpr int kIconId = control::about::kIcon;
    static constexpr int kVersionId = control::about::kVersion;
    static constexpr int kBuildLineId = control::about::kBuildLine;
    static constexpr int kCopyrightId = control::about::kCopyright;
    static constexpr int kMakerId = control::about::kMaker;
    static constexpr int kMailId = control::about::kMail;
    static constexpr int kMakerLinkId = control::about::kMakerLink;
    static constexpr int kLayoutGroupId = control::about::kLayoutGroup;
    static constexpr int kLayoutNoticeId = control::about::kLayoutNotice;
    static constexpr int kLayoutLinkId = control::about::kLayoutLink;
    static constexpr int kCryptoGroupId = control::about::kCryptoGroup;
    static constexpr int kCryptoNoticeId = control::about::kCryptoNotice;
    static constexpr int kCryptoLinkId = control::about::kCryptoLink;

    static constexpr const char* kLayoutUrl = "https://www.example.org/panelgrid";
    static constexpr const char* kCryptoUrl = "https://www.cryptopp.com/";
    static constexpr const char* kMakerToolTip = "Link auf meine Web-Side";
    static constexpr const char* kLayoutToolTip = "Link auf die Panelgrid Web-Side";
    static constexpr const char* kCryptoToolTip = "Link auf die Crypto++ Web-Side";
    // Where Debian's Crypto++ packages put their licence ("<folder>/libcrypto++*/copyright").
    static constexpr const char* kDocFolder = "/usr/share/doc";

    explicit AboutDialog(QWidget* parent = nullptr);

    // "Build: Dec 10 2026, 14:05:09" from the compiler's __DATE__ ("Dec 10 2026", a day below
    // 10 padded with a blank) and __TIME__.
    static QString BuildLine(const char* date, const char* time);
    // The program's link records its build time here; without that the dialog shows when
    // this file was compiled.
    static void SetBuildTime(const char* date, const char* time);

    // "8.7.0" for the library's number 870.
    static QString CryptoVersionText(int version);
    // The notice of the Crypto++ this program runs with: its version as the library reports
    // it, then its copyright and licence texts as the copyright file of the library's
    // package in docFolder gives them, or a built-in copy when there is none to read.
    // Lines end in "\r\n".
    static std::string CryptoNotice(const QString& docFolder = QString::fromLatin1(kDocFolder));
    static std::string LayoutNotice();

    // Shown in the controls when the dialog opens (UTF-8).
    std::string buildLine;
    std::string layoutNotice;
    std::string cryptoNotice;

    HyperlinkControl& MakerLink()
    {
        return makerLink_;
    }
    HyperlinkControl& LayoutLink()
    {
        return layoutLink_;
    }
    HyperlinkControl& CryptoLink()
    {
        return cryptoLink_;
    }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    HyperlinkControl cryptoLink_;
    HyperlinkControl layoutLink_;
    HyperlinkControl makerLink_;
};

} // namespace kavelmark
