#include <gtest/gtest.h>

#include <string>

#include "platform/DebianCopyright.h"

namespace kavelmark
{
namespace
{

// Written by hand in the format of Debian's copyright files: a header, the work's files, files
// of other authors over two lines, the packaging, and licence texts with a heading kept as
// written, wrapped lines and " ." paragraph breaks.
const char* const kFixture = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
                             "Upstream-Name: Tinylib\n"
                             "Source: https://tinylib.example/\n"
                             "\n"
                             "Files: *\n"
                             "Copyright: (C) 2001-2020 by Ada Example\n"
                             "License: Tiny\n"
                             "\n"
                             "Files: one.cpp\n"
                             " two.cpp\n"
                             "Copyright: Bert Author,\n"
                             " Cleo Author\n"
                             "License: public-domain\n"
                             "\n"
                             "Files: debian/*\n"
                             "Copyright: 2020 Pat Packager <pat@packager.example>\n"
                             "License: Tiny\n"
                             "\n"
                             "License: public-domain\n"
                             " Free for any use.\n"
                             "\n"
                             "License: Tiny\n"
                             "        Tiny Licence\n"
                             " .\n"
                             " Permission is granted to use\n"
                             " this library freely.\n"
                             " .\n"
                             " No warranty.\n";

// What a reader of the About box sees, worked out by hand from the fixture.
const char* const kNotice = "Copyright (C) 2001-2020 by Ada Example\n"
                            "\n"
                            "       Tiny Licence\n"
                            "\n"
                            "Permission is granted to use this library freely.\n"
                            "\n"
                            "No warranty.\n"
                            "\n"
                            "Files by other authors:\n"
                            "one.cpp, two.cpp: Bert Author, Cleo Author (public-domain)\n"
                            "\n"
                            "public-domain:\n"
                            "Free for any use.\n";

std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (char c : text)
    {
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return out;
}

TEST(DebianCopyright, ReadsTheFieldsOfEachParagraph)
{
    const auto copyright = ParseDebianCopyright(kFixture);
    ASSERT_TRUE(copyright.has_value());
    EXPECT_EQ(copyright->upstreamName, "Tinylib");
    ASSERT_EQ(copyright->files.size(), 3u);
    EXPECT_EQ(copyright->files[0].patterns, std::vector<std::string>{"*"});
    EXPECT_EQ(copyright->files[0].holders, std::vector<std::string>{"(C) 2001-2020 by Ada Example"});
    EXPECT_EQ(copyright->files[0].licence, "Tiny");
    EXPECT_EQ(copyright->files[1].patterns, (std::vector<std::string>{"one.cpp", "two.cpp"}));
    EXPECT_EQ(copyright->files[1].holders, (std::vector<std::string>{"Bert Author", "Cleo Author"}));
    EXPECT_EQ(copyright->files[1].licence, "public-domain");
    EXPECT_EQ(copyright->files[2].patterns, std::vector<std::string>{"debian/*"});

    ASSERT_EQ(copyright->licences.size(), 2u);
    const CopyrightLicence* tiny = copyright->Licence("tiny");
    ASSERT_NE(tiny, nullptr) << "short names compare without case";
    EXPECT_EQ(tiny->text, "       Tiny Licence\n\nPermission is granted to use this library freely.\n\nNo warranty.");
    EXPECT_EQ(copyright->Licence("GPL-3"), nullptr);
}

TEST(DebianCopyright, NoticeShowsCopyrightAndLicenceTextsWithoutFieldsOrPackagers)
{
    for (const std::string& text : {std::string(kFixture), WithCrLf(kFixture)})
    {
        SCOPED_TRACE(text.find('\r') != std::string::npos ? "CR LF" : "LF");
        const auto copyright = ParseDebianCopyright(text);
        ASSERT_TRUE(copyright.has_value());
        const std::string notice = LicenceNotice(*copyright);
        EXPECT_EQ(notice, kNotice);
        for (const char* field : {"Format:", "Upstream-Name:", "Files:", "License:", "Copyright:", "packager"})
        {
            EXPECT_EQ(notice.find(field), std::string::npos) << field;
        }
    }
}

TEST(DebianCopyright, LicenceTextInTheFilesParagraphAndCopyrightLinesAsWritten)
{
    const auto copyright = ParseDebianCopyright("Format: https://example.org/copyright-format/1.0/\n"
                                                "\n"
                                                "Files: *\n"
                                                "Copyright: Copyright 2003 Dora Example,\n"
                                                " \xC2\xA9 2004 Emil Example\n"
                                                "License: Short\n"
                                                " Do what you like.\n");
    ASSERT_TRUE(copyright.has_value());
    EXPECT_EQ(LicenceNotice(*copyright), "Copyright 2003 Dora Example\n"
                                         "Copyright \xC2\xA9 2004 Emil Example\n"
                                         "\n"
                                         "Do what you like.\n");
}

TEST(DebianCopyright, FreeFormTextsAndWorksWithoutLicenceTextGiveNothing)
{
    EXPECT_FALSE(ParseDebianCopyright("This package was debianized by someone.\n\nCopyright: see below\n"));
    EXPECT_FALSE(ParseDebianCopyright(""));

    // Parsed, but with nothing to show for the work.
    const auto withoutText = ParseDebianCopyright("Format: x\n\nFiles: *\nCopyright: 2001 Ada\nLicense: Tiny\n");
    ASSERT_TRUE(withoutText.has_value());
    EXPECT_EQ(LicenceNotice(*withoutText), "");
}

} // namespace
} // namespace kavelmark
