// Runs on a real X server only (x11_test.sh starts one): the offscreen platform has no
// primary selection.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "support/WaitFor.h"
#include "ui/SecretSelection.h"

namespace kavelmark
{
namespace
{

TEST(PrimarySelectionTest, ASelectedSecretNeverStaysInThePrimarySelection)
{
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection())
    {
        GTEST_SKIP() << "this platform has no primary selection";
    }
    GuardPrimarySelection();
    QLineEdit secret(QStringLiteral("Geheim-4711"));
    QPlainTextEdit secretValue(QStringLiteral("TAN-955"));
    QLineEdit plain(QStringLiteral("anna"));
    MarkSecretField(secret, true);
    MarkSecretField(secretValue, true);
    for (QWidget* widget : std::initializer_list<QWidget*>{&secret, &secretValue, &plain})
    {
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    }

    // Selected by the keyboard, as Shift+End does, and by the mouse, whose release copies.
    plain.activateWindow();
    plain.setFocus();
    QTest::keyClick(&plain, Qt::Key_Home);
    QTest::keyClick(&plain, Qt::Key_End, Qt::ShiftModifier);
    QTest::mouseRelease(&plain, Qt::LeftButton);
    EXPECT_SOON(clipboard->text(QClipboard::Selection) == QStringLiteral("anna"), 2000);

    secret.activateWindow();
    secret.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return secret.hasFocus(); }, 2000));
    QTest::keyClick(&secret, Qt::Key_Home);
    QTest::keyClick(&secret, Qt::Key_End, Qt::ShiftModifier);
    QTest::mouseRelease(&secret, Qt::LeftButton);
    QTest::qWait(100);
    EXPECT_EQ(clipboard->text(QClipboard::Selection), QString());
    EXPECT_EQ(secret.text(), QStringLiteral("Geheim-4711")); // the field itself keeps its text

    secretValue.activateWindow();
    secretValue.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return secretValue.hasFocus(); }, 2000));
    secretValue.selectAll();
    QTest::mouseRelease(secretValue.viewport(), Qt::LeftButton);
    QTest::qWait(100);
    EXPECT_EQ(clipboard->text(QClipboard::Selection), QString());
}

} // namespace
} // namespace kavelmark
