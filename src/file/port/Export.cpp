#include "file/port/Export.h"

#include <array>
#include <random>
#include <string_view>
#include <vector>

#include "file/port/Columns.h"
#include "file/port/Csv.h"
#include "platform/Cp1252.h"

namespace kavelmark
{
namespace
{

// One entry with its category's labels, texts in UTF-8.
struct ExportedEntry
{
    SecureString category;
    SecureString name;
    SecureString description;
    std::array<SecureString, 3> labels;
    std::array<SecureString, 3> values;
    SecureString username;
    SecureString password;
    SecureString url;
    SecureString notes;
};

// Encodes straight into a wiping buffer, so that no grown copy of a secret is left behind.
SecureString ToUtf8(std::string_view cp1252)
{
    SecureString out;
    out.reserve(cp1252.size() * 3);
    for (const char c : cp1252)
    {
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

ExportedEntry Describe(const PasswordStore& store, PasswordStore::Position entry)
{
    ExportedEntry exported;
    const SecureString category = store.GetEntryCategory(entry);
    const PasswordStore::Position categoryRecord = store.FindCategory(category);
    std::array<SecureString, 3> labels;
    std::array<SecureString, 3> values;
    for (int k = 1; k <= 3; ++k)
    {
        labels[k - 1] = store.GetCategoryLabel(categoryRecord, k);
        values[k - 1] = store.GetEntryValue(entry, k);
    }
    const FieldMapping mapping = MapLabels({labels[0], labels[1], labels[2]});
    exported.category = ToUtf8(category);
    exported.name = ToUtf8(store.GetEntryName(entry));
    exported.description = ToUtf8(store.GetEntryDescription(entry));
    exported.notes = exported.description;
    for (int k = 1; k <= 3; ++k)
    {
        exported.labels[k - 1] = ToUtf8(labels[k - 1]);
        exported.values[k - 1] = ToUtf8(values[k - 1]);
        const SecureString& value = exported.values[k - 1];
        if (k == mapping.username)
        {
            exported.username = value;
        }
        else if (k == mapping.password)
        {
            exported.password = value;
        }
        else if (k == mapping.url)
        {
            exported.url = value;
        }
        else if (!value.empty())
        {
            // A value the peers have no field for goes into the notes under its label
            // (its placeholder when the label is empty), one line each.
            if (!exported.notes.empty())
            {
                exported.notes.push_back('\n');
            }
            if (labels[k - 1].empty())
            {
                exported.notes.append("$" + std::to_string(k));
            }
            else
            {
                exported.notes.append(exported.labels[k - 1]);
            }
            exported.notes.append(": ");
            exported.notes.append(value);
        }
    }
    return exported;
}

template <class Visit> bool ForEachEntry(const PasswordStore& store, Visit visit)
{
    std::size_t number = 1;
    for (auto entry = store.FindNextEntry({}); entry; entry = store.FindNextEntry(entry), ++number)
    {
        if (!visit(Describe(store, entry), number))
        {
            return false;
        }
    }
    return true;
}

void WriteCsv(const PasswordStore& store, CsvFormulas formulas, SecureString& out)
{
    std::vector<std::string_view> header = {kColumnGroup,    kColumnTitle, kColumnUsername,
                                            kColumnPassword, kColumnUrl,   kColumnNotes};
    header.insert(header.end(), kColumnLabels.begin(), kColumnLabels.end());
    header.insert(header.end(), kColumnValues.begin(), kColumnValues.end());
    header.push_back(kColumnDescription);
    AppendCsvRow(out, header, formulas);
    ForEachEntry(store,
                 [&](const ExportedEntry& e, std::size_t)
                 {
                     const std::array<std::string_view, 13> row = {
                         e.category,  e.name,      e.username,  e.password,  e.url,       e.notes,      e.labels[0],
                         e.labels[1], e.labels[2], e.values[0], e.values[1], e.values[2], e.description};
                     AppendCsvRow(out, row, formulas);
                     return true;
                 });
}

// XML 1.0 has no form, not even a character reference, for the control characters other
// than tab, line feed and carriage return.
bool XmlCanCarry(std::string_view text)
{
    for (const char c : text)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r')
        {
            return false;
        }
    }
    return true;
}

void AppendXmlText(SecureString& out, std::string_view text)
{
    for (const char c : text)
    {
        switch (c)
        {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        case '\r':
            // A reader turns a literal carriage return into a line feed.
            out.append("&#13;");
            break;
        default:
            out.push_back(c);
        }
    }
}

std::string NewUuid(std::mt19937_64& random)
{
    static constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::array<unsigned char, 18> bytes{}; // 16 bytes of UUID, two of padding
    for (std::size_t i = 0; i < 16; ++i)
    {
        bytes[i] = static_cast<unsigned char>(random());
    }
    std::string text;
    for (std::size_t i = 0; i < 18; i += 3)
    {
        const unsigned value = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
        {
            text.push_back(kBase64[(value >> shift) & 0x3F]);
        }
    }
    text.resize(22);
    return text + "==";
}

void AppendXmlString(SecureString& out, std::string_view key, std::string_view value, bool secret)
{
    out.append("\t\t\t\t\t<String><Key>");
    AppendXmlText(out, key);
    out.append(secret ? "</Key><Value ProtectInMemory=\"True\">" : "</Key><Value>");
    AppendXmlText(out, value);
    out.append("</Value></String>\n");
}

bool WriteKeePassXml(const PasswordStore& store, SecureString& out, std::string& problem)
{
    // Group the entries by category, the groups in the order their first entry comes.
    std::vector<SecureString, WipingAllocator<SecureString>> groups;
    std::vector<std::vector<ExportedEntry, WipingAllocator<ExportedEntry>>> entries;
    bool carried = ForEachEntry(
        store,
        [&](ExportedEntry e, std::size_t number)
        {
            for (const SecureString* text : {&e.category, &e.name, &e.description, &e.labels[0], &e.labels[1],
                                             &e.labels[2], &e.values[0], &e.values[1], &e.values[2]})
            {
                if (!XmlCanCarry(*text))
                {
                    problem = "entry " + std::to_string(number) + " (\"" + std::string(std::string_view(e.name)) +
                              "\") holds a control character that KeePass XML cannot carry; export it as csv";
                    return false;
                }
            }
            std::size_t group = 0;
            while (group < groups.size() && groups[group] != e.category)
            {
                ++group;
            }
            if (group == groups.size())
            {
                groups.push_back(e.category);
                entries.emplace_back();
            }
            entries[group].push_back(std::move(e));
            return true;
        });
    if (!carried)
    {
        return false;
    }

    std::mt19937_64 random(std::random_device{}());
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<KeePassFile>\n"
               "\t<Meta>\n\t\t<Generator>Kavelmark</Generator>\n\t</Meta>\n"
               "\t<Root>\n\t\t<Group>\n\t\t\t<UUID>");
    out.append(NewUuid(random));
    out.append("</UUID>\n\t\t\t<Name>Kavelmark</Name>\n");
    for (std::size_t group = 0; group < groups.size(); ++group)
    {
        out.append("\t\t\t<Group>\n\t\t\t\t<UUID>");
        out.append(NewUuid(random));
        out.append("</UUID>\n\t\t\t\t<Name>");
        AppendXmlText(out, groups[group]);
        out.append("</Name>\n");
        for (const ExportedEntry& e : entries[group])
        {
            out.append("\t\t\t\t<Entry>\n\t\t\t\t\t<UUID>");
            out.append(NewUuid(random));
            out.append("</UUID>\n");
            AppendXmlString(out, "Title", e.name, false);
            AppendXmlString(out, "UserName", e.username, false);
            AppendXmlString(out, "Password", e.password, true);
            AppendXmlString(out, "URL", e.url, false);
            AppendXmlString(out, "Notes", e.notes, false);
            out.append("\t\t\t\t</Entry>\n");
        }
        out.append("\t\t\t</Group>\n");
    }
    out.append("\t\t</Group>\n\t</Root>\n</KeePassFile>\n");
    return true;
}

} // namespace

bool ExportEntries(const PasswordStore& store, ExportFormat format, SecureString& out, std::string& problem)
{
    if (format != ExportFormat::KeePassXml)
    {
        WriteCsv(store, format == ExportFormat::Csv ? CsvFormulas::Kept : CsvFormulas::Defused, out);
        return true;
    }
    return WriteKeePassXml(store, out, problem);
}

} // namespace kavelmark
