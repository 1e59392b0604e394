#pragma once

#include <functional>
#include <vector>

#include <QString>

class QWidget;

namespace platform {

inline constexpr const char* kAppCaption = "Velmora";

inline constexpr int kTypeAheadMs = 300;

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Yes, No };

struct MessageBoxCall
{
    QString text;
    QString caption = QString::fromUtf8(kAppCaption);
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    QString detail; // shown beneath the text, smaller; none when empty
};

// Modal message box; the caption is the application's name unless a window needs another.
// A held-down key (auto-repeated presses) answers no box, nor does a key pressed before the
// box appeared or within kTypeAheadMs of it: only a later fresh press or a click does, so a
// box the user has not read is never confirmed nor dismissed.
MsgResult messageBox(QWidget* parent, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                     MsgIcon icon = MsgIcon::None, const QString& caption = QString::fromUtf8(kAppCaption));
MsgResult messageBox(QWidget* parent, const MessageBoxCall& call);

struct SaveFileCall
{
    QString defaultName;
    QString filter;
};

// Save-file dialog; returns the chosen path or an empty string when cancelled. The filter
// is written as the windows give it, "description|pattern|...||" (a missing pattern is
// the description); handlers receive it as given.
QString saveFileName(QWidget* parent, const QString& defaultName, const QString& filter);
// That filter as Qt's dialog takes it: "*.txt||*.txt" is "*.txt (*.txt)".
QString qtFileFilter(const QString& filter);

struct OpenFileCall
{
    QString filter;
};

// Open-file dialog, starting in the user's documents; returns the chosen path or an empty
// string when cancelled. The filter is written as saveFileName's.
QString openFileName(QWidget* parent, const QString& filter);

// While a handler is installed no dialog opens: the handler answers instead. Tests use it.
using MessageBoxHandler = std::function<MsgResult(const MessageBoxCall&)>;
using SaveFileHandler = std::function<QString(const SaveFileCall&)>;
using OpenFileHandler = std::function<QString(const OpenFileCall&)>;
void setMessageBoxHandler(MessageBoxHandler handler);
void setSaveFileHandler(SaveFileHandler handler);
void setOpenFileHandler(OpenFileHandler handler);

// Records every message box while it lives and answers each with `answer`
// (Ok for an OK box whatever `answer` says).
class MessageBoxRecorder final
{
public:
    explicit MessageBoxRecorder(MsgResult answer = MsgResult::Yes);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void setAnswer(MsgResult answer) { m_answer = answer; }
    const std::vector<MessageBoxCall>& calls() const { return m_calls; }
    QStringList texts() const;
    void clear() { m_calls.clear(); }

private:
    MsgResult m_answer;
    std::vector<MessageBoxCall> m_calls;
};

} // namespace platform
