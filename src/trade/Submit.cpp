#include "trade/Submit.h"

#include "platform/Dialogs.h"
#include "platform/Windows.h"

namespace trade {

bool submit(QWidget* owner, const Submission& submission, const std::function<void(const client::ApiReply&)>& followUp)
{
    if (submission.refusal) {
        platform::messageBox(owner, QString::fromStdString(*submission.refusal));
        return false;
    }
    if (!submission.question.empty()) {
        platform::MessageBoxCall ask;
        ask.text = QString::fromStdString(submission.question);
        ask.detail = QString::fromStdString(submission.detail);
        ask.buttons = platform::MsgButtons::YesNo;
        ask.icon = platform::MsgIcon::Question;
        if (platform::messageBox(owner, ask) != platform::MsgResult::Yes)
            return false;
    }
    const client::ApiReply reply = client::Call(submission.endpoint, submission.params, submission.trace);
    platform::discardQueuedInput();
    if (reply.parsed) {
        const bool own = reply.success && !submission.successText.empty();
        platform::messageBox(owner, QString::fromStdString(own ? submission.successText : reply.msg));
    } else {
        tellUnanswered(owner, submission.unanswered, submission.detail);
    }
    if (followUp)
        followUp(reply);
    return true;
}

void tellUnanswered(QWidget* owner, const std::string& text, const std::string& what)
{
    platform::MessageBoxCall call;
    call.text = QString::fromStdString(text);
    call.detail = QString::fromStdString(what);
    call.icon = platform::MsgIcon::Warning;
    platform::messageBox(owner, call);
}

} // namespace trade
