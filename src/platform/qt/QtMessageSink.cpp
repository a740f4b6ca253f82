#include "platform/qt/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kavelmark
{
namespace
{

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon)
    {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer ShowMergeQuestion(QMessageBox& box)
{
    QPushButton* merge = box.addButton(QStringLiteral("&Zusammenführen"), QMessageBox::AcceptRole);
    QPushButton* overwrite = box.addButton(QStringLiteral("&Überschreiben"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(merge);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == merge       ? MessageAnswer::Merge
           : box.clickedButton() == overwrite ? MessageAnswer::Overwrite
                                              : MessageAnswer::Cancel;
}

MessageAnswer ShowFormatQuestion(QMessageBox& box, const QString& useText)
{
    QPushButton* use = box.addButton(useText, QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(QStringLiteral("Beim &bisherigen Format bleiben"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == use ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace

MessageAnswer QtMessageSink::Show(const std::string& text, const std::string& caption, MessageIcon icon,
                                  MessageButtons buttons)
{
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::MergeOverwriteCancel)
    {
        return ShowMergeQuestion(box);
    }
    if (buttons == MessageButtons::UseV04OrKeep || buttons == MessageButtons::UseV03OrKeep)
    {
        return ShowFormatQuestion(box, buttons == MessageButtons::UseV04OrKeep ? QStringLiteral("V0.&4 verwenden")
                                                                               : QStringLiteral("V0.&3 verwenden"));
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    if (buttons != MessageButtons::Ok)
    {
        QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
        if (buttons == MessageButtons::OkCancelDefaultCancel)
        {
            box.setDefaultButton(cancel);
        }
    }
    else
    {
        box.setEscapeButton(ok);
    }
    box.exec();
    return box.clickedButton() == ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace kavelmark
