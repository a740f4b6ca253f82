#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavelmark
{

// A package's copyright file in Debian's machine-readable format (paragraphs of
// "Field: value" lines; a line starting with a blank continues the field before it), read
// into what a reader of a licence wants to see. Texts are UTF-8, lines end in "\n".

// One "Files" paragraph: whose files they are and under which licence.
struct CopyrightFiles
{
    std::vector<std::string> patterns;
    // One holder per line of the Copyright field, as written ("(C) 1995-2013 by Wei Dai").
    std::vector<std::string> holders;
    // The licence's short name (the first line of the License field).
    std::string licence;
};

struct CopyrightLicence
{
    std::string name;
    // The text as a reader sees it: wrapped lines of a paragraph joined into one, " ."
    // lines as empty lines, lines indented further kept as they are.
    std::string text;
};

struct DebianCopyright
{
    std::string upstreamName;
    std::vector<CopyrightFiles> files;
    // The licences with a text, from stand-alone License paragraphs and from Files
    // paragraphs that carry their licence's text.
    std::vector<CopyrightLicence> licences;

    // The text of the licence of that short name (compared without case), or null.
    const CopyrightLicence* Licence(std::string_view name) const;
};

// Empty when the text does not start with a header paragraph naming its Format, so that a
// free-form file is never mistaken for fields.
std::optional<DebianCopyright> ParseDebianCopyright(std::string_view text);

// The notice a reader expects, without field syntax: the copyright lines of the files that
// make up the work ("Files: *"), its licence's text, then the files of other authors with
// their holders and the texts of their other licences. The packaging's own paragraphs
// ("debian/...") are left out. Empty when the work's licence has no text.
std::string LicenceNotice(const DebianCopyright& copyright);

} // namespace kavelmark
