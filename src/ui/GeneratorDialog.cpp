#include "ui/GeneratorDialog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <cmath>

#include "platform/qt/DialogTemplates.h"
#include "platform/qt/QtText.h"
#include "platform/qt/SecretText.h"
#include "ui/SecretSelection.h"
#include "ui/UiTexts.h"

namespace kavelmark
{
namespace
{

constexpr int kGroupIds[] = {GeneratorDialog::kUpperId, GeneratorDialog::kLowerId, GeneratorDialog::kDigitsId,
                             GeneratorDialog::kSpecialId};

} // namespace

GeneratorDialog::GeneratorDialog(QWidget* parent)
    : CDialogLayout(GeneratorTemplate(), parent, "DlgPos_Generator", false, LF_SAVE_POSITION | LF_SAVE_SIZE)
{
}

bool GeneratorDialog::OnInitDialog()
{
    CDialogLayout::OnInitDialog();

    BeginOkCancelFrame();
    BeginPane(LAYOUT_HORIZONTAL);
    SetAlignment(ALIGN_CROSS_CENTER_Y);
    AddControl(kLengthLabelId, LAYOUT_FIXED);
    AddControl(kLengthId, LAYOUT_FIXED);
    EndPane();
    AddSpace(5, 3);
    for (int id : kGroupIds)
    {
        AddControl(id, LAYOUT_FIXED_HEIGHT);
    }
    AddSpace(5, 3);
    AddControl(kCandidateLabelId, LAYOUT_FIXED_HEIGHT);
    AddControl(kCandidateId, LAYOUT_FIXED_HEIGHT);
    BeginPane(LAYOUT_HORIZONTAL);
    SetAlignment(ALIGN_CROSS_CENTER_Y);
    AddControl(kStrengthId, LAYOUT_FIXED_HEIGHT);
    AddControl(kNewId, LAYOUT_FIXED);
    EndPane();
    EndOkCancelFrame(10);

    auto* length = ControlAs<QLineEdit>(kLengthId);
    length->setValidator(new QIntValidator(PasswordRules::kMinLength, PasswordRules::kMaxLength, length));
    length->setText(QString::number(PasswordRules::kDefaultLength));
    connect(length, &QLineEdit::textChanged, this, &GeneratorDialog::Regenerate);
    for (int id : kGroupIds)
    {
        auto* box = ControlAs<QCheckBox>(id);
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, &GeneratorDialog::Regenerate);
    }
    ControlAs<QLineEdit>(kCandidateId)->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The candidate is a password in clear.
    MarkSecretField(*ControlAs<QLineEdit>(kCandidateId), true);
    connect(ControlAs<QPushButton>(kNewId), &QPushButton::clicked, this, &GeneratorDialog::Regenerate);
    Regenerate();
    return true;
}

PasswordRules GeneratorDialog::Rules() const
{
    PasswordRules rules;
    bool number = false;
    rules.length = ControlAs<QLineEdit>(kLengthId)->text().toInt(&number);
    rules.length = number ? rules.length : 0;
    rules.upper = ControlAs<QCheckBox>(kUpperId)->isChecked();
    rules.lower = ControlAs<QCheckBox>(kLowerId)->isChecked();
    rules.digits = ControlAs<QCheckBox>(kDigitsId)->isChecked();
    rules.special = ControlAs<QCheckBox>(kSpecialId)->isChecked();
    return rules;
}

void GeneratorDialog::Regenerate()
{
    const PasswordRules rules = Rules();
    candidate_ = PasswordGenerator::Generate(rules);
    auto* shown = ControlAs<QLineEdit>(kCandidateId);
    // Each candidate dropped is a password someone might have taken.
    WipeLineEdit(*shown);
    shown->setText(FromCp1252(candidate_));
    auto* strength = ControlAs<QLabel>(kStrengthId);
    if (candidate_.empty())
    {
        strength->setText(QString::fromUtf8(kNoCandidateText));
    }
    else
    {
        const auto bits = static_cast<int>(std::floor(PasswordGenerator::StrengthBits(rules)));
        strength->setText(QString::fromUtf8(kStrengthText).arg(bits));
    }
    ControlAs<QPushButton>(IDOK)->setEnabled(!candidate_.empty());
}

QMenu* GeneratorDialog::FieldMenu(QPlainTextEdit& field)
{
    QMenu* menu = field.createStandardContextMenu();
    menu->addSeparator();
    QAction* generate = menu->addAction(QString::fromUtf8(kMenuText));
    connect(generate, &QAction::triggered, &field,
            [&field]
            {
                GeneratorDialog dialog(field.window());
                if (dialog.exec() != IDOK || dialog.Password().empty())
                {
                    return;
                }
                QTextCursor cursor(field.document());
                cursor.select(QTextCursor::Document);
                cursor.insertText(FromCp1252(dialog.Password()));
            });
    return menu;
}

void GeneratorDialog::OfferIn(QPlainTextEdit& field)
{
    field.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&field, &QWidget::customContextMenuRequested, &field,
            [&field](const QPoint& at)
            {
                QMenu* menu = FieldMenu(field);
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(field.viewport()->mapToGlobal(at));
            });
}

} // namespace kavelmark
