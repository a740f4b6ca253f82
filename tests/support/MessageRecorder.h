#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Messages.h"

namespace kavelmark::testing
{

struct RecordedMessage
{
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
};

// Keeps every message in order and answers with scripted buttons (OK once the script is
// used up). Installs itself for its lifetime.
class MessageRecorder final : public MessageSink
{
public:
    MessageRecorder() : previous_(SetMessageSink(this))
    {
    }
    ~MessageRecorder() override
    {
        SetMessageSink(previous_);
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void AnswerNext(MessageAnswer answer)
    {
        script_.push_back(answer);
    }

    MessageAnswer Show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override
    {
        messages.push_back({text, caption, icon, buttons});
        if (whileShown)
        {
            // Once: what runs may show a message itself.
            std::function<void()> run = std::move(whileShown);
            whileShown = nullptr;
            run();
        }
        if (script_.empty())
        {
            return MessageAnswer::Ok;
        }
        MessageAnswer answer = script_.front();
        script_.pop_front();
        return answer;
    }

    // The texts of the messages so far, in order.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const RecordedMessage& message : messages)
        {
            texts.push_back(message.text);
        }
        return texts;
    }

    std::vector<RecordedMessage> messages;
    // Runs inside the next message, as events do while a modal box waits for its answer.
    std::function<void()> whileShown;

private:
    std::deque<MessageAnswer> script_;
    MessageSink* previous_;
};

} // namespace kavelmark::testing
