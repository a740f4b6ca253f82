#pragma once

#include <string>

namespace kavelmark
{

// Every modal message of the program goes through this seam. Core code (store, crypto,
// file, settings) never talks to a window system; the windows install the Qt sink, tests a
// recorder with scripted answers. Texts and captions are UTF-8.

// The program's name: the caption of its messages.
inline constexpr const char* kProgramName = "Kavelmark";

enum class MessageIcon
{
    Error,
    Information,
    Question,
    Exclamation,
    None,
};

enum class MessageButtons
{
    Ok,
    OkCancel,
    // For questions whose OK throws something away: Enter must not answer them.
    OkCancelDefaultCancel,
    // "&Zusammenführen" (the default, answered Merge), "&Überschreiben" and "Abbrechen".
    MergeOverwriteCancel,
    // A change of the file format, each button naming its outcome: "V0.&4 verwenden" or
    // "V0.&3 verwenden" (answered Ok) and "Beim &bisherigen Format bleiben" (Cancel, the default).
    UseV04OrKeep,
    UseV03OrKeep,
};

// Values match the dialog results OK (1) and Cancel (2).
enum class MessageAnswer
{
    Ok = 1,
    Cancel = 2,
    Overwrite = 3,
    // The default answer of MergeOverwriteCancel is its OK.
    Merge = Ok,
};

class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer Show(const std::string& text, const std::string& caption, MessageIcon icon,
                               MessageButtons buttons) = 0;
};

// Installs the sink that receives all messages and returns the one it replaces. Passing
// nullptr restores the fallback, which prints "caption: text" to standard error and answers
// Cancel to every question, so that nothing is confirmed without a user.
MessageSink* SetMessageSink(MessageSink* sink);

MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::Ok);

// Installs a sink for the lifetime of the guard.
class ScopedMessageSink
{
public:
    explicit ScopedMessageSink(MessageSink& sink) : previous_(SetMessageSink(&sink))
    {
    }
    ~ScopedMessageSink()
    {
        SetMessageSink(previous_);
    }
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

private:
    MessageSink* previous_;
};

} // namespace kavelmark
