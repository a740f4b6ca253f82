#include "platform/DebianCopyright.h"

#include <algorithm>
#include <cctype>

namespace kavelmark
{
namespace
{

struct Field
{
    std::string name;
    std::string firstLine;
    // The continuation lines, still with their leading blank.
    std::vector<std::string> more;
};

using Paragraph = std::vector<Field>;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Trimmed(std::string_view text)
{
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r'))
    {
        text.remove_prefix(1);
    }
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
    {
        text.remove_suffix(1);
    }
    return std::string(text);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::vector<Paragraph> Paragraphs(std::string_view text)
{
    std::vector<Paragraph> paragraphs;
    Paragraph current;
    auto finish = [&]
    {
        if (!current.empty())
        {
            paragraphs.push_back(std::move(current));
            current.clear();
        }
    };
    while (!text.empty())
    {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }

        if (Trimmed(line).empty())
        {
            finish();
        }
        else if (line.front() == '#')
        {
            continue;
        }
        else if (IsBlank(line.front()))
        {
            if (!current.empty())
            {
                current.back().more.push_back(line);
            }
        }
        else if (const std::size_t colon = line.find(':'); colon != std::string::npos)
        {
            current.push_back({Trimmed(std::string_view(line).substr(0, colon)),
                               Trimmed(std::string_view(line).substr(colon + 1)),
                               {}});
        }
    }
    finish();
    return paragraphs;
}

const Field* Find(const Paragraph& paragraph, std::string_view name)
{
    for (const Field& field : paragraph)
    {
        if (EqualsIgnoringCase(field.name, name))
        {
            return &field;
        }
    }
    return nullptr;
}

std::string Joined(const std::vector<std::string>& items, const char* separator)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        text += (i ? separator : "") + items[i];
    }
    return text;
}

// A formatted text: a line with one leading blank is wrapped text and joins the line before
// it, " ." is an empty line, a line indented further stands as written.
std::string FormattedText(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    bool inParagraph = false;
    for (const std::string& raw : lines)
    {
        const std::string_view line = std::string_view(raw).substr(1);
        if (Trimmed(line) == ".")
        {
            out.emplace_back();
            inParagraph = false;
        }
        else if (!line.empty() && IsBlank(line.front()))
        {
            out.push_back(Trimmed(line).empty() ? std::string() : std::string(line));
            inParagraph = false;
        }
        else if (inParagraph)
        {
            out.back() += ' ' + Trimmed(line);
        }
        else
        {
            out.push_back(Trimmed(line));
            inParagraph = true;
        }
    }
    return Joined(out, "\n");
}

// A list of one item per line: the first line's value, then each continuation line, each
// without the comma that separates it from the next.
std::vector<std::string> LineList(const Field& field)
{
    std::vector<std::string> items;
    auto add = [&](std::string item)
    {
        if (!item.empty() && item.back() == ',')
        {
            item = Trimmed(std::string_view(item).substr(0, item.size() - 1));
        }
        if (!item.empty() && item != ".")
        {
            items.push_back(std::move(item));
        }
    };
    add(field.firstLine);
    for (const std::string& line : field.more)
    {
        add(Trimmed(line));
    }
    return items;
}

// A list separated by blanks, over all lines of the field.
std::vector<std::string> WordList(const Field& field)
{
    std::vector<std::string> words;
    std::string all = field.firstLine;
    for (const std::string& line : field.more)
    {
        all += ' ' + line;
    }
    std::size_t pos = 0;
    while (pos < all.size())
    {
        while (pos < all.size() && IsBlank(all[pos]))
        {
            ++pos;
        }
        const std::size_t end = std::min(all.find_first_of(" \t", pos), all.size());
        if (end > pos)
        {
            words.push_back(all.substr(pos, end - pos));
        }
        pos = end;
    }
    return words;
}

bool IsPackaging(const CopyrightFiles& files)
{
    return std::all_of(files.patterns.begin(), files.patterns.end(),
                       [](const std::string& pattern) { return pattern.starts_with("debian/"); });
}

// "(C) 1995 by X" and "© 1995 X" read as "Copyright (C) 1995 by X"; a line that says
// "Copyright" itself stays as it is.
std::string CopyrightLine(const std::string& holder)
{
    if (holder.size() >= 9 && EqualsIgnoringCase(std::string_view(holder).substr(0, 9), "copyright"))
    {
        return holder;
    }
    if (holder.starts_with("(C)") || holder.starts_with("(c)") || holder.starts_with("\xC2\xA9"))
    {
        return "Copyright " + holder;
    }
    return "Copyright (C) " + holder;
}

} // namespace

const CopyrightLicence* DebianCopyright::Licence(std::string_view name) const
{
    for (const CopyrightLicence& licence : licences)
    {
        if (EqualsIgnoringCase(licence.name, name))
        {
            return &licence;
        }
    }
    return nullptr;
}

std::optional<DebianCopyright> ParseDebianCopyright(std::string_view text)
{
    const std::vector<Paragraph> paragraphs = Paragraphs(text);
    if (paragraphs.empty() || !Find(paragraphs.front(), "Format"))
    {
        return std::nullopt;
    }
    DebianCopyright copyright;
    if (const Field* name = Find(paragraphs.front(), "Upstream-Name"))
    {
        copyright.upstreamName = name->firstLine;
    }
    for (std::size_t i = 1; i < paragraphs.size(); ++i)
    {
        const Paragraph& paragraph = paragraphs[i];
        const Field* licence = Find(paragraph, "License");
        if (const Field* files = Find(paragraph, "Files"))
        {
            CopyrightFiles entry;
            entry.patterns = WordList(*files);
            if (const Field* holders = Find(paragraph, "Copyright"))
            {
                entry.holders = LineList(*holders);
            }
            entry.licence = licence ? licence->firstLine : std::string();
            copyright.files.push_back(std::move(entry));
        }
        if (licence && !licence->more.empty() && !copyright.Licence(licence->firstLine))
        {
            copyright.licences.push_back({licence->firstLine, FormattedText(licence->more)});
        }
    }
    return copyright;
}

std::string LicenceNotice(const DebianCopyright& copyright)
{
    const auto work = std::find_if(copyright.files.begin(), copyright.files.end(),
                                   [](const CopyrightFiles& files)
                                   { return files.patterns.size() == 1 && files.patterns.front() == "*"; });
    const CopyrightLicence* workLicence = work != copyright.files.end() ? copyright.Licence(work->licence) : nullptr;
    if (!workLicence)
    {
        return {};
    }

    std::string notice;
    for (const std::string& holder : work->holders)
    {
        notice += CopyrightLine(holder) + "\n";
    }
    notice += (notice.empty() ? "" : "\n") + workLicence->text + "\n";

    std::string others;
    std::vector<std::string> otherLicences;
    for (const CopyrightFiles& files : copyright.files)
    {
        if (&files == &*work || IsPackaging(files))
        {
            continue;
        }
        others += Joined(files.patterns, ", ") + ": " + Joined(files.holders, ", ");
        if (!EqualsIgnoringCase(files.licence, work->licence))
        {
            others += " (" + files.licence + ")";
            if (std::find(otherLicences.begin(), otherLicences.end(), files.licence) == otherLicences.end())
            {
                otherLicences.push_back(files.licence);
            }
        }
        others += "\n";
    }
    if (!others.empty())
    {
        notice += "\nFiles by other authors:\n" + others;
    }
    for (const std::string& name : otherLicences)
    {
        if (const CopyrightLicence* licence = copyright.Licence(name))
        {
            notice += "\n" + licence->name + ":\n" + licence->text + "\n";
        }
    }
    return notice;
}

} // namespace kavelmark
