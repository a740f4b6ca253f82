#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/SecureMemory.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/MessageRecorder.h"
#include "support/WaitFor.h"
#include "ui/EntryClipboard.h"
#include "ui/MainWindow.h"

namespace kavelmark
{
namespace
{

QClipboard& Clipboard()
{
    return *QGuiApplication::clipboard();
}

QByteArray Hint()
{
    const QMimeData* data = Clipboard().mimeData();
    return data ? data->data(QString::fromLatin1(ClipboardGuard::kPasswordManagerHint)) : QByteArray();
}

class EntryClipboardTest : public ::testing::Test
{
protected:
    EntryClipboardTest()
    {
        Clipboard().clear();
        PasswordStore& store = window->Store();
        store.AddCategory("Notiz", "Titel", "Text", "Ort");
        store.AddEntry("FTP", "Server", "Dateien", "anna", "geheim1", "ftp.example.org");
        store.AddEntry("PIN/TAN", "Bank", "Giro", "DE12", "4711", "955");
        store.AddEntry("Notiz", "Einkauf", "Liste", "Milch", "Brot", "Markt");
        window->Create();
        window->show();
    }
    ~EntryClipboardTest() override
    {
        window.reset();
        Clipboard().clear();
    }

    void SelectRowNamed(const QString& name)
    {
        QTreeWidget* list = window->EntryList();
        const QList<QTreeWidgetItem*> found = list->findItems(name, Qt::MatchExactly, 1);
        ASSERT_EQ(found.size(), 1);
        list->setCurrentItem(found.front());
    }

    void SetDelay(const char* seconds)
    {
        Settings::SetString(settings::kConfig, settings::kClipboardClear, seconds, true);
    }

    EntryClipboard& Commands()
    {
        return *window->findChild<EntryClipboard*>();
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    testing::MessageRecorder messages;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();
};

TEST_F(EntryClipboardTest, KeysInTheListCopyTheChosenValueAndMarkOnlySecrets)
{
    struct Case
    {
        const char* row;
        Qt::Key key;
        const char* copied;
        bool secret;
    };
    const Case cases[] = {
        {"Server", Qt::Key_C, "geheim1", true}, // FTP: value 2 "Password (*)" is the first secret
        {"Server", Qt::Key_B, "anna", false},
        {"Bank", Qt::Key_C, "4711", true}, // PIN/TAN: "PIN (*)" before "TAN (*)"
        {"Bank", Qt::Key_B, "DE12", false},
        {"Einkauf", Qt::Key_C, "Milch", false}, // no secret label: value 1
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.row) + (c.key == Qt::Key_C ? " Ctrl+C" : " Ctrl+B"));
        SelectRowNamed(QString::fromLatin1(c.row));
        QTest::keyClick(window->EntryList(), c.key, Qt::ControlModifier);
        EXPECT_EQ(Clipboard().text(), QString::fromLatin1(c.copied));
        EXPECT_EQ(Hint(), c.secret ? QByteArray("secret") : QByteArray());
        EXPECT_EQ(Commands().Guard().ClearPending(), c.secret);
    }
}

TEST_F(EntryClipboardTest, TheDelayClearsTheSecretAndTheTitleTellsUntilThen)
{
    SetDelay("1");
    const QString title = window->windowTitle();
    SelectRowNamed(QStringLiteral("Server"));
    QTest::keyClick(window->EntryList(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(Clipboard().text(), QStringLiteral("geheim1"));
    EXPECT_TRUE(window->windowTitle().startsWith(title));
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("Password in der Zwischenablage")));
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("1 s")));

    EXPECT_SOON(Clipboard().text().isEmpty(), 5000);
    EXPECT_EQ(window->windowTitle(), title);
}

TEST_F(EntryClipboardTest, TextAnotherProgramCopiedMeanwhileStays)
{
    SetDelay("1");
    SelectRowNamed(QStringLiteral("Server"));
    QTest::keyClick(window->EntryList(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(Clipboard().text(), QStringLiteral("geheim1"));
    Clipboard().setText(QStringLiteral("fremder Text"));

    EXPECT_SOON(!Commands().Guard().ClearPending(), 5000);
    EXPECT_EQ(Clipboard().text(), QStringLiteral("fremder Text"));

    // Nor does the program's end take it.
    window.reset();
    EXPECT_EQ(Clipboard().text(), QStringLiteral("fremder Text"));
}

TEST_F(EntryClipboardTest, ACopiedSecretLivesInWipedMemoryAndIsWipedWhenTheClipboardIsCleared)
{
    static std::vector<std::pair<std::size_t, bool>> released; // size, all zero
    released.clear();
    SelectRowNamed(QStringLiteral("Bank"));
    QTest::keyClick(window->EntryList(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(Clipboard().text(), QStringLiteral("4711"));
    EXPECT_EQ(Clipboard().mimeData()->data(QStringLiteral("text/plain")), QByteArray("4711"));

    SetSecureReleaseHook(
        [](const void* block, std::size_t size)
        {
            const auto* bytes = static_cast<const unsigned char*>(block);
            released.emplace_back(size, std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; }));
        });
    Commands().Guard().ClearIfOurs();
    SetSecureReleaseHook(nullptr);
    EXPECT_TRUE(Clipboard().text().isEmpty());
    // "4711" and the zero after it: the clipboard's copy, given back wiped.
    EXPECT_NE(std::find(released.begin(), released.end(), std::make_pair(std::size_t{5}, true)), released.end());
}

TEST_F(EntryClipboardTest, TheProgramsEndClearsAWaitingSecret)
{
    SelectRowNamed(QStringLiteral("Bank"));
    QTest::keyClick(window->EntryList(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(Clipboard().text(), QStringLiteral("4711"));
    window.reset();
    EXPECT_TRUE(Clipboard().text().isEmpty());
}

TEST_F(EntryClipboardTest, DelaySettingIsStoredBackAndZeroKeepsTheSecret)
{
    EXPECT_EQ(ClipboardGuard::ClearDelaySeconds(), 20);
    EXPECT_EQ(settings.Read("Config", "ClipboardClear (Sec)"), "20");

    SetDelay("0");
    SelectRowNamed(QStringLiteral("Server"));
    QTest::keyClick(window->EntryList(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard().text(), QStringLiteral("geheim1"));
    EXPECT_EQ(Hint(), QByteArray("secret"));
    EXPECT_FALSE(Commands().Guard().ClearPending());
    EXPECT_EQ(settings.Read(settings::kConfig, settings::kClipboardClear), "0");
}

TEST_F(EntryClipboardTest, RowMenuNamesTheValuesByTheCategoryLabels)
{
    QTreeWidget* list = window->EntryList();
    std::unique_ptr<QMenu> menu = Commands().RowMenu(list->findItems(QStringLiteral("Server"), Qt::MatchExactly, 1)[0]);
    ASSERT_TRUE(menu);
    QStringList texts;
    for (QAction* action : menu->actions())
    {
        texts << action->text();
    }
    EXPECT_EQ(texts, (QStringList{"User kopieren\tStrg+B", "Password kopieren\tStrg+C", "Host kopieren"}));
    EXPECT_EQ(list->currentItem()->text(1), QStringLiteral("Server"));

    // A blank after the mark makes the label an ordinary one, for the name as for the copy.
    window->Store().AddCategory("Lose", " Konto ", "Kennwort (*) ", "Kennwort (*)");
    window->Store().AddEntry("Lose", "Verein", "", "k", "offen", "zu");
    window->FillEntryList();
    std::unique_ptr<QMenu> loose =
        Commands().RowMenu(list->findItems(QStringLiteral("Verein"), Qt::MatchExactly, 1)[0]);
    ASSERT_TRUE(loose);
    QStringList looseTexts;
    for (QAction* action : loose->actions())
    {
        looseTexts << action->text();
    }
    EXPECT_EQ(looseTexts,
              (QStringList{"Konto kopieren\tStrg+B", "Kennwort (*) kopieren", "Kennwort kopieren\tStrg+C"}));
    menu = Commands().RowMenu(list->findItems(QStringLiteral("Server"), Qt::MatchExactly, 1)[0]);

    menu->actions()[2]->trigger();
    EXPECT_EQ(Clipboard().text(), QStringLiteral("ftp.example.org"));
    EXPECT_EQ(Hint(), QByteArray());
    menu->actions()[1]->trigger();
    EXPECT_EQ(Clipboard().text(), QStringLiteral("geheim1"));
    EXPECT_EQ(Hint(), QByteArray("secret"));
    EXPECT_TRUE(Commands().Guard().ClearPending());
}

TEST_F(EntryClipboardTest, DetailFieldCopyMarksAndClearsTheSecretToo)
{
    SetDelay("1");
    SelectRowNamed(QStringLiteral("Server"));
    window->RevealSecretField(2);
    QLineEdit* field = window->DetailField(2);
    field->selectAll();
    std::unique_ptr<QMenu> menu = Commands().DetailFieldMenu(2);
    QAction* copy = nullptr;
    for (QAction* action : menu->actions())
    {
        copy = action->text().endsWith(QStringLiteral("\tCtrl+C")) ? action : copy;
    }
    ASSERT_NE(copy, nullptr);
    copy->trigger();
    EXPECT_EQ(Clipboard().text(), QStringLiteral("geheim1"));
    EXPECT_EQ(Hint(), QByteArray("secret"));
    EXPECT_SOON(Clipboard().text().isEmpty(), 5000);

    // The field's Ctrl+C the same way.
    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard().text(), QStringLiteral("geheim1"));
    EXPECT_EQ(Hint(), QByteArray("secret"));
}

} // namespace
} // namespace kavelmark
