#include "file/port/Csv.h"

namespace kavelmark
{
namespace
{

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

bool NeedsQuotes(std::string_view field)
{
    if (field.find_first_of("\",\r\n") != std::string_view::npos)
    {
        return true;
    }
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    return !field.empty() && (isBlank(field.front()) || isBlank(field.back()));
}

} // namespace

CsvReadResult ReadCsv(std::string_view text)
{
    CsvReadResult result;
    if (text.starts_with("\xEF\xBB\xBF"))
    {
        text.remove_prefix(3);
    }
    std::size_t pos = 0;
    std::size_t line = 1;
    auto fail = [&](std::size_t errorLine, const char* error)
    {
        result.error = error;
        result.errorLine = errorLine;
        return std::move(result);
    };
    // A lone CR counts as a line end too, so that line numbers match what an editor shows.
    auto countLineBreak = [&](std::size_t at)
    {
        if (text[at] == '\n' || at + 1 == text.size() || text[at + 1] != '\n')
        {
            ++line;
        }
    };

    while (pos < text.size())
    {
        CsvRow row;
        result.firstLines.push_back(line);
        while (true)
        {
            SecureString field;
            if (pos < text.size() && text[pos] == '"')
            {
                const std::size_t openedOn = line;
                ++pos;
                while (true)
                {
                    if (pos == text.size())
                    {
                        return fail(openedOn, "a quoted field is not closed");
                    }
                    const char c = text[pos];
                    if (c == '"')
                    {
                        if (pos + 1 < text.size() && text[pos + 1] == '"')
                        {
                            field.push_back('"');
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        break;
                    }
                    if (IsLineBreak(c))
                    {
                        countLineBreak(pos);
                    }
                    field.push_back(c);
                    ++pos;
                }
                if (pos < text.size() && text[pos] != ',' && !IsLineBreak(text[pos]))
                {
                    return fail(line, "text follows the closing quote of a field");
                }
            }
            else
            {
                while (pos < text.size() && text[pos] != ',' && !IsLineBreak(text[pos]))
                {
                    if (text[pos] == '"')
                    {
                        return fail(line, "a quote inside a field that does not begin with one");
                    }
                    field.push_back(text[pos]);
                    ++pos;
                }
            }
            row.push_back(std::move(field));
            if (pos < text.size() && text[pos] == ',')
            {
                ++pos;
                continue;
            }
            break;
        }
        if (pos < text.size())
        {
            ++line;
            pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

void AppendCsvRow(SecureString& out, std::span<const std::string_view> fields, CsvFormulas formulas)
{
    bool first = true;
    for (std::string_view field : fields)
    {
        if (!first)
        {
            out.push_back(',');
        }
        first = false;
        const bool defuse = formulas == CsvFormulas::Defused && !field.empty() &&
                            std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
        const bool quoted = NeedsQuotes(field);
        if (quoted)
        {
            out.push_back('"');
        }
        if (defuse)
        {
            out.push_back('\'');
        }
        for (char c : field)
        {
            if (quoted && c == '"')
            {
                out.push_back('"');
            }
            out.push_back(c);
        }
        if (quoted)
        {
            out.push_back('"');
        }
    }
    out.append("\r\n");
}

} // namespace kavelmark
