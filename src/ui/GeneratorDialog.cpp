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

namespace kavelmark
{
namespace
{

const DialogTemplate& GeneratorTemplate()
{
    using namespace ControlStyle;
    constexpr std::uint32_t kBox = TabStop;
    static const DialogTemplate dialog{
        0,
        "Kennwort erzeugen",
        200,
        150,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable,
        nullptr,
        {
            Ctl(GeneratorDialog::kLengthLabelId, ControlKind::Static, "&Länge (8 bis 64):", 7, 9, 70, 8, GroupStart),
            Ctl(GeneratorDialog::kLengthId, ControlKind::Edit, "", 80, 7, 30, 12, AutoHScroll | Border | TabStop),
            Ctl(GeneratorDialog::kUpperId, ControlKind::CheckBox, "&Großbuchstaben (A-Z)", 7, 25, 186, 10, kBox),
            Ctl(GeneratorDialog::kLowerId, ControlKind::CheckBox, "&Kleinbuchstaben (a-z)", 7, 37, 186, 10, kBox),
            Ctl(GeneratorDialog::kDigitsId, ControlKind::CheckBox, "&Ziffern (0-9)", 7, 49, 186, 10, kBox),
            Ctl(GeneratorDialog::kSpecialId, ControlKind::CheckBox, "&Sonderzeichen (!#$%...)", 7, 61, 186, 10, kBox),
            Ctl(GeneratorDialog::kCandidateLabelId, ControlKind::Static, "Kennwort:", 7, 79, 60, 8, GroupStart),
            Ctl(GeneratorDialog::kCandidateId, ControlKind::Edit, "", 7, 89, 186, 12,
                ReadOnly | AutoHScroll | Border | TabStop),
            Ctl(GeneratorDialog::kStrengthId, ControlKind::Static, "", 7, 105, 120, 8, NoPrefix),
            Ctl(GeneratorDialog::kNewId, ControlKind::PushButton, "&Neu", 143, 103, 50, 14, TabStop),
            Ctl(IDOK, ControlKind::DefaultButton, "OK", 88, 129, 50, 14, TabStop | GroupStart),
            Ctl(IDCANCEL, ControlKind::PushButton, "Abbrechen", 143, 129, 50, 14, TabStop),
        },
    };
    return dialog;
}

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
        strength->setText(QStringLiteral("Länge 8 bis 64 und mindestens eine Zeichengruppe wählen"));
    }
    else
    {
        const auto bits = static_cast<int>(std::floor(PasswordGenerator::StrengthBits(rules)));
        strength->setText(QStringLiteral("Stärke: %1 Bit").arg(bits));
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
